#include "app/QueryDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ChildFrame.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

void Fill(QListWidget* list, const std::vector<std::string>& items, int selected) {
    list->clear();
    for (const std::string& item : items) list->addItem(Q(item));
    list->setCurrentRow(selected >= 0 && selected < list->count() ? selected : -1);
}
}  // namespace

CQueryDialog* CQueryDialog::Open(CChildFrame& child) {
    if (auto* open = child.findChild<CQueryDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* dialog = new CQueryDialog(child);
    dialog->show();
    return dialog;
}

CQueryDialog::CQueryDialog(CChildFrame& child)
    : QDialog(&child, Qt::Window), m_Doc(child.Doc()), m_Session(child.Doc()) {
    setObjectName("QueryDialog");
    setWindowTitle("Query");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    Build();
    m_CycleTimer.setInterval(0);
    connect(&m_CycleTimer, &QTimer::timeout, this, [this] { CycleTick(); });
    m_Session.Open();
    ShowSession();
}

// Not the session's Close: the dialog may go with its child window after the document.
CQueryDialog::~CQueryDialog() = default;

void CQueryDialog::closeEvent(QCloseEvent* event) {
    m_CycleTimer.stop();
    if (m_Session.IsOpen()) m_Session.Close();
    QDialog::closeEvent(event);
}

void CQueryDialog::Build() {
    auto* layout = new QVBoxLayout(this);

    auto* example = new QGroupBox("Example", this);
    auto* exampleLayout = new QGridLayout(example);
    m_Index = new QLabel(example);
    m_Type = new QLabel(example);
    m_Name = new QLabel(example);
    m_Index->setObjectName("Index");
    m_Type->setObjectName("Type");
    m_Name->setObjectName("Name");
    exampleLayout->addWidget(m_Index, 0, 0);
    exampleLayout->addWidget(m_Type, 0, 1);
    exampleLayout->addWidget(m_Name, 0, 2, 1, 2);
    m_Q = new QCheckBox("&Q", example);
    m_V = new QCheckBox("&V", example);
    m_T = new QCheckBox("&T", example);
    m_Real = new QCheckBox("Show &Real", example);
    m_Q->setObjectName("Q");
    m_V->setObjectName("V");
    m_T->setObjectName("T");
    m_Real->setObjectName("ShowReal");
    exampleLayout->addWidget(m_Q, 1, 0);
    exampleLayout->addWidget(m_V, 1, 1);
    exampleLayout->addWidget(m_T, 1, 2);
    exampleLayout->addWidget(m_Real, 1, 3);
    auto* moves = new QHBoxLayout;
    const std::pair<const char*, void (CQuerySession::*)()> kMoves[] = {
        {"|<", &CQuerySession::First}, {"<", &CQuerySession::Previous},
        {">", &CQuerySession::Next}, {">|", &CQuerySession::Last}};
    const char* const kMoveNames[] = {"First", "Previous", "Next", "Last"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(kMoves[i].first, example);
        button->setObjectName(kMoveNames[i]);
        const auto move = kMoves[i].second;
        connect(button, &QPushButton::clicked, this, [this, move] { Do([this, move] { (m_Session.*move)(); }); });
        moves->addWidget(button);
    }
    exampleLayout->addLayout(moves, 2, 0, 1, 4);
    layout->addWidget(example);
    const auto types = [this] {
        Do([this] { m_Session.SetTypes(m_T->isChecked(), m_V->isChecked(), m_Q->isChecked()); });
    };
    for (QCheckBox* box : {m_Q, m_V, m_T}) connect(box, &QCheckBox::toggled, this, types);
    connect(m_Real, &QCheckBox::toggled, this,
            [this](bool on) { Do([this, on] { m_Session.SetShowReal(on); }); });

    auto* inputs = new QGroupBox("Inputs", this);
    auto* inputLayout = new QGridLayout(inputs);
    m_Locks = new QListWidget(inputs);
    m_Inputs = new QListWidget(inputs);
    m_Values = new QListWidget(inputs);
    m_Locks->setObjectName("Locks");
    m_Inputs->setObjectName("Inputs");
    m_Values->setObjectName("InputValues");
    m_Locks->setMaximumWidth(56);
    m_Locks->setToolTip(tr("Click an input's mark to lock it at its value while seeking"));
    // The lists say what they hold.
    inputLayout->addWidget(new QLabel(tr("Locked"), inputs), 0, 0);
    inputLayout->addWidget(new QLabel(tr("Input"), inputs), 0, 1);
    inputLayout->addWidget(new QLabel(tr("Value"), inputs), 0, 2);
    inputLayout->addWidget(m_Locks, 1, 0);
    inputLayout->addWidget(m_Inputs, 1, 1);
    inputLayout->addWidget(m_Values, 1, 2);
    for (QListWidget* list : {m_Inputs, m_Values})
        connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
            if (!m_Filling) Do([this, row] { m_Session.SelectInput(row); });
        });
    connect(m_Locks, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = m_Locks->row(item);
        if (!m_Filling) Do([this, row] { m_Session.LockListSelected(row); });
    });
    m_Edit = new QLineEdit(inputs);
    m_Edit->setObjectName("Value");
    connect(m_Edit, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_Session.SetValueText(text.toStdString()); });
    inputLayout->addWidget(m_Edit, 2, 0, 1, 3);
    auto* valueRow = new QHBoxLayout;
    const std::pair<const char*, CQuerySession::EAction> kValueButtons[] = {
        {"&Increase", CQuerySession::Increase}, {"&Decrease", CQuerySession::Decrease},
        {"&Min", CQuerySession::Min}, {"Ma&x", CQuerySession::Max}, {"S&et", CQuerySession::Set}};
    for (const auto& [label, action] : kValueButtons) {
        auto* button = new QPushButton(label, inputs);
        button->setObjectName(QString(label).remove('&'));
        const auto a = action;
        connect(button, &QPushButton::clicked, this, [this, a] {
            Do([this, a] {
                m_Session.SetValueText(m_Edit->text().toStdString());
                m_Session.Press(a);
            });
        });
        valueRow->addWidget(button);
        m_ValueButtons.push_back(button);
    }
    inputLayout->addLayout(valueRow, 3, 0, 1, 3);
    layout->addWidget(inputs);

    auto* outputs = new QGroupBox("Outputs", this);
    auto* outputLayout = new QGridLayout(outputs);
    m_OutputNames = new QListWidget(outputs);
    m_OutputValues = new QListWidget(outputs);
    m_OutputNames->setObjectName("Outputs");
    m_OutputValues->setObjectName("OutputValues");
    outputLayout->addWidget(new QLabel(tr("Output"), outputs), 0, 0);
    outputLayout->addWidget(new QLabel(tr("Answer"), outputs), 0, 1);
    outputLayout->addWidget(m_OutputNames, 1, 0);
    outputLayout->addWidget(m_OutputValues, 1, 1);
    for (QListWidget* list : {m_OutputNames, m_OutputValues})
        connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
            if (!m_Filling) Do([this, row] { m_Session.SelectOutput(row); });
        });
    layout->addWidget(outputs);

    auto* seeks = new QHBoxLayout;
    auto* high = new QPushButton("Seek &High", this);
    auto* low = new QPushButton("Seek &Low", this);
    m_Cycle = new QPushButton("Start Cycle", this);
    high->setObjectName("SeekHigh");
    low->setObjectName("SeekLow");
    m_Cycle->setObjectName("Cycle");
    connect(high, &QPushButton::clicked, this, [this] { Do([this] { m_Session.SeekHigh(); }); });
    connect(low, &QPushButton::clicked, this, [this] { Do([this] { m_Session.SeekLow(); }); });
    connect(m_Cycle, &QPushButton::clicked, this, [this] {
        Do([this] { m_Session.ToggleCycle(); });
        if (m_Session.Cycling()) m_CycleTimer.start();
    });
    seeks->addWidget(high);
    seeks->addWidget(low);
    seeks->addWidget(m_Cycle);
    m_ValueButtons.push_back(high);
    m_ValueButtons.push_back(low);
    m_ValueButtons.push_back(m_Cycle);
    layout->addLayout(seeks);

    auto* bottom = new QHBoxLayout;
    auto* add = new QPushButton("&Add Query", this);
    auto* save = new QPushButton("Save Queries", this);
    auto* close = new QPushButton("Close", this);
    add->setObjectName("AddQuery");
    save->setObjectName("SaveQueries");
    close->setObjectName("Close");
    connect(add, &QPushButton::clicked, this, [this] { Do([this] { m_Session.AddQuery(); }); });
    connect(save, &QPushButton::clicked, this, [this] { Do([this] { m_Session.SaveQuery(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    m_ValueButtons.push_back(save);
    // Return in the value field sets the value; no button is the dialog's default.
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
    connect(m_Edit, &QLineEdit::returnPressed, this, [this] {
        if (auto* set = findChild<QPushButton*>("Set"); set && set->isEnabled()) set->click();
    });
    bottom->addWidget(add);
    bottom->addWidget(save);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
}

void CQueryDialog::Do(const std::function<void()>& operation) {
    if (!m_Session.IsOpen() || CalculationRunning(m_Doc)) {
        m_CycleTimer.stop();
        return;
    }
    operation();
    ShowSession();
}

void CQueryDialog::CycleTick() {
    if (!m_Session.Cycling()) {
        m_CycleTimer.stop();
        ShowSession();
        return;
    }
    Do([this] { m_Session.CyclePass(); });
}

void CQueryDialog::ShowSession() {
    m_Filling = true;
    m_Index->setText(Q(m_Session.IndexText()));
    m_Type->setText(Q(m_Session.TypeText()));
    m_Name->setText(Q(m_Session.NameText()));
    m_Q->setChecked(m_Session.QueryingSelected());
    m_V->setChecked(m_Session.ValidatingSelected());
    m_T->setChecked(m_Session.TrainingSelected());
    m_Real->setChecked(m_Session.ShowReal());
    const int input = m_Session.SelectedInput();
    Fill(m_Locks, m_Session.LockMarks(), input);
    Fill(m_Inputs, m_Session.InputNames(), input);
    Fill(m_Values, m_Session.InputValues(), input);
    Fill(m_OutputNames, m_Session.OutputNames(), m_Session.SelectedOutput());
    Fill(m_OutputValues, m_Session.OutputValues(), m_Session.SelectedOutput());
    m_Edit->setText(Q(m_Session.ValueText()));
    const bool enabled = m_Session.ValueButtonsEnabled();
    for (QPushButton* button : m_ValueButtons) button->setEnabled(enabled);
    m_Cycle->setText(m_Session.Cycling() ? "Stop Cycle" : "Start Cycle");
    if (!m_Session.Cycling()) m_CycleTimer.stop();
    m_Filling = false;
}

}  // namespace quorin
