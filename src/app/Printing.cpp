#include "app/Printing.h"

#include "grid/QuorinDoc.h"

#include <QAbstractItemModel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QPrinter>
#include <QTableView>
#include <algorithm>
#include <vector>

#include "app/QuorinView.h"

namespace quorin {

namespace {

// The Grid as pages of a table: the row names repeat at the left of every page and the
// column names at its top; columns that do not fit go on to further pages.
void PrintGrid(QAbstractItemModel& model, QPrinter& printer) {
    QPainter p(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QFontMetricsF fm(p.font(), &printer);
    QFont boldFont = p.font();
    boldFont.setBold(true);
    // Names and headings print bold, so they are measured bold.
    const QFontMetricsF bold(boldFont, &printer);
    const double pad = fm.averageCharWidth();
    const double lineHeight = fm.height() * 1.3;
    const int rows = model.rowCount(), cols = model.columnCount();

    // Widths from the longest text of each column, held to a third of the page.
    auto measure = [&](const QFontMetricsF& m, const QString& text) {
        return std::min(m.horizontalAdvance(text) + 2 * pad, page.width() / 3);
    };
    double nameWidth = measure(bold, QStringLiteral("Example"));
    for (int r = 0; r < rows; ++r)
        nameWidth = std::max(nameWidth, measure(bold, model.headerData(r, Qt::Vertical).toString()));
    // A column's heading is its number and types over its name: each a line of its own.
    constexpr int kMaxHeadingLines = 3;
    std::vector<QStringList> headings(cols);
    int headingLines = 1;
    std::vector<double> widths(cols);
    for (int c = 0; c < cols; ++c) {
        headings[c] = model.headerData(c, Qt::Horizontal).toString().split('\n').mid(0, kMaxHeadingLines);
        headingLines = std::max(headingLines, static_cast<int>(headings[c].size()));
        double w = 0.0;
        for (const QString& line : headings[c]) w = std::max(w, measure(bold, line));
        for (int r = 0; r < rows; ++r) w = std::max(w, measure(fm, model.index(r, c).data().toString()));
        widths[c] = w;
    }
    const double headingHeight = headingLines * lineHeight;
    // Column bands that fit the page width beside the row names.
    std::vector<std::pair<int, int>> bands;
    for (int c = 0; c < cols;) {
        int end = c;
        double used = nameWidth;
        while (end < cols && (end == c || used + widths[end] <= page.width())) used += widths[end++];
        bands.emplace_back(c, end);
        c = end;
    }
    if (bands.empty()) bands.emplace_back(0, 0);
    const int rowsPerPage = std::max(1, static_cast<int>((page.height() - headingHeight) / lineHeight));

    bool first = true;
    for (const auto& [from, to] : bands) {
        for (int top = 0; top < std::max(rows, 1); top += rowsPerPage) {
            if (!first) printer.newPage();
            first = false;
            auto cell = [&](double x, double y, double w, const QString& text, bool isBold) {
                QFont f = p.font();
                f.setBold(isBold);
                p.setFont(f);
                p.drawText(QRectF(x + pad, y, w - 2 * pad, lineHeight), Qt::AlignVCenter | Qt::AlignLeft,
                           (isBold ? bold : fm).elidedText(text, Qt::ElideRight, w - 2 * pad));
            };
            double x = nameWidth;
            for (int c = from; c < to; ++c) {
                for (int line = 0; line < headings[c].size(); ++line)
                    cell(x, line * lineHeight, widths[c], headings[c][line], true);
                x += widths[c];
            }
            p.drawLine(QPointF(0, headingHeight), QPointF(x, headingHeight));
            for (int r = top; r < std::min(rows, top + rowsPerPage); ++r) {
                const double y = headingHeight + (r - top) * lineHeight;
                cell(0, y, nameWidth, model.headerData(r, Qt::Vertical).toString(), true);
                double cx = nameWidth;
                for (int c = from; c < to; ++c) {
                    cell(cx, y, widths[c], model.index(r, c).data().toString(), false);
                    cx += widths[c];
                }
            }
        }
    }
}

// Any other display: its drawing, scaled to fit the page and keeping its proportions.
void PrintPicture(QWidget& widget, QPrinter& printer) {
    const QPixmap picture = widget.grab();
    QPainter p(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0) return;
    const double scale = std::min(page.width() / picture.width(), page.height() / picture.height());
    p.drawPixmap(QRectF(0, 0, picture.width() * scale, picture.height() * scale), picture, QRectF(picture.rect()));
}

}  // namespace

QPrinter& SessionPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

void PrintView(CQuorinView& view, QPrinter& printer) {
    if (view.Display() == EDisplay::Grid)
        PrintGrid(*view.Table().model(), printer);
    else if (QWidget* shown = view.DisplayWidget())
        PrintPicture(*shown, printer);
}

namespace {
// The print dialog offers "<name>.pdf" from the job's name instead of "print.pdf".
void NameJob(const CQuorinView& view) {
    SessionPrinter().setDocName(QString::fromStdString(DocumentTitle(view.Document())));
}
}  // namespace

void OnFilePrint(CQuorinView& view, QWidget* parent) {
    NameJob(view);
    QPrintDialog dialog(&SessionPrinter(), parent);
    if (dialog.exec() == QDialog::Accepted) PrintView(view, SessionPrinter());
}

void OnFilePrintPreview(CQuorinView& view, QWidget* parent) {
    NameJob(view);
    QPrintPreviewDialog dialog(&SessionPrinter(), parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&view](QPrinter* printer) { PrintView(view, *printer); });
    // Big enough to read a page: most of the screen the frame is on.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableSize() : QSize(1024, 768);
    dialog.resize(std::min(room.width() * 4 / 5, 1100), room.height() * 9 / 10);
    dialog.exec();
}

void OnFilePrintSetup(QWidget* parent) {
    QPageSetupDialog dialog(&SessionPrinter(), parent);
    dialog.exec();
}

}  // namespace quorin
