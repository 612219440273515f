#pragma once
// Column association detection: each column in turn is the only output of a small network
// learnt on the training rows, and the input column carrying the largest total absolute
// outgoing weight is recorded as its associate.
#include <string>
#include <vector>

#include "analysis/Association.h"

namespace quorin {
class CQuorinDoc;

inline constexpr int kAssociatingTotalCycles = 2000;
inline constexpr int kAssociatingHiddenNodes = 8;
inline constexpr int kAssociatingMinCyclesPerColumn = 20;

// Action > "Start &Associating": both questions, the Auto Save dialog, then the thread.
void OnActionStartAssociating(CQuorinDoc& doc);
// Starts the associating thread without asking; 1 when it started.
int StartAssociating(CQuorinDoc& doc, int totalCycles = kAssociatingTotalCycles);
// Blocks until the associating thread has ended and been joined; lets window events run.
void WaitForAssociating(CQuorinDoc& doc);
// The document is going away: ask the thread to stop and join it.
void EndAssociatingThread(CQuorinDoc& doc);

// The detection run on the calling thread, as the worker runs it (tests, one thread).
void AssociatingThread(CQuorinDoc& doc, int totalCycles);
// The worker's body: the detection without the flag and the thread count.
void AssociatingRun(CQuorinDoc& doc, int totalCycles);
// Learning cycles each column gets: total / (rows x columns), at least 20.
int AssociatingCyclesPerColumn(int totalCycles, int rows, int columns);

// The winning input column for output column k from the columns' sums of weights: only a
// strictly larger sum replaces the best, which starts at 0, so among equal sums the first
// column wins; -1 when no column has a sum above 0.
int HighestSumColumn(const CQuorinDoc& doc, int k, const std::vector<double>& sums);
// Records the association of output column k (the network's sums of weights must be
// current); false when the run must stop. Takes the network lock itself.
bool FindHighestSumOfWeights(CQuorinDoc& doc, int k);
// Appends one line to the associations file when it is confirmed; false (after the message)
// when it cannot be reopened, which switches saving associations off.
bool SaveAssociation(CQuorinDoc& doc, const std::string& fileName, int fromCol, int toCol,
                     double strength, double spare);
CAssociation& NewAssociation(CQuorinDoc& doc, int fromCol, int toCol, double strength,
                             double spare);
// A column field of the associations file: "%d \"%s\"", cut at 30 to 27 and "...",
// padded to 35.
std::string AssociationFileField(int column, const std::string& name);

// The script line "associate(path)": every confirmation taken as Yes, the file at the path
// given (or the derived ".as.txt"), and the run waited for. 0, or a script result code.
int ScriptAssociate(CQuorinDoc& doc, const std::string& path, bool allowFile);
// The document path with its last four characters replaced by ".as.txt".
std::string AssociationsDerivedName(const std::string& documentPath);

// Menu availability.
bool CanStartAssociating(const CQuorinDoc& doc);

}  // namespace quorin
