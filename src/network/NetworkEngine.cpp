#include "network/NetworkEngine.h"

#include <cstddef>

#include "grid/QuorinDoc.h"
#include "network/PropagationMath.h"

// ThreadSanitizer instruments the clones' resolver, which runs before its runtime is
// ready: the process would crash while loading. Such builds use the default clone only.
#if defined(__SANITIZE_THREAD__)
#define QUORIN_TARGET_CLONES
#else
#define QUORIN_TARGET_CLONES __attribute__((target_clones("avx2", "default")))
#endif

namespace quorin {

namespace {

thread_local CNetworkEngine* t_PassEngine = nullptr;

// The first and one-past-last incoming weight of a node, empty when the range is unusable.
void RunOf(const CNode& node, std::size_t weights, std::int32_t& first, std::int32_t& last) {
    first = node.FirstWeight;
    last = node.LastWeight;
    if (first < 0 || last <= first || static_cast<std::size_t>(first) >= weights) {
        first = last = 0;
        return;
    }
    if (static_cast<std::size_t>(last) > weights) last = static_cast<std::int32_t>(weights);
}

CUpdateRule RuleOf(const CQuorinDoc& doc) {
    CUpdateRule rule;
    rule.LearningRate = doc.m_LearningRate;
    rule.Momentum = doc.m_Momentum;
    rule.Counting = doc.m_PruningOption != 0;
    rule.Freezing = rule.Counting && doc.m_ConnectionPruning != 0 && doc.m_PruningCycles >= 10;
    rule.Threshold = doc.m_PruningThreshold;
    rule.Cycles = doc.m_PruningCycles;
    return rule;
}

// Vector kernels. Each lane is one destination node and adds its terms in source order, with
// a separate multiply and add, exactly as the record form does: no reassociation, no fused
// multiply-add (the AVX2 clone has no FMA, and the core is built with -ffp-contract=off).
using v4d = double __attribute__((vector_size(32)));
// The helpers below are internal and always inlined; their calling convention never matters.
#pragma GCC diagnostic ignored "-Wpsabi"

__attribute__((always_inline)) inline v4d Load(const double* p) {
    v4d v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}
__attribute__((always_inline)) inline void Store(double* p, v4d v) { __builtin_memcpy(p, &v, sizeof v); }
__attribute__((always_inline)) inline v4d Splat(double x) { return v4d{x, x, x, x}; }

// net[i] += sum over j of w[j * count + i] * a[j], in j order for every i.
QUORIN_TARGET_CLONES void ForwardBlock(
    const double* __restrict w, const double* __restrict a, int sources, int count,
    double* __restrict net) {
    const std::size_t stride = static_cast<std::size_t>(count);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        v4d s0 = Load(net + i), s1 = Load(net + i + 4), s2 = Load(net + i + 8),
            s3 = Load(net + i + 12);
        const double* row = w + i;
        for (int j = 0; j < sources; ++j, row += stride) {
            const v4d aj = Splat(a[j]);
            s0 = s0 + Load(row) * aj;
            s1 = s1 + Load(row + 4) * aj;
            s2 = s2 + Load(row + 8) * aj;
            s3 = s3 + Load(row + 12) * aj;
        }
        Store(net + i, s0);
        Store(net + i + 4, s1);
        Store(net + i + 8, s2);
        Store(net + i + 12, s3);
    }
    for (; i + 8 <= count; i += 8) {
        v4d s0 = Load(net + i), s1 = Load(net + i + 4);
        const double* row = w + i;
        for (int j = 0; j < sources; ++j, row += stride) {
            const v4d aj = Splat(a[j]);
            s0 = s0 + Load(row) * aj;
            s1 = s1 + Load(row + 4) * aj;
        }
        Store(net + i, s0);
        Store(net + i + 4, s1);
    }
    for (; i + 4 <= count; i += 4) {
        v4d s0 = Load(net + i);
        const double* row = w + i;
        for (int j = 0; j < sources; ++j, row += stride) s0 = s0 + Load(row) * Splat(a[j]);
        Store(net + i, s0);
    }
    for (; i < count; ++i) {
        double s = net[i];
        const double* row = w + i;
        for (int j = 0; j < sources; ++j, row += stride) s = s + *row * a[j];
        net[i] = s;
    }
}

// The momentum update of a block without pruning: the same steps as UpdateWeight.
QUORIN_TARGET_CLONES void UpdateBlock(
    double* __restrict w, double* __restrict change, double* __restrict previous,
    const double* __restrict a, const double* __restrict delta, int sources, int count,
    double rate, double momentum) {
    const v4d vr = Splat(rate), vm = Splat(momentum), zero = Splat(0.0);
    std::size_t p = 0;
    for (int j = 0; j < sources; ++j) {
        const double aj = a[j];
        const v4d vaj = Splat(aj);
        int i = 0;
        for (; i + 4 <= count; i += 4, p += 4) {
            const v4d c = Load(change + p) + vaj * Load(delta + i);
            const v4d step = c * vr + vm * Load(previous + p);
            Store(change + p, zero);
            Store(previous + p, step);
            Store(w + p, Load(w + p) + step);
        }
        for (; i < count; ++i, ++p) {
            const double c = change[p] + aj * delta[i];
            const double step = c * rate + momentum * previous[p];
            change[p] = 0.0;
            previous[p] = step;
            w[p] = w[p] + step;
        }
    }
}

}  // namespace

