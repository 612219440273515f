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
#include <QFontMetrics>
#include <algorithm>
#include <climits>
#include <set>
#include <cmath>

#include "app/FormLayouts.h"
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

bool HasMnemonic(const std::string& text) { return HasMnemonic(Q(text)); }

bool HasMnemonic(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return true;
        ++i;
    }
    return false;
}

QString StripMnemonic(const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

QString ReadableText(const std::string& raw) {
    // The core breaks its long texts for a fixed dialog width; a line that goes on with a
    // small letter is joined again so that the text wraps evenly at the width it gets.
    QString text = Q(raw);
    text.replace("\r\n", "\n");
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i + 1 < text.size() && text[i + 1].isLower() && i > 0 && text[i - 1] != '\n') {
            out += ' ';
            continue;
        }
        out += text[i];
    }
    return out;
}

QString FormatDialogDouble(double value) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    return QString::number(value, 'g', 10);
}

CFormDialog::CFormDialog(const CDialogForm& form, bool modeless, QWidget* parent)
    : QDialog(parent), m_Form(form), m_Modeless(modeless) {
    setWindowTitle(Q(form.Title));
    setObjectName(Q(form.Id));
    auto* outer = new QVBoxLayout(this);
    const CFormLayout* layout = FindFormLayout(form.Id);
    std::set<std::string> placed;
    if (layout) BuildLaidOut(*layout, outer, placed);
    BuildGeneric(outer, placed);

    auto* box = new QDialogButtonBox(this);
    QPushButton* defaultButton = nullptr;
    for (const CFormField& b : form.Fields) {
        if (b.Kind != EFieldKind::Button || placed.count(b.Key)) continue;
        auto* button = box->addButton(Q(b.Label), QDialogButtonBox::ActionRole);
        BindButton(b, button);
        if (!defaultButton || (layout && layout->DefaultButton == b.Key)) defaultButton = button;
    }
    for (QPushButton* inline_ : m_InlineButtons)
        if (layout && layout->DefaultButton == inline_->objectName().toStdString()) defaultButton = inline_;
    const bool hasButtons = defaultButton || !m_InlineButtons.empty();
    if (!hasButtons) {
        QPushButton* ok = box->addButton(modeless ? QDialogButtonBox::Close : QDialogButtonBox::Ok);
        ok->setObjectName("OK");
        defaultButton = ok;
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
        cancel->setObjectName("Cancel");
        cancel->setAutoDefault(false);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    // Enter presses OK, or the form's own first (or chosen) button; never Cancel.
    if (defaultButton) {
        defaultButton->setAutoDefault(true);
        defaultButton->setDefault(true);
    }
    outer->addWidget(box);

    // The caption must fit: window managers cut a long title off a narrow dialog.
    QFont titleFont = font();
    titleFont.setBold(true);
    int width = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 140;
    if (layout) width = std::max(width, layout->MinimumWidth);
    setMinimumWidth(std::min(width, 900));
}

void CFormDialog::BindButton(const CFormField& b, QPushButton* button) {
    button->setObjectName(Q(b.Key));
    button->setToolTip(Q(b.Tooltip));
    button->setEnabled(b.Enabled);
    button->setAutoDefault(false);
    const std::string key = b.Key;
    connect(button, &QPushButton::clicked, this, [this, key] { OnButton(key); });
}

void CFormDialog::BuildLaidOut(const CFormLayout& layout, QVBoxLayout* outer, std::set<std::string>& placed) {
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns);
    std::map<int, QVBoxLayout*> columnLayouts;
    for (const CFormBox& b : layout.Boxes) {
        QVBoxLayout*& column = columnLayouts[b.Column];
        if (!column) {
            column = new QVBoxLayout;
            columns->addLayout(column, 1);
        }
        QWidget* holder;
        if (b.Title.empty()) {
            holder = new QWidget(this);
        } else {
            holder = new QGroupBox(Q(b.Title), this);
        }
        auto* grid = new QGridLayout(holder);
        if (b.Title.empty()) grid->setContentsMargins(0, 0, 0, 0);
        grid->setColumnStretch(1, 1);
        int row = 0;
        for (const CFormLine& line : b.Lines) {
            PlaceLine(line, grid, row++, holder, placed);
        }
        column->addWidget(holder);
    }
    for (auto& [index, column] : columnLayouts) column->addStretch(1);
}

