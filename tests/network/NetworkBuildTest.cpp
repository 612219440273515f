#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "network/RandomWeights.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class NetworkBuildTest : public DocTest {
protected:
    void SetUp() override { MakeGrid(3, 3, {0, 1, 0, 1, 0, 1, 0.5, 0.5, 0}, {Input, Input, Output}); }
    std::vector<double> Weights() const {
        std::vector<double> result;
        for (const CWeight& weight : Doc.m_Weights) result.push_back(weight.Weight);
        for (const CNode& node : Doc.m_Nodes) result.push_back(node.Bias);
        return result;
    }
};

TEST(RandomWeights, FollowTheSeededSequence) {
    SeedRandom(12345);
    EXPECT_EQ(NextRandom(), 7584);
    EXPECT_EQ(NextRandom(), 19164);
    SeedRandom(12345);
    EXPECT_EQ(RandomWeight(), 7584 * 0.000030518507 - 0.5);
    SeedRandom(0xFFFFFFFFu);  // the state wraps modulo 2^32
    EXPECT_EQ(NextRandom(), static_cast<int>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
}

TEST_F(NetworkBuildTest, TwoOneOneHasItsOrderAndItsPinnedWeights) {
    NewNetwork(Doc, 2, 1, 1, 0);
    ASSERT_EQ(Doc.m_Nodes.size(), 4u);
    const int layers[] = {0, 0, 1, 9};
    const int types[] = {0, 0, 1, 2};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Doc.m_Nodes[k].NodeNumber, k);
        EXPECT_EQ(Doc.m_Nodes[k].Layer, layers[k]);
        EXPECT_EQ(Doc.m_Nodes[k].NodeType, types[k]);
    }
    ASSERT_EQ(Doc.m_Weights.size(), 3u);
    const int from[] = {0, 1, 2}, to[] = {2, 2, 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Doc.m_Weights[i].FromNode, from[i]);
        EXPECT_EQ(Doc.m_Weights[i].ToNode, to[i]);
    }
    // Forgetting re-seeds with 12345: weights take the first three draws, biases the next four.
    EXPECT_EQ(Doc.m_Weights[0].Weight, -0.26854764291199995);
    EXPECT_EQ(Doc.m_Weights[1].Weight, 0.08485666814800008);
    EXPECT_EQ(Doc.m_Weights[2].Weight, 0.287224888065);
    EXPECT_EQ(Doc.m_Nodes[0].Bias, 0.17522196737500007);
    EXPECT_EQ(Doc.m_Nodes[3].Bias, 0.3385570168390001);
    EXPECT_EQ(Doc.m_Nodes[2].FirstWeight, 0);
    EXPECT_EQ(Doc.m_Nodes[2].LastWeight, 2);
    EXPECT_EQ(Doc.m_Nodes[3].FirstWeight, 2);
    EXPECT_EQ(Doc.m_Nodes[0].FirstWeight, -1);
    EXPECT_EQ(Doc.m_NetworkExists, 1);
}

TEST_F(NetworkBuildTest, WithoutHiddenNodesInputsFeedOutputsDirectly) {
    NewNetwork(Doc, 2, 0, 1, 0);
    EXPECT_EQ(Doc.m_Nodes.size(), 3u);
    EXPECT_EQ(Doc.m_Weights.size(), 2u);
    EXPECT_EQ(Doc.m_Weights[1].ToNode, 2);
    ConnectInputs(Doc, 1, 1);
    CalculateActivations(Doc);
    CalculateErrors(Doc, 1);
    EXPECT_EQ(Doc.m_Nodes[0].Error, 0.0);  // nothing propagates into the input layer
}

TEST_F(NetworkBuildTest, ForgettingRepeatsUnlessReseededAndSparesRemovedWeights) {
    NewNetwork(Doc, 2, 2, 1, 0);
    const auto first = Weights();
    Doc.m_Weights[1].WeightType = 1;
    Doc.m_Weights[1].Weight = 7.0;
    Doc.m_Weights[0].WeightNumber = 5;
    Doc.m_LearningCycles = 40;
    Doc.m_PruningOption = Doc.m_ConnectionPruning = 1;
    Doc.m_GraphPoints.resize(3);
    Doc.SetExampleError(0, 0.3);
    ASSERT_EQ(ForgetLearning(Doc, 0, 1, 1, 0), 1);
    EXPECT_EQ(Doc.m_Weights[1].Weight, 7.0);
    EXPECT_EQ(Doc.m_Weights[0].WeightNumber, 0);
    EXPECT_EQ(Doc.m_LearningCycles, 0);
    EXPECT_EQ(Doc.m_StartLearningCycles, 40);
    EXPECT_EQ(Doc.m_PruningOption, 0);
    EXPECT_EQ(Doc.m_ConnectionPruning, 0);
    EXPECT_TRUE(Doc.m_GraphPoints.empty());
    EXPECT_EQ(Doc.ExampleError(0), 0.0);
    // One draw fewer for the weights shifts every later one.
    EXPECT_EQ(Doc.m_Weights[2].Weight, first[1]);

    Doc.m_Weights[1].WeightType = 0;
    ForgetLearning(Doc, 0, 0, 0, 0);
    EXPECT_EQ(Weights(), first);
    P.Clock.m_Now = 987654;
    ForgetLearning(Doc, 0, 0, 0, 1);
    EXPECT_NE(Weights(), first);
}

