// Range commands of the Edit menu: types of a range, copies of rows and columns,
// duplicate rows; and when each may be offered.
#include "grid/RangeCommands.h"

#include <algorithm>
#include <cstdint>

#include "coding/TextCodes.h"
#include "grid/Availability.h"
#include "grid/GridImageSeams.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

int Rows(const CQuorinDoc& doc) {
    return std::max(0, std::min<int>(doc.m_RowCount, static_cast<int>(doc.m_Examples.size())));
}
int Cols(const CQuorinDoc& doc) {
    return std::max(0, std::min<int>(doc.m_ColCount, static_cast<int>(doc.m_InOuts.size())));
}

// Dialog entries wide enough that the range check, not the entry field, refuses them.
constexpr int kEntryLimit = 1'000'000'000;

bool Within(std::int64_t start, std::int64_t end, std::int64_t limit) {
    return start >= 0 && start <= limit && end >= 0 && end <= limit;
}

// Each cell holds a value and its normalised value: a script repeating a copy or a
// duplication doubles the Grid each time, so growth stops well before memory runs out.
constexpr std::int64_t kMaxGridCells = 50'000'000;

bool GrowthRefused(CQuorinDoc& doc, std::int64_t rows, std::int64_t cols) {
    if (rows * cols <= kMaxGridCells) return false;
    doc.App().Prompts().Inform(Format("The Grid would hold more than %lld cells; nothing has been changed.",
                                      static_cast<long long>(kMaxGridCells)));
    return true;
}

void Finish(CQuorinDoc& doc) {
    doc.RenormaliseAll(1);
    doc.SetModified();
    doc.RefreshViews();
}

const std::vector<std::string> kRowTypeNames = {"Training", "Validating", "Querying", "Exclude"};
const std::vector<std::string> kColumnTypeNames = {"Input", "Output", "Exclude"};
const std::vector<std::string> kModeNames = {"Real", "Integer", "Bool", "Text", "Image"};

// A Duplicate row is answered like a Querying row, so that is the type it offers.
int OfferedRowType(int type) { return type == Duplicate ? Querying : std::clamp(type, 0, 3); }

}  // namespace

// ---- current cell ----

void SetCurrentCell(CQuorinDoc& doc, int row, int column) {
    doc.m_CurrentRow = std::clamp(row, 0, std::max(0, Rows(doc) - 1));
    doc.m_CurrentCol = std::clamp(column, 0, std::max(0, Cols(doc) - 1));
    doc.RefreshViews();
}

bool CurrentRowInGrid(const CQuorinDoc& doc) {
    return doc.m_CurrentRow >= 0 && doc.m_CurrentRow < Rows(doc);
}

bool CurrentColumnInGrid(const CQuorinDoc& doc) {
    return doc.m_CurrentCol >= 0 && doc.m_CurrentCol < Cols(doc);
}

// ---- availability ----

bool CanUseGridRange(const CQuorinDoc& doc) {
    return doc.m_GridDisplayShown && Rows(doc) > 0 && Cols(doc) > 0 && !CalculationRunning(doc);
}

bool CanChangeRangeOfTypes(const CQuorinDoc& doc) {
    return CanUseGridRange(doc) && CurrentRowInGrid(doc) && CurrentColumnInGrid(doc);
}

bool CanCopyExampleRows(const CQuorinDoc& doc) { return CanUseGridRange(doc) && CurrentRowInGrid(doc); }

bool CanCopyInOutColumns(const CQuorinDoc& doc) {
    return CanUseGridRange(doc) && CurrentColumnInGrid(doc);
}

bool CanDuplicateExampleRows(const CQuorinDoc& doc) { return CanUseGridRange(doc); }

bool CanRemoveDuplicatedExampleRows(const CQuorinDoc& doc) {
    return CanUseGridRange(doc) &&
           std::any_of(doc.m_Examples.begin(), doc.m_Examples.end(),
                       [](const CExample& ex) { return ex.ExampleType == Duplicate; });
}

bool CanExcludeIncompleteInOutColumns(const CQuorinDoc& doc) {
    return CanUseGridRange(doc) && HasIncompleteInOutColumn(doc);
}

bool CanExcludeIncompleteExampleRows(const CQuorinDoc& doc) {
    return CanUseGridRange(doc) && HasIncompleteExampleRow(doc);
}

bool CanChangeInOutColumnTypes(const CQuorinDoc& doc) { return CanUseGridRange(doc); }

bool CanChangeExampleRowTypes(const CQuorinDoc& doc) { return CanUseGridRange(doc); }

bool CanMissingData(const CQuorinDoc&) { return true; }

// ---- Change Range of Types ----