void CFormDialog::PlaceLine(const CFormLine& line, QGridLayout* grid, int row, QWidget* parent,
                            std::set<std::string>& placed) {
    auto* rest = new QHBoxLayout;
    bool captionColumnUsed = false;
    bool fills = false;  // a paragraph or a lone text edit takes the width instead of a stretch
    QLabel* waitingBuddy = nullptr;  // a text whose '&' names the next field
    for (size_t i = 0; i < line.size(); ++i) {
        std::string key = line[i];
        if (!key.empty() && key[0] == '=') {
            rest->addWidget(new QLabel(Q(key.substr(1)), parent));
            continue;
        }
        const bool captionAfter = !key.empty() && key.back() == '>';
        if (captionAfter) key.pop_back();
        if (!m_Form.Has(key) || placed.count(key)) continue;
        const CFormField& f = m_Form.Field(key);
        placed.insert(key);
        if (f.Kind == EFieldKind::Button) {
            auto* button = new QPushButton(Q(f.Label), parent);
            BindButton(f, button);
            m_InlineButtons.push_back(button);
            rest->addWidget(button);
            continue;
        }
        QWidget* widget = MakeField(f, parent, false, line.size() > 1);
        widget->setEnabled(f.Enabled);
        if (auto* text = qobject_cast<QLabel*>(widget); text && text->wordWrap()) fills = true;
        if (f.Kind == EFieldKind::Text && line.size() == 1) fills = true;
        if (waitingBuddy && f.Kind != EFieldKind::Label) {
            waitingBuddy->setBuddy(widget);
            waitingBuddy = nullptr;
        }
        QString caption;
        if (IsCaptioned(f))
            caption = Q(f.Label);
        else if (f.Kind == EFieldKind::Label && !f.TextValue.empty())
            caption = Q(!f.Label.empty() ? f.Label : f.Tooltip);
        if (f.Kind == EFieldKind::Int || f.Kind == EFieldKind::Double)
            widget->setMaximumWidth(f.Kind == EFieldKind::Int ? 110 : 130);
        if (caption.isEmpty()) {
            rest->addWidget(widget);
            if (f.Kind == EFieldKind::Label && HasMnemonic(f.TextValue.empty() ? f.Label : f.TextValue))
                waitingBuddy = static_cast<QLabel*>(widget);
            continue;
        }
        auto* label = new QLabel(caption, parent);
        label->setBuddy(widget);
        label->setToolTip(widget->toolTip());
        label->setEnabled(f.Enabled);
        if (captionAfter) {
            rest->addWidget(widget);
            rest->addWidget(label);
        } else if (i == 0) {
            grid->addWidget(label, row, 0);
            captionColumnUsed = true;
            rest->addWidget(widget);
        } else {
            rest->addWidget(label);
            rest->addWidget(widget);
        }
    }
    if (waitingBuddy) waitingBuddy->setText(StripMnemonic(waitingBuddy->text()));
    if (!fills) rest->addStretch(1);
    if (captionColumnUsed)
        grid->addLayout(rest, row, 1);
    else
        grid->addLayout(rest, row, 0, 1, 2);
}

bool CFormDialog::IsCaptioned(const CFormField& f) {
    return (f.Kind == EFieldKind::Int || f.Kind == EFieldKind::Double || f.Kind == EFieldKind::Text) &&
           !f.Label.empty();
}

void CFormDialog::BuildGeneric(QVBoxLayout* outer, std::set<std::string>& placed) {
    std::vector<const CFormField*> fields;
    for (const CFormField& f : m_Form.Fields)
        if (f.Kind != EFieldKind::Button && !placed.count(f.Key)) fields.push_back(&f);
    if (fields.empty()) return;
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns);

    const size_t columnCount = fields.size() > kFieldsPerColumn ? 2 : 1;
    const size_t perColumn = (fields.size() + columnCount - 1) / std::max<size_t>(columnCount, 1);
    QGridLayout* grid = nullptr;
    int gridRow = 0;
    QLabel* waitingBuddy = nullptr;
    bool afterEdit = false;  // the row above ends in a captioned edit
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
        placed.insert(f.Key);
        // A short text after an edit is its unit ("cycles"): it goes beside the edit.
        const QString plain = f.Kind == EFieldKind::Label ? Q(f.TextValue.empty() ? f.Label : f.TextValue) : QString();
        if (afterEdit && gridRow > 0 && !plain.isEmpty() && plain.size() <= 40 && !plain.contains('\n') &&
            !HasMnemonic(plain)) {
            QWidget* unit = MakeField(f, this, true, true);
            grid->addWidget(unit, gridRow - 1, 2);
            afterEdit = false;
            continue;
        }
        afterEdit = false;
        QWidget* widget = MakeField(f, this, true, false);
        widget->setEnabled(f.Enabled);
        if (waitingBuddy && f.Kind != EFieldKind::Label) {
            waitingBuddy->setBuddy(widget);
            waitingBuddy = nullptr;
        }
        const bool captioned = f.Kind == EFieldKind::Int || f.Kind == EFieldKind::Double ||
                               f.Kind == EFieldKind::Text ||
                               (f.Kind == EFieldKind::Choice && f.Options.size() > kMaxRadioOptions);
        // A shown value ("4 nodes") says what it counts only in its tooltip: that becomes its caption.
        const bool describedValue = f.Kind == EFieldKind::Label && !f.TextValue.empty() &&
                                    (!f.Tooltip.empty() || !f.Label.empty());
        if (describedValue) {
            auto* label = new QLabel(Q(!f.Label.empty() ? f.Label : f.Tooltip), this);
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
            afterEdit = f.Kind != EFieldKind::Choice;
        } else {
            grid->addWidget(widget, gridRow, 0, 1, 3);
            if (f.Kind == EFieldKind::Label && HasMnemonic(f.TextValue.empty() ? f.Label : f.TextValue))
                waitingBuddy = static_cast<QLabel*>(widget);
        }
        ++gridRow;
    }
    if (waitingBuddy) waitingBuddy->setText(StripMnemonic(waitingBuddy->text()));
}

QWidget* CFormDialog::MakeField(const CFormField& f, QWidget* parent, bool framed, bool beside) {
    QWidget* widget = nullptr;
    CBinding binding{f.Kind};
    switch (f.Kind) {
        case EFieldKind::Label: {
            const QString text = ReadableText(f.TextValue.empty() ? f.Label : f.TextValue);
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            // Short texts beside a field stay on one line; paragraphs wrap.
            label->setWordWrap(!beside && text.size() > 60);
            if (!HasMnemonic(text)) label->setTextInteractionFlags(Qt::TextSelectableByMouse);
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
            QWidget* group = framed || !f.Label.empty() ? new QGroupBox(Q(f.Label), parent) : new QWidget(parent);
            auto* layout = new QVBoxLayout(group);
            if (!framed && f.Label.empty()) layout->setContentsMargins(0, 0, 0, 0);
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
            {
                auto* label = static_cast<QLabel*>(b.Widget);
                const QString text = ReadableText(f.TextValue.empty() ? f.Label : f.TextValue);
                label->setText(label->buddy() ? text : StripMnemonic(text));
            }
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
