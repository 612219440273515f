#include <bit>
#include <cmath>
#include <cstdlib>
#include <string>

#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

TEST(MissingValue, MarkerHasItsExactBitPatterns) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kMissing), 0x47EC363CC0000000u);
    EXPECT_EQ(kMissing, static_cast<double>(3e38f));
    EXPECT_EQ(kMinusMissing, -kMissing);
}

class NormalisationTest : public DocTest {};

// Ranges equal bit for bit, image code ranges included.
void ExpectSameRanges(const std::vector<CInOut>& got, const std::vector<CInOut>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t c = 0; c < got.size(); ++c) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got[c].LowValue), std::bit_cast<std::uint64_t>(expected[c].LowValue));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got[c].HighValue), std::bit_cast<std::uint64_t>(expected[c].HighValue));
        EXPECT_EQ(got[c].ImageCodeLow, expected[c].ImageCodeLow);
        EXPECT_EQ(got[c].ImageCodeHigh, expected[c].ImageCodeHigh);
    }
}


TEST_F(NormalisationTest, ValidatingValuesOutsideTheTrainingRangeClamp) {
    MakeGrid(3, 1, {2.0, 4.0, 6.0});
    Doc.SetExampleType(2, Validating);
    Doc.SetValue(0, 2, 10.0, 0, 1, 0, 1);
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].LowValue, 2.0);
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].HighValue, 4.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 1.0);
    Doc.SetValue(0, 2, -3.0, 0, 1, 0, 1);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 0.0);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[1].NormalisedValues()[0], 1.0);
}

TEST_F(NormalisationTest, MissingValuesFollowTheModeAndTheChoice) {
    MakeGrid(3, 2, {1.0, 1.0, 3.0, 0.0, kMissing, kMissing});
    Doc.m_MissingDataChoice = MissingHighest;
    Doc.SetInOutTypeAndMode(1, -1, Bool);
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 1.0);  // Real under "highest"
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[1], 0.5);  // Bool always the middle
    Doc.m_MissingDataChoice = MissingLowest;
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 0.0);
}

TEST_F(NormalisationTest, ConstantColumnsNormaliseToTheLowerLimit) {
    MakeGrid(2, 2, {5.0, 0.0, 5.0, 0.0});
    EXPECT_EQ(Doc.m_InOuts[0].LowValue, 5.0);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 5.0);
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues()[0], 0.0);  // 0/0 is undefined
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[1], 0.0);  // high 0 becomes 1e-10
}

TEST_F(NormalisationTest, AHighestValueOfZeroIsReplacedEvenInAWideRange) {
    MakeGrid(3, 1, {-5.0, 0.0, -2.5});
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 0.0);  // the stored range keeps the real 0
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues()[0], 0.0);
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[0], 5.0 / (1e-10 + 5.0));
    EXPECT_LT(Doc.m_Examples[1].NormalisedValues()[0], 1.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 2.5 / (1e-10 + 5.0));
}

TEST_F(NormalisationTest, SingleRowLeavesOtherRowsStale) {
    MakeGrid(3, 1, {0.0, 10.0, 5.0});
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 0.5);
    Doc.SetValue(0, 1, 20.0, 0, 1, 1, 1);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 20.0);
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[0], 1.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 0.5);  // stale until re-normalised
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 0.25);
}

TEST_F(NormalisationTest, QueryingRowsNeverMoveTheRange) {
    MakeGrid(2, 1, {0.0, 10.0});
    Doc.AddRow(0, Querying, 0, 0);
    EXPECT_EQ(Doc.m_Examples[2].ExampleName, "Query");
    Doc.SetValue(0, 2, 100.0, 0, 1, 0, 1);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 10.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 1.0);
}

