#include "app/ReplaceDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/QuorinView.h"
#include "coding/GridReplace.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"

namespace quorin {

CReplaceDialog::CReplaceDialog(CQuorinDoc& doc, CQuorinView& view, QWidget* parent)
    : QDialog(parent), m_Doc(doc), m_View(view) {
    setObjectName("Replace");
    setWindowTitle(tr("Replace"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_Find = new QLineEdit(this);
    m_Find->setObjectName("FindWhat");
    m_With = new QLineEdit(this);
    m_With->setObjectName("ReplaceWith");
    auto* findLabel = new QLabel(tr("Find &what:"), this);
    findLabel->setBuddy(m_Find);
    auto* withLabel = new QLabel(tr("Re&place with:"), this);
    withLabel->setBuddy(m_With);
    form->addRow(findLabel, m_Find);
    form->addRow(withLabel, m_With);
    layout->addLayout(form);
    auto* note = new QLabel(tr("Text cells: the text found anywhere in the cell is replaced. Other cells: "
                               "the whole value must match, and the new value is typed in as if by hand."),
                            this);
    note->setWordWrap(true);
    note->setStyleSheet("color: #555;");
    layout->addWidget(note);
    m_Message = new QLabel(this);
    m_Message->setObjectName("ReplaceMessage");
    layout->addWidget(m_Message);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next = buttons->addButton(tr("&Find Next"), QDialogButtonBox::ActionRole);
    next->setObjectName("FindNext");
    next->setDefault(true);
    QPushButton* one = buttons->addButton(tr("&Replace"), QDialogButtonBox::ActionRole);
    one->setObjectName("ReplaceOne");
    QPushButton* all = buttons->addButton(tr("Replace &All"), QDialogButtonBox::ActionRole);
    all->setObjectName("ReplaceAll");
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setAutoDefault(false);
    connect(next, &QPushButton::clicked, this, &CReplaceDialog::FindNext);
    connect(one, &QPushButton::clicked, this, &CReplaceDialog::ReplaceOne);
    connect(all, &QPushButton::clicked, this, &CReplaceDialog::ReplaceAll);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString CReplaceDialog::Message() const { return m_Message->text(); }

void CReplaceDialog::FindNext() {
    const std::string find = m_Find->text().trimmed().toStdString();
    int row = m_View.CurrentRow(), column = m_View.CurrentColumn();
    if (row < 0) column = 0;
    if (!FindNextCell(m_Doc, find, row, column)) {
        m_Message->setText(tr("Cannot find '%1'.").arg(m_Find->text().trimmed()));
        return;
    }
    m_Message->clear();
    m_View.SetDisplay(EDisplay::Grid);
    m_View.SelectCell(row, column);
}

void CReplaceDialog::ReplaceOne() {
    const std::string find = m_Find->text().trimmed().toStdString();
    const int row = m_View.CurrentRow(), column = m_View.CurrentColumn();
    // The cell in front is replaced only when it is a match; otherwise find one first.
    if (row >= 0 && column >= 0 && CellMatches(m_Doc, column, row, find)) {
        if (!CanEditGrid(m_Doc)) {
            m_Message->setText(tr("The Grid cannot be changed while a calculation runs."));
            return;
        }
        ReplaceInCell(m_Doc, column, row, find, m_With->text().trimmed().toStdString());
        m_View.RefreshFromDocument();
        emit DocumentChanged();
    }
    FindNext();
}

void CReplaceDialog::ReplaceAll() {
    if (!CanEditGrid(m_Doc)) {
        m_Message->setText(tr("The Grid cannot be changed while a calculation runs."));
        return;
    }
    const int replaced =
        ReplaceAllCells(m_Doc, m_Find->text().trimmed().toStdString(), m_With->text().trimmed().toStdString());
    m_View.RefreshFromDocument();
    m_Message->setText(tr("%n cell(s) replaced.", nullptr, replaced));
    emit DocumentChanged();
}

}  // namespace quorin
