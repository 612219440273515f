#pragma once
// The Grid's cell editor: the warnings the Grid gives before an edit starts.
#include <QStyledItemDelegate>

namespace quorin {
class CQuorinDoc;

class CGridCellDelegate : public QStyledItemDelegate {
public:
    CGridCellDelegate(CQuorinDoc& doc, QObject* parent) : QStyledItemDelegate(parent), m_Doc(doc) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

private:
    CQuorinDoc& m_Doc;
};

}  // namespace quorin