TEST_F(NetworkBuildTest, ForgettingAsksByTitleAndNoChangesNothing) {
    NewNetwork(Doc, 2, 1, 1, 0);
    Doc.m_Weights[0].Weight = 3.0;
    Doc.m_PathName = "/data/iris.tvq";
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(ForgetLearning(Doc, 1, 1, 1, 0), 0);
    EXPECT_EQ(P.Prompts.LastText(), "Are you sure you want 'iris.tvq' to forget learning?");
    EXPECT_EQ(P.Prompts.Messages().back().Icon, EIcon::Question);
    EXPECT_EQ(Doc.m_Weights[0].Weight, 3.0);
}

TEST_F(NetworkBuildTest, ChangeNetworkRebuildsLayersBehindEachOther) {
    NewNetwork(Doc, 2, 1, 1, 0);
    EXPECT_EQ(ChangeNetwork(Doc, 1, 2), 1);
    EXPECT_EQ(ChangeNetwork(Doc, 1, 1), 2);
    CLayerCounts counts = CountLayers(Doc);
    EXPECT_EQ(counts.Hidden[0], 2);
    EXPECT_EQ(counts.Hidden[1], 1);
    EXPECT_EQ(Doc.m_Weights.size(), 2u * 2 + 2 * 1 + 1 * 1);
    // The weights are fresh: a rebuilt network starts from the fixed seed.
    Doc.m_LearningCycles = 12;
    EXPECT_EQ(ChangeNetwork(Doc, -1, 1), 1);
    EXPECT_EQ(Doc.m_LearningCycles, 0);
    // Deleting the last node of layer 1 takes layer 2 with it: inputs feed outputs.
    EXPECT_EQ(ChangeNetwork(Doc, -1, 1), 0);
    counts = CountLayers(Doc);
    EXPECT_EQ(counts.Hidden[0], 0);
    EXPECT_EQ(counts.Hidden[1], 0);
    ASSERT_EQ(Doc.m_Weights.size(), 2u);
    EXPECT_EQ(Doc.m_Weights[0].ToNode, 2);
    EXPECT_EQ(Doc.m_Nodes[2].Layer, kOutputLayer);
    EXPECT_EQ(Doc.m_Nodes[2].FirstWeight, 0);
}

TEST_F(NetworkBuildTest, AddingToLayerTwoWithoutLayerOneStillForgets) {
    NewNetwork(Doc, 2, 0, 1, 0);
    const auto fresh = Weights();
    Doc.m_Weights[0].Weight = 2.0;
    Doc.m_LearningCycles = 8;
    EXPECT_EQ(ChangeNetwork(Doc, 1, 2), 0);
    EXPECT_EQ(Doc.m_Nodes.size(), 3u);
    EXPECT_EQ(Weights(), fresh);
    EXPECT_EQ(Doc.m_LearningCycles, 0);
    EXPECT_EQ(ChangeNetwork(Doc, 2, 1), -1);  // not a change the commands make
    EXPECT_EQ(ChangeNetwork(Doc, 1, 4), -1);
}

TEST_F(NetworkBuildTest, RebuildingDuringAPassDropsThePackedCopy) {
    NewNetwork(Doc, 2, 2, 1, 0);
    CNetworkEngine engine;
    CLearningPass pass(Doc, engine);
    ConnectInputs(Doc, 0, 1);
    CalculateActivations(Doc);
    CalculateErrors(Doc, 0);
    CalculateWeights(Doc);
    ChangeNetwork(Doc, 1, 1);
    EXPECT_FALSE(engine.m_Packed);
    ConnectInputs(Doc, 0, 1);
    CalculateActivations(Doc);  // packs the new shape
    EXPECT_TRUE(engine.m_Packed);
    EXPECT_GT(Doc.m_Nodes[5].Activation, 0.0);
}

