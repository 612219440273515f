#pragma once
// Help: the user guide window and the Getting Started exercise on the iris example.
#include <QDialog>

class QLabel;
class QTextBrowser;

namespace quorin {
class CMainFrame;
class CQuorinApp;

class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);
    QTextBrowser& Browser() { return *m_Browser; }

private:
    QTextBrowser* m_Browser;
};

// A short guided path: open the example, watch it learn, read its validation, query it.
// While it is open the program does not close (the user finishes or cancels it first).
class CGettingStarted : public QDialog {
    Q_OBJECT
public:
    CGettingStarted(CQuorinApp& app, CMainFrame& frame);
    ~CGettingStarted() override;
    // Copies the bundled example to the user's data folder; the script's path, or empty.
    static QString ExtractExample();
    void OpenExample();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Trigger(const char* action);
    CQuorinApp& m_App;
    CMainFrame& m_Frame;
};

// The About box's text: version, licence and the libraries used.
QString AboutText();

}  // namespace quorin
