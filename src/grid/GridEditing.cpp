// Rows and columns: adding, deleting, shifting and copying records, names, types, locks.
#include "analysis/Associations.h"
#include "coding/HashTexts.h"
#include "coding/ImageList.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

CExample& CQuorinDoc::NewExample(const std::string& name, int type, int head, int modified) {
    m_App.Trace("NewExample   Name %s Type %d Head %d Modified %d", name.c_str(), type, head,
                modified);
    CExample ex;
    ex.ExampleName = name;
    ex.ExampleType = static_cast<std::int8_t>(type);
    CExample* added;
    if (head) {
        m_Examples.insert(m_Examples.begin(), std::move(ex));
        if (!m_ExampleErrors.empty()) m_ExampleErrors.insert(m_ExampleErrors.begin(), 0.0);
        added = &m_Examples.front();
    } else {
        m_Examples.push_back(std::move(ex));
        added = &m_Examples.back();
    }
    if (modified) {
        SetModified();
        RefreshViews();
    }
    return *added;
}

CInOut& CQuorinDoc::NewInOut(const std::string& name, int type, int newColumn) {
    m_App.Trace("NewInOut   Name %s Type %d NewColumn %d", name.c_str(), type, newColumn);
    CInOut io;
    io.InOutName = name;
    io.InOutType = type;
    io.SavedType = type;
    if (newColumn) {
        io.EditorMode = -1;
        io.AssociatedColumn = -1;
    }
    m_InOuts.push_back(std::move(io));
    SetModified();
    RefreshViews();
    return m_InOuts.back();
}

int CQuorinDoc::AddRow(int ask, int type, int head, int modified) {
    m_App.Trace("AddRow   Ask %d Type %d Head %d Modified %d", ask, type, head, modified);
    if (type < Training || type > ExcludedRow) return 0;
    if (ask && !m_App.Prompts().AskYesNo("Create new Example row?")) return 0;
    CExample& ex = type == Querying ? NewExample("Query", type, head, modified)
                                    : NewExample(" ", type, head, 1);
    // One entry per column record, also when no row has fixed the cached count yet.
    const size_t columns = m_InOuts.size();
    ex.Cells.Assign(columns, kMissing, InitialNormalisedValue());
    ++m_RowCount;
    if (m_RowCount == 1) SetColCount();  // the first row fixes the cached column count
    if (modified) {
        SetModified();
        RefreshViews();
    }
    return 1;
}

int CQuorinDoc::AddCol(int ask, int output, int newColumn) {
    m_App.Trace("AddCol   Ask %d Output %d NewColumn %d", ask, output, newColumn);
    if (ask && !m_App.Prompts().AskYesNo("Create new Input/Output column?")) return 0;
    NewInOut("", output ? Output : Input, newColumn);
    const double initial = InitialNormalisedValue();
    for (CExample& ex : m_Examples) ex.Cells.PushBack(kMissing, initial);
    // One more than the column records before; also heals a count left at 0 by a Grid
    // that had columns but no rows when it was opened.
    m_ColCount = static_cast<std::int32_t>(m_InOuts.size());
    SetModified();
    m_NetworkExists = 0;
    DeleteAssociations(*this);
    RefreshViews();
    return 1;
}

void CQuorinDoc::MoveRowsDown(int first) {
    m_App.Trace("MoveRowsDown   First %d", first);
    if (first >= 0)
        for (int i = static_cast<int>(m_Examples.size()) - 1; i > first; --i)
            CopyExample(m_Examples[i], m_Examples[i - 1]);
    RefreshViews();
}

void CQuorinDoc::MoveColsRight(int first) {
    m_App.Trace("MoveColsRight   First %d", first);
    const int last = first < 0 ? -1 : static_cast<int>(m_InOuts.size()) - 1;
    for (int i = last; i > first; --i) {
        CopyInOut(m_InOuts[i], m_InOuts[i - 1]);
        if (m_InOuts[i].Mode == Text) CopyHashTexts(*this, i - 1, i);
        if (m_InOuts[i].Mode == Image) CopyImages(*this, i - 1, i);
        for (CExample& ex : m_Examples) {
            ex.Values()[i] = ex.Values()[i - 1];
            ex.NormalisedValues()[i] = ex.NormalisedValues()[i - 1];
        }
    }
    RefreshViews();
}

