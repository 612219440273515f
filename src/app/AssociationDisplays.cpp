#include "app/AssociationDisplays.h"

#include <QFontDatabase>
#include <QScrollBar>

namespace quorin {

namespace {
QString Pad(const std::string& text, int width) {
    return QString::fromStdString(text).leftJustified(width, QLatin1Char(' '));
}
QString Row(const CAssociationEntry& e) {
    return Pad(e.From, 36) + Pad(e.To, 36) + QString::fromStdString(e.Strength);
}
}  // namespace

CAssociationListDisplay::CAssociationListDisplay(bool clusters, QWidget* parent)
    : QPlainTextEdit(parent), m_Clusters(clusters) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

QString CAssociationListDisplay::Text(const CAssociationDisplay& d) {
    QString text;
    for (const std::string& h : d.Headings) text += QString::fromStdString(h) + "\n";
    text += "\n";
    if (d.ColumnTitles.size() == 2)
        text += Pad(d.ColumnTitles[0], 72) + QString::fromStdString(d.ColumnTitles[1]) + "\n\n";
    if (d.Clusters.empty()) {
        for (const CAssociationEntry& e : d.Entries) text += Row(e) + "\n";
        // An empty list says how to fill it.
        if (d.Entries.empty())
            text += QObject::tr("Nothing found yet: Action > Start Associating looks for columns that go together.\n");
    } else {
        for (const auto& cluster : d.Clusters) {
            for (const CAssociationEntry& e : cluster) text += Row(e) + "\n";
            text += "\n";
        }
    }
    return text;
}

void CAssociationListDisplay::Show(const CAssociationSnapshot& snapshot) {
    const QString text = Text(m_Clusters ? ClustersList(snapshot) : AssociationsList(snapshot));
    if (text == toPlainText()) return;
    const int scroll = verticalScrollBar()->value();
    setPlainText(text);
    verticalScrollBar()->setValue(scroll);
}

}  // namespace quorin