int ChangeRangeOfTypes(CQuorinDoc& doc, int rowFrom, int rowCount, int rowType, int typeFrom,
                       int typeCount, int columnType, int modeFrom, int modeCount, int mode) {
    doc.App().Trace(
        "ChangeRangeOfTypes   RowFrom %d RowCount %d RowType %d TypeFrom %d TypeCount %d "
        "ColumnType %d ModeFrom %d ModeCount %d Mode %d",
        rowFrom, rowCount, rowType, typeFrom, typeCount, columnType, modeFrom, modeCount, mode);
    const int rows = Rows(doc), cols = Cols(doc);
    const std::int64_t rowEnd = std::int64_t{rowFrom} + std::max(0, rowCount);
    const std::int64_t typeEnd = std::int64_t{typeFrom} + std::max(0, typeCount);
    const std::int64_t modeEnd = std::int64_t{modeFrom} + std::max(0, modeCount);
    if (!Within(rowFrom, rowEnd, rows) || !Within(typeFrom, typeEnd, cols) ||
        !Within(modeFrom, modeEnd, cols)) {
        doc.App().Prompts().Inform(kRangeOutsideGrid);
        return 0;
    }
    // A script may name any number; only the types and modes the dialog offers are stored.
    if ((rowEnd > rowFrom && (rowType < Training || rowType > ExcludedRow)) ||
        (typeEnd > typeFrom && (columnType < Input || columnType > ExcludedCol)) ||
        (modeEnd > modeFrom && (mode < Real || mode > Image))) {
        doc.App().Prompts().Inform("The type or mode is not one the Grid knows.");
        return 0;
    }
    for (std::int64_t r = rowFrom; r < rowEnd; ++r) doc.SetExampleType(static_cast<int>(r), rowType);
    for (std::int64_t c = typeFrom; c < typeEnd; ++c)
        doc.SetInOutTypeAndMode(static_cast<int>(c), columnType, -1);
    for (std::int64_t c = modeFrom; c < modeEnd; ++c) {
        // An Image column feeds three nodes: a network built on the old modes no longer fits.
        if (doc.m_InOuts[c].Mode != mode) doc.m_NetworkExists = 0;
        doc.SetInOutTypeAndMode(static_cast<int>(c), -1, mode);
    }
    Finish(doc);
    return 1;
}

int OnEditChangeRange(CQuorinDoc& doc) {
    doc.App().Trace("OnEditChangeRange");
    if (!CanChangeRangeOfTypes(doc)) return 0;
    const int row = doc.m_CurrentRow, col = doc.m_CurrentCol;
    const CInOut& io = doc.m_InOuts[col];
    CDialogForm form;
    form.Id = "EditGridRange";
    form.Title = "Edit grid range";
    form.AddLabel("RowNumbers", Format("Rows are numbered from 0 to %d", Rows(doc) - 1));
    form.AddInt("RowFrom", "&Rows from", row, -kEntryLimit, kEntryLimit);
    form.AddInt("RowCount", "for (rows)", 0, -kEntryLimit, kEntryLimit);
    form.AddChoice("RowType", "to type", kRowTypeNames, OfferedRowType(doc.m_Examples[row].ExampleType));
    form.AddLabel("ColumnNumbers", Format("Columns are numbered from 0 to %d", Cols(doc) - 1));
    form.AddInt("TypeFrom", "&Columns from", col, -kEntryLimit, kEntryLimit);
    form.AddInt("TypeCount", "for (columns)", 0, -kEntryLimit, kEntryLimit);
    form.AddChoice("ColumnType", "to type", kColumnTypeNames, std::clamp(io.InOutType, 0, 2));
    form.AddInt("ModeFrom", "Columns &from", col, -kEntryLimit, kEntryLimit);
    form.AddInt("ModeCount", "for (columns)", 0, -kEntryLimit, kEntryLimit);
    form.AddChoice("Mode", "to mode", kModeNames, std::clamp(io.Mode, 0, 4));
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    return ChangeRangeOfTypes(doc, form.Int("RowFrom"), form.Int("RowCount"), form.Int("RowType"),
                              form.Int("TypeFrom"), form.Int("TypeCount"), form.Int("ColumnType"),
                              form.Int("ModeFrom"), form.Int("ModeCount"), form.Int("Mode"));
}

// ---- Copy Example Rows ----

