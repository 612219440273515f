#pragma once
// Edit > Replace: find and replace cell values, typed in through the Grid editor.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace quorin {
class CQuorinView;
class CQuorinDoc;

class CReplaceDialog : public QDialog {
    Q_OBJECT
public:
    CReplaceDialog(CQuorinDoc& doc, CQuorinView& view, QWidget* parent = nullptr);
    void FindNext();
    void ReplaceOne();
    void ReplaceAll();
    QLineEdit& FindEdit() { return *m_Find; }
    QLineEdit& WithEdit() { return *m_With; }
    QString Message() const;

signals:
    void DocumentChanged();

private:
    CQuorinDoc& m_Doc;
    CQuorinView& m_View;
    QLineEdit* m_Find;
    QLineEdit* m_With;
    QLabel* m_Message;
};

}  // namespace quorin
