// Stand-ins until network analysis and Auto Save land; each body follows the operation it
// stands for, and becomes a call to it.
#include "analysis/AssociationSeams.h"

#include <cmath>
#include <cstdio>

#include "analysis/Associating.h"
#include "grid/QuorinDoc.h"
#include "platform/DialogForm.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
constexpr int kAssociationsBit = 0x80;
constexpr int kBackupBit = 0x10;

bool CreateKeeping(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "ab");  // creates, never empties
    return f != nullptr && std::fclose(f) == 0;
}
}  // namespace

// To become: CalculateSumsOfWeights(doc); return InputImportances(doc);
std::vector<double> AssociationSumsOfWeights(CQuorinDoc& doc) {
    std::vector<double> node(doc.m_Nodes.size(), 0.0);
    const int count = static_cast<int>(node.size());
    for (const CWeight& w : doc.m_Weights)
        if (w.WeightType == 0 && w.FromNode >= 0 && w.FromNode < count)
            node[w.FromNode] += std::fabs(w.Weight);
    std::vector<double> sums(doc.m_InOuts.size(), 0.0);
    int n = 0;
    for (size_t c = 0; c < doc.m_InOuts.size(); ++c) {
        const CInOut& io = doc.m_InOuts[c];
        if (io.InOutType != Input) continue;
        const int feeds = io.Mode == Image ? 3 : 1;
        for (int i = 0; i < feeds; ++i, ++n)
            if (n < count && doc.m_Nodes[n].NodeType == InputNode) sums[c] += node[n];
    }
    return sums;
}

// To become: return SetAutoSave(doc, backupNow, 1);
bool AssociationSetAutoSave(CQuorinDoc& doc, int backupNow) {
    CDialogForm form;
    form.Id = "AutoSave";
    form.Title = "AutoSave";
    form.AddLabel("text",
                  "The process of detecting associations will invalidate the network and change "
                  "the grid. When the process is complete the grid will be rebuilt. Please make "
                  "sure you have a backup copy in case the process fails or is terminated before "
                  "it has finished. ");
    form.AddCheck("associations",
                  Format("save associations to %s",
                         AssociationsDerivedName(doc.m_PathName).c_str()),
                  (doc.m_AutoSaveFlags & kAssociationsBit) != 0);
    form.AddCheck("backup", "backup now", backupNow || (doc.m_AutoSaveFlags & kBackupBit));
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return false;
    doc.m_AutoSaveFlags = (form.Check("associations") ? kAssociationsBit : 0) |
                          (form.Check("backup") ? kBackupBit : 0);
    if (doc.m_AutoSaveFlags != 0) AssociationAutoSave(doc);
    return true;
}

// To become: return AutoSave(doc, 0, 1);
std::string AssociationAutoSave(CQuorinDoc& doc) {
    if (!(doc.m_AutoSaveFlags & kAssociationsBit)) return "OK";
    if (doc.m_SeamAssociationsFileConfirmed) return doc.m_SeamAssociationsFileName;
    CFileDialogRequest request;
    request.Save = true;
    request.Title = "Save associations file";
    request.Filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.DefaultExt = "txt";
    request.FileName = AssociationsDerivedName(doc.m_PathName);
    request.OverwritePrompt = false;
    if (!doc.App().Prompts().FileDialog(request)) {
        doc.m_AutoSaveFlags &= ~kAssociationsBit;
        return "NOK";
    }
    if (!CreateKeeping(request.FileName)) {
        doc.App().Prompts().Inform("Unable to open Auto Save associations file.");
        doc.m_AutoSaveFlags &= ~kAssociationsBit;
        return "NOK";
    }
    doc.m_SeamAssociationsFileConfirmed = true;
    doc.m_SeamAssociationsFileName = request.FileName;
    return request.FileName;
}

// To become: doc's Auto Save state, AssociationsFile.Confirmed / .Name.
bool AssociationsFileConfirmed(const CQuorinDoc& doc) { return doc.m_SeamAssociationsFileConfirmed; }
const std::string& AssociationsFileName(const CQuorinDoc& doc) {
    return doc.m_SeamAssociationsFileName;
}

void StopAssociationsFile(CQuorinDoc& doc) {
    doc.m_SeamAssociationsFileConfirmed = false;
    doc.m_AutoSaveFlags &= ~kAssociationsBit;
}

bool UseAssociationsFile(CQuorinDoc& doc, const std::string& path) {
    if (!CreateKeeping(path)) {
        doc.App().Prompts().Inform("Unable to open Auto Save associations file.");
        doc.m_AutoSaveFlags &= ~kAssociationsBit;
        return false;
    }
    doc.m_AutoSaveFlags |= kAssociationsBit;
    doc.m_SeamAssociationsFileConfirmed = true;
    doc.m_SeamAssociationsFileName = path;
    return true;
}

}  // namespace quorin
