#include "analysis/Associating.h"

#include <cstdio>
#include <mutex>

#include "analysis/AssociationFile.h"
#include "analysis/Associations.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// Builds column k's network and learns it; the caller holds the network lock.
void LearnColumn(CQuorinDoc& doc, int k, int cycles) {
    for (size_t c = 0; c < doc.m_InOuts.size(); ++c)
        doc.m_InOuts[c].InOutType = static_cast<int>(c) == k ? Output : Input;
    int inputs = 0, outputs = 0;
    for (const CInOut& io : doc.m_InOuts) (io.InOutType == Output ? outputs : inputs) += NodesOf(io);
    NewNetwork(doc, inputs, kAssociatingHiddenNodes, outputs, 1);
    doc.m_Status = StatusAssociating;
    SetWeightsIn(doc);
    CNetworkEngine engine;
    CLearningPass pass(doc, engine);
    const int rows = static_cast<int>(doc.m_Examples.size());
    double error = 0.0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (int r = 0; r < rows; ++r) {
            if (doc.m_Examples[r].ExampleType != Training) continue;
            if (!LearnRow(doc, r, error)) break;
        }
    }
}

bool StopRequested(CQuorinDoc& doc) {
    return doc.m_StopRequest || doc.m_AssociatingStopRequest || doc.App().StopAllRequested();
}

}  // namespace

std::string AssociationsDerivedName(const std::string& documentPath) {
    return (documentPath.size() >= 4 ? documentPath.substr(0, documentPath.size() - 4)
                                     : std::string()) +
           ".as.txt";
}

int AssociatingCyclesPerColumn(int totalCycles, int rows, int columns) {
    const long long cells = static_cast<long long>(rows) * columns;
    const long long c = cells > 0 ? totalCycles / cells : totalCycles;
    return c < kAssociatingMinCyclesPerColumn ? kAssociatingMinCyclesPerColumn : static_cast<int>(c);
}

void OnActionStartAssociating(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    app.Trace("OnActionStartAssociating");
    if (!CanStartAssociating(doc)) return;
    const int hadNetwork = doc.m_NetworkExists != 0 ? 1 : 0;
    if (hadNetwork &&
        !app.Prompts().AskYesNo(Format(
            "Detecting Associated columns in %s\nwill reset any learning for this file, "
            "invalidate\nthe network and delete any existing associations.\n\nDo you want to "
            "continue?",
            doc.m_PathName.c_str())))
        return;
    if (doc.m_FileStatus < 10) {
        if (!app.Prompts().AskYesNo(
                "This file is in the old format used before Quorin-plus version 2.\nIf you "
                "continue the file will be converted to the new format.\n\nDo you want to "
                "continue?"))
            return;
        doc.m_FileStatus = 10;
    }
    if (!AssociationSetAutoSave(doc, hadNetwork)) return;
    StartAssociating(doc, kAssociatingTotalCycles);
}

// ---- the worker's lifecycle: start, wait, end ----

int StartAssociating(CQuorinDoc& doc, int totalCycles) {
    return doc.m_Worker.Start(EWorkKind::Associating,
                              [&doc, totalCycles] { AssociatingRun(doc, totalCycles); }, true)
               ? 1
               : 0;
}

void WaitForAssociating(CQuorinDoc& doc) { doc.m_Worker.Wait(EWorkKind::Associating); }

void EndAssociatingThread(CQuorinDoc& doc) { doc.m_Worker.End(); }

// ---- the run ----

void AssociatingThread(CQuorinDoc& doc, int totalCycles) {
    doc.m_Worker.RunHere(EWorkKind::Associating, [&doc, totalCycles] { AssociatingRun(doc, totalCycles); },
                         true);
}

// The detection itself; the worker raises and lowers the flag and the thread count.
void AssociatingRun(CQuorinDoc& doc, int totalCycles) {
    CQuorinApp& app = doc.App();
    app.Trace("AssociatingThread   TotalCycles %d", totalCycles);
    int columns;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        columns = static_cast<int>(doc.m_InOuts.size());
    }
    const int cycles = AssociatingCyclesPerColumn(totalCycles, doc.m_RowCount, columns);
    doc.m_StopRequest = false;
    doc.m_AssociatingStopRequest = false;
    doc.m_AssociatingStopped = false;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        DeleteAssociations(doc);
        doc.m_AssociationCount = 0;
        for (CInOut& io : doc.m_InOuts) {
            io.SavedType = io.InOutType;
            io.InOutType = Input;
        }
    }
    int done = 0;
    bool stopped = false;
    for (int k = 0; k < columns; ++k) {
        {
            std::lock_guard lock(doc.m_NetworkMutex);
            LearnColumn(doc, k, cycles);
        }
        const bool goOn = FindHighestSumOfWeights(doc, k);
        done = k + 1;
        {
            std::lock_guard lock(doc.m_NetworkMutex);
            doc.m_InOuts[k].InOutType = Input;
        }
        doc.RefreshViews();
        if (!goOn) {
            stopped = k + 1 < columns;
            break;
        }
        if (StopRequested(doc)) {
            app.RequestStopAll(false);
            stopped = k + 1 < columns;
            break;
        }
        app.Views().PostProgress(doc, k + 1, StatusAssociating);
    }
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        for (CInOut& io : doc.m_InOuts) io.InOutType = io.SavedType;
        // The last column's network stays, but it fits no column layout of the Grid.
        doc.m_NetworkExists = 0;
        doc.m_Status = StatusStopped;
    }
    doc.m_AssociatingStopped = stopped;
    doc.SetModified();
    app.Views().PostProgress(doc, done, StatusNotAssociating);
}

