#include "app/GridCellDelegate.h"

#include "analysis/QueryRows.h"

namespace quorin {

QWidget* CGridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    WarnBeforeEditingQueryingOutput(m_Doc, index.column(), index.row());
    return QStyledItemDelegate::createEditor(parent, option, index);
}

}  // namespace quorin
