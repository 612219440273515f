#pragma once
// A child window: one document and its view.
#include <QWidget>
#include <memory>

namespace quorin {
class CQuorinApp;
class CQuorinDoc;
class CQuorinView;

class CChildFrame : public QWidget {
    Q_OBJECT
public:
    CChildFrame(CQuorinApp& app, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CQuorinDoc& Doc() { return *m_Doc; }
    CQuorinView& View() { return *m_View; }
    // The file's name; "Untitled", "Untitled 2", ... until the document has a path (the
    // document's own messages keep "Untitled").
    QString Title() const;
    int UntitledNumber() const { return m_UntitledNumber; }
    void SetUntitledNumber(int number) { m_UntitledNumber = number; }
    void UpdateTitle();

    // A command of this document is running (a script may be waiting in it): other
    // commands and closing wait for it.
    bool Busy() const { return m_CommandDepth > 0; }
    void BeginCommand() { ++m_CommandDepth; }
    void EndCommand() { --m_CommandDepth; }

    // The last progress message of this document.
    int m_ProgressCount = 0;
    int m_ProgressStatus = 0;
    bool m_HasProgress = false;

    // The closing rules of a document window; true when it may close.
    bool CanClose();
    // Only the save question of those rules: true when the document may go. Closing down
    // asks this of every document and then leaves their contents to the process's end.
    bool AskToClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CQuorinApp& m_App;
    std::unique_ptr<CQuorinDoc> m_Doc;
    CQuorinView* m_View;
    int m_CommandDepth = 0;
    int m_UntitledNumber = 1;
    bool m_Closed = false;
};

}  // namespace quorin