int CQuorinDoc::DeleteRow(int row, int ask, int modified) {
    m_App.Trace("DeleteRow   Row %d Ask %d Modified %d", row, ask, modified);
    if (row < 0 || row >= static_cast<int>(m_Examples.size())) return 0;
    if (ask && !m_App.Prompts().AskYesNo(Format("Delete Example row %d '%s' ?", row,
                                                m_Examples[row].ExampleName.c_str())))
        return 0;
    const int rows = static_cast<int>(m_Examples.size());
    for (int i = row; i <= rows - 2; ++i) CopyExample(m_Examples[i], m_Examples[i + 1]);
    m_Examples.pop_back();
    if (m_ExampleErrors.size() > m_Examples.size()) m_ExampleErrors.pop_back();
    m_RowCount = rows - 1;
    if (m_RowCount > 0) RenormaliseAll(modified);
    if (modified) {
        SetModified();
        RefreshViews();
    }
    return 1;
}

int CQuorinDoc::DeleteCol(int column, int ask) {
    m_App.Trace("DeleteCol   Column %d Ask %d", column, ask);
    const int columns = static_cast<int>(m_InOuts.size());
    if (column < 0 || column >= columns) return 0;
    if (ask && !m_App.Prompts().AskYesNo(Format("Delete Input/Output column %d '%s' ?", column,
                                                m_InOuts[column].InOutName.c_str())))
        return 0;
    for (int i = column; i <= columns - 2; ++i) {
        CopyInOut(m_InOuts[i], m_InOuts[i + 1]);
        for (CExample& ex : m_Examples) {
            ex.Values()[i] = ex.Values()[i + 1];
            ex.NormalisedValues()[i] = ex.NormalisedValues()[i + 1];
        }
    }
    m_InOuts.pop_back();
    for (CExample& ex : m_Examples) ex.Cells.PopBack();
    m_ColCount = columns - 1;
    SetModified();
    m_NetworkExists = 0;
    DecrementHashTextCols(*this, column);
    TidyHashTexts(*this);
    DecrementAssociations(*this, column);
    DecrementImageCols(*this, column);
    TidyImages(*this);
    DeleteAssociations(*this);
    RefreshViews();
    return 1;
}

void CQuorinDoc::CopyExample(CExample& destination, const CExample& source) {
    m_App.Trace("CopyExample");
    destination.ExampleName = source.ExampleName;
    destination.ExampleType = source.ExampleType;
    destination.Cells = source.Cells;
}

void CQuorinDoc::CopyInOut(CInOut& destination, const CInOut& source) {
    m_App.Trace("CopyInOut");
    destination.InOutName = source.InOutName;
    destination.InOutType = source.InOutType;
    destination.Mode = source.Mode;
    destination.Lock = source.Lock;
    destination.LowValue = source.LowValue;
    destination.HighValue = source.HighValue;
    destination.AssociatedColumn = -1;
}

void CQuorinDoc::SetExampleName(int row, const std::string& name, int modified) {
    m_App.Trace("SetExampleName   Row %d Name %s Modified %d", row, name.c_str(), modified);
    if (!ValidRow(row)) return;
    m_Examples[row].ExampleName = name;
    if (modified) SetModified();
}

void CQuorinDoc::SetExampleType(int row, int type) {
    m_App.Trace("SetExampleType   Row %d Type %d", row, type);
    if (!ValidRow(row)) return;
    // The file keeps no other types, and a row of another would make it unreadable.
    if (type < Training || type > Duplicate) return;
    m_Examples[row].ExampleType = static_cast<std::int8_t>(type);
    SetModified();
}

void CQuorinDoc::SetInOutName(int column, const std::string& name) {
    m_App.Trace("SetInOutName   Column %d Name %s", column, name.c_str());
    if (!ValidCol(column)) return;
    m_InOuts[column].InOutName = name;
    SetModified();
}

void CQuorinDoc::SetInOutTypeAndMode(int column, int type, int mode) {
    m_App.Trace("SetInOutTypeAndMode   Column %d Type %d Mode %d", column, type, mode);
    if (!ValidCol(column)) return;
    CInOut& io = m_InOuts[column];
    if (m_NetworkExists) io.SavedType = io.InOutType;
    if (type >= 0) {
        if (type != io.InOutType) m_NetworkExists = 0;
        io.InOutType = type;
    }
    if (mode >= 0) io.Mode = mode;
    SetModified();
}

void CQuorinDoc::SetInputLock(int column, int lock) {
    m_App.Trace("SetInputLock   Column %d Lock %d", column, lock);
    if (!ValidCol(column)) return;
    m_InOuts[column].Lock = lock;
}

}  // namespace quorin
