// Special files: the Grid, weights, biases, graph and node details beside a document.
#include "files/SpecialFiles.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "analysis/WorkCopy.h"
#include "coding/ValueText.h"
#include "files/SideFiles.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

struct CFileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using CFile = std::unique_ptr<std::FILE, CFileCloser>;

bool Write(std::FILE* f, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), f) == text.size();
}

std::string Pad(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

const char* ColumnPrefix(int type) {
    switch (type) {
    case Input: return "I: ";
    case Output: return "O: ";
    default: return "X: ";
    }
}

const char* RowPrefix(int type) {
    switch (type) {
    case Training: return "T: ";
    case Validating: return "V: ";
    case Querying: return "Q: ";
    case Duplicate: return "D: ";
    default: return "X: ";
    }
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char a = s[s.size() - tail.size() + i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != tail[i]) return false;
    }
    return true;
}

std::string GridFileText(CQuorinDoc& doc) {
    std::string text = "..........\t";
    for (const CInOut& io : doc.m_InOuts)
        text += ColumnPrefix(io.InOutType) + io.InOutName + " \t";
    const int columns = static_cast<int>(doc.m_InOuts.size());
    for (const CExample& ex : doc.m_Examples) {
        text += "\r\n";
        text += RowPrefix(ex.ExampleType) + ex.ExampleName;
        for (int c = 0; c < columns && c < static_cast<int>(ex.Values().size()); ++c)
            text += "\t" + FormatValue(doc, ex.Values()[c], c);
    }
    text += "\r\n\r\nColumn\t\t\tMin Value\tMax Value\r\n";
    for (int c = 0; c < columns; ++c) {
        const CInOut& io = doc.m_InOuts[c];
        std::string shown = io.InOutName;
        if (shown.size() > 12) shown = shown.substr(0, 12) + "...";
        text += Format("%d\t%s\t%s\t%.4lf\r\n", c, Pad(shown, 15).c_str(),
                       Pad(Format("%.4lf", io.LowValue), 15).c_str(), io.HighValue);
    }
    return text;
}

std::string WeightsFileText(CQuorinDoc& doc) {
    std::string text = "connect\tfrom\tto\tweight\r\n";
    for (std::size_t w = 0; w < doc.m_Weights.size(); ++w) {
        const CWeight& wt = doc.m_Weights[w];
        if (wt.WeightType != 0) continue;
        text += Format("%d\t%d\t%d\t%.6lf\r\n", static_cast<int>(w), wt.FromNode, wt.ToNode,
                       wt.Weight);
    }
    return text;
}

std::string BiasesFileText(CQuorinDoc& doc) {
    std::string text = "node\tbias   \tweight    \tfrom\tto\r\n";
    // Connected weights by destination node, each list in weight order.
    const std::size_t nodes = doc.m_Nodes.size();
    std::vector<std::vector<std::size_t>> into(nodes);
    for (std::size_t w = 0; w < doc.m_Weights.size(); ++w) {
        const CWeight& wt = doc.m_Weights[w];
        if (wt.WeightType == 0 && wt.ToNode >= 0 && static_cast<std::size_t>(wt.ToNode) < nodes)
            into[wt.ToNode].push_back(w);
    }
    for (std::size_t n = 0; n < nodes; ++n) {
        const CNode& node = doc.m_Nodes[n];
        text += node.NodeType == InputNode ? Format("%d\t0.000000\r\n", static_cast<int>(n))
                                           : Format("%d\t%.6lf\r\n", static_cast<int>(n), node.Bias);
        for (std::size_t w : into[n]) {
            const CWeight& wt = doc.m_Weights[w];
            text += Format("\t\t%.6lf\t%d\t%d\r\n", wt.Weight, wt.FromNode, wt.ToNode);
        }
    }
    return text;
}

std::string GraphFileText(CQuorinDoc& doc) {
    std::string text = "cycles\tmax error\tave error\tmin error\r\n";
    for (const CGraphPoint& p : doc.m_GraphPoints) {
        if (p.Cycles <= 0) continue;
        text += Format("%d\t%.6lf\t%.6lf\t%.6lf\r\n", p.Cycles, p.MaxError, p.AveError, p.MinError);
    }
    return text;
}

std::string HeaderText(const std::string& documentPath) {
    return Format("%s Node and Connection Details.\r\n\r\nInputs, activations and errors "
                  "are those produced when the\r\nfirst training example row is "
                  "presented to the network.\r\n\r\nConnection weights and bias values "
                  "are valid for all rows.\r\n\r\n",
                  documentPath.c_str());
}

