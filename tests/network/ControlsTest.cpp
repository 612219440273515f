#include <thread>

#include "network/Controls.h"
#include "network/ControlsDialog.h"
#include "network/LearningFixture.h"
#include "network/OptimizeControls.h"

namespace quorin::test {
namespace {

class ControlsTest : public LearningTest {
protected:
    void SetUp() override {
        MakeLineGrid();
        BuildNetwork(2);
    }
    std::string SetText(const char* rate, const char* momentum, const char* target,
                        const char* state = "not", const char* start = "start") {
        return std::string("Controls have been set.\n\nLearning rate: ") + rate +
               "\nMomentum: " + momentum + "\nTarget error: " + target + "\n\nUntitled is " +
               state + " learning.\n\nDo you want it to " + start + " learning?";
    }
};

TEST_F(ControlsTest, TheDialogOpensWithTheControlsAsShown) {
    Doc.m_LearningRate = 0.456;
    Doc.m_StopSeconds = 1.234567;
    Doc.m_RandomValidatingCount = 9;
    CDialogForm shown;
    P.Prompts.QueueDialog([&](CDialogForm& f) {
        shown = f;
        return static_cast<int>(IdCancel);
    });
    const int refreshes = P.Views.m_Refreshes;
    ChangeControls(Doc);
    EXPECT_EQ(P.Views.m_Refreshes, refreshes + 1);
    EXPECT_DOUBLE_EQ(shown.Double("LearningRate"), 0.46);
    EXPECT_DOUBLE_EQ(shown.Double("StopSeconds"), 1.2346);
    EXPECT_EQ(shown.Int("RandomValidating"), 0);
    EXPECT_EQ(shown.Text("RandomValidatingText"), "6 training examples and change to validating.");
    EXPECT_EQ(shown.Field("Momentum").Tooltip, "Momentum can be 0 to 0.9");
    EXPECT_DOUBLE_EQ(Doc.m_LearningRate, 0.456);  // Cancel changes nothing
}

TEST_F(ControlsTest, ValuesAboveTheirLimitsAreReplacedWithAMessageEach) {
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("LearningRate").DoubleValue = 12.0;
        f.Field("Momentum").DoubleValue = 1.0;
        f.Field("TargetError").DoubleValue = 1.0;
        f.Field("ValidatingTarget").DoubleValue = 101.0;
        f.Field("WithinPercentage").DoubleValue = 60.0;
        f.Field("GrowLayer2").IntValue = 1;
        f.Field("StopOnCycle").IntValue = 1;
        f.Field("StopCycle").IntValue = 77;
    });
    P.Prompts.QueueAnswer(IdNo);
    ChangeControls(Doc);
    EXPECT_EQ(P.Prompts.Texts(),
              (std::vector<std::string>{"Learning Rate is too high.\nIt has been set to 10",
                                        "Momentum too is high.\nIt has been set to 0.9",
                                        "Target error is too high.\nIt has been set to 0.9",
                                        "Target validating % too high.\nIt has been set to 100%",
                                        "Desired validating range too high.\nIt has been set to 50%",
                                        SetText("10.0000", "0.9000", "0.9000")}));
    EXPECT_EQ(Doc.m_LearningRate, 10.0);
    EXPECT_EQ(Doc.m_Momentum, 0.9);
    EXPECT_EQ(Doc.m_TargetError, 0.9);
    EXPECT_EQ(Doc.m_ValidatingTarget, 100.0);
    EXPECT_EQ(Doc.m_WithinPercentage, 50.0);
    EXPECT_EQ(Doc.m_ReconfigSwitches, 0x4);
    EXPECT_EQ(Doc.m_StopOnCycle, 1);
    EXPECT_EQ(Doc.m_StopCycle, 77);
    EXPECT_TRUE(Doc.m_StopRequest);  // No stops learning
    EXPECT_TRUE(Doc.IsModified());
}

TEST_F(ControlsTest, ValuesBelowTheirLimitsAreReplacedWithAMessageEach) {
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("LearningRate").DoubleValue = 0.05;
        f.Field("Momentum").DoubleValue = -0.1;
        f.Field("TargetError").DoubleValue = -1.0;
        f.Field("CyclesPerValidating").IntValue = -1;
        f.Field("CyclesBeforeFirstValidating").IntValue = -2;
        f.Field("ValidatingTarget").DoubleValue = -3.0;
        f.Field("WithinPercentage").DoubleValue = -4.0;
        f.Field("StopCycle").IntValue = -5;
        f.Field("StopSeconds").DoubleValue = -6.0;
    });
    P.Prompts.QueueAnswer(IdNo);
    ChangeControls(Doc);
    EXPECT_EQ(P.Prompts.Texts(),
              (std::vector<std::string>{
                  "Learning Rate is too low.\nIt has been set to 0.1",
                  "Momentum is too low.\nIt has been set to 0.0",
                  "Target error is too low.\nIt has been set to 0.0",
                  "Training cycles per validating cycles invalid\nIt has been set to 0",
                  "Training cycles before first validating cycle invalid\nIt has been set to 0",
                  "Target validating % too low.\nIt has been set to 0%",
                  "Desired validating range too low.\nIt has been set to 0%",
                  "Stop on cycles set to 0", "Stop after seconds set to 0.0",
                  SetText("0.1000", "0.0000", "0.0000")}));
    EXPECT_EQ(Doc.m_LearningRate, 0.1);
    EXPECT_EQ(Doc.m_CyclesPerValidating, 0);
    EXPECT_EQ(Doc.m_StopSeconds, 0.0);
}

