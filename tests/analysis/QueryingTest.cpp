#include <thread>

#include "analysis/Querying.h"
#include "network/LearningFixture.h"

namespace quorin::test {
namespace {

class QueryingTest : public LearningTest {
protected:
    void SetUp() override {
        MakeLineGrid();
        Doc.AddRow(0, Querying, 0, 1);
        Doc.AddRow(0, Training, 0, 1);
        Doc.SetExampleType(7, Duplicate);
        for (int r = 6; r < 8; ++r) Doc.SetValue(0, r, 3.0, 0, 1, 0, 1);
        BuildNetwork(0);
        FreezeAtMiddle();
    }
};

TEST_F(QueryingTest, RefreshAnswersQueryingAndDuplicateRows) {
    Doc.SetModified(false);
    Refresh(Doc, 1);
    EXPECT_EQ(Doc.m_Examples[6].Values()[1], 5.0);
    EXPECT_EQ(Doc.m_Examples[7].Values()[1], 5.0);
    EXPECT_EQ(Doc.m_Examples[2].Values()[1], 4.0);  // training rows keep their values
    EXPECT_TRUE(Doc.IsModified());
}

TEST_F(QueryingTest, RefreshWithoutANetworkDoesNothing) {
    Doc.m_Nodes.clear();
    Doc.m_Weights.clear();
    Refresh(Doc, 1);
    EXPECT_EQ(Doc.m_Examples[6].Values()[1], kMissing);
}

TEST_F(QueryingTest, TheTimerAnswersOnlyWhileLearningOrAStopIsPending) {
    AutoRefresh(Doc);
    EXPECT_EQ(Doc.m_Examples[6].Values()[1], kMissing);
    Doc.m_StopRequest = true;
    AutoRefresh(Doc);
    EXPECT_EQ(Doc.m_Examples[6].Values()[1], 5.0);
    EXPECT_FALSE(Doc.m_StopRequest);
}

TEST_F(QueryingTest, ABusyNetworkLeavesTheRefreshToTheLearningThread) {
    Doc.m_Learning = true;  // as if a cycle were running and holding the network
    {
        std::lock_guard lock(Doc.m_NetworkMutex);
        std::thread tick([&] { AutoRefresh(Doc); });
        tick.join();
    }
    EXPECT_TRUE(Doc.m_RefreshRequest);
    EXPECT_EQ(Doc.m_Examples[6].Values()[1], kMissing);
    Doc.m_Learning = false;

    Doc.m_TargetError = 0.0;
    StopOnCycle(0);
    Learn();
    EXPECT_FALSE(Doc.m_RefreshRequest);
    EXPECT_EQ(Doc.m_Examples[6].Values()[1], 5.0);
}

}  // namespace
}  // namespace quorin::test
