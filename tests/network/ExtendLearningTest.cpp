#include "network/ExtendLearning.h"
#include "network/LearningFixture.h"

namespace quorin::test {
namespace {

class ExtendLearningTest : public LearningTest {
protected:
    void SetUp() override {
        MakeLineGrid();
        BuildNetwork(0);
        FreezeAtMiddle();
        Doc.m_TargetError = 0.0;
    }
    void Enable(int after, int every, int copies) {
        Doc.m_Extend.Enabled = 1;
        Doc.m_Extend.After = after;
        Doc.m_Extend.Every = every;
        Doc.m_Extend.CopiesLeft = copies;
    }
};

TEST_F(ExtendLearningTest, CopiesFollowTheScheduleUntilNoneAreLeft) {
    Enable(100, 9, 3);
    std::vector<int> due;
    for (int c = 0; c <= 140; ++c)
        if (ExtendLearningDue(Doc.m_Extend, c)) due.push_back(c);
    EXPECT_EQ(due, (std::vector<int>{100, 110, 120, 130, 140}));

    Doc.m_LearningCycles = 95;
    StopOnCycle(135);
    Learn();
    // Every row is a training row, so each of the three attempts adds one.
    ASSERT_EQ(Doc.m_RowCount, 9);
    for (int r = 6; r < 9; ++r) {
        EXPECT_EQ(Doc.m_Examples[r].ExampleType, Training);
        EXPECT_EQ(Doc.m_Examples[r].ExampleName.substr(0, 1), "~");
    }
    EXPECT_EQ(Doc.m_Extend.CopiesLeft, 0);
}

TEST_F(ExtendLearningTest, PickingARowThatIsNotTrainingUsesUpACopy) {
    Enable(0, 0, 2);
    for (int r = 0; r < 6; ++r) Doc.m_Examples[r].ExampleType = Validating;
    ExtendLearningCopy(Doc);
    EXPECT_EQ(Doc.m_Extend.CopiesLeft, 1);
    EXPECT_EQ(Doc.m_RowCount, 6);
}

TEST_F(ExtendLearningTest, RetainingTheRangeKeepsJitteredValuesInside) {
    Enable(0, 0, 200);
    Doc.m_Extend.JitterInputs = 1;
    Doc.m_Extend.JitterOutputs = 1;
    Doc.m_Extend.JitterLevel = 0;
    Doc.m_Extend.RangeHandling = 2;
    for (int i = 0; i < 200; ++i) ExtendLearningCopy(Doc);
    ASSERT_GT(Doc.m_RowCount, 100);
    int moved = 0;
    for (int r = 6; r < Doc.m_RowCount; ++r) {
        for (int c = 0; c < 2; ++c) {
            const double v = Doc.m_Examples[r].Values()[c];
            EXPECT_GE(v, 0.0);
            EXPECT_LE(v, 10.0);
            if (v != 0.0 && v != 2.0 && v != 4.0 && v != 6.0 && v != 8.0 && v != 10.0) ++moved;
        }
    }
    EXPECT_GT(moved, 0);
    EXPECT_EQ(Doc.m_InOuts[0].LowValue, 0.0);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 10.0);
}

TEST_F(ExtendLearningTest, ContractingMovesValuesTowardsTheMiddle) {
    Enable(0, 0, 100);
    Doc.m_Extend.JitterInputs = 1;
    Doc.m_Extend.RangeHandling = 0;
    for (int i = 0; i < 100; ++i) {
        const int rows = Doc.m_RowCount;
        ExtendLearningCopy(Doc);
        if (Doc.m_RowCount == rows) continue;
        const double source = Doc.m_Examples[Doc.m_Extend.LastCopiedRow].Values()[0];
        const double copy = Doc.m_Examples[rows].Values()[0];
        if (source <= 5.0)
            EXPECT_GE(copy, source);
        else
            EXPECT_LE(copy, source);
        EXPECT_EQ(Doc.m_Examples[rows].Values()[1], Doc.m_Examples[Doc.m_Extend.LastCopiedRow].Values()[1]);
    }
}

TEST_F(ExtendLearningTest, MissingValuesStayMissing) {
    Enable(0, 0, 30);
    Doc.m_Extend.JitterInputs = 1;
    Doc.m_Extend.RangeHandling = 1;
    for (int r = 0; r < 6; ++r) Doc.SetValue(0, r, kMissing, 0, 0, 0, 1);
    Doc.SetValue(0, 0, 1.0, 0, 0, 0, 1);
    Doc.SetValue(0, 5, 3.0, 0, 1, 0, 1);
    for (int i = 0; i < 30; ++i) ExtendLearningCopy(Doc);
    for (int r = 6; r < Doc.m_RowCount; ++r) {
        const double v = Doc.m_Examples[r].Values()[0];
        EXPECT_TRUE(v == kMissing || (v > 0.5 && v < 3.5)) << v;
    }
}

TEST_F(ExtendLearningTest, OutputsCanBeSetByQuerying) {
    Enable(0, 0, 1);
    Doc.m_Extend.SetOutputsByQuerying = 1;
    while (Doc.m_RowCount == 6 && Doc.m_Extend.CopiesLeft > 0) ExtendLearningCopy(Doc);
    ASSERT_EQ(Doc.m_RowCount, 7);
    EXPECT_EQ(Doc.m_Examples[6].ExampleType, Training);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[6].Values()[1], 5.0);  // the frozen network's answer
}

TEST_F(ExtendLearningTest, TheDialogProposesDefaultsUntilConfirmed) {
    Doc.m_Extend.After = 7;  // not yet confirmed: not shown
    CDialogForm shown;
    P.Prompts.QueueDialogOk([&](CDialogForm& f) {
        shown = f;
        f.Field("After").IntValue = 100;
        f.Field("Every").IntValue = -5;
        f.Field("CopiesLeft").IntValue = 3;
        f.Field("JitterLevel").IntValue = 0;
    });
    EXPECT_EQ(OnActionExtendLearning(Doc), 1);
    EXPECT_EQ(shown.Int("After"), 0);
    EXPECT_EQ(shown.Int("JitterLevel"), 2);
    EXPECT_EQ(shown.Int("RangeHandling"), 2);
    EXPECT_EQ(Doc.m_Extend.Enabled, 1);
    EXPECT_EQ(Doc.m_Extend.After, 100);
    EXPECT_EQ(Doc.m_Extend.Every, 0);  // a negative count would break the schedule
    EXPECT_EQ(Doc.m_Extend.JitterLevel, 0);

    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(OnActionExtendLearning(Doc), 0);
    EXPECT_EQ(P.Prompts.Dialogs().back().Int("After"), 100);
}

}  // namespace
}  // namespace quorin::test
