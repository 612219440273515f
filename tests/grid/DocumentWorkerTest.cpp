// The document's one worker thread: one run at a time, the thread count, waiting, closing.
#include "support/FakePlatform.h"

#include <chrono>
#include <thread>

#include "grid/DocumentWorker.h"

namespace quorin::test {
namespace {

class DocumentWorkerTest : public DocTest {};

// A run that lasts until its stop request comes (or a bound, so a fault cannot hang the suite).
void RunUntil(const std::atomic<bool>& stop, std::atomic<int>& ran) {
    ++ran;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!stop && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(DocumentWorkerTest, OneRunAtATimeAndClosingRefusedUntilItEnds) {
    std::atomic<int> ran{0};
    Doc.m_StopRequest = false;
    ASSERT_TRUE(Doc.m_Worker.Start(EWorkKind::Learning, [&] { RunUntil(Doc.m_StopRequest, ran); }));
    // Raised before Start returns, not when the thread gets going.
    EXPECT_TRUE(Doc.m_Learning);
    EXPECT_EQ(P.App->ThreadCount(), 2);
    EXPECT_FALSE(Doc.m_Worker.Start(EWorkKind::Associating, [&] { ++ran; }));
    EXPECT_FALSE(Doc.m_Worker.RunHere(EWorkKind::Learning, [&] { ++ran; }));
    EXPECT_EQ(Doc.OnCloseDocument(), 0);
    // Waiting for the other kind returns at once and leaves the run alone.
    Doc.m_Worker.Wait(EWorkKind::Associating);
    EXPECT_TRUE(Doc.m_Learning);

    Doc.m_Worker.End();  // asks the learning run to stop and joins it
    EXPECT_FALSE(Doc.m_Learning);
    EXPECT_EQ(P.App->ThreadCount(), 1);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(Doc.OnCloseDocument(), 1);

    // A finished run does not block the next one, of either kind.
    Doc.m_AssociatingStopRequest = true;
    ASSERT_TRUE(Doc.m_Worker.Start(EWorkKind::Associating,
                                   [&] { RunUntil(Doc.m_AssociatingStopRequest, ran); }, true));
    Doc.m_Worker.Wait(EWorkKind::Associating);
    EXPECT_FALSE(Doc.m_Associating);
    EXPECT_EQ(P.App->ThreadCount(), 1);
    EXPECT_TRUE(Doc.m_Worker.RunHere(EWorkKind::Learning, [&] { EXPECT_TRUE(Doc.m_Learning); }));
    EXPECT_FALSE(Doc.m_Learning);
    EXPECT_EQ(P.App->ThreadCount(), 1);
}

TEST_F(DocumentWorkerTest, ADocumentGoingAwayStopsAndJoinsItsRun) {
    std::atomic<int> ran{0};
    auto doc = std::make_unique<CQuorinDoc>(*P.App);
    CQuorinDoc& d = *doc;
    d.m_AssociatingStopRequest = false;
    ASSERT_TRUE(d.m_Worker.Start(EWorkKind::Associating, [&] {
        RunUntil(d.m_AssociatingStopRequest, ran);
        d.m_Associations.push_back({});  // the run still uses its document at its end
    }));
    doc.reset();
    EXPECT_EQ(P.App->ThreadCount(), 1);
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace quorin::test
