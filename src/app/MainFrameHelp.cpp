// The frame's own windows beside the documents: the Validation display and the help.
#include <QMessageBox>
#include <algorithm>
#include <QPointer>

#include "app/HelpWindows.h"
#include "app/QuorinView.h"
#include "app/ReplaceDialog.h"
#include "platform/QuorinApp.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/ValidationWindow.h"

namespace quorin {

void CMainFrame::ShowValidation(CChildFrame& child) {
    auto* window = new CValidationWindow(child.Doc(), &child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(tr("Validation - %1").arg(child.Title()));
    window->show();
}

void CMainFrame::ShowReplace(CChildFrame& child) {
    auto* dialog = child.findChild<CReplaceDialog*>("Replace");
    if (!dialog) {
        dialog = new CReplaceDialog(child.Doc(), child.View(), &child);
        connect(dialog, &CReplaceDialog::DocumentChanged, this, [this, &child] {
            child.UpdateTitle();
            UpdateCommands();
            UpdateStatus();
        });
    }
    dialog->show();
    dialog->raise();
}

void CMainFrame::ShowHelpTopics() {
    auto* window = findChild<CHelpWindow*>("HelpWindow");
    if (!window) window = new CHelpWindow(this);
    window->show();
    window->raise();
}

void CMainFrame::ShowTipOfTheDay() {
    if (auto* open = findChild<CTipOfTheDay*>("TipOfTheDay")) {
        open->raise();
        return;
    }
    auto* tip = new CTipOfTheDay(m_App, this);
    tip->setAttribute(Qt::WA_DeleteOnClose);
    tip->show();
}

void CMainFrame::ShowAbout() { QMessageBox::about(this, tr("About Quorin-plus"), AboutText()); }

void CMainFrame::StartGettingStarted() {
    if (auto* running = findChild<CGettingStarted*>("GettingStarted")) {
        running->raise();
        return;
    }
    auto* guide = new CGettingStarted(m_App, *this);
    guide->setAttribute(Qt::WA_DeleteOnClose);
    // In the frame's lower right corner, where it hides the least of the Grid and the graph.
    const QRect frame = frameGeometry();
    guide->move(std::max(frame.left(), frame.right() - guide->width() - 24),
                std::max(frame.top(), frame.bottom() - guide->height() - 60));
    guide->show();
}

}  // namespace quorin
