#include "app/ReportView.h"

#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quorin {

void ShowReportView(QWidget* parent, const std::string& path, const QString& title) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return;
    auto* window = new QDialog(parent, Qt::Window);
    window->setObjectName("ReportView");
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    auto* layout = new QVBoxLayout(window);
    auto* text = new QPlainTextEdit(window);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setTabStopDistance(8 * text->fontMetrics().horizontalAdvance(' '));
    text->setPlainText(QString::fromUtf8(file.readAll()).replace("\r\n", "\n"));
    layout->addWidget(text);
    window->resize(720, 480);
    window->show();
}

}  // namespace quorin
