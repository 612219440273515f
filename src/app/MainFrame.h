#pragma once
// The main window: child windows per document, the menu bar of every command, six
// toolbars, the status bar, the window placement and the closing rules.
#include <QMainWindow>
#include <functional>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QLabel;
class QMenu;
class QToolBar;
class QTimer;

namespace quorin {
class CChildFrame;
class CQuorinApp;
class CQuorinDoc;
class CQtViews;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // `views` (may be null in tests) delivers redraw requests and progress here.
    CMainFrame(CQuorinApp& app, CQtViews* views, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // File > New: a child window with a new document (which runs a pending script).
    CChildFrame* NewDocument();
    // Opens a .tvq document in a new child window; null when it failed.
    CChildFrame* OpenDocument(const QString& path);
    CChildFrame* ActiveChild() const;
    std::vector<CChildFrame*> Children() const;
    CChildFrame* ChildOf(const CQuorinDoc* doc) const;

    // The closing rules; true when the frame may close.
    bool CanCloseFrame();
    // One check of the forced stop: the stop request again, or the end of forcing.
    void CheckForcedStop();
    bool ForcingStop() const;
    // Closing down was agreed to (every save question answered): the documents stay as they
    // are until the process ends.
    bool Closing() const { return m_Closing; }
    static constexpr int kForceStopCheckMs = 3000;

    void RestorePlacement();
    void SavePlacement();
    void RestoreBarState();
    void SaveBarState();
    bool StartMaximised() const { return m_StartMaximised; }
    // The Tip of the Day dialog, or the one already open brought to the front.
    void ShowTipOfTheDay();

    QString StatusPaneText(int pane) const;
    QAction* FindAction(const QString& objectName) const;
    QToolBar* ToolBar(const QString& name) const;
    void UpdateCommands();
    void UpdateStatus();

    // Every command of the menus: whether it is carried out, or why it is not offered.
    struct CCommandInfo {
        QString Name;
        bool HasAction = false;
        QString Reason;
    };
    std::vector<CCommandInfo> CommandInfo() const;

    std::vector<QString> RecentFiles() const { return m_Recent; }
    void AddRecentFile(const QString& path);
    static constexpr int kRecentFiles = 10;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct CCommand {
        QAction* Action = nullptr;
        std::function<void(CChildFrame&)> Run;      // empty: not offered yet
        std::function<bool(CQuorinDoc&)> Enabled;  // the core's Can… query
        bool WhileBusy = false;  // offered while another command of the document waits
        bool Checkable = false;
        std::function<bool(CChildFrame&)> Checked;
        QString Reason;  // why a command without Run is not offered
    };
    void ExplainUnavailable();

    void BuildMenus();
    void BuildToolBars();
    void BuildStatusBar();
    QAction* Command(QMenu* menu, const QString& name, const QString& text,
                     std::function<void(CChildFrame&)> run,
                     std::function<bool(CQuorinDoc&)> enabled = {}, const QIcon& icon = {},
                     const QKeySequence& shortcut = {});
    QAction* FrameCommand(QMenu* menu, const QString& name, const QString& text,
                          std::function<void()> run, const QIcon& icon = {},
                          const QKeySequence& shortcut = {});
    void Run(CCommand& command);
    CChildFrame* AddChild();
    void OnOpen();
    void Save(CChildFrame& child, bool askName);
    void LoadRecentFiles();
    void SaveRecentFiles();
    void UpdateRecentMenu();
    void ChooseColour(CChildFrame& child, int colour);
    void ShowValidation(CChildFrame& child);
    void ShowHelpTopics();
    void ShowReplace(CChildFrame& child);
    void ShowAbout();
    void StartGettingStarted();
    void OnProgress(const CQuorinDoc* doc, int count, int status);
    void OnRefresh();

    CQuorinApp& m_App;
    CQtViews* m_Views;
    QMdiArea* m_Mdi;
    std::vector<CCommand> m_Commands;
    std::vector<QMenu*> m_DocumentMenus;
    std::vector<QToolBar*> m_ToolBars;
    QMenu* m_FileMenu = nullptr;
    QMenu* m_ToolbarsMenu = nullptr;
    QAction* m_RecentSeparator = nullptr;
    std::vector<QAction*> m_RecentActions;
    std::vector<QString> m_Recent;
    QLabel* m_Panes[5] = {};
    QTimer* m_ForceTimer;
    QTimer* m_UpdateTimer;
    bool m_StartMaximised = false;
    bool m_Closing = false;
};

}  // namespace quorin
