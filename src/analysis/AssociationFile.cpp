#include "analysis/AssociationFile.h"

#include <cstdio>

#include "analysis/NetworkAnalysis.h"
#include "files/AutoSave.h"
#include "grid/QuorinDoc.h"
#include "platform/Prompts.h"

namespace quorin {

std::vector<double> AssociationSumsOfWeights(CQuorinDoc& doc) {
    CalculateSumsOfWeights(doc);
    return InputImportances(doc);
}

bool AssociationSetAutoSave(CQuorinDoc& doc, int backupNow) { return SetAutoSave(doc, backupNow, 1); }

std::string AssociationAutoSave(CQuorinDoc& doc) { return AutoSave(doc, 0, 1); }

bool AssociationsFileConfirmed(const CQuorinDoc& doc) { return doc.m_AutoSave.AssociationsFile.Confirmed; }
const std::string& AssociationsFileName(const CQuorinDoc& doc) { return doc.m_AutoSave.AssociationsFile.Name; }

void StopAssociationsFile(CQuorinDoc& doc) {
    doc.m_AutoSave.AssociationsFile.Confirmed = false;
    doc.m_AutoSaveFlags &= ~kAutoSaveAssociations;
}

bool UseAssociationsFile(CQuorinDoc& doc, const std::string& path) {
    // Created when missing, never emptied: later runs append to it.
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (f == nullptr || std::fclose(f) != 0) {
        doc.App().Prompts().Inform("Unable to open Auto Save associations file.");
        doc.m_AutoSaveFlags &= ~kAutoSaveAssociations;
        return false;
    }
    doc.m_AutoSaveFlags |= kAutoSaveAssociations;
    doc.m_AutoSave.AssociationsFile = {path, true};
    return true;
}

}  // namespace quorin
