#include "grid/DocumentWorker.h"

#include <chrono>
#include <system_error>

#include "grid/QuorinDoc.h"

namespace quorin {

CDocumentWorker::~CDocumentWorker() {
    if (m_Thread.joinable()) m_Thread.join();
}

std::atomic<bool>& CDocumentWorker::Running(EWorkKind kind) {
    return kind == EWorkKind::Learning ? m_Doc.m_Learning : m_Doc.m_Associating;
}

std::atomic<bool>& CDocumentWorker::StopRequest(EWorkKind kind) {
    return kind == EWorkKind::Learning ? m_Doc.m_StopRequest : m_Doc.m_AssociatingStopRequest;
}

bool CDocumentWorker::Busy() const { return m_Doc.m_Learning || m_Doc.m_Associating; }

void CDocumentWorker::Begin(EWorkKind kind) {
    Running(kind) = true;
    m_Doc.App().ThreadStarted();
}

void CDocumentWorker::Finished(EWorkKind kind, bool refresh) {
    m_Doc.App().ThreadEnded();
    Running(kind) = false;
    if (refresh) m_Doc.RefreshViews();
}

bool CDocumentWorker::Start(EWorkKind kind, std::function<void()> body, bool refreshWhenEnded) {
    if (Busy()) return false;
    if (m_Thread.joinable()) m_Thread.join();  // a finished run
    Begin(kind);
    try {
        m_Thread = std::thread([this, kind, refreshWhenEnded, body = std::move(body)] {
            body();
            Finished(kind, refreshWhenEnded);
        });
    } catch (const std::system_error&) {
        Finished(kind, false);
        m_Doc.App().Prompts().Inform(kind == EWorkKind::Learning
                                         ? "Unable to start the learning thread."
                                         : "Unable to start the associating thread.");
        return false;
    }
    m_Kind = kind;
    return true;
}

bool CDocumentWorker::RunHere(EWorkKind kind, const std::function<void()>& body,
                              bool refreshWhenEnded) {
    if (Busy()) return false;
    if (m_Thread.joinable()) m_Thread.join();
    Begin(kind);
    body();
    Finished(kind, refreshWhenEnded);
    return true;
}

void CDocumentWorker::Wait(EWorkKind kind) {
    while (Running(kind)) {
        m_Doc.App().Views().PumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // A thread of the other kind may still be running: only this kind's is joined.
    if (m_Kind == kind && m_Thread.joinable()) m_Thread.join();
}

void CDocumentWorker::End() {
    if (!m_Thread.joinable()) return;
    StopRequest(m_Kind) = true;
    m_Thread.join();
}

}  // namespace quorin
