#include "network/NetworkEngine.h"

#include <cmath>
#include <algorithm>
#include <cstddef>

#include "grid/QuorinDoc.h"
#include "network/OutputErrors.h"
#include "network/PropagationMath.h"
#include "network/VectorExp.h"

// ThreadSanitizer instruments the clones' resolver, which runs before its runtime is
// ready: the process would crash while loading. Such builds use the default clone only.
#if defined(__SANITIZE_THREAD__)
#define QUORIN_TARGET_CLONES
#else
#define QUORIN_TARGET_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#if defined(__clang__)
#define QUORIN_NO_TREE_VECTORIZE
#else
#define QUORIN_NO_TREE_VECTORIZE __attribute__((optimize("no-tree-vectorize")))
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

// Vector kernels. Each lane is one destination node and adds its terms in source order, with
// a separate multiply and add, exactly as the record form does: no reassociation, no fused
// multiply-add (the AVX2 clone has no FMA, and the core is built with -ffp-contract=off).
using v4d = double __attribute__((vector_size(32)));
// Macros, not functions: a function passing a 32-byte vector by value is refused by clang
// (and warned about by gcc) in the default, pre-AVX clone.
#define Load(p)                                \
    ({                                         \
        v4d loaded_;                           \
        __builtin_memcpy(&loaded_, (p), sizeof loaded_); \
        loaded_;                               \
    })
#define Store(p, v)                            \
    do {                                       \
        const v4d stored_ = (v);               \
        __builtin_memcpy((p), &stored_, sizeof stored_); \
    } while (0)
#define Splat(x)                               \
    ({                                         \
        const double splat_ = (x);             \
        v4d{splat_, splat_, splat_, splat_};   \
    })