int CopyExampleRows(CQuorinDoc& doc, int from, int count, int type) {
    doc.App().Trace("CopyExampleRows   From %d Count %d Type %d", from, count, type);
    const int rows = Rows(doc);
    const std::int64_t end = std::int64_t{from} + count;
    if (!Within(from, end, rows)) {
        doc.App().Prompts().Inform(kRangeOutsideRows);
        return 0;
    }
    if (type < Training || type > ExcludedRow) {
        doc.App().Prompts().Inform("The copied rows can be Training, Validating, Querying or Excluded rows.");
        return 0;
    }
    if (GrowthRefused(doc, std::int64_t{rows} + std::max<std::int64_t>(0, end - from), Cols(doc))) return 0;
    for (std::int64_t r = from; r < end; ++r) {
        if (!doc.AddRow(0, type, 0, 1)) break;
        const int source = static_cast<int>(r);
        const int added = static_cast<int>(doc.m_Examples.size()) - 1;
        doc.SetExampleName(added, doc.m_Examples[source].ExampleName, 1);
        const int columns = static_cast<int>(doc.m_Examples[source].Values().size());
        for (int c = 0; c < columns; ++c)
            doc.SetValue(c, added, doc.m_Examples[source].Values()[c], 0, 0, 0, 1);
    }
    Finish(doc);
    return 1;
}

int OnEditCopyExampleRows(CQuorinDoc& doc) {
    doc.App().Trace("OnEditCopyExampleRows");
    if (!CanCopyExampleRows(doc)) return 0;
    CDialogForm form;
    form.Id = "CopyExamples";
    form.Title = "Copy Examples";
    form.AddInt("From", "Copy from &row", doc.m_CurrentRow, -kEntryLimit, kEntryLimit);
    form.AddInt("Count", "&for (rows)", 0, -kEntryLimit, kEntryLimit);
    form.AddChoice("Type", "Set copied rows to", {"Training", "Validating", "Querying", "Excluded"}, 0);
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    return CopyExampleRows(doc, form.Int("From"), form.Int("Count"), form.Int("Type"));
}

// ---- Copy Input/Output Columns ----

namespace {

// One target cell of a copied column. A text is coded anew for its new column; a
// value that names no recorded text of the source (a missing value, an approximate
// network answer) is copied as it is rather than coded as a text it never was.
void CopyCell(CQuorinDoc& doc, int fromColumn, int toColumn, int row, double value) {
    const int mode = doc.m_InOuts[toColumn].Mode;
    if (mode == Image) {
        CopyImageCellValue(doc, fromColumn, toColumn, row, value);
        return;
    }
    if (mode == Text && value < kMissing) {
        const std::string text = GetText(doc, value, fromColumn);
        if (!text.empty() && text[0] != '~' && HashIsDuplicate(doc, text, fromColumn, value))
            value = Hash(doc, text, toColumn, 1);
    }
    doc.SetValue(toColumn, row, value, 0, 0, 0, 1);
}

}  // namespace

int CopyInOutColumns(CQuorinDoc& doc, int from, int count, int offset, int output) {
    doc.App().Trace("CopyInOutColumns   From %d Count %d Offset %d Output %d", from, count, offset,
                    output);
    const int cols = Cols(doc);
    const std::int64_t end = std::int64_t{from} + count;
    if (!Within(from, end, cols)) {
        doc.App().Prompts().Inform(kRangeOutsideColumns);
        return 0;
    }
    // Every row of offset is a new row of the whole Grid: no more than the Grid holds.
    const std::int64_t magnitude = offset < 0 ? -std::int64_t{offset} : offset;
    if (magnitude > Rows(doc)) {
        doc.App().Prompts().Inform(
            Format("The offset must be within the rows on the grid (at most %d rows).", Rows(doc)));
        return 0;
    }
    if (GrowthRefused(doc, Rows(doc) + magnitude, std::int64_t{cols} + std::max<std::int64_t>(0, end - from)))
        return 0;
    // The new columns first, each like its source.
    std::vector<std::pair<int, int>> copies;  // source, new column
    for (std::int64_t c = from; c < end; ++c) {
        const int source = static_cast<int>(c);
        if (!doc.AddCol(0, output ? 1 : 0, 1)) break;
        const int added = static_cast<int>(doc.m_InOuts.size()) - 1;
        const CInOut& io = doc.m_InOuts[source];
        doc.SetInOutName(added, io.InOutName);
        doc.SetInOutTypeAndMode(added, output ? Output : io.InOutType, io.Mode);
        copies.emplace_back(source, added);
    }
    for (std::int64_t k = 0; k < magnitude; ++k)
        if (!doc.AddRow(0, Training, offset < 0 ? 1 : 0, 1)) break;
    const int rows = Rows(doc);
    for (const auto& [source, added] : copies) {
        const int first = offset > 0 ? offset : 0;
        const int last = offset < 0 ? rows + offset : rows;
        for (int i = first; i < last; ++i)
            CopyCell(doc, source, added, i, doc.m_Examples[i - offset].Values()[source]);
        if (doc.m_InOuts[added].Mode == Text) {
            CopyHashTexts(doc, source, added);
            PurgeHashTexts(doc, added);
        }
        if (doc.m_InOuts[added].Mode == Image) CopyColumnImageCodes(doc, source, added);
    }
    Finish(doc);
    return 1;
}

