// The checks before learning and validating, and their messages.
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

const char* const kNotSuitable =
    "The Grid is not suitable to produce a network that will learn.\n\n"
    "Use Action > Check Grid to locate the problems in the Grid.";
const char* const kTwoNeeded = "At least two training examples are needed.";
const char* const kOutOfRange =
    "The Grid contains validating data outside the training range.\n\n"
    "Use Action > Check Grid to locate the problems in the Grid.";

class GridChecksTest : public DocTest {
protected:
    std::vector<std::string> Texts() const { return P.Prompts.Texts(); }
};

TEST_F(GridChecksTest, TwoDistinctTrainingRowsCanLearn) {
    MakeGrid(2, 2, {0, 1, 1, 0}, {0, 1});
    EXPECT_EQ(Doc.CanLearn(), 1);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(GridChecksTest, FewerThanTwoTrainingRows) {
    EXPECT_EQ(Doc.CanLearn(), 0);  // no columns at all
    EXPECT_EQ(Texts(), (std::vector<std::string>{kTwoNeeded}));

    P.Prompts.Clear();
    MakeGrid(3, 1, {0, 0, 2});
    Doc.SetExampleType(1, Validating);
    Doc.SetExampleType(2, Querying);
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.CanLearn(), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kTwoNeeded}));
    EXPECT_EQ(P.Prompts.Messages()[0].Buttons, EButtons::Ok);
}

TEST_F(GridChecksTest, EqualOrUnknownTrainingValuesAreNotSuitable) {
    MakeGrid(2, 2, {3, 0, 3, 1}, {0, 1});
    EXPECT_EQ(Doc.CanLearn(), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kNotSuitable}));

    P.Prompts.Clear();
    Doc.SetValue(0, 0, kMissing, 0, 1, 0, 0);
    Doc.SetValue(0, 1, kMissing, 0, 1, 0, 0);
    EXPECT_EQ(Doc.CanLearn(), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kNotSuitable}));

    // An Excluded column is not looked at.
    P.Prompts.Clear();
    Doc.SetInOutTypeAndMode(0, ExcludedCol, -1);
    EXPECT_EQ(Doc.CanLearn(), 1);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(GridChecksTest, OneKnownValueAmongMissingOnesIsNotSuitable) {
    MakeGrid(3, 2, {4, 0, kMissing, 1, kMissing, 2}, {0, 1});
    EXPECT_EQ(Doc.CanLearn(), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kNotSuitable}));
}

TEST_F(GridChecksTest, ValidatingValuesMustLieInTheTrainingRange) {
    MakeGrid(3, 2, {0, 0, 10, 1, 10, 1}, {0, 1});
    Doc.SetExampleType(2, Validating);
    Doc.RenormaliseAll(0);
    // Equal to the highest Training value: in range.
    EXPECT_EQ(Doc.ValidatingInRange(), 1);
    EXPECT_EQ(Doc.CanLearn(), 1);
    EXPECT_EQ(Doc.CanValidate(), 1);

    Doc.SetValue(0, 2, 10.5, 0, 1, 0, 1);
    EXPECT_EQ(Doc.ValidatingInRange(), 0);
    EXPECT_EQ(Doc.CanLearn(), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kOutOfRange, kOutOfRange}));

    P.Prompts.Clear();
    Doc.SetValue(0, 2, -0.5, 0, 1, 0, 1);
    EXPECT_EQ(Doc.ValidatingInRange(), 0);
    Doc.SetValue(0, 2, kMissing, 0, 1, 0, 1);  // unknown values are never out of range
    EXPECT_EQ(Doc.ValidatingInRange(), 1);
    Doc.SetValue(0, 2, 99.0, 0, 1, 0, 1);
    Doc.SetInOutTypeAndMode(0, ExcludedCol, -1);  // nor are Excluded columns looked at
    EXPECT_EQ(Doc.ValidatingInRange(), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kOutOfRange}));
}

TEST_F(GridChecksTest, CanLearnReportsOnlyTheFirstFailure) {
    // Column 0 is fine, column 1 has equal Training values, and a Validating value is out
    // of range in column 0: the range check of column 0 comes first.
    MakeGrid(3, 2, {0, 5, 10, 5, 20, 5}, {0, 1});
    Doc.SetExampleType(2, Validating);
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.CanLearn(), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kOutOfRange}));
}

TEST_F(GridChecksTest, CanValidateNeedsAValidatingRow) {
    MakeGrid(2, 1, {0, 1});
    EXPECT_EQ(Doc.CanValidate(), 0);
    Doc.AddRow(0, Validating, 0, 1);
    EXPECT_EQ(Doc.CanValidate(), 1);
    EXPECT_TRUE(Texts().empty());
}

}  // namespace
}  // namespace quorin::test
