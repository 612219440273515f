#include "app/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "app/FormDialog.h"
#include "app/GuiThread.h"

namespace quorin {

QWidget* DialogParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMainWindow") && w->isVisible()) return w;
    return nullptr;
}

QString QtFilter(const std::string& filter) {
    // Pairs of description and pattern; the pattern part is implied by the description.
    const QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        if (!description.contains('(')) description += " (" + patterns + ")";
        filters << description;
    }
    if (filters.isEmpty() && !parts.isEmpty()) filters << parts.front();
    return filters.join(";;");
}

int CQtPrompts::MessageBox(const CMessage& message) {
    return CallOnGuiThread([&]() -> int {
        QMessageBox box(DialogParent());
        box.setWindowTitle(Caption);
        box.setText(QString::fromStdString(message.Text));
        box.setTextFormat(Qt::PlainText);
        switch (message.Icon) {
            case EIcon::None: box.setIcon(QMessageBox::NoIcon); break;
            case EIcon::Information: box.setIcon(QMessageBox::Information); break;
            case EIcon::Question: box.setIcon(QMessageBox::Question); break;
            case EIcon::Warning: box.setIcon(QMessageBox::Warning); break;
            case EIcon::Error: box.setIcon(QMessageBox::Critical); break;
        }
        struct CChoice {
            QMessageBox::StandardButton Button;
            int Answer;
        };
        std::vector<CChoice> choices;
        switch (message.Buttons) {
            case EButtons::Ok: choices = {{QMessageBox::Ok, IdOk}}; break;
            case EButtons::OkCancel:
                choices = {{QMessageBox::Ok, IdOk}, {QMessageBox::Cancel, IdCancel}};
                break;
            case EButtons::YesNo: choices = {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}}; break;
            case EButtons::YesNoCancel:
                choices = {{QMessageBox::Yes, IdYes},
                           {QMessageBox::No, IdNo},
                           {QMessageBox::Cancel, IdCancel}};
                break;
        }
        QMessageBox::StandardButtons buttons;
        for (const CChoice& c : choices) buttons |= c.Button;
        box.setStandardButtons(buttons);
        for (const CChoice& c : choices)
            if (c.Answer == message.DefaultButton) box.setDefaultButton(c.Button);
        // Closing the box by its frame answers No for Yes/No questions, Cancel otherwise.
        if (message.Buttons == EButtons::YesNo) box.setEscapeButton(QMessageBox::No);
        const int pressed = box.exec();
        for (const CChoice& c : choices)
            if (c.Button == pressed) return c.Answer;
        return message.Buttons == EButtons::Ok ? IdOk
               : message.Buttons == EButtons::YesNo ? IdNo
                                                    : IdCancel;
    });
}

bool CQtPrompts::FileDialog(CFileDialogRequest& request) {
    return CallOnGuiThread([&]() -> bool {
        QFileDialog dialog(DialogParent(), QString::fromStdString(request.Title));
        dialog.setNameFilters(QtFilter(request.Filter).split(";;", Qt::SkipEmptyParts));
        dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!request.DefaultExt.empty())
            dialog.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
        if (request.Save && !request.OverwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (!request.FileName.empty()) dialog.selectFile(QString::fromStdString(request.FileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        request.FileName = dialog.selectedFiles().front().toStdString();
        return true;
    });
}

int CQtPrompts::ShowDialog(CDialogForm& form) {
    return CallOnGuiThread([&]() -> int {
        CFormDialog dialog(form, false, DialogParent());
        if (dialog.exec() != QDialog::Accepted) return IdCancel;
        dialog.ReadInto(form);
        return IdOk;
    });
}

std::unique_ptr<IModelessWindow> CQtPrompts::OpenModeless(const CDialogForm& form) {
    return std::make_unique<CQtModelessWindow>(form, CallOnGuiThread([] { return DialogParent(); }));
}

void CQtPrompts::SetWaitCursor(bool on) {
    CallOnGuiThread([&] {
        if (on) {
            ++m_WaitCursors;
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else if (m_WaitCursors > 0) {
            --m_WaitCursors;
            QApplication::restoreOverrideCursor();
        }
    });
}

}  // namespace quorin
