#include "app/FormDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

#include "app/GuiThread.h"

namespace quorin {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

// Radio buttons read better than a drop-down for a handful of choices.
constexpr size_t kMaxRadioOptions = 5;
constexpr size_t kFieldsPerColumn = 14;

QString LimitsTip(const CFormField& field) {
    if (!field.Tooltip.empty()) return Q(field.Tooltip);
    if (field.Max > field.Min)
        return QString("%1 to %2").arg(FormatDialogDouble(field.Min), FormatDialogDouble(field.Max));
    return {};
}
}  // namespace

QString FormatDialogDouble(double value) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    return QString::number(value, 'g', 10);
}

CFormDialog::CFormDialog(const CDialogForm& form, bool modeless, QWidget* parent)
    : QDialog(parent), m_Form(form), m_Modeless(modeless) {
    setWindowTitle(Q(form.Title));
    setObjectName(Q(form.Id));
    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns);

    std::vector<const CFormField*> fields;
    std::vector<const CFormField*> buttons;
    for (const CFormField& f : form.Fields)
        (f.Kind == EFieldKind::Button ? buttons : fields).push_back(&f);

    const size_t columnCount = fields.size() > kFieldsPerColumn ? 2 : 1;
    const size_t perColumn = (fields.size() + columnCount - 1) / std::max<size_t>(columnCount, 1);
    QGridLayout* grid = nullptr;
    int gridRow = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i % std::max<size_t>(perColumn, 1) == 0) {
            grid = new QGridLayout;
            grid->setColumnStretch(1, 1);
            auto* holder = new QVBoxLayout;
            holder->addLayout(grid);
            holder->addStretch(1);
            columns->addLayout(holder, 1);
            gridRow = 0;
        }
        const CFormField& f = *fields[i];
        QWidget* widget = MakeField(f, this);
        widget->setEnabled(f.Enabled);
        const bool captioned = f.Kind == EFieldKind::Int || f.Kind == EFieldKind::Double ||
                               f.Kind == EFieldKind::Text ||
                               (f.Kind == EFieldKind::Choice && f.Options.size() > kMaxRadioOptions);
        // A shown value ("4 nodes") says what it counts only in its tooltip: that becomes its caption.
        const bool describedValue = f.Kind == EFieldKind::Label && !f.TextValue.empty() && !f.Tooltip.empty();
        if (describedValue) {
            auto* label = new QLabel(Q(f.Tooltip), this);
            label->setToolTip(Q(f.Tooltip));
            grid->addWidget(label, gridRow, 0);
            grid->addWidget(widget, gridRow, 1);
        } else if (captioned && !f.Label.empty()) {
            auto* label = new QLabel(Q(f.Label), this);
            label->setBuddy(widget);
            label->setToolTip(widget->toolTip());
            label->setEnabled(f.Enabled);
            grid->addWidget(label, gridRow, 0);
            grid->addWidget(widget, gridRow, 1);
        } else {
            grid->addWidget(widget, gridRow, 0, 1, 2);
        }
        ++gridRow;
    }

    auto* box = new QDialogButtonBox(this);
    for (const CFormField* b : buttons) {
        auto* button = box->addButton(Q(b->Label), QDialogButtonBox::ActionRole);
        button->setObjectName(Q(b->Key));
        button->setToolTip(Q(b->Tooltip));
        button->setEnabled(b->Enabled);
        button->setAutoDefault(false);
        const std::string key = b->Key;
        connect(button, &QPushButton::clicked, this, [this, key] { OnButton(key); });
    }
    if (buttons.empty()) {
        QPushButton* ok = box->addButton(modeless ? QDialogButtonBox::Close : QDialogButtonBox::Ok);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, [this] {
            if (m_Modeless) {
                OnButton("Close");
            } else {
                accept();
            }
        });
    }
    if (!modeless) {
        QPushButton* cancel = box->addButton(QDialogButtonBox::Cancel);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    outer->addWidget(box);
}

