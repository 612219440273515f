#include "app/GridModel.h"
#include "app/ImageThumbnails.h"

#include <QBrush>
#include <QColor>

#include "coding/GridEditor.h"
#include "coding/ValueText.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

const char* RowTypePrefix(int type) {
    switch (type) {
        case Training: return "T";
        case Validating: return "V";
        case Querying: return "Q";
        case ExcludedRow: return "X";
        case Duplicate: return "D";
        default: return "?";
    }
}
const char* ColumnTypeName(int type) {
    switch (type) {
        case Input: return "Input";
        case Output: return "Output";
        case ExcludedCol: return "Excluded";
        default: return "?";
    }
}
}  // namespace

CGridModel::CGridModel(CQuorinDoc& doc, QObject* parent) : QAbstractTableModel(parent), m_Doc(doc) {
    Reload();
}

int CGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_Rows; }

int CGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_Cols; }

void CGridModel::Reload() {
    // The counts and the lists can disagree in the middle of an operation; show only
    // what both agree on.
    const int rows = std::max(0, std::min<int>(m_Doc.m_RowCount, static_cast<int>(m_Doc.m_Examples.size())));
    const int cols = std::max(0, std::min<int>(m_Doc.m_ColCount, static_cast<int>(m_Doc.m_InOuts.size())));
    if (rows != m_Rows || cols != m_Cols) {
        beginResetModel();
        m_Rows = rows;
        m_Cols = cols;
        endResetModel();
        return;
    }
    if (m_Rows > 0 && m_Cols > 0) emit dataChanged(index(0, 0), index(m_Rows - 1, m_Cols - 1));
    if (m_Cols > 0) emit headerDataChanged(Qt::Horizontal, 0, m_Cols - 1);
    // A header view visits every section of a change, so a million rows would be walked on
    // each refresh. The ends renew the header's width (it measures only those), and the view
    // repaints the rows in sight (see CQuorinView::ReloadGrid).
    if (m_Rows <= 2 * kRowHeaderEnds) {
        if (m_Rows > 0) emit headerDataChanged(Qt::Vertical, 0, m_Rows - 1);
    } else {
        emit headerDataChanged(Qt::Vertical, 0, kRowHeaderEnds - 1);
        emit headerDataChanged(Qt::Vertical, m_Rows - kRowHeaderEnds, m_Rows - 1);
    }
}

QString CGridModel::CellText(int row, int column) const {
    if (row < 0 || column < 0 || row >= static_cast<int>(m_Doc.m_Examples.size())) return {};
    const CExample& ex = m_Doc.m_Examples[row];
    if (column >= static_cast<int>(ex.Values().size())) return {};
    // The core's formatting shows a missing value as "?".
    return QString::fromStdString(FormatValue(m_Doc, ex.Values()[column], column));
}

QString CGridModel::RowHeader(const CQuorinDoc& doc, int row) {
    if (row < 0 || row >= static_cast<int>(doc.m_Examples.size())) return {};
    const CExample& ex = doc.m_Examples[row];
    return QString::fromStdString(Format("%d %s %s", row, RowTypePrefix(ex.ExampleType),
                                         ex.ExampleName.c_str()))
        .trimmed();
}

QString CGridModel::ColumnHeader(const CQuorinDoc& doc, int column) {
    if (column < 0 || column >= static_cast<int>(doc.m_InOuts.size())) return {};
    const CInOut& io = doc.m_InOuts[column];
    return QString::fromStdString(Format("%d %s %s\n%s", column, ColumnTypeName(io.InOutType),
                                         ModeWord(io.Mode), io.InOutName.c_str()));
}

QVariant CGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_Rows || index.column() >= m_Cols) return {};
    const int row = index.row(), col = index.column();
    if (row >= static_cast<int>(m_Doc.m_Examples.size()) ||
        col >= static_cast<int>(m_Doc.m_InOuts.size()))
        return {};
    const CExample& ex = m_Doc.m_Examples[row];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return CellText(row, col);
        case Qt::TextAlignmentRole: {
            const int mode = m_Doc.m_InOuts[col].Mode;
            const bool numeric = mode == Real || mode == Integer;
            return QVariant::fromValue(Qt::AlignVCenter | (numeric ? Qt::AlignRight : Qt::AlignLeft));
        }
        case Qt::DecorationRole:
            if (m_Doc.m_InOuts[col].Mode == Image && col < static_cast<int>(ex.Values().size()))
                return ImageThumbnail(m_Doc, ex.Values()[col], col);
            return {};
        case Qt::ForegroundRole:
            if (ex.ExampleType == ExcludedRow || m_Doc.m_InOuts[col].InOutType == ExcludedCol)
                return QBrush(Qt::gray);
            return {};
        case Qt::BackgroundRole:
            // The network's answers in Querying rows stand out from the data.
            if ((ex.ExampleType == Querying || ex.ExampleType == Duplicate) &&
                m_Doc.m_InOuts[col].InOutType == Output)
                return QBrush(QColor(255, 248, 220));
            return {};
        case Qt::ToolTipRole:
            if (col < static_cast<int>(ex.NormalisedValues().size()))
                return QString::fromStdString(Format("Row %d, column %d\nNormalised value %.4lf", row, col,
                                                     ex.NormalisedValues()[col]));
            return {};
        default: return {};
    }
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_Cols || section >= static_cast<int>(m_Doc.m_InOuts.size()))
            return {};
        const CInOut& io = m_Doc.m_InOuts[section];
        if (role == Qt::DisplayRole) return ColumnHeader(m_Doc, section);
        if (role == Qt::ForegroundRole) {
            if (io.InOutType == Input) return QBrush(ToQColor(m_Doc.m_Colours[InputLabelsColour]));
            if (io.InOutType == Output) return QBrush(ToQColor(m_Doc.m_Colours[OutputLabelsColour]));
            return QBrush(Qt::gray);
        }
        return {};
    }
    if (section < 0 || section >= m_Rows || section >= static_cast<int>(m_Doc.m_Examples.size()))
        return {};
    const CExample& ex = m_Doc.m_Examples[section];
    if (role == Qt::DisplayRole) return RowHeader(m_Doc, section);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignLeft);
    if (role == Qt::ForegroundRole) {
        switch (ex.ExampleType) {
            case Training: return QBrush(ToQColor(m_Doc.m_Colours[TrainingLabelsColour]));
            case Validating: return QBrush(ToQColor(m_Doc.m_Colours[ValidatingLabelsColour]));
            case Querying:
            case Duplicate: return QBrush(ToQColor(m_Doc.m_Colours[QueryingLabelsColour]));
            default: return QBrush(Qt::gray);
        }
    }
    return {};
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && CanEditGrid(m_Doc)) f |= Qt::ItemIsEditable;
    return f;
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !CanEditGrid(m_Doc)) return false;
    if (index.row() >= m_Rows || index.column() >= m_Cols) return false;
    const bool stored = EnterCellText(m_Doc, index.column(), index.row(), value.toString().toStdString()) != 0;
    m_Doc.RefreshViews();
    Reload();
    return stored;
}

}  // namespace quorin
