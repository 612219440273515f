#include "network/ValidationReport.h"

#include "network/LearningFixture.h"

namespace quorin::test {
namespace {

class ValidationReportTest : public LearningTest {
protected:
    // x and a class 0, 0, 1, 1, 2, 2, 2 (Integer); rows 1, 3 and 5 validate, inside the
    // training ranges. A frozen network answers the middle of the class range, 1, for every row.
    void MakeClassGrid() {
        MakeGrid(7, 2, {0, 0, 1, 0, 2, 1, 3, 1, 4, 2, 5, 2, 6, 2}, {Input, Output});
        Doc.SetInOutTypeAndMode(1, -1, Integer);
        for (int r : {1, 3, 5}) Doc.SetExampleType(r, Validating);
        Doc.RenormaliseAll(1);
        BuildNetwork(2);
        FreezeAtMiddle();
        SetWeightsIn(Doc);
        Doc.m_ValidatingMode = 1;  // correct after rounding
    }
};

TEST_F(ValidationReportTest, ListsEveryValidatingRowAndTabulatesTheClasses) {
    MakeClassGrid();
    const CValidationReport report = MakeValidationReport(Doc);
    ASSERT_TRUE(report.HasNetwork);
    ASSERT_EQ(report.Rows.size(), 3u);
    EXPECT_EQ(report.Rows[0].Row, 1);
    EXPECT_EQ(report.Rows[0].Targets, std::vector<std::string>{"0"});
    EXPECT_EQ(report.Rows[0].Answers, std::vector<std::string>{"1"});
    EXPECT_FALSE(report.Rows[0].Meets);
    EXPECT_TRUE(report.Rows[1].Meets);
    EXPECT_FALSE(report.Rows[2].Meets);
    EXPECT_EQ(report.Meeting, 1);
    EXPECT_NEAR(report.Percent, 100.0 / 3, 1e-9);
    EXPECT_EQ(report.Rule, "correct after rounding");

    ASSERT_EQ(report.Tables.size(), 1u);
    const CConfusionTable& t = report.Tables[0];
    EXPECT_EQ(t.Column, 1);
    EXPECT_EQ(t.ClassNames, (std::vector<std::string>{"0", "1", "2"}));
    // Every class was answered as 1.
    EXPECT_EQ(t.Counts, (std::vector<std::vector<int>>{{0, 1, 0}, {0, 1, 0}, {0, 1, 0}}));

    // A Real output has rows but no table; the within rule names its percentage.
    Doc.SetInOutTypeAndMode(1, -1, Real);
    Doc.m_ValidatingMode = 0;
    Doc.m_WithinPercentage = 10.0;
    const CValidationReport real = MakeValidationReport(Doc);
    EXPECT_EQ(real.Rows.size(), 3u);
    EXPECT_TRUE(real.Tables.empty());
    EXPECT_EQ(real.Rule, "within 10 %");
}

TEST_F(ValidationReportTest, WithoutANetworkNothingIsPresented) {
    MakeGrid(3, 2, {0, 0, 1, 1, 2, 2}, {Input, Output});
    Doc.SetExampleType(1, Validating);
    const CValidationReport report = MakeValidationReport(Doc);
    EXPECT_FALSE(report.HasNetwork);
    EXPECT_TRUE(report.Rows.empty());
    EXPECT_EQ(report.Percent, 0.0);
}

TEST_F(ValidationReportTest, LearningKeepsEachResultOfTheSessionUntilLearningIsForgotten) {
    MakeClassGrid();
    EXPECT_EQ(ValidatingText(Doc), "");
    Doc.m_CyclesBeforeFirstValidating = 0;
    Doc.m_CyclesPerValidating = 2;
    StopOnCycle(6);
    Learn();
    ASSERT_EQ(Doc.m_ValidatingHistory.size(), 3u);
    EXPECT_EQ(Doc.m_ValidatingHistory[1].Cycles, 2);
    EXPECT_NEAR(Doc.m_ValidatingHistory[2].Percent, 100.0 / 3, 1e-9);
    EXPECT_EQ(ValidatingText(Doc), "Validating 33.33 % correct");
    Doc.m_ValidatingMode = 0;
    Doc.m_WithinPercentage = 10.0;
    EXPECT_EQ(ValidatingText(Doc), "Validating 33.33 % within 10 %");

    ForgetLearning(Doc, 0, 1, 1, 0);
    EXPECT_TRUE(Doc.m_ValidatingHistory.empty());
    EXPECT_EQ(ValidatingText(Doc), "");
}

}  // namespace
}  // namespace quorin::test
