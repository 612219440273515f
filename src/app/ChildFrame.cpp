#include "app/ChildFrame.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QVBoxLayout>

#include "app/QuorinView.h"
#include "grid/DocumentCommands.h"
#include "grid/QuorinDoc.h"

namespace quorin {

CChildFrame::CChildFrame(CQuorinApp& app, QWidget* parent)
    : QWidget(parent), m_App(app), m_Doc(std::make_unique<CQuorinDoc>(app)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_View = new CQuorinView(*m_Doc, this);
    layout->addWidget(m_View);
    UpdateTitle();
}

CChildFrame::~CChildFrame() {
    // The view reads the document: it goes first.
    delete m_View;
}

QString CChildFrame::Title() const {
    const QString title = QString::fromStdString(DocumentTitle(*m_Doc));
    if (m_Doc->m_PathName.empty() && m_UntitledNumber > 1) return title + ' ' + QString::number(m_UntitledNumber);
    return title;
}

void CChildFrame::UpdateTitle() {
    setWindowTitle(Title() + "[*]");
    setWindowModified(m_Doc->IsModified());
}

bool CChildFrame::AskToClose() {
    if (m_Closed) return true;
    if (Busy()) return false;
    // The document's own refusal (threads still calculating, Getting Started) comes first,
    // so that nothing is asked about saving a document that cannot close.
    return m_App.ThreadCount() >= 2 || m_App.m_GettingStartedRunning || SaveModified(*m_Doc);
}

bool CChildFrame::CanClose() {
    if (m_Closed) return true;
    if (!AskToClose()) return false;
    if (!m_Doc->OnCloseDocument()) return false;
    m_Closed = true;
    return true;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (CanClose())
        event->accept();
    else
        event->ignore();
}

}  // namespace quorin
