// A Grid of many rows: refreshes that stay at the ends of the row headers, no sorting, and
// the progress of a document file shown while the user-interface thread reads it.
#include <QHeaderView>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <thread>

#include "GuiFixture.h"
#include "app/GridModel.h"
#include "app/QuorinView.h"
#include "grid/QuorinDoc.h"
#include "support/Rows.h"

namespace quorin::test {
namespace {

TEST_F(GuiTest, ALargeGridIsRefreshedWithoutVisitingEveryRow) {
    constexpr int kRows = 200000;
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    for (int c = 0; c < 2; ++c) doc.AddCol(0, c, 1);
    doc.m_Examples.resize(kRows);
    for (int r = 0; r < kRows; ++r) test::SetCells(doc.m_Examples[r], {static_cast<double>(r), 0.5}, {0.0, 0.0});
    doc.SetRowCount();
    CQuorinView& view = child->View();
    view.RefreshFromDocument();
    CGridModel& model = view.Model();
    ASSERT_EQ(model.rowCount(), kRows);
    EXPECT_EQ(model.headerData(kRows - 1, Qt::Vertical, Qt::DisplayRole).toString(), "199999 T");
    EXPECT_EQ(model.data(model.index(kRows - 1, 0), Qt::DisplayRole).toString().toDouble(), kRows - 1.0);

    QTableView& table = view.Table();
    EXPECT_FALSE(table.isSortingEnabled());
    EXPECT_EQ(table.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    // A refresh of the same shape announces the row headers at both ends only.
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    view.RefreshFromDocument();
    int vertical = 0, lastRow = -1;
    for (const QList<QVariant>& signal : headers) {
        if (signal[0].value<Qt::Orientation>() != Qt::Vertical) continue;
        ++vertical;
        EXPECT_LE(signal[2].toInt() - signal[1].toInt() + 1, CGridModel::kRowHeaderEnds);
        lastRow = std::max(lastRow, signal[2].toInt());
    }
    EXPECT_EQ(vertical, 2);
    EXPECT_EQ(lastRow, kRows - 1);

    // A small Grid still announces every row.
    doc.m_Examples.resize(5);
    doc.SetRowCount();
    view.RefreshFromDocument();
    headers.clear();
    view.RefreshFromDocument();
    ASSERT_FALSE(headers.isEmpty());
    bool allRows = false;
    for (const QList<QVariant>& signal : headers)
        allRows = allRows || (signal[0].value<Qt::Orientation>() == Qt::Vertical &&
                              signal[1].toInt() == 0 && signal[2].toInt() == 4);
    EXPECT_TRUE(allRows);
}

TEST_F(GuiTest, FileProgressShowsAtOnceOnTheInterfaceThreadAndPostedFromOthers) {
    CChildFrame* child = Frame->NewDocument();
    EXPECT_EQ(Frame->StatusPaneText(0), "Stopped");
    Views.PostProgress(child->Doc(), 30, StatusReadingFile);
    EXPECT_EQ(Frame->statusBar()->currentMessage(), "Reading the document: 30%");
    std::thread worker([&] { Views.PostProgress(child->Doc(), 60, StatusWritingFile); });
    worker.join();
    EXPECT_EQ(Frame->statusBar()->currentMessage(), "Reading the document: 30%");
    Pump();
    EXPECT_EQ(Frame->statusBar()->currentMessage(), "Saving the document: 60%");
    // The panes keep the document's own status.
    EXPECT_EQ(Frame->StatusPaneText(0), "Stopped");
}

}  // namespace
}  // namespace quorin::test
