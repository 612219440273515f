#include <bit>

#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

TEST(MissingValue, MarkerHasItsExactBitPatterns) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kMissing), 0x47EC363CC0000000u);
    EXPECT_EQ(kMissing, static_cast<double>(3e38f));
    EXPECT_EQ(kMinusMissing, -kMissing);
}

class NormalisationTest : public DocTest {};

TEST_F(NormalisationTest, ValidatingValuesOutsideTheTrainingRangeClamp) {
    MakeGrid(3, 1, {2.0, 4.0, 6.0});
    Doc.SetExampleType(2, Validating);
    Doc.SetValue(0, 2, 10.0, 0, 1, 0, 1);
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].LowValue, 2.0);
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].HighValue, 4.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 1.0);
    Doc.SetValue(0, 2, -3.0, 0, 1, 0, 1);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 0.0);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[1].NormalisedValues[0], 1.0);
}

TEST_F(NormalisationTest, MissingValuesFollowTheModeAndTheChoice) {
    MakeGrid(3, 2, {1.0, 1.0, 3.0, 0.0, kMissing, kMissing});
    Doc.m_MissingDataChoice = MissingHighest;
    Doc.SetInOutTypeAndMode(1, -1, Bool);
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 1.0);  // Real under "highest"
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[1], 0.5);  // Bool always the middle
    Doc.m_MissingDataChoice = MissingLowest;
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 0.0);
}

TEST_F(NormalisationTest, ConstantColumnsNormaliseToTheLowerLimit) {
    MakeGrid(2, 2, {5.0, 0.0, 5.0, 0.0});
    EXPECT_EQ(Doc.m_InOuts[0].LowValue, 5.0);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 5.0);
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues[0], 0.0);  // 0/0 is undefined
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues[1], 0.0);  // high 0 becomes 1e-10
}

TEST_F(NormalisationTest, AHighestValueOfZeroIsReplacedEvenInAWideRange) {
    MakeGrid(3, 1, {-5.0, 0.0, -2.5});
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 0.0);  // the stored range keeps the real 0
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues[0], 0.0);
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues[0], 5.0 / (1e-10 + 5.0));
    EXPECT_LT(Doc.m_Examples[1].NormalisedValues[0], 1.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 2.5 / (1e-10 + 5.0));
}

TEST_F(NormalisationTest, SingleRowLeavesOtherRowsStale) {
    MakeGrid(3, 1, {0.0, 10.0, 5.0});
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 0.5);
    Doc.SetValue(0, 1, 20.0, 0, 1, 1, 1);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 20.0);
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues[0], 1.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 0.5);  // stale until re-normalised
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 0.25);
}

TEST_F(NormalisationTest, QueryingRowsNeverMoveTheRange) {
    MakeGrid(2, 1, {0.0, 10.0});
    Doc.AddRow(0, Querying, 0, 0);
    EXPECT_EQ(Doc.m_Examples[2].ExampleName, "Query");
    Doc.SetValue(0, 2, 100.0, 0, 1, 0, 1);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 10.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues[0], 1.0);
}

TEST_F(NormalisationTest, AverageChoiceWithoutKnownValuesFallsToTheLowerLimit) {
    MakeGrid(2, 2, {0.0, kMissing, 10.0, kMissing});
    Doc.m_MissingDataChoice = MissingAverage;
    Doc.ComputeColumnAverages();
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues[1], 0.0);
    Doc.SetValue(0, 1, kMissing, 0, 0, 0, 0);
    Doc.AddRow(0, Validating, 0, 1);
    Doc.SetValue(0, 2, 2.0, 0, 0, 0, 0);
    Doc.SetValue(0, 0, 0.0, 0, 1, 0, 0);
    Doc.SetValue(0, 1, 10.0, 0, 1, 0, 0);
    Doc.ComputeColumnAverages();  // mean of 0, 10 and the validating 2 = 4
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].AverageValue, 0.4);
}

}  // namespace
}  // namespace quorin::test