int OnEditCopyInOutColumns(CQuorinDoc& doc) {
    doc.App().Trace("OnEditCopyInOutColumns");
    if (!CanCopyInOutColumns(doc)) return 0;
    CDialogForm form;
    form.Id = "CopyInputOutputs";
    form.Title = "Copy Input/Outputs";
    form.AddInt("From", "Copy from &column", doc.m_CurrentCol, -kEntryLimit, kEntryLimit);
    form.AddInt("Count", "&for (columns)", 0, -kEntryLimit, kEntryLimit);
    form.AddInt("Offset", "&Offset copied columns by", 0, -kEntryLimit, kEntryLimit);
    form.AddLabel("OffsetUnit", "rows vertically");
    form.AddCheck("Output", "Set all of copied columns to &output types", true);
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    return CopyInOutColumns(doc, form.Int("From"), form.Int("Count"), form.Int("Offset"),
                            form.Check("Output") ? 1 : 0);
}

// ---- Duplicate Example Rows ----

int DuplicateExampleRows(CQuorinDoc& doc, int training, int validating, int querying) {
    doc.App().Trace("DuplicateExampleRows   Training %d Validating %d Querying %d", training,
                    validating, querying);
    auto chosen = [&](int type) {
        return (type == Training && training) || (type == Validating && validating) ||
               (type == Querying && querying);
    };
    const std::int64_t copies = std::count_if(doc.m_Examples.begin(), doc.m_Examples.end(),
                                              [&](const CExample& ex) { return chosen(ex.ExampleType); });
    if (GrowthRefused(doc, std::int64_t{Rows(doc)} + copies, Cols(doc))) return 0;
    // Built in one pass: each copy stands directly below the row it copies.
    std::vector<CExample> rows;
    rows.reserve(doc.m_Examples.size() * 2);
    std::vector<double> errors;  // a copy takes its row's error along
    for (std::size_t r = 0; r < doc.m_Examples.size(); ++r) {
        CExample& ex = doc.m_Examples[r];
        const bool copy = chosen(ex.ExampleType);
        if (!doc.m_ExampleErrors.empty()) errors.insert(errors.end(), copy ? 2 : 1, doc.ExampleError(r));
        if (copy) {
            CExample duplicate = ex;
            duplicate.ExampleType = Duplicate;
            rows.push_back(std::move(ex));
            rows.push_back(std::move(duplicate));
        } else {
            rows.push_back(std::move(ex));
        }
    }
    const bool added = rows.size() != doc.m_Examples.size();
    doc.m_Examples = std::move(rows);
    doc.m_ExampleErrors = std::move(errors);
    doc.SetRowCount();
    if (added) doc.SetModified();
    Finish(doc);
    return 1;
}

int OnEditDuplicateExampleRows(CQuorinDoc& doc) {
    doc.App().Trace("OnEditDuplicateExampleRows");
    if (!CanDuplicateExampleRows(doc)) return 0;
    CDialogForm form;
    form.Id = "DuplicateExampleRows";
    form.Title = "Duplicate Example Rows";
    form.AddLabel("Note",
                  "Example Rows are duplicated and set to Duplicate types.\n\n"
                  "Duplicates are updated as Querying types if the Grid is refreshed.");
    form.AddCheck("Training", "&Training", false);
    form.AddCheck("Validating", "&Validating", false);
    form.AddCheck("Querying", "&Querying", false);
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    return DuplicateExampleRows(doc, form.Check("Training"), form.Check("Validating"),
                                form.Check("Querying"));
}

int RemoveDuplicatedExampleRows(CQuorinDoc& doc) {
    doc.App().Trace("RemoveDuplicatedExampleRows");
    const size_t before = doc.m_Examples.size();
    std::size_t kept = 0;
    for (std::size_t r = 0; r < before; ++r) {
        if (doc.m_Examples[r].ExampleType == Duplicate) continue;
        if (kept != r) doc.m_Examples[kept] = std::move(doc.m_Examples[r]);
        if (kept < doc.m_ExampleErrors.size()) doc.m_ExampleErrors[kept] = doc.ExampleError(r);
        ++kept;
    }
    doc.m_Examples.resize(kept);
    if (doc.m_ExampleErrors.size() > kept) doc.m_ExampleErrors.resize(kept);
    const int removed = static_cast<int>(before - doc.m_Examples.size());
    doc.SetRowCount();
    if (removed > 0) doc.SetModified();
    Finish(doc);
    return removed;
}

}  // namespace quorin
