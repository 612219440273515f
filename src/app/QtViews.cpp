#include "app/QtViews.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStatusBar>

#include "app/GuiThread.h"
#include "grid/QuorinDoc.h"

namespace quorin {

void CQtViews::SetReceiver(QObject* receiver) {
    std::lock_guard lock(m_Mutex);
    m_Receiver = receiver;
}

void CQtViews::RefreshViews(CQuorinDoc& doc) {
    // One posted event covers every request made before it is handled: imports and
    // scripts ask for a redraw per row.
    std::lock_guard lock(m_Mutex);
    if (!m_Receiver) return;
    const bool first = m_Pending.empty();
    m_Pending.insert(&doc);
    if (first) QCoreApplication::postEvent(m_Receiver, new CRefreshEvent);
}

void CQtViews::PostProgress(CQuorinDoc& doc, int count, int status) {
    std::unique_lock lock(m_Mutex);
    if (!m_Receiver) return;
    if (IsFileProgress(status) && OnGuiThread()) {
        // The file is read or written on this thread, so a posted message would only arrive
        // once it is done.
        QObject* receiver = m_Receiver;
        lock.unlock();
        CProgressEvent event(&doc, count, status);
        QCoreApplication::sendEvent(receiver, &event);
        return;
    }
    QCoreApplication::postEvent(m_Receiver, new CProgressEvent(&doc, count, status));
}

void CQtViews::ShowStatusMessage(CQuorinDoc& doc, const std::string& text) {
    std::lock_guard lock(m_Mutex);
    if (m_Receiver) QCoreApplication::postEvent(m_Receiver, new CStatusMessageEvent(&doc, text));
}

void CQtViews::ShowFileProgress(CQuorinDoc& doc, const std::string& caption, int percent) {
    IViews::ShowFileProgress(doc, caption, percent);
    // The file is read on this thread, so no event loop runs meanwhile: hand the note over
    // and repaint the status bar at once, without letting other events (a command) in.
    if (!OnGuiThread() || !QCoreApplication::instance()) return;
    QObject* receiver = nullptr;
    {
        std::lock_guard lock(m_Mutex);
        receiver = m_Receiver;
    }
    if (!receiver) return;
    QCoreApplication::sendPostedEvents(receiver, CStatusMessageEvent::kType);
    if (auto* frame = qobject_cast<QMainWindow*>(receiver)) frame->statusBar()->repaint();
}

void CQtViews::PumpEvents() {
    if (OnGuiThread() && QCoreApplication::instance()) QCoreApplication::processEvents();
}

std::set<const CQuorinDoc*> CQtViews::TakeRefreshRequests() {
    std::lock_guard lock(m_Mutex);
    std::set<const CQuorinDoc*> taken;
    taken.swap(m_Pending);
    return taken;
}

}  // namespace quorin