// One node's account, read from `net`; "" for a node the network doesn't have.
std::string NodeDetailsText(const CQuorinDoc& net, int node, int nodeType, const std::string& name,
                            const std::string& suffix) {
    if (node < 0 || static_cast<std::size_t>(node) >= net.m_Nodes.size()) return {};
    const CNode& n = net.m_Nodes[node];
    std::string text = Pad(Format("\r\n%d", node), 12) + name + suffix + "\r\n\r\n";
    switch (nodeType) {
    case InputNode:
        text += Format("\tINPUT layer node.  Normalized Input: %.6lf  Activation: %.6lf  Bias: "
                       "%.6lf  Error: %.6lf\r\n\r\n",
                       n.NetInput, n.Activation, 0.0, n.Error);
        break;
    case OutputNode:
        // The output node's own bias, as the biases file shows it.
        text += Format("\tOUTPUT layer node.  Net Input: %.6lf  Activation: %.6lf  Bias: %.6lf  "
                       "Error: %.6lf\r\n\r\n",
                       n.NetInput, n.Activation, n.Bias, n.Error);
        break;
    default:
        if (n.Layer >= 1 && n.Layer <= 3)
            text += Format("\tHIDDEN layer %d node.  Net input: %.6lf  Activation: %.6lf  Bias: "
                           "%.6lf  Error: %.6lf\r\n\r\n",
                           n.Layer, n.NetInput, n.Activation, n.Bias, n.Error);
        else
            text += "Unknown layer type\r\n\r\n";
    }
    const int weights = static_cast<int>(net.m_Weights.size());
    for (int w = std::max(0, n.FirstWeight); w < n.LastWeight && w < weights; ++w) {
        const CWeight& wt = net.m_Weights[w];
        std::string line = Pad(Format("\t\tConnection %d ", w), 20);
        if (wt.WeightType == 0) {
            line = Pad(Format("%s from Node %d: ", line.c_str(), wt.FromNode), 35);
            line = Format("%s Weight: %.6lf\r\n", line.c_str(), wt.Weight);
        } else {
            line = Format("%s from Node %d: not used\r\n", line.c_str(), wt.FromNode);
        }
        text += line;
    }
    return text;
}

// The details of one document: traced on its application, read from the snapshot network.
struct CDetailsSource {
    CQuorinApp& App;
    const CQuorinDoc& Net;
};

std::string TracedNodeText(const CDetailsSource& source, int node, int nodeType,
                           const std::string& name, const std::string& suffix) {
    source.App.Trace("SaveNodeDetails   Node %d Type %d", node, nodeType);
    return NodeDetailsText(source.Net, node, nodeType, name, suffix);
}

// The nodes of one column: one node, or three for an Image column.
int ColumnNodesText(const CDetailsSource& source, std::string& text, int node, int type,
                    const CInOut& io) {
    if (io.Mode == Image) {
        for (const char* suffix : {" PC", " EC", " BC"})
            text += TracedNodeText(source, node++, type, io.InOutName, suffix);
    } else {
        text += TracedNodeText(source, node++, type, io.InOutName, "");
    }
    return node;
}

// What presenting one row reads: the columns, their images, the limits and the network, with
// that row alone as the Grid. The presentation works on this copy, so the live records (which
// a learning thread may take up again as soon as the lock is released) are never written.
void CopySnapshotNetwork(const CQuorinDoc& from, int row, CQuorinDoc& to) {
    to.m_InOuts = from.m_InOuts;
    to.m_Images = from.m_Images;
    to.m_Nodes = from.m_Nodes;
    to.m_Weights = from.m_Weights;
    to.m_Examples = {from.m_Examples[row]};
    to.m_UpperLimit = from.m_UpperLimit;
    to.m_LowerLimit = from.m_LowerLimit;
    to.m_Middle = from.m_Middle;
    to.m_NetworkExists = from.m_NetworkExists;
    to.SetRowCount();
    to.SetColCount();
}

