#pragma once
// The Grid as a table: Example rows by Input/Output columns, typed cell text, the
// document's label colours, and edits that go through the Grid editor's rules.
#include <QAbstractTableModel>

namespace quorin {
class CQuorinDoc;

class CGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CGridModel(CQuorinDoc& doc, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Re-reads the document: a reset when the shape changed, else a repaint of every cell.
    // Of the row headers only the first and last kRowHeaderEnds are announced as changed.
    void Reload();
    static constexpr int kRowHeaderEnds = 100;
    QString CellText(int row, int column) const;
    static QString RowHeader(const CQuorinDoc& doc, int row);
    static QString ColumnHeader(const CQuorinDoc& doc, int column);

private:
    CQuorinDoc& m_Doc;
    int m_Rows = 0;
    int m_Cols = 0;
};

}  // namespace quorin
