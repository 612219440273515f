#include "app/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "app/ChildFrame.h"
#include "app/QtViews.h"
#include "app/QuorinView.h"
#include "app/StartupRules.h"
#include "automation/ScriptRunner.h"
#include "network/LearningInfo.h"
#include "network/ValidationReport.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

CMainFrame::CMainFrame(CQuorinApp& app, CQtViews* views, QWidget* parent)
    : QMainWindow(parent), m_App(app), m_Views(views) {
    setObjectName("MainFrame");
    // Outside a full desktop session no theme is set: use a common one where installed.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == "hicolor")
        QIcon::setFallbackThemeName("Adwaita");
    setWindowTitle("Quorin");
    resize(1200, 800);
    m_Mdi = new QMdiArea(this);
    m_Mdi->setViewMode(QMdiArea::TabbedView);
    m_Mdi->setTabsClosable(true);
    m_Mdi->setTabsMovable(true);
    m_Mdi->setDocumentMode(true);
    setCentralWidget(m_Mdi);
    connect(m_Mdi, &QMdiArea::subWindowActivated, this, [this] {
        UpdateCommands();
        UpdateStatus();
    });

    m_ForceTimer = new QTimer(this);
    m_ForceTimer->setInterval(kForceStopCheckMs);
    connect(m_ForceTimer, &QTimer::timeout, this, &CMainFrame::CheckForcedStop);
    m_UpdateTimer = new QTimer(this);
    m_UpdateTimer->setInterval(500);
    connect(m_UpdateTimer, &QTimer::timeout, this, [this] {
        UpdateCommands();
        UpdateStatus();
    });
    m_UpdateTimer->start();

    LoadRecentFiles();
    BuildMenus();
    BuildToolBars();
    ExplainUnavailable();
    BuildStatusBar();
    RestorePlacement();
    RestoreBarState();
    UpdateCommands();
    UpdateStatus();
    if (m_Views) m_Views->SetReceiver(this);
}

CMainFrame::~CMainFrame() {
    if (m_Views) m_Views->SetReceiver(nullptr);
    // The child windows go with the base class: they must not call back into this part.
    m_Mdi->disconnect(this);
    for (QMdiSubWindow* sub : m_Mdi->subWindowList()) {
        sub->disconnect(this);
        if (auto* child = qobject_cast<CChildFrame*>(sub->widget())) {
            child->disconnect(this);
            child->View().disconnect(this);
        }
    }
}

// ---- documents ----

CChildFrame* CMainFrame::AddChild() {
    auto* child = new CChildFrame(m_App);
    // The lowest number no other unsaved document shows.
    std::vector<int> used;
    for (CChildFrame* c : Children())
        if (c->Doc().m_PathName.empty()) used.push_back(c->UntitledNumber());
    int number = 1;
    while (std::find(used.begin(), used.end(), number) != used.end()) ++number;
    child->SetUntitledNumber(number);
    connect(&child->View(), &CQuorinView::DocumentChanged, this, [this, child] {
        child->UpdateTitle();
        UpdateCommands();
        UpdateStatus();
    });
    QMdiSubWindow* sub = m_Mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(child, &QWidget::windowTitleChanged, this, [this] { UpdateStatus(); });
    sub->showMaximized();
    m_Mdi->setActiveSubWindow(sub);
    return child;
}

CChildFrame* CMainFrame::NewDocument() {
    CChildFrame* child = AddChild();
    child->BeginCommand();
    child->Doc().NewDocument();
    RunPendingScript(child->Doc());  // a script waiting from the command line
    child->EndCommand();
    child->UpdateTitle();
    child->View().RefreshFromDocument();
    UpdateCommands();
    UpdateStatus();
    return child;
}

CChildFrame* CMainFrame::OpenDocument(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (CChildFrame* c : Children()) {
        if (QFileInfo(QString::fromStdString(c->Doc().m_PathName)).absoluteFilePath() == absolute) {
            for (QMdiSubWindow* sub : m_Mdi->subWindowList())
                if (sub->widget() == c) m_Mdi->setActiveSubWindow(sub);
            return c;
        }
    }
    QMdiSubWindow* previous = m_Mdi->activeSubWindow();
    CChildFrame* child = AddChild();
    child->BeginCommand();
    const int opened = child->Doc().OpenDocument(path.toStdString(), 1);
    child->EndCommand();
    if (!opened) {
        for (QMdiSubWindow* sub : m_Mdi->subWindowList())
            if (sub->widget() == child) {
                child->Doc().m_Modified = false;
                sub->close();
            }
        // The document that was in front before the attempt comes back to the front.
        if (previous && m_Mdi->subWindowList().contains(previous)) m_Mdi->setActiveSubWindow(previous);
        UpdateCommands();
        UpdateStatus();
        return nullptr;
    }
    AddRecentFile(path);
    child->UpdateTitle();
    child->View().RefreshFromDocument();
    UpdateCommands();
    UpdateStatus();
    return child;
}