QWidget* CFormDialog::MakeField(const CFormField& f, QWidget* parent) {
    QWidget* widget = nullptr;
    CBinding binding{f.Kind};
    switch (f.Kind) {
        case EFieldKind::Label: {
            auto* label = new QLabel(Q(f.TextValue.empty() ? f.Label : f.TextValue), parent);
            label->setWordWrap(true);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        case EFieldKind::Int: {
            auto* edit = new QLineEdit(QString::number(f.IntValue), parent);
            edit->setValidator(new QIntValidator(INT_MIN, INT_MAX, edit));
            widget = edit;
            break;
        }
        case EFieldKind::Double: {
            auto* edit = new QLineEdit(f.TextValue.empty() ? FormatDialogDouble(f.DoubleValue)
                                                           : Q(f.TextValue),
                                       parent);
            auto* validator = new QDoubleValidator(edit);
            validator->setNotation(QDoubleValidator::StandardNotation);
            validator->setLocale(QLocale::c());
            edit->setValidator(validator);
            widget = edit;
            break;
        }
        case EFieldKind::Text: {
            auto* edit = new QLineEdit(Q(f.TextValue), parent);
            if (f.Max >= 1.0 && f.Max < 100000.0) edit->setMaxLength(static_cast<int>(f.Max));
            widget = edit;
            break;
        }
        case EFieldKind::Check: {
            auto* check = new QCheckBox(Q(f.Label), parent);
            check->setChecked(f.IntValue != 0);
            widget = check;
            break;
        }
        case EFieldKind::Choice: {
            if (f.Options.size() > kMaxRadioOptions) {
                auto* combo = new QComboBox(parent);
                for (const std::string& o : f.Options) combo->addItem(Q(o));
                combo->setCurrentIndex(f.IntValue);
                widget = combo;
                break;
            }
            auto* group = new QGroupBox(Q(f.Label), parent);
            auto* layout = new QVBoxLayout(group);
            binding.Group = new QButtonGroup(group);
            for (size_t i = 0; i < f.Options.size(); ++i) {
                auto* radio = new QRadioButton(Q(f.Options[i]), group);
                radio->setChecked(static_cast<int>(i) == f.IntValue);
                binding.Group->addButton(radio, static_cast<int>(i));
                layout->addWidget(radio);
            }
            widget = group;
            break;
        }
        case EFieldKind::List: {
            auto* holder = new QWidget(parent);
            auto* layout = new QVBoxLayout(holder);
            layout->setContentsMargins(0, 0, 0, 0);
            if (!f.Label.empty()) layout->addWidget(new QLabel(Q(f.Label), holder));
            auto* list = new QListWidget(holder);
            for (const std::string& o : f.Options) list->addItem(Q(o));
            if (f.IntValue >= 0 && f.IntValue < list->count()) list->setCurrentRow(f.IntValue);
            list->setMinimumHeight(120);
            layout->addWidget(list);
            binding.Widget = list;
            list->setToolTip(LimitsTip(f));
            widget = holder;
            break;
        }
        case EFieldKind::Button: break;
    }
    if (!binding.Widget) binding.Widget = widget;
    binding.Widget->setObjectName(Q(f.Key));
    if (widget->toolTip().isEmpty()) widget->setToolTip(LimitsTip(f));
    m_Bindings[f.Key] = binding;
    return widget;
}

void CFormDialog::ReadInto(CDialogForm& form) const {
    for (CFormField& f : form.Fields) {
        auto it = m_Bindings.find(f.Key);
        if (it == m_Bindings.end()) continue;
        const CBinding& b = it->second;
        switch (f.Kind) {
            case EFieldKind::Int: {
                bool ok = false;
                const int v = static_cast<QLineEdit*>(b.Widget)->text().trimmed().toInt(&ok);
                f.IntValue = ok ? v : 0;
                break;
            }
            case EFieldKind::Double: {
                const QString text = static_cast<QLineEdit*>(b.Widget)->text().trimmed();
                bool ok = false;
                const double v = QLocale::c().toDouble(text, &ok);
                f.DoubleValue = ok ? v : 0.0;
                f.TextValue = text.toStdString();
                break;
            }
            case EFieldKind::Text:
                f.TextValue = static_cast<QLineEdit*>(b.Widget)->text().toStdString();
                break;
            case EFieldKind::Check:
                f.IntValue = static_cast<QCheckBox*>(b.Widget)->isChecked() ? 1 : 0;
                break;
            case EFieldKind::Choice:
                if (b.Group)
                    f.IntValue = b.Group->checkedId();
                else
                    f.IntValue = static_cast<QComboBox*>(b.Widget)->currentIndex();
                break;
            case EFieldKind::List:
                f.IntValue = static_cast<QListWidget*>(b.Widget)->currentRow();
                break;
            case EFieldKind::Label:
            case EFieldKind::Button: break;
        }
    }
    form.PressedButton = m_Pressed;
}

void CFormDialog::ShowValues(const CDialogForm& form) {
    if (!form.Title.empty()) setWindowTitle(Q(form.Title));
    for (const CFormField& f : form.Fields) {
        auto it = m_Bindings.find(f.Key);
        if (it == m_Bindings.end()) continue;
        const CBinding& b = it->second;
        b.Widget->setEnabled(f.Enabled);
        switch (f.Kind) {
            case EFieldKind::Label:
                static_cast<QLabel*>(b.Widget)->setText(Q(f.TextValue.empty() ? f.Label : f.TextValue));
                break;
            case EFieldKind::Int: {
                auto* edit = static_cast<QLineEdit*>(b.Widget);
                if (!edit->hasFocus()) edit->setText(QString::number(f.IntValue));
                break;
            }
            case EFieldKind::Double: {
                auto* edit = static_cast<QLineEdit*>(b.Widget);
                if (!edit->hasFocus())
                    edit->setText(f.TextValue.empty() ? FormatDialogDouble(f.DoubleValue)
                                                      : Q(f.TextValue));
                break;
            }
            case EFieldKind::Text: {
                auto* edit = static_cast<QLineEdit*>(b.Widget);
                if (!edit->hasFocus()) edit->setText(Q(f.TextValue));
                break;
            }
            case EFieldKind::Check:
                static_cast<QCheckBox*>(b.Widget)->setChecked(f.IntValue != 0);
                break;
            case EFieldKind::Choice:
                if (b.Group) {
                    if (QAbstractButton* button = b.Group->button(f.IntValue)) button->setChecked(true);
                } else {
                    static_cast<QComboBox*>(b.Widget)->setCurrentIndex(f.IntValue);
                }
                break;
            case EFieldKind::List: {
                auto* list = static_cast<QListWidget*>(b.Widget);
                const int keep = list->currentRow();
                list->clear();
                for (const std::string& o : f.Options) list->addItem(Q(o));
                const int row = f.IntValue >= 0 ? f.IntValue : keep;
                if (row >= 0 && row < list->count()) list->setCurrentRow(row);
                break;
            }
            case EFieldKind::Button: break;
        }
    }
    for (const CFormField& f : form.Fields) {
        if (f.Kind != EFieldKind::Button) continue;
        if (auto* button = findChild<QPushButton*>(Q(f.Key))) {
            button->setText(Q(f.Label));
            button->setEnabled(f.Enabled);
        }
    }
}

std::string CFormDialog::TakeButtonPress() {
    if (m_Presses.empty()) return {};
    std::string key = m_Presses.front();
    m_Presses.pop_front();
    return key;
}

void CFormDialog::OnButton(const std::string& key) {
    m_Pressed = key;
    if (m_Modeless) {
        m_Presses.push_back(key);
        emit ButtonPressed();
    } else {
        accept();
    }
}

void CFormDialog::closeEvent(QCloseEvent* event) {
    // Closing a modeless window by its frame is its Cancel.
    if (m_Modeless && isVisible()) m_Presses.push_back("Cancel");
    QDialog::closeEvent(event);
}

CQtModelessWindow::CQtModelessWindow(const CDialogForm& form, QWidget* parent) {
    m_Dialog = CallOnGuiThread([&] {
        auto* dialog = new CFormDialog(form, true, parent);
        dialog->setModal(false);
        dialog->show();
        return dialog;
    });
}

CQtModelessWindow::~CQtModelessWindow() {
    CFormDialog* dialog = m_Dialog;
    CallOnGuiThread([dialog] { delete dialog; });
}

void CQtModelessWindow::Update(const CDialogForm& form) {
    CallOnGuiThread([&] { m_Dialog->ShowValues(form); });
}

std::string CQtModelessWindow::PollButton() {
    return CallOnGuiThread([&] { return m_Dialog->TakeButtonPress(); });
}

bool CQtModelessWindow::IsOpen() const {
    return CallOnGuiThread([&] { return m_Dialog->isVisible(); });
}

void CQtModelessWindow::Close() {
    CallOnGuiThread([&] { m_Dialog->hide(); });
}

}  // namespace quorin
