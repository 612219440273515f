#include "network/LearningFixture.h"
#include "network/Validation.h"

namespace quorin::test {
namespace {

class ValidationTest : public LearningTest {
protected:
    // Output columns with the given ranges; activations are set by hand per output node.
    void MakeOutputs(const std::vector<std::pair<double, double>>& ranges) {
        std::vector<int> types{Input};
        for (size_t i = 0; i < ranges.size(); ++i) types.push_back(Output);
        const int cols = static_cast<int>(types.size());
        std::vector<double> values;
        for (int r = 0; r < 3; ++r) {
            values.push_back(r);
            for (const auto& range : ranges) values.push_back(r == 0 ? range.first : range.second);
        }
        MakeGrid(3, cols, values, types);
        BuildNetwork(0);
        Doc.SetExampleType(2, Validating);
    }
    // Desired value of output column `col` in the validating row, and the output the
    // network gives for it.
    void Set(int col, double desired, double output) {
        Doc.m_Examples[2].Values()[col] = desired;
        const CInOut& io = Doc.m_InOuts[col];
        Doc.m_Nodes[FirstOutput() + col - 1].Activation =
            (output - io.LowValue) / (io.HighValue - io.LowValue);
    }
    int FirstOutput() const {
        int n = 0;
        while (Doc.m_Nodes[n].NodeType != OutputNode) ++n;
        return n;
    }
    int Validates() { return ExampleValidates(Doc, 2); }
};

TEST_F(ValidationTest, WithinChecksTheOutputAgainstAPercentageOfTheDesiredValue) {
    MakeOutputs({{0.0, 16.0}});
    Doc.m_WithinPercentage = 10.0;
    Set(1, 10.0, 9.0);
    EXPECT_EQ(Validates(), 1);
    Set(1, 10.0, 11.0);
    EXPECT_EQ(Validates(), 1);
    Set(1, 10.0, 8.99);
    EXPECT_EQ(Validates(), 0);
    Set(1, 0.0, 0.0);
    EXPECT_EQ(Validates(), 1);
    Set(1, 0.0, 0.001);
    EXPECT_EQ(Validates(), 0);
}

TEST_F(ValidationTest, NegativeDesiredValuesSwapTheBounds) {
    MakeOutputs({{-16.0, 0.0}});
    Set(1, -10.0, -10.5);
    EXPECT_EQ(Validates(), 1);
    Set(1, -10.0, -11.5);
    EXPECT_EQ(Validates(), 0);
}

TEST_F(ValidationTest, CorrectAfterRoundingRoundsHalvesAwayFromZero) {
    MakeOutputs({{-4.0, 4.0}});
    Doc.m_ValidatingMode = 1;
    Set(1, 2.0, 2.49);
    EXPECT_EQ(Validates(), 1);
    Set(1, 2.0, 2.5);
    EXPECT_EQ(Validates(), 0);
    Set(1, -2.0, -2.4);
    EXPECT_EQ(Validates(), 1);
    Set(1, -2.0, -2.5);
    EXPECT_EQ(Validates(), 0);
}

TEST_F(ValidationTest, SeveralOutputsCompareTheirMeans) {
    MakeOutputs({{0.0, 16.0}, {0.0, 16.0}});
    Set(1, 10.0, 4.0);
    Set(2, 10.0, 16.0);
    EXPECT_EQ(Validates(), 1);
    Doc.m_ValidatingMode = 1;
    EXPECT_EQ(Validates(), 0);
}

class TextValidationTest : public ValidationTest {
protected:
    void SetUp() override {
        MakeOutputs({{0.0, 16.0}, {1000.0, 2000.0}});
        Doc.SetInOutTypeAndMode(2, -1, Text);
        Doc.m_HashTexts.push_back({2, 1000.0, "cat"});
        Doc.m_HashTexts.push_back({2, 2000.0, "dog"});
        Set(1, 10.0, 0.0);  // far out, but the last output column is a text column
    }
};

TEST_F(TextValidationTest, ApproximateTextsPassWithinTheirTildeAllowance) {
    Set(2, 1000.0, 1000.0);
    EXPECT_EQ(Validates(), 1);  // no mean test after a text column
    Set(2, 1000.0, 1003.0);     // 0.3 % off: "~~cat"
    Doc.m_WithinPercentage = 10.0;
    EXPECT_EQ(Validates(), 1);
    Doc.m_WithinPercentage = 5.0;
    EXPECT_EQ(Validates(), 0);
    Doc.m_WithinPercentage = 50.5;
    Set(2, 1000.0, 1900.0);  // "~~~~dog" would never pass, but above 50 % any text does
    EXPECT_EQ(Validates(), 1);
    Doc.m_ValidatingMode = 1;  // numeric columns are now checked one by one
    Set(1, 10.0, 10.2);
    Set(2, 1000.0, 1003.0);
    EXPECT_EQ(Validates(), 0);
    Set(2, 1000.0, 1000.0);
    EXPECT_EQ(Validates(), 1);
}

TEST(TildeAllowance, GrowsWithTheWithinPercentage) {
    EXPECT_EQ(TildeAllowance(0.0), 0);
    EXPECT_EQ(TildeAllowance(2.0), 0);
    EXPECT_EQ(TildeAllowance(2.01), 1);
    EXPECT_EQ(TildeAllowance(5.0), 1);
    EXPECT_EQ(TildeAllowance(10.0), 2);
    EXPECT_EQ(TildeAllowance(20.0), 3);
    EXPECT_EQ(TildeAllowance(50.0), 4);
    EXPECT_EQ(TildeAllowance(50.01), -1);
}

class ValidatingRunTest : public LearningTest {
protected:
    // Rows 0..5 training (y = x over 0..10); rows 6 and 7 validating with desired 5 and 9.
    // The frozen network answers 5 for every row.
    void SetUp() override {
        MakeLineGrid();
        for (double y : {5.0, 9.0}) {
            Doc.AddRow(0, Validating, 0, 1);
            const int r = Doc.m_RowCount - 1;
            Doc.SetValue(0, r, y, 0, 0, 0, 1);
            Doc.SetValue(1, r, y, 0, 0, 0, 1);
        }
        Doc.RenormaliseAll(1);
        BuildNetwork(0);
        FreezeAtMiddle();
        Doc.m_TargetError = 0.0;
        Doc.m_CyclesBeforeFirstValidating = 0;
        Doc.m_CyclesPerValidating = 1;
    }
};

TEST_F(ValidatingRunTest, ValidateGivesThePercentageOfRowsThatValidate) {
    EXPECT_DOUBLE_EQ(Validate(Doc), 50.0);
    EXPECT_EQ(Doc.m_CanValidate, 1);
}

TEST_F(ValidatingRunTest, TheTargetIsMetWithinATolerance) {
    Doc.m_ValidatingTarget = 50.0009;  // as 100 % is met at 99.999 %
    Learn();
    EXPECT_EQ(Doc.m_LearningCycles, 1);
    EXPECT_EQ(Doc.m_Status, StatusValidatingInRange);
    EXPECT_DOUBLE_EQ(Doc.m_LastValidatingResult, 50.0);

    Doc.m_ValidatingMode = 1;
    Learn();
    EXPECT_EQ(Doc.m_Status, StatusValidatingCorrect);

    Doc.m_ValidatingTarget = 50.0011;
    StopOnCycle(5);
    Learn();
    EXPECT_EQ(Doc.m_Status, StatusStopped);
}

TEST_F(ValidatingRunTest, TheFirstValidationNeverCountsAsADecrease) {
    Doc.m_StopIfValidatingDecreases = 1;
    Doc.m_WithinPercentage = 0.0;
    Doc.m_Examples[6].Values()[1] = 4.0;  // now no row validates: 0 %
    Doc.m_CyclesBeforeFirstValidating = 2;
    StopOnCycle(6);
    Learn();
    EXPECT_EQ(Doc.m_LearningCycles, 6);
    EXPECT_DOUBLE_EQ(Doc.m_LastValidatingResult, 0.0);
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(ValidatingRunTest, AValidateNowRequestIsAnsweredAtTheEndOfTheCycle) {
    Doc.m_CyclesPerValidating = 0;
    Doc.m_ValidateNowRequest = true;
    StopOnCycle(0);
    Learn();
    EXPECT_DOUBLE_EQ(Doc.m_LastValidatingResult, 50.0);
    EXPECT_FALSE(Doc.m_ValidateNowRequest);
}

class RandomValidatingTest : public LearningTest {};

TEST_F(RandomValidatingTest, NeverPicksTheFirstOrLastRow) {
    MakeLineGrid(8);
    EXPECT_EQ(SelectRandomValidating(Doc, 6), 1);
    EXPECT_TRUE(P.Prompts.Texts().empty());
    EXPECT_EQ(Doc.m_Examples[0].ExampleType, Training);
    EXPECT_EQ(Doc.m_Examples[7].ExampleType, Training);
    for (int r = 1; r < 7; ++r) EXPECT_EQ(Doc.m_Examples[r].ExampleType, Validating);
}

TEST_F(RandomValidatingTest, TooManyIsReducedWithAMessage) {
    MakeLineGrid(8);
    EXPECT_EQ(SelectRandomValidating(Doc, 7), 1);
    EXPECT_EQ(P.Prompts.LastText(),
              "The number of random validating examples\nis too high and has been reduced to 6.");
    int validating = 0;
    for (const CExample& ex : Doc.m_Examples) validating += ex.ExampleType == Validating;
    EXPECT_EQ(validating, 6);
}

TEST_F(RandomValidatingTest, ValidatingRowsOutsideTheRangeStopLearning) {
    MakeGrid(4, 2, {5, 5, 0, 0, 10, 10, 5, 5}, {Input, Output});
    // Row 1 or 2 becomes validating; either takes an end of the range with it.
    EXPECT_EQ(SelectRandomValidating(Doc, 1), 0);
    EXPECT_TRUE(Doc.m_StopRequest);
    EXPECT_EQ(P.Prompts.LastText(),
              "The Grid contains validating data outside the training range.\n\n"
              "Use Action > Check Grid to locate the problems in the Grid.");
}

class ValidatingRulesTest : public LearningTest {};

TEST_F(ValidatingRulesTest, OutputRulesOpenWithTheDocumentsModeAndAppend) {
    MakeLineGrid();
    Doc.m_FileStatus = 8;
    Doc.m_ValidatingMode = 1;
    Doc.m_WithinPercentage = 12.345;
    CDialogForm shown;
    P.Prompts.QueueDialogOk([&](CDialogForm& f) {
        shown = f;
        f.Field("WithinScore").IntValue = 3;
    });
    EXPECT_EQ(OnValidatingRules(Doc, 1), 1);
    EXPECT_EQ(shown.Title, "Output Validating Rules");
    EXPECT_FALSE(shown.Check("Within"));
    EXPECT_TRUE(shown.Check("Correct"));
    EXPECT_DOUBLE_EQ(shown.Double("WithinPercentage"), 12.35);
    ASSERT_EQ(Doc.m_Rules.size(), 1u);
    EXPECT_EQ(Doc.m_Rules[0].Col, 1);
    EXPECT_EQ(Doc.m_Rules[0].WithinScore, 3);
    EXPECT_EQ(Doc.m_Rules[0].CorrectScore, 1);
    EXPECT_EQ(Doc.m_FileStatus, 11);

    // The next time the column's own rule is shown.
    P.Prompts.QueueDialogOk([&](CDialogForm& f) { shown = f; });
    OnValidatingRules(Doc, 1);
    EXPECT_EQ(shown.Int("WithinScore"), 3);
    EXPECT_EQ(Doc.m_Rules.size(), 2u);
}

TEST_F(ValidatingRulesTest, InputRulesAppendAnEmptyRuleAndCancelAddsNothing) {
    MakeLineGrid();
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(OnValidatingRules(Doc, 0), 0);
    EXPECT_TRUE(Doc.m_Rules.empty());
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Value").IntValue = 3; });
    EXPECT_EQ(OnValidatingRules(Doc, 0), 1);
    ASSERT_EQ(Doc.m_Rules.size(), 1u);
    EXPECT_EQ(Doc.m_Rules[0].Col, 0);
    EXPECT_EQ(Doc.m_Rules[0].Within, 0);
    EXPECT_EQ(Doc.m_Rules[0].WithinPercentage, 0.0);
    EXPECT_EQ(OnValidatingRules(Doc, 7), 0);  // no such column
}

}  // namespace
}  // namespace quorin::test
