// The frame's own windows beside the documents: the Validation display.
#include <QPointer>

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

}  // namespace quorin
