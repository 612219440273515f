#include "app/ValidationWindow.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

QTableWidgetItem* Cell(const QString& text, bool number = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}
}  // namespace

CValidationWindow::CValidationWindow(CQuorinDoc& doc, QWidget* parent) : QDialog(parent), m_Doc(doc) {
    setObjectName("Validation");
    setWindowTitle(tr("Validation"));
    resize(720, 560);
    auto* layout = new QVBoxLayout(this);
    m_Summary = new QLabel(this);
    m_Summary->setObjectName("ValidationSummary");
    m_Summary->setWordWrap(true);
    QFont bold = m_Summary->font();
    bold.setBold(true);
    m_Summary->setFont(bold);
    layout->addWidget(m_Summary);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    m_Rows = new QTableWidget(this);
    m_Rows->setObjectName("ValidationRows");
    m_Rows->verticalHeader()->hide();
    m_Rows->setAlternatingRowColors(true);
    m_Rows->horizontalHeader()->setStretchLastSection(true);
    m_Rows->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    splitter->addWidget(m_Rows);
    auto* tables = new QWidget(this);
    m_Tables = new QVBoxLayout(tables);
    m_Tables->setContentsMargins(0, 0, 0, 0);
    splitter->addWidget(tables);
    // The rows are the long list; the confusion tables take only the room they need.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    layout->addWidget(splitter, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* refresh = buttons->addButton(tr("&Refresh"), QDialogButtonBox::ActionRole);
    refresh->setObjectName("Refresh");
    connect(refresh, &QPushButton::clicked, this, &CValidationWindow::Reload);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);
    Reload();
}

void CValidationWindow::Reload() {
    m_Report = MakeValidationReport(m_Doc);
    const CValidationReport& r = m_Report;
    if (!r.HasNetwork)
        m_Summary->setText(tr("No network yet: create one with Action > New Network..., then learn."));
    else if (r.Rows.empty())
        m_Summary->setText(tr("No Validating rows: set some Example rows to Validating (right-click a row, or "
                              "Change Controls... to pick some at random)."));
    else
        m_Summary->setText(tr("%1 of %2 Validating rows meet the rule (%3): %4 %")
                               .arg(r.Meeting)
                               .arg(r.Rows.size())
                               .arg(Q(r.Rule))
                               .arg(r.Percent, 0, 'f', 2));

    const int outputs = static_cast<int>(r.OutputNames.size());
    m_Rows->clear();
    m_Rows->setColumnCount(2 + 2 * outputs + 1);
    QStringList headers{tr("Row"), tr("Example row")};
    for (const std::string& name : r.OutputNames) headers << tr("%1 target").arg(Q(name)) << tr("%1 answer").arg(Q(name));
    headers << tr("Meets rule");
    m_Rows->setHorizontalHeaderLabels(headers);
    m_Rows->setRowCount(static_cast<int>(r.Rows.size()));
    for (int i = 0; i < static_cast<int>(r.Rows.size()); ++i) {
        const CValidationRow& row = r.Rows[i];
        m_Rows->setItem(i, 0, Cell(QString::number(row.Row), true));
        m_Rows->setItem(i, 1, Cell(Q(row.Name)));
        for (int k = 0; k < outputs && k < static_cast<int>(row.Targets.size()); ++k) {
            m_Rows->setItem(i, 2 + 2 * k, Cell(Q(row.Targets[k]), true));
            m_Rows->setItem(i, 3 + 2 * k, Cell(Q(row.Answers[k]), true));
        }
        QTableWidgetItem* meets = Cell(row.Meets ? tr("yes") : tr("no"));
        meets->setForeground(row.Meets ? QColor(20, 130, 50) : QColor(200, 40, 40));
        m_Rows->setItem(i, 2 + 2 * outputs, meets);
    }
    m_Rows->resizeColumnsToContents();

    while (QLayoutItem* item = m_Tables->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const CConfusionTable& t : r.Tables) {
        auto* box = new QGroupBox(tr("Confusion table of %1 (rows: target, columns: answer)").arg(Q(t.Name)));
        auto* boxLayout = new QVBoxLayout(box);
        auto* table = new QTableWidget(box);
        table->setObjectName(QString("Confusion%1").arg(t.Column));
        const int n = static_cast<int>(t.Classes.size());
        table->setRowCount(n);
        table->setColumnCount(n);
        QStringList names;
        for (const std::string& name : t.ClassNames) names << Q(name);
        table->setHorizontalHeaderLabels(names);
        table->setVerticalHeaderLabels(names);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b) {
                QTableWidgetItem* item = Cell(QString::number(t.Counts[a][b]), true);
                if (a == b && t.Counts[a][b] > 0) item->setBackground(QColor(215, 240, 215));
                else if (t.Counts[a][b] > 0) item->setBackground(QColor(250, 220, 215));
                table->setItem(a, b, item);
            }
        table->resizeColumnsToContents();
        table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
        table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
        // As small as its classes allow, to the row (the size hint keeps a spare row of room);
        // many classes scroll.
        table->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
        const int rowHeight = table->verticalHeader()->defaultSectionSize();
        table->setMaximumHeight(table->horizontalHeader()->sizeHint().height() + rowHeight * std::min(n, 12) +
                                2 * table->frameWidth());
        box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        boxLayout->addWidget(table, 0, Qt::AlignLeft | Qt::AlignTop);
        m_Tables->addWidget(box);
    }
    if (r.Tables.empty() && !r.Rows.empty())
        m_Tables->addWidget(new QLabel(tr("Confusion tables are drawn for Output columns of Integer or Bool mode.")));
    m_Tables->addStretch(1);
}

}  // namespace quorin