CChildFrame* CMainFrame::ActiveChild() const {
    QMdiSubWindow* sub = m_Mdi->activeSubWindow();
    if (!sub) sub = m_Mdi->currentSubWindow();
    // With the frame itself inactive the area forgets its active window; the tab in front
    // is still the document the user works on.
    if (!sub && !m_Mdi->subWindowList(QMdiArea::ActivationHistoryOrder).isEmpty())
        sub = m_Mdi->subWindowList(QMdiArea::ActivationHistoryOrder).last();
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

std::vector<CChildFrame*> CMainFrame::Children() const {
    std::vector<CChildFrame*> children;
    for (QMdiSubWindow* sub : m_Mdi->subWindowList())
        if (auto* c = qobject_cast<CChildFrame*>(sub->widget())) children.push_back(c);
    return children;
}

CChildFrame* CMainFrame::ChildOf(const CQuorinDoc* doc) const {
    for (CChildFrame* c : Children())
        if (&c->Doc() == doc) return c;
    return nullptr;
}

// ---- closing ----

bool CMainFrame::CanCloseFrame() {
    if (m_App.m_GettingStartedRunning) {
        m_App.Prompts().Inform("Please finish or cancel \"Getting Started\" before closing down.");
        return false;
    }
    const int threads = m_App.ThreadCount();
    if (threads >= 2) {
        const int answer = m_App.Prompts().MessageBox(
            {Format("%d threads are still calculating.\n\nBefore closing Quorin-plus make sure that\n"
                    "learning and associating has stopped.\n\nForcing threads to stop can take a long\n"
                    "time and may cause problems. It should\nonly be used when normal methods have\n"
                    "failed to stop learning and associating.\nIf threads are forced to stop any grids\n"
                    "that are being used for associating may\nbe left in an intermediate state.\n\n"
                    "Do you want to force all the calculation\nthreads to stop running?",
                    threads),
             EButtons::YesNo, EIcon::Question, IdNo});
        if (answer == IdYes) {
            // Waiting without blocking the window: a worker may need it for a question.
            m_App.RequestStopAll(true);
            m_ForceTimer->start();
            UpdateStatus();
        }
        return false;
    }
    // Every save question first, so that a Cancel leaves all documents open as they were.
    // The documents are not emptied one by one (a million rows take a second to free, and
    // each window closed would re-check the menus against the next document): the process
    // ends with the frame (see main), once the window is gone.
    for (CChildFrame* child : Children())
        if (!child->AskToClose()) return false;
    m_Closing = true;
    m_UpdateTimer->stop();
    SavePlacement();
    SaveBarState();
    m_App.TraceWriter().Close();
    return true;
}

void CMainFrame::CheckForcedStop() {
    if (m_App.ThreadCount() <= 1) {
        m_ForceTimer->stop();
        // Left set, the request would stop every later learning run at its first cycle.
        m_App.RequestStopAll(false);
        UpdateCommands();
        UpdateStatus();
        return;
    }
    m_App.RequestStopAll(true);
}

bool CMainFrame::ForcingStop() const { return m_ForceTimer->isActive(); }

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (CanCloseFrame())
        event->accept();
    else
        event->ignore();
}

// ---- placement and bars ----

void CMainFrame::RestorePlacement() {
    const auto placement = ParsePlacement(m_App.Settings().GetString("Settings", "WindowPos", ""));
    if (!placement) return;
    QRect normal(placement->Left, placement->Top, placement->Right - placement->Left,
                 placement->Bottom - placement->Top);
    if (normal.width() >= 200 && normal.height() >= 150) {
        // A placement from a larger screen is pulled back onto this one.
        if (QScreen* screen = this->screen()) {
            const QRect available = screen->availableGeometry();
            normal.setSize(normal.size().boundedTo(available.size()));
            if (!available.intersects(normal)) normal.moveTopLeft(available.topLeft());
        }
        setGeometry(normal);
    }
    m_StartMaximised = placement->ShowCommand == CWindowPlacement::ShowMaximised ||
                       (placement->Flags & CWindowPlacement::RestoreToMaximised) != 0;
}

void CMainFrame::SavePlacement() {
    CWindowPlacement p;
    const bool maximised = isMaximized();
    const QRect normal = (maximised || isMinimized()) ? normalGeometry() : geometry();
    p.Flags = maximised ? CWindowPlacement::RestoreToMaximised : 0;
    p.ShowCommand = maximised ? CWindowPlacement::ShowMaximised : isMinimized() ? 2 : CWindowPlacement::ShowNormal;
    p.Left = normal.left();
    p.Top = normal.top();
    p.Right = normal.left() + normal.width();
    p.Bottom = normal.top() + normal.height();
    m_App.Settings().SetString("Settings", "WindowPos", FormatPlacement(p));
}