bool CNetworkEngine::Pack(const CQuorinDoc& doc) {
    m_Doc = &doc;
    m_Packed = true;
    m_Usable = false;
    const auto& nodes = doc.m_Nodes;
    const auto& weights = doc.m_Weights;
    const std::size_t n = nodes.size();
    const std::size_t w = weights.size();
    if (n > static_cast<std::size_t>(INT32_MAX) || w > static_cast<std::size_t>(INT32_MAX))
        return false;
    m_Units.clear();
    m_Seen.assign(w, 0);
    m_IsInput.resize(n);
    m_Activation.resize(n);
    m_Error.resize(n);
    m_Delta.resize(n);
    m_Net.resize(n);
    std::size_t total = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const CNode& node = nodes[k];
        m_IsInput[k] = node.NodeType == InputNode;
        if (m_IsInput[k]) continue;
        std::int32_t first, last;
        RunOf(node, w, first, last);
        // A weight shared by two runs is updated twice per step; only the records can do that.
        for (std::int32_t r = first; r < last; ++r) {
            if (m_Seen[r]) return false;
            m_Seen[r] = 1;
        }
        const std::int32_t count = last - first;
        const std::int32_t number = static_cast<std::int32_t>(k);
        bool dense = count > 0;
        const std::int32_t source = dense ? weights[first].FromNode : 0;
        if (dense && (source < 0 || source > number - count)) dense = false;
        for (std::int32_t r = first; dense && r < last; ++r)
            dense = weights[r].WeightType == 0 && weights[r].FromNode == source + (r - first);
        total += static_cast<std::size_t>(count);
        if (dense && !m_Units.empty()) {
            CUnit& unit = m_Units.back();
            if (!unit.Generic && unit.First + unit.Count == number && unit.Source == source &&
                unit.Sources == count) {
                ++unit.Count;
                continue;
            }
        }
        CUnit unit;
        unit.First = number;
        unit.Count = 1;
        unit.Source = dense ? source : first;  // a generic unit keeps its first record here
        unit.Sources = count;
        unit.Generic = !dense;
        m_Units.push_back(unit);
    }
    m_Weight.resize(total);
    m_Change.resize(total);
    m_Previous.resize(total);
    m_Number.resize(total);
    m_Record.resize(total);
    m_From.resize(total);
    m_Type.resize(total);
    std::size_t offset = 0;
    for (CUnit& unit : m_Units) {
        unit.Offset = static_cast<std::int32_t>(offset);
        unit.SourcesAllInputs = !unit.Generic;
        for (std::int32_t j = 0; j < unit.Sources; ++j) {
            if (!unit.Generic && !m_IsInput[unit.Source + j]) unit.SourcesAllInputs = false;
            for (std::int32_t i = 0; i < unit.Count; ++i) {
                const std::int32_t record =
                    unit.Generic ? unit.Source + j : nodes[unit.First + i].FirstWeight + j;
                const CWeight& weight = weights[record];
                const std::size_t p = offset + static_cast<std::size_t>(j) * unit.Count + i;
                m_Weight[p] = weight.Weight;
                m_Change[p] = weight.WeightChange;
                m_Previous[p] = weight.PreviousWeightChange;
                m_Number[p] = weight.WeightNumber;
                m_Record[p] = record;
                m_From[p] = weight.FromNode;
                m_Type[p] = weight.WeightType;
            }
        }
        offset += static_cast<std::size_t>(unit.Count) * unit.Sources;
    }
    m_Usable = true;
    return true;
}

