#pragma once
// A document with a small Grid and a network, for the learning, validation and control tests.
#include "network/Learning.h"
#include "network/NetworkBuild.h"
#include "network/Propagation.h"
#include "support/FakePlatform.h"

namespace quorin::test {

class LearningTest : public DocTest {
protected:
    // Six training rows of one Input and one Output column: y = x over 0..10.
    void MakeLineGrid(int rows = 6) {
        std::vector<double> values;
        for (int r = 0; r < rows; ++r) {
            const double x = 10.0 * r / (rows - 1);
            values.push_back(x);
            values.push_back(x);
        }
        MakeGrid(rows, 2, values, {Input, Output});
    }

    void BuildNetwork(int hiddens) {
        int inputs = 0, outputs = 0;
        for (const CInOut& io : Doc.m_InOuts) {
            const int n = io.Mode == Image ? 3 : 1;
            if (io.InOutType == Input) inputs += n;
            if (io.InOutType == Output) outputs += n;
        }
        NewNetwork(Doc, inputs, hiddens, outputs, 0);
        ASSERT_EQ(static_cast<int>(Doc.m_Nodes.size()), inputs + hiddens + outputs);
        SetWeightsIn(Doc);
    }

    // Every weight and bias 0 and no learning: each output answers 0.5 whatever the row.
    void FreezeAtMiddle() {
        for (CWeight& w : Doc.m_Weights) w.Weight = 0.0;
        for (CNode& n : Doc.m_Nodes) {
            n.Bias = 0.0;
            if (n.NodeType != InputNode) n.Activation = 0.5;
        }
        Doc.m_LearningRate = 0.0;
        Doc.m_Momentum = 0.0;
    }

    void StopOnCycle(int cycle) {
        Doc.m_StopOnCycle = 1;
        Doc.m_StopCycle = cycle;
    }

    // Starts a run and waits for it to end by its own rules.
    void Learn() {
        ASSERT_EQ(StartLearning(Doc, 0), 1);
        WaitForLearning(Doc);
    }

    std::vector<int> Statuses() const {
        std::vector<int> s;
        for (const auto& p : P.Views.Progress()) s.push_back(p.Status);
        return s;
    }
};

}  // namespace quorin::test