// One build of the final shape leaves what NewNetwork and a rebuild per added node leave.
TEST_F(NetworkBuildTest, BuildingTheShapeAtOnceMatchesAddingNodeByNode) {
    struct CShape {
        int Hidden[3];
    };
    for (const CShape& shape : {CShape{{2, 3, 2}}, CShape{{1, 4, 0}}, CShape{{0, 2, 3}},
                                CShape{{3, 0, 2}}, CShape{{0, 0, 0}}}) {
        Doc.m_LearningCycles = 40;
        NewNetwork(Doc, 2, shape.Hidden[0], 1, 1);
        for (int i = 0; i < shape.Hidden[1]; ++i) ChangeNetwork(Doc, 1, 2);
        for (int i = 0; i < shape.Hidden[2]; ++i) ChangeNetwork(Doc, 1, 3);
        const std::vector<double> nodeByNode = Weights();
        const CLayerCounts built = CountLayers(Doc);
        std::vector<std::pair<int, int>> links;
        for (const CWeight& w : Doc.m_Weights) links.emplace_back(w.FromNode, w.ToNode);

        Doc.m_LearningCycles = 40;
        CLayerCounts counts;
        counts.Inputs = 2;
        counts.Outputs = 1;
        for (int h = 0; h < 3; ++h) counts.Hidden[h] = shape.Hidden[h];
        NewNetworkOfShape(Doc, counts, 1);
        EXPECT_EQ(Weights(), nodeByNode);
        for (int h = 0; h < 3; ++h) EXPECT_EQ(CountLayers(Doc).Hidden[h], built.Hidden[h]);
        std::vector<std::pair<int, int>> again;
        for (const CWeight& w : Doc.m_Weights) again.emplace_back(w.FromNode, w.ToNode);
        EXPECT_EQ(again, links);
        EXPECT_EQ(Doc.m_LearningCycles, 0);
        EXPECT_EQ(Doc.m_StartLearningCycles, 0);
    }
}

// A packed copy made before the records were replaced without a write-back (a load, an
// emptied document) must not land on the new records, whatever their size.
TEST_F(NetworkBuildTest, AStaleEngineIsNeverWrittenBack) {
    NewNetwork(Doc, 2, 2, 1, 0);
    CNetworkEngine engine;
    {
        CLearningPass pass(Doc, engine);
        ConnectInputs(Doc, 0, 1);
        CalculateActivations(Doc);
        CalculateErrors(Doc, 0);
        CalculateWeights(Doc);
        ASSERT_TRUE(engine.m_Packed);
        // The records replaced behind the engine's back, as a load does.
        std::vector<CWeight> loaded = Doc.m_Weights;
        for (CWeight& w : loaded) w.Weight = 0.25;
        BumpNetworkGeneration(Doc);
        Doc.m_Weights = loaded;
        // Presented again: packed afresh from the new records, not through the stale copy.
        ConnectInputs(Doc, 1, 1);
        CalculateActivations(Doc);
        const double inPass = Doc.m_Nodes.back().Activation;
        pass.Sync();
        for (const CWeight& w : Doc.m_Weights) EXPECT_EQ(w.Weight, 0.25);
        {
            CQuorinDoc plain(*P.App);
            plain.m_Examples = Doc.m_Examples;
            plain.m_InOuts = Doc.m_InOuts;
            plain.m_Nodes = Doc.m_Nodes;
            plain.m_Weights = Doc.m_Weights;
            ConnectInputs(plain, 1, 1);
            CalculateActivations(plain);
            EXPECT_EQ(inPass, plain.m_Nodes.back().Activation);
        }
        ConnectInputs(Doc, 0, 1);
        CalculateActivations(Doc);
        CalculateErrors(Doc, 0);
        CalculateWeights(Doc);
        Doc.DeleteContents();  // the pass ends over an empty network
    }
    EXPECT_TRUE(Doc.m_Weights.empty());
    EXPECT_TRUE(Doc.m_Nodes.empty());

    // Every change of the network outside learning makes a new generation.
    MakeGrid(3, 3, {0, 1, 0, 1, 0, 1, 0.5, 0.5, 0}, {Input, Input, Output});
    std::uint64_t before = Doc.m_NetworkGeneration;
    NewNetwork(Doc, 2, 1, 1, 0);
    EXPECT_GT(Doc.m_NetworkGeneration, before);
    before = Doc.m_NetworkGeneration;
    ForgetLearning(Doc, 0, 1, 1, 0);
    EXPECT_GT(Doc.m_NetworkGeneration, before);
    before = Doc.m_NetworkGeneration;
    ChangeNetwork(Doc, 1, 1);
    EXPECT_GT(Doc.m_NetworkGeneration, before);
}

}  // namespace
}  // namespace quorin::test