// The details file; presents the first training row to a copy of the network.
CSideFile DetailsFile(CQuorinDoc& doc, const std::string& path) {
    CSideFile file;
    file.Name = DetailsFileName(path);
    file.FailureMessage = "Could not create details file.";
    file.Text = HeaderText(doc.m_PathName.empty() ? path : doc.m_PathName);
    int snapshot = -1;
    for (std::size_t r = 0; r < doc.m_Examples.size(); ++r) {
        if (doc.m_Examples[r].ExampleType == Training) {
            snapshot = static_cast<int>(r);
            break;
        }
    }
    if (snapshot < 0) {
        file.MessageAfter = "No suitable row can be found for snapshot.";
        return file;
    }
    // Weights of a packed pass on this thread reach the records before they are copied.
    SyncNetworkRecords(doc);
    CQuorinApp& app = doc.App();
    CWorkApp work(app.Clock());
    CQuorinDoc net(work.App());
    CopySnapshotNetwork(doc, snapshot, net);
    if (!net.m_Nodes.empty()) {
        // The trace tells of the presentation as if it were made on the document.
        if (app.Tracing()) {
            app.Trace("ConnectInputs   Row %d CheckImages %d", snapshot, 1);
            app.Trace("CalculateActivations");
        }
        ConnectInputs(net, 0, 1);
        CalculateActivations(net);
    }
    const CDetailsSource source{app, net};
    int node = 0;
    for (const CInOut& io : doc.m_InOuts)
        if (io.InOutType == Input) node = ColumnNodesText(source, file.Text, node, InputNode, io);
    for (int layer = 1; layer <= 3; ++layer)
        for (const CNode& n : net.m_Nodes)
            if (n.NodeType == HiddenNode && n.Layer == layer)
                file.Text += TracedNodeText(source, node++, HiddenNode, "", "");
    for (const CInOut& io : doc.m_InOuts)
        if (io.InOutType == Output) node = ColumnNodesText(source, file.Text, node, OutputNode, io);
    return file;
}

}  // namespace

std::string SpecialFileName(const std::string& path, const char* extension) {
    return FirstDotReplaced(path, extension);
}

std::string DetailsFileName(const std::string& path) { return LastFourReplaced(path, kDetailsEnding); }

bool SaveNodeDetails(CQuorinDoc& doc, const std::string& fileName, int node, int nodeType,
                     const std::string& name, const std::string& suffix) {
    doc.App().Trace("SaveNodeDetails   Node %d Type %d", node, nodeType);
    std::string text;
    if (node == -1) {
        text = HeaderText(doc.m_PathName);
    } else {
        // A node the network doesn't have has no account to give.
        text = NodeDetailsText(doc, node, nodeType, name, suffix);
        if (text.empty()) return false;
    }
    CFile f(std::fopen(fileName.c_str(), "ab"));
    if (!f) return false;
    Write(f.get(), text);
    return true;
}

std::vector<CSideFile> RenderOptionalFiles(CQuorinDoc& doc, const std::string& fileName) {
    doc.App().Trace("SaveOptionalFiles   File %s", fileName.c_str());
    std::vector<CSideFile> files;
    const bool details = (doc.m_AutoSaveFlags & kAutoSaveDetails) != 0;
    if (details && !EndsWithNoCase(fileName, kBackupCopyEnding)) {
        files.push_back(DetailsFile(doc, fileName));
        if (!files.back().MessageAfter.empty()) return files;
    }
    struct CChoice {
        std::int32_t On;
        const char* Ending;
        std::string (*Text)(CQuorinDoc&);
    };
    const CChoice choices[] = {{doc.m_SpecialGrid, kGridEnding, GridFileText},
                               {doc.m_SpecialWeights, kWeightsEnding, WeightsFileText},
                               {doc.m_SpecialBiases, kBiasesEnding, BiasesFileText},
                               {doc.m_SpecialGraph, kGraphEnding, GraphFileText}};
    for (const CChoice& c : choices) {
        if (!c.On) continue;
        CSideFile file;
        file.Name = SpecialFileName(fileName, c.Ending);
        file.Text = c.Text(doc);
        file.FailureMessage = "Could not open file.";
        files.push_back(std::move(file));
    }
    return files;
}

bool WriteSideFiles(CQuorinApp& app, const std::vector<CSideFile>& files) {
    for (const CSideFile& file : files) {
        CFile f(std::fopen(file.Name.c_str(), "wb"));
        bool ok = f != nullptr;
        if (ok) ok = Write(f.get(), file.Text);
        if (f && std::fclose(f.release()) != 0) ok = false;
        if (!ok) {
            app.Prompts().Inform(file.FailureMessage);
            return false;
        }
        if (!file.MessageAfter.empty()) {
            app.Prompts().Inform(file.MessageAfter);
            return false;
        }
    }
    return true;
}

void SaveOptionalFiles(CQuorinDoc& doc, const std::string& fileName) {
    std::vector<CSideFile> files;
    {
        // A learning thread may be running: render from the state between two of its cycles.
        std::lock_guard lock(doc.m_NetworkMutex);
        files = RenderOptionalFiles(doc, fileName);
    }
    WriteSideFiles(doc.App(), files);
}

}  // namespace quorin
