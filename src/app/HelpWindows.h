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

// A short tip on each opening, the next one each time; shown at start-up while the user
// keeps "Show tips at start-up" ticked (a setting, off until ticked).
class CTipOfTheDay : public QDialog {
    Q_OBJECT
public:
    CTipOfTheDay(CQuorinApp& app, QWidget* parent);
    static bool ShowAtStartUp(CQuorinApp& app);
    static int TipCount();
    QString Tip() const;
    void NextTip();

private:
    CQuorinApp& m_App;
    QLabel* m_Text;
    int m_Index = 0;
};

// The About box's text: version, licence and the libraries used.
QString AboutText();

}  // namespace quorin
