#pragma once
// The Validation display: every Validating row with its target, the network's answer and
// whether it meets the validating rule, and the confusion table of each class column.
#include <QDialog>

#include "network/ValidationReport.h"

class QLabel;
class QTableWidget;
class QVBoxLayout;

namespace quorin {
class CQuorinDoc;

class CValidationWindow : public QDialog {
    Q_OBJECT
public:
    CValidationWindow(CQuorinDoc& doc, QWidget* parent = nullptr);
    // Presents the Validating rows again and shows the result.
    void Reload();
    const CValidationReport& Report() const { return m_Report; }
    QTableWidget& Rows() { return *m_Rows; }

private:
    CQuorinDoc& m_Doc;
    CValidationReport m_Report;
    QLabel* m_Summary;
    QTableWidget* m_Rows;
    QVBoxLayout* m_Tables;
};

}  // namespace quorin
