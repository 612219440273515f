#pragma once
// The arithmetic shared by the record and packed forms, so that both round alike.
#include <climits>
#include <cmath>
#include <cstdint>

namespace quorin {

class CQuorinDoc;

inline double Logistic(double netInput) { return 1.0 / (1.0 + std::exp(-netInput)); }

inline double Slope(double activation, double error) {
    return (1.0 - activation) * error * activation;
}

// What the update of one weight reads from the document.
struct CUpdateRule {
    double LearningRate = 0.0;
    double Momentum = 0.0;
    bool Counting = false;  // pruning option on: count updates spent below the threshold
    bool Freezing = false;  // and weights that stayed small long enough are frozen
    double Threshold = 0.0;
    std::int32_t Cycles = 0;
};

// The document's controls as the update reads them.
CUpdateRule UpdateRuleOf(const CQuorinDoc& doc);

// One weight update with the pruning rule; change is the accumulator, previous the momentum term.
inline void UpdateWeight(const CUpdateRule& rule, double& weight, double& change, double& previous,
                         std::int32_t& number, double activation, double delta) {
    if (rule.Counting && std::fabs(weight) < rule.Threshold && number < INT32_MAX) ++number;
    if (rule.Freezing && number >= rule.Cycles) return;
    change += activation * delta;
    const double step = change * rule.LearningRate + rule.Momentum * previous;
    change = 0.0;
    previous = step;
    weight += step;
}

}  // namespace quorin
