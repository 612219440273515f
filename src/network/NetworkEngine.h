#pragma once
// The packed form of the network that learning passes run on.
//
// Outside a learning pass the propagation operations work on the node and weight records
// directly. Inside one (a CLearningPass on the calling thread) the weights live in a packed,
// layer-blocked copy: each block of consecutive nodes fed by the same run of source nodes keeps
// its weights source by source, so the forward pass and the update run over contiguous memory.
// The nodes' net inputs, activations, errors and deltas reach their records in every call; the
// weights and the biases with their changes are written back when the pass ends, when Sync() is
// called, and before any operation of this engine rebuilds or re-initialises
// the network. Every sum is evaluated in weight order exactly as on the records, so both forms
// give bit-identical results.
#include <cstdint>
#include <utility>
#include <vector>

namespace quorin {
class CQuorinDoc;

class CNetworkEngine {
public:
    // Builds the packed copy from the records; false when the network's shape does not allow it
    // (overlapping weight runs), in which case the records stay in charge.
    bool Pack(const CQuorinDoc& doc);
    void WriteBack(CQuorinDoc& doc) const;
    void Invalidate() { m_Packed = false; }

    void CalculateActivations(CQuorinDoc& doc);
    // Presents a row through the column map made when packing; false when the map does not
    // cover the row (Image columns, a changed Grid), and the caller presents it the long way.
    // CalculateActivations reads the input nodes' records unless the row came in here.
    bool ConnectInputs(CQuorinDoc& doc, int row);
    double CalculateErrors(CQuorinDoc& doc, int row);
    void CalculateWeights(CQuorinDoc& doc);

    // False when the records changed since packing (another generation): the copy is stale.
    bool Current(const CQuorinDoc& doc) const;

    bool m_Packed = false;
    bool m_Usable = false;
    std::uint64_t m_Generation = 0;  // the network generation the copy was packed from
    bool m_AllowVectorExp = true;  // false: every logistic goes through std::exp
    const CQuorinDoc* m_Doc = nullptr;
    CNetworkEngine* m_OuterPass = nullptr;  // the pass this one is nested in, on this thread

private:
    void MapColumns(const CQuorinDoc& doc);
    // Consecutive destination nodes [First, First+Count) fed by sources [Source, Source+Sources);
    // weight (i, j) is at Offset + j * Stride + i, Stride being Count rounded up to whole
    // vectors (the padding lanes are computed and ignored). A generic unit (Count 1, Generic)
    // keeps its run in record order with per-weight source and type.
    struct CUnit {
        std::int32_t First = 0;
        std::int32_t Count = 0;
        std::int32_t Stride = 0;
        std::int32_t Source = 0;
        std::int32_t Sources = 0;
        std::int32_t Offset = 0;
        std::int32_t Lane = 0;  // first of the unit's node lanes: Count rounded up to 4
        bool Generic = false;
        bool SourcesAllInputs = false;
        bool SourcesNoInputs = false;
        bool VectorErrors = false;  // see MarkVectorErrors
    };
    void MarkVectorErrors(const CQuorinDoc& doc);
    std::vector<CUnit> m_Units;
    std::vector<double> m_Weight, m_Change, m_Previous;
    std::vector<std::int32_t> m_Number, m_Record, m_From, m_Type;
    std::vector<double> m_Activation, m_Error;  // by node number
    // By node lane: the biases live here during a pass, like the weights; padding lanes stay 0.
    std::vector<double> m_Bias, m_BiasChange, m_BiasPrevious, m_Delta, m_Net;
    std::vector<std::int32_t> m_InputNodes;
    // Which column feeds which input node, and which column's target which output node(s).
    struct CColumnNode {
        std::int32_t Column, Node, Nodes;
    };
    std::vector<CColumnNode> m_InputColumns, m_OutputColumns;
    bool m_InputsMapped = false, m_OutputsMapped = false;
    std::int32_t m_ColumnsNeeded = 0;
    std::vector<std::uint8_t> m_IsInput;
    std::vector<std::int32_t> m_HiddenNodes;
    std::int32_t m_Inputs = 0, m_Outputs = 0, m_FirstOutput = 0, m_EndOutput = 0;
    bool m_HasGeneric = false;
    bool m_VectorExp = false;  // the logistic runs four lanes at a time (see VectorExp.h)
    bool m_WholeVectors = false;
    bool m_InputsPresented = false;  // ConnectInputs put the row's inputs into m_Activation
    std::vector<std::pair<std::int32_t, std::int32_t>> m_HiddenRuns;  // [first, last) of hidden nodes
    bool m_ChangesClear = false;  // every packed WeightChange is 0, so the update skips them
    std::vector<std::uint8_t> m_Seen;
};

// Brackets the presentations of one learning pass (typically one cycle) on the calling thread:
// while it lives, the propagation operations on this document use the packed form. Its
// destructor writes the weights back into the records. Passes for other documents may nest.
class CLearningPass {
public:
    CLearningPass(CQuorinDoc& doc, CNetworkEngine& engine);
    ~CLearningPass();
    CLearningPass(const CLearningPass&) = delete;
    CLearningPass& operator=(const CLearningPass&) = delete;
    // Brings the weight records up to date without ending the pass.
    void Sync();

private:
    CQuorinDoc& m_Doc;
    CNetworkEngine& m_Engine;
    bool m_Reused = false;
};

// The engine of the calling thread's learning pass on this document, packed; null when there
// is none or the network cannot be packed.
CNetworkEngine* ActiveEngine(CQuorinDoc& doc);
// Writes back and drops the calling thread's packed copy of this document, if any; called
// before the records are rebuilt or re-initialised.
void SyncNetworkRecords(CQuorinDoc& doc);
// Marks the network's records as changed outside a learning pass (built, rebuilt, loaded,
// forgotten, connections switched): every packed copy made before is stale from now on.
void BumpNetworkGeneration(CQuorinDoc& doc);

}  // namespace quorin
