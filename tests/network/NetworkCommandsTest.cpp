#include "network/NetworkBuild.h"
#include "network/NetworkCommands.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class NetworkCommandsTest : public DocTest {
protected:
    // `inputs` Input columns and one Output column over six training rows.
    void Grid(int inputs) {
        std::vector<double> values;
        std::vector<int> types(inputs, Input);
        types.push_back(Output);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c <= inputs; ++c) values.push_back((r * 7 + c * 3) % 5);
        MakeGrid(6, inputs + 1, values, types);
    }
    static std::string Created(int h1, const std::string& connections) {
        return "Network created\n\nHidden layer 1 nodes: " + std::to_string(h1) +
               "\nHidden layer 2 nodes: 0\nHidden layer 3 nodes: 0\n\n" + connections +
               "\n\nDo you want to set the Controls?";
    }
};

TEST_F(NetworkCommandsTest, NewNetworkProposesSizesAndReportsTheResult) {
    Grid(1);
    CDialogForm shown;
    P.Prompts.QueueDialogOk([&shown](CDialogForm& form) { shown = form; });
    P.Prompts.QueueAnswer(IdNo);
    OnActionNewNetwork(Doc);
    EXPECT_EQ(shown.Title, "New Network");
    EXPECT_EQ(shown.Text("InputLayer"), "1 node");
    EXPECT_EQ(shown.Field("InputLayer").Tooltip, "Nodes in input layer");
    EXPECT_EQ(shown.Int("Hidden1Min"), 2);
    EXPECT_EQ(shown.Int("Hidden1Max"), 4);
    EXPECT_EQ(shown.Int("Hidden2Min"), 2);
    EXPECT_EQ(shown.Int("Hidden3Max"), 3);
    EXPECT_EQ(shown.Int("Cycles"), 10);
    EXPECT_EQ(shown.Field("Cycles").Max, 1000);
    EXPECT_EQ(shown.Int("Seconds"), 5);
    EXPECT_EQ(shown.Field("Seconds").Tooltip, "Seconds per network reconfigure [1 to 20]");
    EXPECT_EQ(shown.Field("Hidden2Max").Tooltip,
              "Second hidden layer stops growing before maximum nodes created");
    EXPECT_EQ(shown.Field("Grow3").Label, "&3");
    EXPECT_EQ(shown.Field("Grow1").Tooltip,
              "Check to allow first hidden layer to grow from min to max nodes");
    EXPECT_EQ(P.Prompts.LastText(), Created(2, "Weight connections: 4"));
    EXPECT_EQ(Doc.m_Nodes.size(), 4u);
    EXPECT_GT(P.Views.m_Refreshes.load(), 0);
}

TEST_F(NetworkCommandsTest, ThreeHundredWeightsAreQuietAndOneMoreWarns) {
    Grid(1);
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        form.Field("Hidden1Min").IntValue = 150;
        form.Field("Hidden1Max").IntValue = 150;
    });
    P.Prompts.QueueAnswer(IdNo);
    OnActionNewNetwork(Doc);
    const auto texts = P.Prompts.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2],
              "The hidden node controls you have set may\nproduce a network that will not learn.");
    EXPECT_EQ(texts.back(), Created(150, "Weight connections: 300"));

    Doc.NewDocument();
    Grid(6);
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        form.Field("Hidden1Min").IntValue = 43;
        form.Field("Hidden1Max").IntValue = 43;
    });
    P.Prompts.QueueAnswer(IdNo);
    OnActionNewNetwork(Doc);
    EXPECT_EQ(P.Prompts.LastText(),
              Created(43, "Weight connections: 301\nThis number of connections\nmay result in "
                          "slow learning."));
}

TEST_F(NetworkCommandsTest, LearntNetworksAskBeforeBeingReplaced) {
    Grid(2);
    NewNetwork(Doc, 2, 3, 1, 0);
    Doc.m_LearningCycles = 5;
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        form.Field("Hidden1Min").IntValue = 3;
        form.Field("Hidden1Max").IntValue = 1;
        form.Field("Grow2").IntValue = 1;
    });
    P.Prompts.QueueAnswer(IdNo);
    OnActionNewNetwork(Doc);
    EXPECT_EQ(P.Prompts.LastText(),
              "Creating a new network will reset\nlearning and the AutoSave settings.\n\nDo you "
              "want to continue?");
    EXPECT_EQ(Doc.m_LearningCycles, 5);
    EXPECT_EQ(Doc.m_GrowLayer2, 1);

    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        form.Field("Hidden1Min").IntValue = 3;
        form.Field("Hidden1Max").IntValue = 1;
    });
    P.Prompts.QueueAnswer(IdYes);
    P.Prompts.QueueAnswer(IdNo);
    OnActionNewNetwork(Doc);
    const auto texts = P.Prompts.Texts();
    EXPECT_EQ(texts[texts.size() - 2],
              "The maximum number of hidden nodes has been set to\nbe the same as the minimum "
              "number of hidden nodes.");
    EXPECT_EQ(Doc.m_LearningCycles, 0);
    EXPECT_EQ(CountLayers(Doc).Hidden[0], 3);
}

TEST_F(NetworkCommandsTest, ForgetLearningAsksTwiceAndMayReseed) {
    Grid(2);
    NewNetwork(Doc, 2, 2, 1, 0);
    const double fixed = Doc.m_Weights[0].Weight;
    P.Prompts.QueueAnswer(IdYes);  // restart the sequence from the clock
    P.Prompts.QueueAnswer(IdYes);
    P.Clock.m_Now = 424242;
    OnActionForgetLearning(Doc);
    const auto messages = P.Prompts.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Text,
              "The weights in 'Untitled' will be set to small random\nvalues. The random number "
              "sequence is normally started\nat the same point when the network forgets but it "
              "can\nbe restarted from a point based on the current time.\n\nDo you want to "
              "restart the random number sequence?");
    EXPECT_EQ(messages[0].DefaultButton, IdNo);
    EXPECT_EQ(messages[1].Text, "Are you sure you want 'Untitled' to forget learning?");
    EXPECT_NE(Doc.m_Weights[0].Weight, fixed);

    P.Prompts.QueueAnswer(IdNo);
    P.Prompts.QueueAnswer(IdYes);
    OnActionForgetLearning(Doc);
    EXPECT_EQ(Doc.m_Weights[0].Weight, fixed);
}

TEST_F(NetworkCommandsTest, ReconfigureCommandsNeedANetworkAndAnIdleDocument) {
    Grid(2);
    OnEditAddHL1Node(Doc);
    EXPECT_TRUE(Doc.m_Nodes.empty());
    NewNetwork(Doc, 2, 1, 1, 0);
    OnEditAddHL1Node(Doc);
    OnEditAddHL2Node(Doc);
    EXPECT_EQ(CountLayers(Doc).Hidden[0], 2);
    EXPECT_EQ(CountLayers(Doc).Hidden[1], 1);
    P.App->ThreadStarted();
    OnEditDeleteHL2Node(Doc);
    EXPECT_EQ(CountLayers(Doc).Hidden[1], 1);
    P.App->ThreadEnded();
    OnEditDeleteHL2Node(Doc);
    EXPECT_EQ(CountLayers(Doc).Hidden[1], 0);
}

}  // namespace
}  // namespace quorin::test