int HighestSumColumn(const CQuorinDoc& doc, int k, const std::vector<double>& sums) {
    int best = -1;
    double bestSum = 0.0;
    for (size_t c = 0; c < doc.m_InOuts.size() && c < sums.size(); ++c) {
        if (static_cast<int>(c) == k || doc.m_InOuts[c].InOutType != Input) continue;
        if (sums[c] > bestSum) {
            bestSum = sums[c];
            best = static_cast<int>(c);
        }
    }
    return best;
}

bool FindHighestSumOfWeights(CQuorinDoc& doc, int k) {
    CQuorinApp& app = doc.App();
    app.Trace("FindHighestSumOfWeights   Col %d", k);
    CAssociation found;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        const std::vector<double> sums = AssociationSumsOfWeights(doc);
        const int best = HighestSumColumn(doc, k, sums);
        // No column carries any weight: column 0 with strength 0, which no list shows.
        found = NewAssociation(doc, k, best < 0 ? 0 : best, best < 0 ? 0.0 : sums[best], 0.0);
    }
    const std::string status = AssociationAutoSave(doc);
    if (status == "NOK") return false;
    if (AssociationsFileConfirmed(doc))
        SaveAssociation(doc, AssociationsFileName(doc), found.FromCol, found.ToCol,
                        found.Strength, found.Spare);
    ++doc.m_AssociationCount;
    return true;
}

CAssociation& NewAssociation(CQuorinDoc& doc, int fromCol, int toCol, double strength,
                             double spare) {
    doc.App().Trace("NewAssociation   FromCol %d ToCol %d Strength %.4lf Spare %.4lf", fromCol,
                    toCol, strength, spare);
    doc.m_Associations.push_back({fromCol, toCol, strength, spare});
    doc.SetModified();
    return doc.m_Associations.back();
}

std::string AssociationFileField(int column, const std::string& name) {
    std::string text = Format("%d \"%s\"", column, name.c_str());
    if (text.size() > 30) text = text.substr(0, 27) + "...";
    if (text.size() < 35) text.append(35 - text.size(), ' ');
    return text;
}

bool SaveAssociation(CQuorinDoc& doc, const std::string& fileName, int fromCol, int toCol,
                     double strength, double spare) {
    CQuorinApp& app = doc.App();
    app.Trace("SaveAssociation   File %s FromCol %d ToCol %d Strength %.4lf Spare %.4lf",
              fileName.c_str(), fromCol, toCol, strength, spare);
    if (!AssociationsFileConfirmed(doc)) return true;
    std::FILE* file = std::fopen(fileName.c_str(), "r+b");
    if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) {
        if (file != nullptr) std::fclose(file);
        app.Prompts().Inform("Could not open file.\n\nAssociations Auto Save has stopped");
        StopAssociationsFile(doc);
        return false;
    }
    std::string text;
    if (!doc.m_AssociationsHeaderWritten) {
        text += Format("\r\n%s   Associations", doc.m_PathName.c_str());
        text += "\r\n\r\n             Associated Columns                                           Strength\r\n\r\n";
        doc.m_AssociationsHeaderWritten = true;
    }
    std::string fromName, toName;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        if (doc.ValidCol(fromCol)) fromName = doc.m_InOuts[fromCol].InOutName;
        if (doc.ValidCol(toCol)) toName = doc.m_InOuts[toCol].InOutName;
    }
    text += Format("%s  %s  %lf\r\n", AssociationFileField(fromCol, fromName).c_str(),
                   AssociationFileField(toCol, toName).c_str(), strength);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        app.Prompts().Inform("Could not open file.\n\nAssociations Auto Save has stopped");
        StopAssociationsFile(doc);
        return false;
    }
    return true;
}

int ScriptAssociate(CQuorinDoc& doc, const std::string& path, bool allowFile) {
    CQuorinApp& app = doc.App();
    app.Trace("ScriptAssociate   Path %s", path.c_str());
    if (!CanStartAssociating(doc)) {
        app.Prompts().Inform(
            "Associations can only be detected in a Grid with more than one Input/Output "
            "column and at least two training Example rows, while nothing is learning.");
        return 0;
    }
    if (doc.m_FileStatus < 10) doc.m_FileStatus = 10;
    const std::string file = path.empty() ? AssociationsDerivedName(doc.m_PathName) : path;
    if (allowFile && !file.empty() && file != ".as.txt") UseAssociationsFile(doc, file);
    if (!StartAssociating(doc, kAssociatingTotalCycles)) return 0;
    WaitForAssociating(doc);
    return 0;
}

bool CanStartAssociating(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_ColCount > 1 && HasTrainingRows(doc, 2);
}

}  // namespace quorin
