#pragma once
#include <cstdint>

namespace quorin {

enum ENodeType : std::int32_t { InputNode = 0, HiddenNode = 1, OutputNode = 2 };
// Layer codes: 0 input, 1..3 hidden layers, 9 output.
inline constexpr std::int32_t kInputLayer = 0;
inline constexpr std::int32_t kOutputLayer = 9;

struct CNode {
    std::int32_t NodeType = InputNode;
    std::int32_t NodeNumber = 0;
    std::int32_t Layer = kInputLayer;
    std::int32_t FirstWeight = -1;  // first incoming weight
    std::int32_t LastWeight = -1;   // one past the last incoming weight
    double NetInput = 0.0;
    double Activation = 0.0;
    double Error = 0.0;
    double Delta = 0.0;
    double Bias = 0.0;
    double BiasChange = 0.0;
    double BiasPreviousChange = 0.0;
    // Total |Weight| of the connected weights leaving this node; set by the network
    // analysis on demand, never stored.
    double SumOfWeights = 0.0;
};

}  // namespace quorin
