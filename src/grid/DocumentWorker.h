#pragma once
// The document's one calculation thread: learning or association detection, never both.
// Starting, the running flags, the thread count, waiting and joining live here only.
#include <atomic>
#include <functional>
#include <thread>

namespace quorin {
class CQuorinDoc;

enum class EWorkKind { Learning, Associating };

class CDocumentWorker {
public:
    explicit CDocumentWorker(CQuorinDoc& doc) : m_Doc(doc) {}
    // The document ends the run (End) before its other members go; this only joins.
    ~CDocumentWorker();
    CDocumentWorker(const CDocumentWorker&) = delete;
    CDocumentWorker& operator=(const CDocumentWorker&) = delete;

    // A learning or associating run is on (its flag is up).
    bool Busy() const;
    // Runs `body` on a thread of its own; false when a run is already on, or (after the
    // message) when no thread could be had. The kind's flag and the thread count are up
    // when this returns, so closing and a second start are refused from then on; both go
    // down when `body` returns, and the views are refreshed after that when asked.
    bool Start(EWorkKind kind, std::function<void()> body, bool refreshWhenEnded = false);
    // The same run on the calling thread (tests, one thread); false when a run is on.
    bool RunHere(EWorkKind kind, const std::function<void()>& body, bool refreshWhenEnded = false);
    // Lets window events run until the kind's run has ended, then joins its thread.
    void Wait(EWorkKind kind);
    // The document is going away: ask the run to stop and join it.
    void End();

private:
    void Begin(EWorkKind kind);
    void Finished(EWorkKind kind, bool refresh);
    std::atomic<bool>& Running(EWorkKind kind);
    std::atomic<bool>& StopRequest(EWorkKind kind);

    CQuorinDoc& m_Doc;
    std::thread m_Thread;
    EWorkKind m_Kind = EWorkKind::Learning;  // of the last thread started
};

}  // namespace quorin
