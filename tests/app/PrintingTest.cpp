#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "app/Printing.h"
#include "app/QuorinView.h"
#include "grid/QuorinDoc.h"

namespace quorin::test {

namespace {
int PdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    return static_cast<int>(pdf.count("/Type /Page") - pdf.count("/Type /Pages"));
}

void PrintTo(CQuorinView& view, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    PrintView(view, printer);
}
}  // namespace

// A Grid wider and longer than a page goes over several pages; a drawing fits on one.
TEST_F(GuiTest, TheGridPrintsOverPagesAndADrawingOnOne) {
    QTemporaryDir dir;
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    for (int c = 0; c < 30; ++c) doc.AddCol(0, 0, 1);
    for (int r = 0; r < 200; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < 200; ++r)
        for (int c = 0; c < 30; ++c) doc.SetValue(c, r, 1000.0 * r + c, 1, 1, 0, 1);
    Pump();
    CQuorinView& view = child->View();
    const QString grid = dir.filePath("grid.pdf");
    PrintTo(view, grid);
    const int gridPages = PdfPages(grid);
    EXPECT_GT(gridPages, 2);

    view.SetDisplay(EDisplay::Graph);
    Pump();
    const QString graph = dir.filePath("graph.pdf");
    PrintTo(view, graph);
    EXPECT_EQ(PdfPages(graph), 1);
}

}  // namespace quorin::test
