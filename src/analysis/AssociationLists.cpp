#include "analysis/AssociationLists.h"

#include <mutex>

#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
void Copy(CQuorinDoc& doc, CAssociationSnapshot& s) {
    s.Path = doc.m_PathName;
    s.Associations = doc.m_Associations;
    s.ColumnNames.clear();
    for (const CInOut& io : doc.m_InOuts) s.ColumnNames.push_back(io.InOutName);
    s.ColumnCount = static_cast<int>(doc.m_InOuts.size());
    s.Running = doc.m_Associating;
    s.Stopped = doc.m_AssociatingStopped;
    // Between runs the count is the list's length (a loaded document has no run count).
    s.AssociationCount =
        s.Running ? doc.m_AssociationCount.load() : static_cast<int>(s.Associations.size());
}
}  // namespace

CAssociationSnapshot TakeAssociationSnapshot(CQuorinDoc& doc) {
    CAssociationSnapshot s;
    std::lock_guard lock(doc.m_NetworkMutex);
    Copy(doc, s);
    return s;
}

bool TryTakeAssociationSnapshot(CQuorinDoc& doc, CAssociationSnapshot& s) {
    std::unique_lock lock(doc.m_NetworkMutex, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    Copy(doc, s);
    return true;
}

std::vector<CAssociation> SortedAssociations(const std::vector<CAssociation>& associations) {
    std::vector<CAssociation> sorted;
    for (const CAssociation& a : associations) {
        if (!(a.Strength > 0.0)) continue;
        auto at = sorted.begin();
        while (at != sorted.end() && !(a.Strength > at->Strength)) ++at;
        sorted.insert(at, a);
    }
    return sorted;
}

std::string AssociationColumnText(int column, const std::vector<std::string>& names) {
    std::string text = Format("%-7d", column);
    if (column >= 0 && column < static_cast<int>(names.size())) text += names[column];
    if (text.size() > 34) text = text.substr(0, 31) + "...";
    return text;
}

namespace {

std::vector<CAssociationEntry> Entries(const CAssociationSnapshot& s) {
    std::vector<CAssociationEntry> entries;
    for (const CAssociation& a : SortedAssociations(s.Associations))
        entries.push_back({AssociationColumnText(a.FromCol, s.ColumnNames),
                           AssociationColumnText(a.ToCol, s.ColumnNames),
                           Format("%.6lf", a.Strength)});
    return entries;
}

const char* ListingWord(const CAssociationSnapshot& s) {
    return s.Running ? "Listing" : s.Stopped ? "Stopped listing" : "List of";
}

// "The last ... column number %d %s." with the last association's column and name.
std::string LastLine(const CAssociationSnapshot& s, const char* what) {
    if (s.Associations.empty()) return {};
    const int column = s.Associations.back().FromCol;
    std::string named;
    if (column >= 0 && column < static_cast<int>(s.ColumnNames.size()) &&
        !s.ColumnNames[column].empty())
        named = Format("named \"%s\"", s.ColumnNames[column].c_str());
    return Format("The last %s column number %d %s.", what, column, named.c_str());
}

}  // namespace

CAssociationDisplay AssociationsList(const CAssociationSnapshot& s) {
    CAssociationDisplay d;
    d.Headings.push_back(Format("The strongest associations found in %s", s.Path.c_str()));
    d.Headings.push_back(Format("%s up to %d associations in %d columns. %s", ListingWord(s),
                                s.AssociationCount, s.ColumnCount,
                                s.AssociationCount == s.ColumnCount
                                    ? "The list is finished."
                                    : "Some stronger associations may be found."));
    const std::string last = LastLine(s, "association found was for");
    if (!last.empty()) d.Headings.push_back(last);
    if (!s.Running) d.ColumnTitles = {"Associated columns", "Strength"};
    d.Entries = Entries(s);
    return d;
}

CAssociationDisplay ClustersList(const CAssociationSnapshot& s) {
    CAssociationDisplay d;
    d.Headings.push_back(Format("The clusters found in %s", s.Path.c_str()));
    d.Headings.push_back(Format("%s up to %d clusters from %d columns. %s", ListingWord(s),
                                s.AssociationCount, s.ColumnCount,
                                s.AssociationCount == s.ColumnCount
                                    ? "The list is finished."
                                    : "Some more clusters may be found."));
    const std::string last = LastLine(s, "cluster found starts with");
    if (!last.empty()) d.Headings.push_back(last);
    if (!s.Running) d.ColumnTitles = {"Clusters", "Strength"};
    const std::vector<CAssociationEntry> entries = Entries(s);
    for (const CAssociationEntry& first : entries) {
        std::vector<CAssociationEntry> chain{first};
        const CAssociationEntry* tail = &first;
        // The bound and the tail test keep an entry that continues itself (a column recorded
        // as its own associate) from chaining forever.
        while (chain.size() <= entries.size()) {
            const CAssociationEntry* next = nullptr;
            for (const CAssociationEntry& e : entries)
                if (e.From == tail->To) {
                    next = &e;
                    break;
                }
            if (next == nullptr || next == tail) break;
            bool cycle = false;
            for (size_t i = 0; i + 1 < chain.size(); ++i)
                if (chain[i].Strength == next->Strength) cycle = true;
            if (cycle) break;
            chain.push_back(*next);
            tail = next;
        }
        d.Clusters.push_back(std::move(chain));
    }
    return d;
}

}  // namespace quorin