TEST_F(ControlsTest, ImageOutputsAreOfferedALowTarget) {
    Doc.m_InOuts[1].Mode = Image;
    P.Prompts.QueueDialogOk();
    P.Prompts.QueueAnswer(IdYes);
    P.Prompts.QueueAnswer(IdNo);
    ChangeControls(Doc);
    EXPECT_EQ(P.Prompts.Texts().front(),
              "Networks with Image mode outputs normally\nrequire a target error of 0.0001 or "
              "lower.\n\nDo you want to set the target to 0.0001?");
    EXPECT_EQ(Doc.m_TargetError, 0.0001);
}

TEST_F(ControlsTest, CancellingTheOptimiseQuestionLeavesEverything) {
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("OptimiseMomentum").IntValue = 1;
        f.Field("LearningRate").DoubleValue = 3.0;
    });
    P.Prompts.QueueAnswer(IdCancel);
    ChangeControls(Doc);
    EXPECT_EQ(P.Prompts.Messages().back().Buttons, EButtons::YesNoCancel);
    EXPECT_EQ(Doc.m_LearningRate, 0.6);
    EXPECT_EQ(Doc.m_OptimiseMomentum, 0);
}

TEST_F(ControlsTest, OptimisingWithAFallingErrorEndsAtMomentum08AndRate10) {
    Doc.m_Nodes.clear();
    Doc.m_Weights.clear();
    BuildNetwork(0);  // one logistic layer: every larger rate learns faster here
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("OptimiseMomentum").IntValue = 1;
        f.Field("OptimiseLearningRate").IntValue = 1;
    });
    P.Prompts.QueueAnswer(IdYes);
    P.Prompts.QueueAnswer(IdNo);
    ChangeControls(Doc);
    EXPECT_DOUBLE_EQ(Doc.m_Momentum, 0.8);
    EXPECT_DOUBLE_EQ(Doc.m_LearningRate, 1.0);
    EXPECT_EQ(Doc.m_LearningCycles, 0);  // learning was reset
    EXPECT_TRUE(Doc.m_GraphPoints.empty());
    EXPECT_EQ(P.Prompts.LastText(), SetText("1.0000", "0.8000", "0.0500"));
}

TEST_F(ControlsTest, AWorseTrialEndsTheSearchWithTheValueJustTried) {
    // With two hidden nodes momentum 0.6 and learning rate 0.6 each do worse than 0.5.
    Doc.m_OptimiseMomentum = 1;
    Doc.m_OptimiseLearningRate = 1;
    Doc.m_Momentum = 0.1;
    OptimizeControls(Doc);
    EXPECT_DOUBLE_EQ(Doc.m_Momentum, 0.6);
    EXPECT_DOUBLE_EQ(Doc.m_LearningRate, 0.6);
    EXPECT_TRUE(Doc.IsModified());
}

TEST_F(ControlsTest, OptimizeLearnRunsForwardCyclesWithinItsLimits) {
    SetWeightsIn(Doc);
    const double e = OptimizeLearn(Doc, 5000, 50);
    EXPECT_EQ(Doc.m_LearningCycles, 1000);
    EXPECT_GE(e, 0.0);
    EXPECT_LT(e, 1.0);
}

TEST_F(ControlsTest, SettingControlsWhileLearningOffersToContinue) {
    Doc.m_TargetError = 0.0;
    ASSERT_EQ(StartLearning(Doc, 0), 1);
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Momentum").DoubleValue = 0.5; });
    P.Prompts.QueueAnswer(IdYes);
    ChangeControls(Doc);
    EXPECT_TRUE(Doc.m_Learning);
    EXPECT_FALSE(Doc.m_StopRequest);
    EXPECT_EQ(P.Prompts.LastText(), SetText("0.6000", "0.5000", "0.0000", "already", "continue"));
    Stop(Doc);
    WaitForLearning(Doc);
}

TEST_F(ControlsTest, RandomValidatingRowsAreChosenFromTheDialog) {
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("RandomValidating").IntValue = 2; });
    P.Prompts.QueueAnswer(IdNo);
    ChangeControls(Doc);
    int validating = 0;
    for (const CExample& ex : Doc.m_Examples) validating += ex.ExampleType == Validating;
    EXPECT_EQ(validating, 2);
}

TEST_F(ControlsTest, ResetNetworkRestoresTheDefaults) {
    Doc.m_LearningRate = 3.0;
    Doc.m_Extend.Enabled = 1;
    Doc.m_Extend.CopiesLeft = 4;
    Doc.m_LastValidatingResult = 50.0;
    Doc.m_Status = StatusLearning;
    ResetNetwork(Doc);
    EXPECT_EQ(Doc.m_LearningRate, 0.6);
    EXPECT_EQ(Doc.m_Extend.Enabled, 0);
    EXPECT_EQ(Doc.m_Extend.CopiesLeft, 0);
    EXPECT_EQ(Doc.m_LastValidatingResult, 0.0);
    EXPECT_EQ(Doc.m_Status, StatusStopped);
}

}  // namespace
}  // namespace quorin::test