// net[i] = bias[i] + sum over j of w[j * stride + i] * a[j], in j order for every i; stride
// is a multiple of 4 and net and bias hold stride lanes.
__attribute__((always_inline)) inline void ForwardSums(
    const double* __restrict w, const double* __restrict a, int sources, int stride,
    const double* __restrict bias, double* __restrict net) {
    const std::size_t step = static_cast<std::size_t>(stride);
    int i = 0;
    for (; i + 16 <= stride; i += 16) {
        v4d s0 = Load(bias + i), s1 = Load(bias + i + 4), s2 = Load(bias + i + 8),
            s3 = Load(bias + i + 12);
        const double* row = w + i;
        for (int j = 0; j < sources; ++j, row += step) {
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
    for (; i + 8 <= stride; i += 8) {
        v4d s0 = Load(bias + i), s1 = Load(bias + i + 4);
        const double* row = w + i;
        for (int j = 0; j < sources; ++j, row += step) {
            const v4d aj = Splat(a[j]);
            s0 = s0 + Load(row) * aj;
            s1 = s1 + Load(row + 4) * aj;
        }
        Store(net + i, s0);
        Store(net + i + 4, s1);
    }
    for (; i < stride; i += 4) {
        v4d s0 = Load(bias + i);
        const double* row = w + i;
        for (int j = 0; j < sources; ++j, row += step) s0 = s0 + Load(row) * Splat(a[j]);
        Store(net + i, s0);
    }
}

QUORIN_TARGET_CLONES void ForwardBlock(const double* __restrict w, const double* __restrict a,
                                       int sources, int stride, const double* __restrict bias,
                                       double* __restrict net) {
    ForwardSums(w, a, sources, stride, bias, net);
}

#if QUORIN_HAVE_VECTOR_EXP
static_assert(offsetof(CNode, Activation) == offsetof(CNode, NetInput) + sizeof(double));

// ForwardBlock, then the logistic of every lane as Logistic() computes it, for processors
// where VectorExpAgrees(). The block's `count` nodes get their activations (by node number,
// in `activation`) and their records written here, while the values are still in registers.
// With `whole` the activations are stored four at a time, past the block's end too.
// Groups of up to four vectors keep their sums in registers from the first term to the
// logistic.
template <int Vectors>
__attribute__((target("avx2,fma"), always_inline)) inline void ForwardLogisticGroup(
    const double* __restrict w, const double* __restrict a, int sources, std::size_t step,
    const double* __restrict bias, double* __restrict net, double* __restrict activation,
    CNode* __restrict node, int left, bool whole) {
    __m256d sum[Vectors];
    for (int v = 0; v < Vectors; ++v) sum[v] = _mm256_loadu_pd(bias + 4 * v);
    for (int j = 0; j < sources; ++j, w += step) {
        const __m256d aj = _mm256_broadcast_sd(a + j);
        for (int v = 0; v < Vectors; ++v)
            sum[v] = _mm256_add_pd(sum[v], _mm256_mul_pd(_mm256_loadu_pd(w + 4 * v), aj));
    }
    const __m256d one = _mm256_set1_pd(1.0), sign = _mm256_set1_pd(-0.0);
    for (int v = 0; v < Vectors; ++v, left -= 4) {
        const __m256d s = sum[v];
        _mm256_storeu_pd(net + 4 * v, s);
        __m256i special;
        const __m256d e = vector_exp::Exp4(_mm256_xor_pd(s, sign), special);
        __m256d l = _mm256_div_pd(one, _mm256_add_pd(one, e));
        if (!_mm256_testz_si256(special, special)) [[unlikely]] {
            alignas(32) double lanes[4];
            for (int k = 0; k < 4; ++k) lanes[k] = Logistic(net[4 * v + k]);
            l = _mm256_load_pd(lanes);
        }
        double* out = activation + 4 * v;
        const __m128d l01 = _mm256_castpd256_pd128(l), l23 = _mm256_extractf128_pd(l, 1);
        if (whole || left >= 4) {
            _mm256_storeu_pd(out, l);
        } else {
            _mm_storel_pd(out, l01);
            if (left > 1) _mm_storeh_pd(out + 1, l01);
            if (left > 2) _mm_storel_pd(out + 2, l23);
        }
        // NetInput and Activation are neighbours in the record: one store per node.
        const __m128d s01 = _mm256_castpd256_pd128(s), s23 = _mm256_extractf128_pd(s, 1);
        CNode* n = node + 4 * v;
        _mm_storeu_pd(&n[0].NetInput, _mm_unpacklo_pd(s01, l01));
        if (left > 1) _mm_storeu_pd(&n[1].NetInput, _mm_unpackhi_pd(s01, l01));
        if (left > 2) _mm_storeu_pd(&n[2].NetInput, _mm_unpacklo_pd(s23, l23));
        if (left > 3) _mm_storeu_pd(&n[3].NetInput, _mm_unpackhi_pd(s23, l23));
    }
}

__attribute__((target("avx2,fma"))) void ForwardLogisticBlock(
    const double* __restrict w, const double* __restrict a, int sources, int stride,
    const double* __restrict bias, double* __restrict net, double* __restrict activation,
    CNode* __restrict node, int count, bool whole) {
    const std::size_t step = static_cast<std::size_t>(stride);
    int i = 0;
    for (; i + 16 <= stride; i += 16)
        ForwardLogisticGroup<4>(w + i, a, sources, step, bias + i, net + i, activation + i,
                                node + i, count - i, whole);
    switch ((stride - i) / 4) {
        case 3:
            ForwardLogisticGroup<3>(w + i, a, sources, step, bias + i, net + i, activation + i,
                                    node + i, count - i, whole);
            break;
        case 2:
            ForwardLogisticGroup<2>(w + i, a, sources, step, bias + i, net + i, activation + i,
                                    node + i, count - i, whole);
            break;
        case 1:
            ForwardLogisticGroup<1>(w + i, a, sources, step, bias + i, net + i, activation + i,
                                    node + i, count - i, whole);
            break;
        default: break;
    }
}
#endif

// The same update when every WeightChange is known to be 0: the accumulator is the zero
// constant instead of a stored array, which halves the memory the update streams through.
// Small blocks (up to 16 lanes) get their own loops: their inner loop would be all overhead.
template <int Lanes>
__attribute__((always_inline)) inline void UpdateLanesClear(double* __restrict w,
                                                            double* __restrict previous,
                                                            const double* __restrict a,
                                                            const double* __restrict delta,
                                                            int sources, int stride, double rate,
                                                            double momentum) {
    const v4d vr = Splat(rate), vm = Splat(momentum), zero = Splat(0.0);
    const int lanes = Lanes > 0 ? Lanes : stride;
    std::size_t p = 0;
    for (int j = 0; j < sources; ++j) {
        const v4d aj = Splat(a[j]);
        for (int i = 0; i < lanes; i += 4, p += 4) {
            const v4d c = zero + aj * Load(delta + i);
            const v4d step = c * vr + vm * Load(previous + p);
            Store(previous + p, step);
            Store(w + p, Load(w + p) + step);
        }
    }
}

QUORIN_TARGET_CLONES void UpdateBlockClear(
    double* __restrict w, double* __restrict previous, const double* __restrict a,
    const double* __restrict delta, int sources, int stride, double rate, double momentum) {
    if (stride == 4)
        UpdateLanesClear<4>(w, previous, a, delta, sources, stride, rate, momentum);
    else if (stride == 8)
        UpdateLanesClear<8>(w, previous, a, delta, sources, stride, rate, momentum);
    else if (stride == 12)
        UpdateLanesClear<12>(w, previous, a, delta, sources, stride, rate, momentum);
    else if (stride == 16)
        UpdateLanesClear<16>(w, previous, a, delta, sources, stride, rate, momentum);
    else
        UpdateLanesClear<0>(w, previous, a, delta, sources, stride, rate, momentum);
}

// The momentum update of a block without pruning: the same steps as UpdateWeight, lane by
// lane; delta holds stride lanes, zero in the padding.
QUORIN_TARGET_CLONES void UpdateBlock(
    double* __restrict w, double* __restrict change, double* __restrict previous,
    const double* __restrict a, const double* __restrict delta, int sources, int stride,
    double rate, double momentum) {
    const v4d vr = Splat(rate), vm = Splat(momentum), zero = Splat(0.0);
    std::size_t p = 0;
    for (int j = 0; j < sources; ++j) {
        const v4d aj = Splat(a[j]);
        for (int i = 0; i < stride; i += 4, p += 4) {
            const v4d c = Load(change + p) + aj * Load(delta + i);
            const v4d step = c * vr + vm * Load(previous + p);
            Store(change + p, zero);
            Store(previous + p, step);
            Store(w + p, Load(w + p) + step);
        }
    }
}

// Each source of a block collects its terms from the block's nodes last to first, as the
// descending walk over the nodes would. Scalar: each chain is short and fed by fresh stores.
QUORIN_NO_TREE_VECTORIZE void BackBlock(
    const double* __restrict w, const double* __restrict delta, const std::uint8_t* isInput,
    int sources, int count, int stride, double* __restrict error) {
    for (int j = 0; j < sources; ++j, w += stride) {
        if (isInput && isInput[j]) continue;
        double sum = error[j];
        for (int i = count - 1; i >= 0; --i) sum = sum + w[i] * delta[i];
        error[j] = sum;
    }
}

// The deltas of a block, written as whole vectors (zero in the padding) so that the vector
// loads of the update forward from these stores instead of waiting for them to retire, and
// the block's Error and Delta records (neighbours in the record: one store per node). With
// `whole`, the activations may be read four at a time past the block's end (they were stored
// that way); the errors too with `vectorErrors`, else one by one, as they were stored.
using v2d = double __attribute__((vector_size(16)));
using v4l = long long __attribute__((vector_size(32)));
static_assert(offsetof(CNode, Delta) == offsetof(CNode, Error) + sizeof(double));

// Four lanes of it, `left` of them real; the deltas also go to `out` (a pointer: a vector
// return value would change the ABI between clones).
__attribute__((always_inline)) inline void SlopeLanes(const double* __restrict activation,
                                                      const double* __restrict error, int left,
                                                      bool whole, bool vectorErrors,
                                                      double* __restrict delta,
                                                      CNode* __restrict n, v4d* out) {
    v4d a, e;
    if (whole || left >= 4)
        a = Load(activation);
    else
        a = v4d{activation[0], left > 1 ? activation[1] : 0.0, left > 2 ? activation[2] : 0.0,
                0.0};
    if (vectorErrors)
        e = Load(error);
    else if (left >= 4)
        e = v4d{error[0], error[1], error[2], error[3]};
    else
        e = v4d{error[0], left > 1 ? error[1] : 0.0, left > 2 ? error[2] : 0.0, 0.0};
    v4d d = (Splat(1.0) - a) * e * a;
    if (left < 4) {
        const v4l lane = {0, 1, 2, 3};
        d = (v4d)((v4l)d & (lane < left));
    }
    Store(delta, d);
    const v2d e01 = __builtin_shufflevector(e, e, 0, 1), e23 = __builtin_shufflevector(e, e, 2, 3);
    const v2d d01 = __builtin_shufflevector(d, d, 0, 1), d23 = __builtin_shufflevector(d, d, 2, 3);
    const v2d p0 = __builtin_shufflevector(e01, d01, 0, 2);
    __builtin_memcpy(&n[0].Error, &p0, sizeof p0);
    if (left > 1) {
        const v2d p1 = __builtin_shufflevector(e01, d01, 1, 3);
        __builtin_memcpy(&n[1].Error, &p1, sizeof p1);
    }
    if (left > 2) {
        const v2d p2 = __builtin_shufflevector(e23, d23, 0, 2);
        __builtin_memcpy(&n[2].Error, &p2, sizeof p2);
    }
    if (left > 3) {
        const v2d p3 = __builtin_shufflevector(e23, d23, 1, 3);
        __builtin_memcpy(&n[3].Error, &p3, sizeof p3);
    }
    *out = d;
}

QUORIN_TARGET_CLONES void SlopeBlock(const double* __restrict activation,
                                     const double* __restrict error, int count, bool whole,
                                     bool vectorErrors, double* __restrict delta,
                                     CNode* __restrict node) {
    for (int i = 0; i < count; i += 4) {
        v4d d;
        SlopeLanes(activation + i, error + i, count - i, whole, vectorErrors, delta + i,
                   node + i, &d);
    }
}

// SlopeBlock, then BackBlock, for a block of at most four nodes (stride 4) whose sources are
// all non-input nodes before it: the deltas stay in a register, and the sources are taken four
// at a time, one per lane, after a transpose; each lane still collects its terms from the last
// node to the first.
QUORIN_TARGET_CLONES void SlopeBackBlock4(const double* __restrict activation,
                                          const double* __restrict error, int count, bool whole,
                                          bool vectorErrors, double* __restrict delta,
                                          CNode* __restrict node,
                                          const double* __restrict w, int sources,
                                          double* __restrict sourceError) {
    v4d d;
    SlopeLanes(activation, error, count, whole, vectorErrors, delta, node, &d);
    const v4d dl[4] = {Splat(d[0]), Splat(d[1]), Splat(d[2]), Splat(d[3])};
    int j = 0;
    for (; j + 4 <= sources; j += 4, w += 16) {
        const v4d r0 = Load(w), r1 = Load(w + 4), r2 = Load(w + 8), r3 = Load(w + 12);
        const v4d t0 = __builtin_shufflevector(r0, r1, 0, 4, 2, 6);
        const v4d t1 = __builtin_shufflevector(r0, r1, 1, 5, 3, 7);
        const v4d t2 = __builtin_shufflevector(r2, r3, 0, 4, 2, 6);
        const v4d t3 = __builtin_shufflevector(r2, r3, 1, 5, 3, 7);
        const v4d c[4] = {__builtin_shufflevector(t0, t2, 0, 1, 4, 5),
                          __builtin_shufflevector(t1, t3, 0, 1, 4, 5),
                          __builtin_shufflevector(t0, t2, 2, 3, 6, 7),
                          __builtin_shufflevector(t1, t3, 2, 3, 6, 7)};
        v4d sum = Load(sourceError + j);
        switch (count) {  // unrolled, so that c stays in registers
            case 4: sum = sum + c[3] * dl[3]; [[fallthrough]];
            case 3: sum = sum + c[2] * dl[2]; [[fallthrough]];
            case 2: sum = sum + c[1] * dl[1]; [[fallthrough]];
            default: sum = sum + c[0] * dl[0];
        }
        Store(sourceError + j, sum);
    }
    for (; j < sources; ++j, w += 4) {
        double sum = sourceError[j];
        for (int i = count - 1; i >= 0; --i) sum = sum + w[i] * d[i];
        sourceError[j] = sum;
    }
}

// The bias update of every node lane at once, in UpdateWeight's order of operations.
QUORIN_TARGET_CLONES void UpdateBiases(
    double* __restrict bias, double* __restrict change, double* __restrict previous,
    const double* __restrict delta, std::size_t lanes, double rate, double momentum) {
    const v4d vr = Splat(rate), vm = Splat(momentum), zero = Splat(0.0);
    for (std::size_t p = 0; p < lanes; p += 4) {
        const v4d c = Load(change + p) + Load(delta + p);
        const v4d step = c * vr + vm * Load(previous + p);
        Store(change + p, zero);
        Store(previous + p, step);
        Store(bias + p, Load(bias + p) + step);
    }
}

}  // namespace

void CNetworkEngine::MapColumns(const CQuorinDoc& doc) {
    m_InputColumns.clear();
    m_OutputColumns.clear();
    m_InputsMapped = m_OutputsMapped = true;
    m_ColumnsNeeded = 0;
    const std::int32_t n = static_cast<std::int32_t>(doc.m_Nodes.size());
    const std::int32_t columns = static_cast<std::int32_t>(doc.m_InOuts.size());
    std::int32_t k = 0;
    for (std::int32_t c = 0; c < columns; ++c) {
        const CInOut& column = doc.m_InOuts[c];
        if (column.InOutType != Input) continue;
        if (column.Mode == Image) m_InputsMapped = false;
        if (k >= n || doc.m_Nodes[k].NodeType != InputNode) break;
        m_InputColumns.push_back({c, k++, 1});
        m_ColumnsNeeded = c + 1;
    }
    std::int32_t c = 0;
    for (k = m_FirstOutput; k < m_EndOutput;) {
        while (c < columns && doc.m_InOuts[c].InOutType != Output) ++c;
        if (c >= columns) {
            m_OutputsMapped = false;
            break;
        }
        const std::int32_t nodes = NodesOf(doc.m_InOuts[c]);
        if (nodes != 1) m_OutputsMapped = false;
        m_OutputColumns.push_back({c, k, nodes});
        m_ColumnsNeeded = std::max(m_ColumnsNeeded, c + 1);
        k += nodes;
        ++c;
    }
}

bool CNetworkEngine::ConnectInputs(CQuorinDoc& doc, int row) {
    m_InputsPresented = false;  // declined: the caller presents the row through the records
    if (!m_InputsMapped || row < 0 || row >= static_cast<int>(doc.m_Examples.size())) return false;
    const std::span<const double> values = doc.m_Examples[row].NormalisedValues();
    if (static_cast<std::int32_t>(values.size()) < m_ColumnsNeeded) return false;
    for (const CColumnNode& input : m_InputColumns) {
        const double value = values[input.Column];
        CNode& node = doc.m_Nodes[input.Node];
        node.NetInput = node.Activation = value;
        m_Activation[input.Node] = value;
    }
    m_InputsPresented = true;
    return true;
}

// A hidden block's errors can be read four at a time when every store to them was a whole
// vector at the block's own four-node boundaries: the clearing of its hidden run, and the
// error sums of later four-node blocks (SlopeBackBlock4) with no scalar tail. Anything else
// stores single errors, and a vector load would wait for those stores to retire.
void CNetworkEngine::MarkVectorErrors(const CQuorinDoc& doc) {
    for (std::size_t u = 0; u < m_Units.size(); ++u) {
        CUnit& unit = m_Units[u];
        unit.VectorErrors = false;
        if (!m_WholeVectors || unit.Generic) continue;
        const std::int32_t end = unit.First + unit.Count;
        bool usable = false;
        for (const auto& [first, last] : m_HiddenRuns)
            if (first <= unit.First && end <= last) usable = (unit.First - first) % 4 == 0;
        for (std::int32_t k = unit.First; usable && k < end; ++k)
            usable = doc.m_Nodes[k].NodeType == HiddenNode;
        for (std::size_t v = u + 1; usable && v < m_Units.size(); ++v) {
            const CUnit& later = m_Units[v];
            if (later.Source >= end || later.Source + later.Sources <= unit.First) continue;
            usable = later.Stride == 4 && later.SourcesNoInputs && later.Sources % 4 == 0 &&
                     (later.Source - unit.First) % 4 == 0;
        }
        unit.VectorErrors = usable;
    }
}

bool CNetworkEngine::Current(const CQuorinDoc& doc) const {
    return m_Generation == doc.m_NetworkGeneration.load(std::memory_order_relaxed);
}

bool CNetworkEngine::Pack(const CQuorinDoc& doc) {
    m_Doc = &doc;
    m_Generation = doc.m_NetworkGeneration.load(std::memory_order_relaxed);
    m_Packed = true;
    m_Usable = false;
    m_VectorExp = m_AllowVectorExp && VectorExpAgrees();
    const auto& nodes = doc.m_Nodes;
    const auto& weights = doc.m_Weights;
    const std::size_t n = nodes.size();
    const std::size_t w = weights.size();
    if (n > static_cast<std::size_t>(INT32_MAX) || w > static_cast<std::size_t>(INT32_MAX))
        return false;
    m_Units.clear();
    m_HiddenNodes.clear();
    m_InputNodes.clear();
    m_Inputs = m_Outputs = 0;
    m_Seen.assign(w, 0);
    m_IsInput.resize(n);
    // Four spare slots: whole-vector stores may run past the last node.
    m_Activation.assign(n + 4, 0.0);
    m_Error.assign(n + 4, 0.0);
    m_InputsPresented = false;
    std::size_t total = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const CNode& node = nodes[k];
        m_IsInput[k] = node.NodeType == InputNode;
        m_Activation[k] = node.Activation;
        m_Error[k] = node.Error;
        if (m_IsInput[k]) m_InputNodes.push_back(static_cast<std::int32_t>(k));
        if (node.NodeType == InputNode && node.Layer == kInputLayer) ++m_Inputs;
        if (node.NodeType == OutputNode && node.Layer == kOutputLayer) ++m_Outputs;
        if (node.NodeType == HiddenNode) m_HiddenNodes.push_back(static_cast<std::int32_t>(k));
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
    std::size_t lanes = 0;
    total = 0;
    for (CUnit& unit : m_Units) {
        unit.Stride = unit.Generic ? unit.Count : (unit.Count + 3) / 4 * 4;
        unit.Lane = static_cast<std::int32_t>(lanes);
        lanes += static_cast<std::size_t>(unit.Count + 3) / 4 * 4;
        total += static_cast<std::size_t>(unit.Stride) * unit.Sources;
    }
    for (auto* lane : {&m_Bias, &m_BiasChange, &m_BiasPrevious, &m_Delta, &m_Net})
        lane->assign(lanes, 0.0);
    for (const CUnit& unit : m_Units) {
        for (std::int32_t i = 0; i < unit.Count; ++i) {
            const CNode& node = nodes[unit.First + i];
            m_Bias[unit.Lane + i] = node.Bias;
            m_BiasChange[unit.Lane + i] = node.BiasChange;
            m_BiasPrevious[unit.Lane + i] = node.BiasPreviousChange;
            m_Delta[unit.Lane + i] = node.Delta;
        }
    }
    // Padding lanes start at zero and have no record (-1).
    m_Weight.assign(total, 0.0);
    m_Change.assign(total, 0.0);
    m_Previous.assign(total, 0.0);
    m_Number.assign(total, 0);
    m_Record.assign(total, -1);
    m_From.assign(total, 0);
    m_Type.assign(total, 0);
    std::size_t offset = 0;
    for (CUnit& unit : m_Units) {
        unit.Offset = static_cast<std::int32_t>(offset);
        unit.SourcesAllInputs = unit.SourcesNoInputs = !unit.Generic;
        for (std::int32_t j = 0; j < unit.Sources; ++j) {
            if (!unit.Generic && !m_IsInput[unit.Source + j]) unit.SourcesAllInputs = false;
            if (!unit.Generic && m_IsInput[unit.Source + j]) unit.SourcesNoInputs = false;
            for (std::int32_t i = 0; i < unit.Count; ++i) {
                const std::int32_t record =
                    unit.Generic ? unit.Source + j : nodes[unit.First + i].FirstWeight + j;
                const CWeight& weight = weights[record];
                const std::size_t p = offset + static_cast<std::size_t>(j) * unit.Stride + i;
                m_Weight[p] = weight.Weight;
                m_Change[p] = weight.WeightChange;
                m_Previous[p] = weight.PreviousWeightChange;
                m_Number[p] = weight.WeightNumber;
                m_Record[p] = record;
                m_From[p] = weight.FromNode;
                m_Type[p] = weight.WeightType;
            }
        }
        offset += static_cast<std::size_t>(unit.Stride) * unit.Sources;
    }
    m_FirstOutput = m_Inputs + static_cast<std::int32_t>(m_HiddenNodes.size());
    m_EndOutput = m_FirstOutput + m_Outputs;
    if (m_EndOutput > static_cast<std::int32_t>(n)) m_EndOutput = static_cast<std::int32_t>(n);
    MapColumns(doc);
    m_HasGeneric = false;
    for (const CUnit& unit : m_Units) m_HasGeneric = m_HasGeneric || unit.Generic;
    m_HiddenRuns.clear();
    for (std::int32_t k : m_HiddenNodes) {
        if (!m_HiddenRuns.empty() && m_HiddenRuns.back().second == k)
            ++m_HiddenRuns.back().second;
        else
            m_HiddenRuns.emplace_back(k, k + 1);
    }
    // Blocks may store activations four at a time past their last node when every slot so
    // overwritten belongs to a later block (which stores its own before anything reads them)
    // or to the spare end: no generic unit reads out of order, and no input node comes after
    // the first block.
    // Hidden errors are likewise cleared four at a time, so every node after the inputs must
    // be hidden or one of the output nodes whose errors are set afresh.
    m_WholeVectors = !m_HasGeneric && !m_Units.empty();
    for (std::int32_t k : m_InputNodes)
        if (m_WholeVectors && k > m_Units.front().First) m_WholeVectors = false;
    const std::int32_t nodeCount = static_cast<std::int32_t>(n);
    for (std::int32_t k = m_WholeVectors ? m_Units.front().First : nodeCount; k < nodeCount; ++k)
        if (nodes[k].NodeType != HiddenNode && (k < m_FirstOutput || k >= m_EndOutput))
            m_WholeVectors = false;
    MarkVectorErrors(doc);
    m_ChangesClear = true;
    for (double change : m_Change) m_ChangesClear = m_ChangesClear && change == 0.0;
    m_Usable = true;
    return true;
}

void CNetworkEngine::WriteBack(CQuorinDoc& doc) const {
    // Records rebuilt or replaced since packing are the truth; the copy no longer fits them.
    if (!m_Packed || !m_Usable || !Current(doc)) return;
    for (std::size_t p = 0; p < m_Record.size(); ++p) {
        if (m_Record[p] < 0) continue;
        CWeight& weight = doc.m_Weights[m_Record[p]];
        weight.Weight = m_Weight[p];
        weight.WeightChange = m_Change[p];
        weight.PreviousWeightChange = m_Previous[p];
        weight.WeightNumber = m_Number[p];
    }
    for (const CUnit& unit : m_Units) {
        for (std::int32_t i = 0; i < unit.Count; ++i) {
            CNode& node = doc.m_Nodes[unit.First + i];
            node.Bias = m_Bias[unit.Lane + i];
            node.BiasChange = m_BiasChange[unit.Lane + i];
            node.BiasPreviousChange = m_BiasPrevious[unit.Lane + i];
        }
    }
}

void CNetworkEngine::CalculateActivations(CQuorinDoc& doc) {
    auto& nodes = doc.m_Nodes;
    const std::int32_t n = static_cast<std::int32_t>(nodes.size());
    // Only the input nodes change between calls; a row presented through the column map is
    // already here, anything else reached their records.
    if (!m_InputsPresented)
        for (std::int32_t k : m_InputNodes) m_Activation[k] = nodes[k].Activation;
    m_InputsPresented = false;
    for (const CUnit& unit : m_Units) {
        if (unit.Generic) {
            const std::int32_t k = unit.First;
            double net = m_Bias[unit.Lane];
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
        double* net = m_Net.data() + unit.Lane;
        double* activation = m_Activation.data() + unit.First;
        CNode* node = nodes.data() + unit.First;
#if QUORIN_HAVE_VECTOR_EXP
        if (m_VectorExp) {
            ForwardLogisticBlock(m_Weight.data() + unit.Offset,
                                 m_Activation.data() + unit.Source, unit.Sources, unit.Stride,
                                 m_Bias.data() + unit.Lane, net, activation, node, unit.Count,
                                 m_WholeVectors);
            continue;
        }
#endif
        ForwardBlock(m_Weight.data() + unit.Offset, m_Activation.data() + unit.Source,
                     unit.Sources, unit.Stride, m_Bias.data() + unit.Lane, net);
        for (std::int32_t i = 0; i < unit.Count; ++i) {
            const double a = Logistic(net[i]);
            activation[i] = a;
            node[i].NetInput = net[i];
            node[i].Activation = a;
        }
    }
}

double CNetworkEngine::CalculateErrors(CQuorinDoc& doc, int row) {
    auto& nodes = doc.m_Nodes;
    const std::int32_t n = static_cast<std::int32_t>(nodes.size());
    double* errors = m_Error.data();
    for (const auto& [first, last] : m_HiddenRuns) {
        if (m_WholeVectors)  // short runs: whole vectors rather than a call
            for (std::int32_t k = first; k < last; k += 4) Store(errors + k, Splat(0.0));
        else
            std::fill(errors + first, errors + last, 0.0);
    }
    double sum = 0.0;
    const bool rowValid = row >= 0 && row < static_cast<int>(doc.m_Examples.size());
    const std::span<const double> normalised =
        rowValid ? doc.m_Examples[row].NormalisedValues() : std::span<const double>();
    const bool mapped =
        m_OutputsMapped && rowValid && static_cast<std::int32_t>(normalised.size()) >= m_ColumnsNeeded;
    if (mapped) {
        const double* targets = normalised.data();
        for (const CColumnNode& output : m_OutputColumns) {
            const double error = targets[output.Column] - m_Activation[output.Node];
            m_Error[output.Node] = error;
            sum += std::fabs(error);
        }
    } else {
        sum = OutputErrorSum(
            doc, row, m_FirstOutput, m_EndOutput, [this](int k) { return m_Activation[k]; },
            [this](int k, double error) { m_Error[k] = error; });
    }
    for (auto u = m_Units.rbegin(); u != m_Units.rend(); ++u) {
        const CUnit& unit = *u;
        if (unit.Generic) {
            const std::int32_t k = unit.First;
            const double delta = Slope(m_Activation[k], m_Error[k]);
            m_Delta[unit.Lane] = delta;
            for (std::int32_t t = 0; t < unit.Sources; ++t) {
                const std::size_t p = static_cast<std::size_t>(unit.Offset) + t;
                const std::int32_t from = m_From[p];
                if (m_Type[p] != 0 || from < 0 || from >= n || m_IsInput[from]) continue;
                m_Error[from] = m_Error[from] + m_Weight[p] * delta;
            }
            continue;
        }
        double* delta = m_Delta.data() + unit.Lane;
        // Later units add nothing more to these nodes: their records can take them now.
        if (unit.Stride == 4 && unit.SourcesNoInputs) {
            SlopeBackBlock4(m_Activation.data() + unit.First, m_Error.data() + unit.First,
                            unit.Count, m_WholeVectors, unit.VectorErrors, delta,
                            nodes.data() + unit.First,
                            m_Weight.data() + unit.Offset, unit.Sources,
                            m_Error.data() + unit.Source);
            continue;
        }
        SlopeBlock(m_Activation.data() + unit.First, m_Error.data() + unit.First, unit.Count,
                   m_WholeVectors, unit.VectorErrors, delta, nodes.data() + unit.First);
        if (!unit.SourcesAllInputs)
            BackBlock(m_Weight.data() + unit.Offset, delta,
                      unit.SourcesNoInputs ? nullptr : m_IsInput.data() + unit.Source,
                      unit.Sources, unit.Count, unit.Stride, m_Error.data() + unit.Source);
    }
    // A generic unit's weights may come from any node, even one whose record was written.
    if (m_HasGeneric) {
        for (const CUnit& unit : m_Units) {
            CNode* node = nodes.data() + unit.First;
            for (std::int32_t i = 0; i < unit.Count; ++i) {
                node[i].Error = m_Error[unit.First + i];
                node[i].Delta = m_Delta[unit.Lane + i];
            }
        }
    }
    return m_Outputs > 0 ? sum / m_Outputs : 0.0;
}

void CNetworkEngine::CalculateWeights(CQuorinDoc& doc) {
    const std::int32_t n = static_cast<std::int32_t>(doc.m_Nodes.size());
    const CUpdateRule rule = UpdateRuleOf(doc);
    const bool clear = m_ChangesClear && !rule.Counting;
    for (const CUnit& unit : m_Units) {
        const std::size_t offset = static_cast<std::size_t>(unit.Offset);
        const double* delta = m_Delta.data() + unit.Lane;
        if (unit.Generic) {
            for (std::int32_t t = 0; t < unit.Sources; ++t) {
                const std::size_t p = offset + t;
                const std::int32_t from = m_From[p];
                if (m_Type[p] != 0 || from < 0 || from >= n) continue;
                UpdateWeight(rule, m_Weight[p], m_Change[p], m_Previous[p], m_Number[p],
                             m_Activation[from], delta[0]);
            }
        } else if (clear) {
            UpdateBlockClear(m_Weight.data() + offset, m_Previous.data() + offset,
                             m_Activation.data() + unit.Source, delta, unit.Sources, unit.Stride,
                             rule.LearningRate, rule.Momentum);
        } else if (!rule.Counting) {
            UpdateBlock(m_Weight.data() + offset, m_Change.data() + offset,
                        m_Previous.data() + offset, m_Activation.data() + unit.Source, delta,
                        unit.Sources, unit.Stride, rule.LearningRate, rule.Momentum);
        } else {
            for (std::int32_t j = 0; j < unit.Sources; ++j) {
                std::size_t p = offset + static_cast<std::size_t>(j) * unit.Stride;
                for (std::int32_t i = 0; i < unit.Count; ++i, ++p)
                    UpdateWeight(rule, m_Weight[p], m_Change[p], m_Previous[p], m_Number[p],
                                 m_Activation[unit.Source + j], delta[i]);
            }
        }
    }
    UpdateBiases(m_Bias.data(), m_BiasChange.data(), m_BiasPrevious.data(), m_Delta.data(),
                 m_Bias.size(), rule.LearningRate, rule.Momentum);
    // Every update clears the accumulators it used, except that frozen weights keep theirs.
    m_ChangesClear = !rule.Freezing;
}

CLearningPass::CLearningPass(CQuorinDoc& doc, CNetworkEngine& engine)
    : m_Doc(doc), m_Engine(engine) {
    // An engine already running a pass on this thread stays with that pass.
    for (CNetworkEngine* active = t_PassEngine; active; active = active->m_OuterPass)
        if (active == &engine) m_Reused = true;
    if (m_Reused) return;
    // Work of an enclosing pass on the same document must reach the records first.
    SyncNetworkRecords(doc);
    m_Engine.Invalidate();
    m_Engine.m_Doc = &doc;
    m_Engine.m_OuterPass = t_PassEngine;
    t_PassEngine = &m_Engine;
}

CLearningPass::~CLearningPass() {
    if (m_Reused) return;
    Sync();
    t_PassEngine = m_Engine.m_OuterPass;
    m_Engine.m_OuterPass = nullptr;
}

void CLearningPass::Sync() {
    if (m_Reused) return;
    m_Engine.WriteBack(m_Doc);
    m_Engine.Invalidate();
}

CNetworkEngine* ActiveEngine(CQuorinDoc& doc) {
    for (CNetworkEngine* engine = t_PassEngine; engine; engine = engine->m_OuterPass) {
        if (engine->m_Doc != &doc) continue;
        // A copy older than the records is dropped, never used or written back.
        if (!engine->m_Packed || !engine->Current(doc)) engine->Pack(doc);
        return engine->m_Usable ? engine : nullptr;
    }
    return nullptr;
}

void BumpNetworkGeneration(CQuorinDoc& doc) {
    doc.m_NetworkGeneration.fetch_add(1, std::memory_order_relaxed);
}

void SyncNetworkRecords(CQuorinDoc& doc) {
    for (CNetworkEngine* engine = t_PassEngine; engine; engine = engine->m_OuterPass) {
        if (engine->m_Doc != &doc) continue;
        engine->WriteBack(doc);
        engine->Invalidate();
    }
}

}  // namespace quorin