void CMainFrame::SaveBarState() {
    m_App.Settings().SetString("Quorin", "BarState", saveState().toBase64().toStdString());
}

void CMainFrame::RestoreBarState() {
    const std::string state = m_App.Settings().GetString("Quorin", "BarState", "");
    if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
}

// ---- events from the core ----

bool CMainFrame::event(QEvent* event) {
    if (event->type() == CProgressEvent::kType) {
        auto* progress = static_cast<CProgressEvent*>(event);
        OnProgress(progress->m_Doc, progress->m_Count, progress->m_Status);
        return true;
    }
    if (event->type() == CStatusMessageEvent::kType) {
        auto* message = static_cast<CStatusMessageEvent*>(event);
        // A few seconds, and only for a document that is still open.
        if (ChildOf(message->m_Doc)) statusBar()->showMessage(QString::fromStdString(message->m_Text), 4000);
        return true;
    }
    if (event->type() == CRefreshEvent::kType) {
        OnRefresh();
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::OnProgress(const CQuorinDoc* doc, int count, int status) {
    CChildFrame* child = ChildOf(doc);
    if (!child) return;  // a message from a document that has closed since
    if (IsFileProgress(status)) {
        // Shown over the panes while the file is read or written, which may be under the
        // document lock: nothing here looks at the document.
        statusBar()->showMessage(QString::fromStdString(StatusText(status, count)), 3000);
        statusBar()->repaint();
        return;
    }
    child->m_ProgressCount = count;
    child->m_ProgressStatus = status;
    child->m_HasProgress = true;
    if (child == ActiveChild()) {
        m_Panes[0]->setText(QString::fromStdString(StatusText(status, count)));
        m_Panes[0]->repaint();
    }
    if (child->View().Display() != EDisplay::Grid) child->View().RefreshFromDocument();
    UpdateCommands();
}

void CMainFrame::OnRefresh() {
    if (!m_Views) return;
    const auto requests = m_Views->TakeRefreshRequests();
    for (CChildFrame* child : Children()) {
        if (!requests.count(&child->Doc())) continue;
        child->View().RefreshFromDocument();
        child->UpdateTitle();
    }
    UpdateCommands();
    UpdateStatus();
}

// ---- status bar ----

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    for (int i = 0; i < 5; ++i) {
        m_Panes[i] = new QLabel(this);
        m_Panes[i]->setObjectName(QString("StatusPane%1").arg(i));
        m_Panes[i]->setContentsMargins(6, 0, 6, 0);
        if (i == 0)
            bar->addWidget(m_Panes[i], 1);
        else
            bar->addPermanentWidget(m_Panes[i]);
    }
    m_Panes[0]->setMinimumWidth(260);
}

QString CMainFrame::StatusPaneText(int pane) const {
    return pane >= 0 && pane < 5 ? m_Panes[pane]->text() : QString();
}

void CMainFrame::UpdateStatus() {
    CChildFrame* child = ActiveChild();
    setWindowTitle(child ? "Quorin - " + child->Title() : QString("Quorin"));
    if (!child) {
        m_Panes[0]->setText(ForcingStop() ? tr("Forcing the calculation threads to stop...") : tr("Ready"));
        for (int i = 1; i < 5; ++i) m_Panes[i]->clear();
        return;
    }
    CQuorinDoc& doc = child->Doc();
    const int status = child->m_HasProgress ? child->m_ProgressStatus : doc.m_Status.load();
    const int count = child->m_HasProgress ? child->m_ProgressCount : doc.m_LearningCycles.load();
    m_Panes[0]->setText(QString::fromStdString(StatusText(status, count)));
    m_Panes[1]->setText(tr("Rows %1  Columns %2").arg(doc.m_RowCount).arg(doc.m_ColCount));
    if (doc.m_NetworkExists)
        m_Panes[2]->setText(tr("Nodes %1  Weights %2").arg(doc.m_Nodes.size()).arg(doc.m_Weights.size()));
    else
        m_Panes[2]->setText(tr("No network"));
    // A network reshaped or forgotten since has not learned yet: its old error is no more.
    const bool learned = doc.m_NetworkExists && (doc.m_LearningCycles.load() > 0 || doc.m_Learning.load());
    QString quality = learned ? tr("Average error %1").arg(doc.m_AverageError.load(), 0, 'f', 6) : tr("Average error -");
    const std::string validating = ValidatingText(doc);
    if (!validating.empty()) quality += "    " + QString::fromStdString(validating);
    m_Panes[3]->setText(quality);
    m_Panes[4]->setText(tr("Threads %1").arg(m_App.ThreadCount()));
}

}  // namespace quorin