void CNetworkEngine::WriteBack(CQuorinDoc& doc) const {
    if (!m_Packed || !m_Usable) return;
    for (std::size_t p = 0; p < m_Record.size(); ++p) {
        CWeight& weight = doc.m_Weights[m_Record[p]];
        weight.Weight = m_Weight[p];
        weight.WeightChange = m_Change[p];
        weight.PreviousWeightChange = m_Previous[p];
        weight.WeightNumber = m_Number[p];
    }
}

void CNetworkEngine::CalculateActivations(CQuorinDoc& doc) {
    auto& nodes = doc.m_Nodes;
    const std::int32_t n = static_cast<std::int32_t>(nodes.size());
    for (std::int32_t k = 0; k < n; ++k) m_Activation[k] = nodes[k].Activation;
    for (const CUnit& unit : m_Units) {
        if (unit.Generic) {
            const std::int32_t k = unit.First;
            double net = nodes[k].Bias;
            bool reached = false;
            for (std::int32_t t = 0; t < unit.Sources; ++t) {
                const std::size_t p = static_cast<std::size_t>(unit.Offset) + t;
                const std::int32_t from = m_From[p];
                if (m_Type[p] != 0 || from < 0 || from >= n) continue;
                // The activation follows every term, so a node that feeds itself reads it.
                if (from == k && reached) m_Activation[k] = Logistic(net);
                net = net + m_Activation[from] * m_Weight[p];
                reached = true;
            }
            if (reached) m_Activation[k] = Logistic(net);
            nodes[k].NetInput = net;
            nodes[k].Activation = m_Activation[k];
            continue;
        }
        double* net = m_Net.data() + unit.First;
        for (std::int32_t i = 0; i < unit.Count; ++i) net[i] = nodes[unit.First + i].Bias;
        ForwardBlock(m_Weight.data() + unit.Offset, m_Activation.data() + unit.Source,
                     unit.Sources, unit.Count, net);
        for (std::int32_t i = 0; i < unit.Count; ++i) {
            CNode& node = nodes[unit.First + i];
            node.NetInput = net[i];
            node.Activation = m_Activation[unit.First + i] = Logistic(net[i]);
        }
    }
}

void CNetworkEngine::BackPropagate(CQuorinDoc& doc) {
    auto& nodes = doc.m_Nodes;
    const std::int32_t n = static_cast<std::int32_t>(nodes.size());
    for (std::int32_t k = 0; k < n; ++k) {
        m_Activation[k] = nodes[k].Activation;
        m_Error[k] = nodes[k].Error;
    }
    for (auto u = m_Units.rbegin(); u != m_Units.rend(); ++u) {
        const CUnit& unit = *u;
        if (unit.Generic) {
            const std::int32_t k = unit.First;
            const double delta = Slope(m_Activation[k], m_Error[k]);
            m_Delta[k] = delta;
            for (std::int32_t t = 0; t < unit.Sources; ++t) {
                const std::size_t p = static_cast<std::size_t>(unit.Offset) + t;
                const std::int32_t from = m_From[p];
                if (m_Type[p] != 0 || from < 0 || from >= n || m_IsInput[from]) continue;
                m_Error[from] = m_Error[from] + m_Weight[p] * delta;
            }
            continue;
        }
        for (std::int32_t i = unit.Count - 1; i >= 0; --i) {
            const std::int32_t k = unit.First + i;
            m_Delta[k] = Slope(m_Activation[k], m_Error[k]);
        }
        if (unit.SourcesAllInputs) continue;
        // Each source collects its terms from the block's nodes last to first, as the
        // descending walk over the nodes would.
        const double* delta = m_Delta.data() + unit.First;
        for (std::int32_t j = 0; j < unit.Sources; ++j) {
            const std::int32_t from = unit.Source + j;
            if (m_IsInput[from]) continue;
            const double* row = m_Weight.data() + unit.Offset + static_cast<std::size_t>(j) * unit.Count;
            double error = m_Error[from];
            for (std::int32_t i = unit.Count - 1; i >= 0; --i) error = error + row[i] * delta[i];
            m_Error[from] = error;
        }
    }
    for (std::int32_t k = 0; k < n; ++k) {
        if (m_IsInput[k]) continue;
        nodes[k].Error = m_Error[k];
        nodes[k].Delta = m_Delta[k];
    }
}