TEST_F(NormalisationTest, AverageChoiceWithoutKnownValuesFallsToTheLowerLimit) {
    MakeGrid(2, 2, {0.0, kMissing, 10.0, kMissing});
    Doc.m_MissingDataChoice = MissingAverage;
    Doc.ComputeColumnAverages();
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues()[1], 0.0);
    Doc.SetValue(0, 1, kMissing, 0, 0, 0, 0);
    Doc.AddRow(0, Validating, 0, 1);
    Doc.SetValue(0, 2, 2.0, 0, 0, 0, 0);
    Doc.SetValue(0, 0, 0.0, 0, 1, 0, 0);
    Doc.SetValue(0, 1, 10.0, 0, 1, 0, 0);
    Doc.ComputeColumnAverages();  // mean of 0, 10 and the validating 2 = 4
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].AverageValue, 0.4);
}


// RenormaliseAll walks the rows once for all columns, in ranges of rows on several threads
// for a Grid this size; SetValue's per-column passes are the reference, bit for bit, over
// modes, row types, missing cells, constant and all-missing columns, and 0 beside -0.
TEST_F(NormalisationTest, RowMajorRangesAndRenormalisingMatchThePerColumnPasses) {
    const char* had = std::getenv("QUORIN_THREADS");
    const std::string saved = had ? had : "";
    setenv("QUORIN_THREADS", "4", 1);
    struct CRestore {
        const char* Had;
        const std::string& Saved;
        ~CRestore() { Had ? setenv("QUORIN_THREADS", Saved.c_str(), 1) : unsetenv("QUORIN_THREADS"); }
    } restore{had, saved};
    const int rows = 90000;
    const int cols = 6;
    std::vector<double> values;
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const double x = static_cast<double>(next() % 200001) / 1000.0 - 100.0;
            double v = x;
            if (c == 1) v = next() % 2;
            if (c == 2) v = static_cast<double>(next() % 50) / 7.0;
            if (c == 3) v = kMissing;
            if (c == 4) v = r == 1 ? 0.0 : -0.0;  // the first Training row holds the only 0
            if (c == 5) v = -std::abs(x);
            if (c != 3 && next() % 9 == 0) v = kMissing;
            values.push_back(v);
        }
    }
    MakeGrid(rows, cols, values);
    Doc.SetInOutTypeAndMode(1, -1, Bool);
    Doc.SetInOutTypeAndMode(2, -1, Text);
    for (int r = 0; r < rows; r += 7) Doc.SetExampleType(r, Validating);
    for (int r = 3; r < rows; r += 11) Doc.SetExampleType(r, Querying);
    Doc.m_Examples[5].Values()[5] = 0.0;  // the highest Training value of column 5 is 0
    Doc.m_Examples[5].ExampleType = Training;
    const auto examples = Doc.m_Examples;
    const auto inOuts = Doc.m_InOuts;
    for (const int choice : {MissingMedian, MissingHighest, MissingLowest, MissingAverage}) {
        SCOPED_TRACE(choice);
        Doc.m_MissingDataChoice = choice;
        Doc.m_Examples = examples;
        Doc.m_InOuts = inOuts;
        Doc.SetColumnAverages();
        for (int c = 0; c < cols; ++c) Doc.SetValue(c, 0, Doc.m_Examples[0].Values()[c], 0, 1, 0, 0);
        const auto expectedRows = Doc.m_Examples;
        const auto expectedCols = Doc.m_InOuts;
        Doc.m_Examples = examples;
        Doc.m_InOuts = inOuts;
        Doc.ComputeColumnAverages();
        ExpectSameRanges(Doc.m_InOuts, expectedCols);
        int differing = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                differing += std::bit_cast<std::uint64_t>(Doc.m_Examples[r].NormalisedValues()[c]) !=
                             std::bit_cast<std::uint64_t>(expectedRows[r].NormalisedValues()[c]);
        EXPECT_EQ(differing, 0);
    }
    // The ranges a new or opened document starts with are those of the per-column passes.
    Doc.m_Examples = examples;
    Doc.m_InOuts = inOuts;
    for (int c = 0; c < cols; ++c) {
        Doc.SetHighValue(c);
        Doc.SetLowValue(c);
    }
    const auto expectedCols = Doc.m_InOuts;
    for (CInOut& io : Doc.m_InOuts) io.LowValue = io.HighValue = 7.0;
    Doc.InitDocument();
    ExpectSameRanges(Doc.m_InOuts, expectedCols);
}

}  // namespace
}  // namespace quorin::test
