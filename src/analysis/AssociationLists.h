#pragma once
// The lines of the associations and clusters displays, built from a copy of what the
// document holds so that the views only draw them.
#include <string>
#include <vector>

#include "analysis/Association.h"

namespace quorin {
class CQuorinDoc;

// What both displays read from the document, copied under the network lock.
struct CAssociationSnapshot {
    std::string Path;
    std::vector<CAssociation> Associations;
    std::vector<std::string> ColumnNames;
    int AssociationCount = 0;
    int ColumnCount = 0;
    bool Running = false;
    bool Stopped = false;  // the last run ended before its last column
};
CAssociationSnapshot TakeAssociationSnapshot(CQuorinDoc& doc);
// The same without waiting: false, leaving `s` as it was, while the worker holds the lock.
bool TryTakeAssociationSnapshot(CQuorinDoc& doc, CAssociationSnapshot& s);

struct CAssociationEntry {
    std::string From, To, Strength;
};

struct CAssociationDisplay {
    std::vector<std::string> Headings;
    std::vector<std::string> ColumnTitles;  // shown while no detection runs
    std::vector<CAssociationEntry> Entries;
    // Clusters display: each cluster is a run of entries; empty for the associations list.
    std::vector<std::vector<CAssociationEntry>> Clusters;
};

// Strongest first by insertion, equal strengths in list order; strength 0 or less left out.
std::vector<CAssociation> SortedAssociations(const std::vector<CAssociation>& associations);
// "%-7d" and the column name, cut to 31 characters and "..." when longer than 34.
std::string AssociationColumnText(int column, const std::vector<std::string>& names);

CAssociationDisplay AssociationsList(const CAssociationSnapshot& s);
CAssociationDisplay ClustersList(const CAssociationSnapshot& s);

}  // namespace quorin
