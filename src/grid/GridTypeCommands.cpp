// Type commands of the Edit and Options menus: excluding incomplete rows and columns,
// the find-and-change loops, and the missing-data choice.
#include <algorithm>
#include <mutex>

#include "grid/QuorinDoc.h"
#include "grid/RangeCommands.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

int Rows(const CQuorinDoc& doc) {
    return std::max(0, std::min<int>(doc.m_RowCount, static_cast<int>(doc.m_Examples.size())));
}
int Cols(const CQuorinDoc& doc) {
    return std::max(0, std::min<int>(doc.m_ColCount, static_cast<int>(doc.m_InOuts.size())));
}

bool Learns(const CExample& ex) { return ex.ExampleType == Training || ex.ExampleType == Validating; }

bool ColumnIncomplete(const CQuorinDoc& doc, int column) {
    if (doc.m_InOuts[column].InOutType == ExcludedCol) return false;
    const int rows = Rows(doc);
    for (int r = 0; r < rows; ++r)
        if (Learns(doc.m_Examples[r]) && doc.m_Examples[r].Values()[column] >= kMissing) return true;
    return false;
}

bool RowIncomplete(const CQuorinDoc& doc, int row) {
    const CExample& ex = doc.m_Examples[row];
    if (!Learns(ex)) return false;
    const int cols = Cols(doc);
    for (int c = 0; c < cols; ++c)
        if (ex.Values()[c] >= kMissing) return true;
    return false;
}

void Finish(CQuorinDoc& doc) {
    doc.RenormaliseAll(1);
    doc.SetModified();
    doc.RefreshViews();
}

}  // namespace

// ---- exclusions ----

int CountIncompleteInOutColumns(const CQuorinDoc& doc) {
    int count = 0;
    for (int c = 0; c < Cols(doc); ++c) count += ColumnIncomplete(doc, c);
    return count;
}

// Row by row and stopping at the first find: the menus ask these on every refresh, and a
// column at a time over a million rows would cost a quarter of a second each time.
bool HasIncompleteInOutColumn(const CQuorinDoc& doc) {
    const int rows = Rows(doc), cols = Cols(doc);
    for (int r = 0; r < rows; ++r) {
        const CExample& ex = doc.m_Examples[r];
        if (!Learns(ex)) continue;
        for (int c = 0; c < cols; ++c)
            if (ex.Values()[c] >= kMissing && doc.m_InOuts[c].InOutType != ExcludedCol) return true;
    }
    return false;
}

bool HasIncompleteExampleRow(const CQuorinDoc& doc) {
    for (int r = 0; r < Rows(doc); ++r)
        if (RowIncomplete(doc, r)) return true;
    return false;
}

int ExcludeIncompleteInOutColumns(CQuorinDoc& doc) {
    doc.App().Trace("ExcludeIncompleteInOutColumns");
    const int count = CountIncompleteInOutColumns(doc);
    if (count != 0 &&
        !doc.App().Prompts().AskYesNo(
            Format("%d of %d input/output columns will be excluded.\n\nDo you want to continue?",
                   count, Cols(doc))))
        return 0;
    // Exactly the columns counted and announced above.
    std::vector<int> excluded;
    for (int c = 0; c < Cols(doc); ++c)
        if (ColumnIncomplete(doc, c)) excluded.push_back(c);
    for (int c : excluded) doc.SetInOutTypeAndMode(c, ExcludedCol, -1);
    Finish(doc);
    return 1;
}

int CountIncompleteExampleRows(const CQuorinDoc& doc) {
    int count = 0;
    for (int r = 0; r < Rows(doc); ++r) count += RowIncomplete(doc, r);
    return count;
}

int ExcludeIncompleteExampleRows(CQuorinDoc& doc) {
    doc.App().Trace("ExcludeIncompleteExampleRows");
    const int count = CountIncompleteExampleRows(doc);
    if (count != 0 &&
        !doc.App().Prompts().AskYesNo(
            Format("%d of %d example rows will be excluded.\n\nDo you want to continue?", count,
                   Rows(doc))))
        return 0;
    for (int r = 0; r < Rows(doc); ++r) {
        const CExample& ex = doc.m_Examples[r];
        if (!Learns(ex)) continue;
        const auto end = ex.Values().begin() + std::min<std::ptrdiff_t>(Cols(doc), ex.Values().size());
        if (std::any_of(ex.Values().begin(), end, [](double v) { return v > 1.5e38; }))
            doc.SetExampleType(r, ExcludedRow);
    }
    Finish(doc);
    return 1;
}

// ---- find and change ----