void CNetworkEngine::CalculateWeights(CQuorinDoc& doc) {
    auto& nodes = doc.m_Nodes;
    const std::int32_t n = static_cast<std::int32_t>(nodes.size());
    for (std::int32_t k = 0; k < n; ++k) {
        m_Activation[k] = nodes[k].Activation;
        m_Delta[k] = nodes[k].Delta;
    }
    const CUpdateRule rule = RuleOf(doc);
    for (const CUnit& unit : m_Units) {
        const std::size_t offset = static_cast<std::size_t>(unit.Offset);
        if (unit.Generic) {
            const double delta = m_Delta[unit.First];
            for (std::int32_t t = 0; t < unit.Sources; ++t) {
                const std::size_t p = offset + t;
                const std::int32_t from = m_From[p];
                if (m_Type[p] != 0 || from < 0 || from >= n) continue;
                UpdateWeight(rule, m_Weight[p], m_Change[p], m_Previous[p], m_Number[p],
                             m_Activation[from], delta);
            }
        } else if (!rule.Counting) {
            UpdateBlock(m_Weight.data() + offset, m_Change.data() + offset,
                        m_Previous.data() + offset, m_Activation.data() + unit.Source,
                        m_Delta.data() + unit.First, unit.Sources, unit.Count, rule.LearningRate,
                        rule.Momentum);
        } else {
            std::size_t p = offset;
            for (std::int32_t j = 0; j < unit.Sources; ++j)
                for (std::int32_t i = 0; i < unit.Count; ++i, ++p)
                    UpdateWeight(rule, m_Weight[p], m_Change[p], m_Previous[p], m_Number[p],
                                 m_Activation[unit.Source + j], m_Delta[unit.First + i]);
        }
        for (std::int32_t i = 0; i < unit.Count; ++i) {
            CNode& node = nodes[unit.First + i];
            node.BiasChange += node.Delta;
            const double step = node.BiasChange * rule.LearningRate + rule.Momentum * node.BiasPreviousChange;
            node.BiasChange = 0.0;
            node.BiasPreviousChange = step;
            node.Bias += step;
        }
    }
}

CLearningPass::CLearningPass(CQuorinDoc& doc, CNetworkEngine& engine)
    : m_Doc(doc), m_Engine(engine) {
    // Work of an enclosing pass on the same document must reach the records first.
    SyncNetworkRecords(doc);
    m_Engine.Invalidate();
    m_Engine.m_Doc = &doc;
    m_Engine.m_OuterPass = t_PassEngine;
    t_PassEngine = &m_Engine;
}

CLearningPass::~CLearningPass() {
    Sync();
    t_PassEngine = m_Engine.m_OuterPass;
    m_Engine.m_OuterPass = nullptr;
}

void CLearningPass::Sync() {
    m_Engine.WriteBack(m_Doc);
    m_Engine.Invalidate();
}

CNetworkEngine* ActiveEngine(CQuorinDoc& doc) {
    for (CNetworkEngine* engine = t_PassEngine; engine; engine = engine->m_OuterPass) {
        if (engine->m_Doc != &doc) continue;
        if (!engine->m_Packed) engine->Pack(doc);
        return engine->m_Usable ? engine : nullptr;
    }
    return nullptr;
}

void SyncNetworkRecords(CQuorinDoc& doc) {
    for (CNetworkEngine* engine = t_PassEngine; engine; engine = engine->m_OuterPass) {
        if (engine->m_Doc != &doc) continue;
        engine->WriteBack(doc);
        engine->Invalidate();
    }
}

}  // namespace quorin