namespace {

// From the position after `current` to the end, then once round from the first.
template <typename Matches>
int FindNext(int count, int current, Matches matches) {
    for (int k = 1; k <= count; ++k) {
        const int i = ((current + k) % count + count) % count;
        if (matches(i)) return i;
    }
    return current;
}

enum class ELoopKind { Columns, Rows };

void ChangeTypesLoop(CQuorinDoc& doc, ELoopKind kind) {
    const bool columns = kind == ELoopKind::Columns;
    const int count = columns ? Cols(doc) : Rows(doc);
    if (count <= 0) return;
    int position = std::clamp(columns ? doc.m_CurrentCol : doc.m_CurrentRow, 0, count - 1);
    const int currentType =
        columns ? doc.m_InOuts[position].InOutType : doc.m_Examples[position].ExampleType;
    int findType = columns ? std::clamp(currentType, 0, 2) : std::clamp(currentType, 0, 4);
    int changeType = columns ? std::clamp(currentType, 0, 2)
                             : (currentType == Duplicate ? Querying : std::clamp(currentType, 0, 3));
    for (;;) {
        CDialogForm form;
        form.Id = columns ? "ChangeInOutTypes" : "ChangeExampleTypes";
        form.Title = columns ? "Change Input/Output Types" : "Change Example Types";
        form.AddLabel("Position", columns ? Format("Input/Output column %d '%s'", position,
                                                   doc.m_InOuts[position].InOutName.c_str())
                                          : Format("Example row %d '%s'", position,
                                                   doc.m_Examples[position].ExampleName.c_str()));
        form.AddChoice("Find", "F&ind",
                       columns ? std::vector<std::string>{"Input", "Output", "Exclude"}
                               : std::vector<std::string>{"Training", "Validating", "Querying",
                                                          "Exclude", "Duplicate"},
                       findType);
        form.AddChoice("ChangeTo", "Change &to",
                       columns ? std::vector<std::string>{"Input", "Output", "Exclude"}
                               : std::vector<std::string>{"Training", "Validating", "Querying",
                                                          "Exclude"},
                       changeType);
        form.AddButton("FindNext", "&Find Next");
        form.AddButton("Change", "&Change");
        form.AddButton("ChangeAll", "Change &All");
        form.AddButton("Close", "Close");
        if (doc.App().Prompts().ShowDialog(form) != IdOk) return;
        findType = form.Int("Find");
        changeType = form.Int("ChangeTo");
        const std::string button = form.PressedButton;
        // The Grid may have changed shape while the dialog was open.
        const int now = columns ? Cols(doc) : Rows(doc);
        if (now <= 0) return;
        position = std::clamp(position, 0, now - 1);
        if (button == "FindNext") {
            position = columns ? FindNextInOutColumn(doc, position, findType)
                               : FindNextExampleRow(doc, position, findType);
        } else if (button == "Change") {
            if (columns) {
                doc.SetInOutTypeAndMode(position, changeType, -1);
            } else if (doc.m_Examples[position].ExampleType == findType) {
                doc.m_Examples[position].ExampleType = changeType;
            }
            doc.SetModified();
        } else if (button == "ChangeAll") {
            for (int i = 0; i < now; ++i) {
                if (columns && doc.m_InOuts[i].InOutType == findType)
                    doc.SetInOutTypeAndMode(i, changeType, -1);
                if (!columns && doc.m_Examples[i].ExampleType == findType)
                    doc.m_Examples[i].ExampleType = changeType;
            }
            doc.SetModified();
            position = 0;
        } else {
            return;  // Close
        }
        if (columns)
            SetCurrentCell(doc, doc.m_CurrentRow, position);
        else
            SetCurrentCell(doc, position, doc.m_CurrentCol);
    }
}

}  // namespace

int FindNextInOutColumn(const CQuorinDoc& doc, int current, int type) {
    return FindNext(Cols(doc), current, [&](int c) { return doc.m_InOuts[c].InOutType == type; });
}

int FindNextExampleRow(const CQuorinDoc& doc, int current, int type) {
    return FindNext(Rows(doc), current,
                    [&](int r) { return doc.m_Examples[r].ExampleType == type; });
}

void OnEditChangeInOutColumnTypes(CQuorinDoc& doc) {
    doc.App().Trace("OnEditChangeInOutColumnTypes");
    if (!CanChangeInOutColumnTypes(doc)) return;
    ChangeTypesLoop(doc, ELoopKind::Columns);
}

void OnEditChangeExampleRowTypes(CQuorinDoc& doc) {
    doc.App().Trace("OnEditChangeExampleRowTypes");
    if (!CanChangeExampleRowTypes(doc)) return;
    ChangeTypesLoop(doc, ELoopKind::Rows);
}

// ---- missing data ----

int SetMissingData(CQuorinDoc& doc, int choice) {
    doc.App().Trace("SetMissingData   Choice %d", choice);
    if (choice < MissingMedian || choice > MissingAverage) {
        doc.App().Prompts().Inform(
            "The missing data choice must be 0 (median), 1 (highest), 2 (lowest) or 3 (average).");
        return 0;
    }
    // Offered while learning too: the learning thread reads the normalised values only
    // under the document's lock.
    std::lock_guard lock(doc.m_NetworkMutex);
    doc.m_MissingDataChoice = choice;
    if (choice == MissingAverage) doc.SetColumnAverages();
    Finish(doc);
    return 1;
}

int OnOptionsMissingData(CQuorinDoc& doc) {
    doc.App().Trace("OnOptionsMissingData");
    CDialogForm form;
    form.Id = "MissingData";
    form.Title = "Missing data";
    form.AddChoice("Choice", "When data is missing use",
                   {"median", "highest", "lowest", "average"},
                   std::clamp<int>(doc.m_MissingDataChoice, MissingMedian, MissingAverage));
    form.AddLabel("Range", "of the Input/Output column range");
    form.AddLabel("Note",
                  "Missing and unknown data values are indicated by '?' in the Grid. The scaled "
                  "[0 - 1] value is set to 0.5 by default. This can be changed for real and "
                  "integer mode values.");
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    return SetMissingData(doc, form.Int("Choice"));
}

}  // namespace quorin
