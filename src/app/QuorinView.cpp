#include "app/QuorinView.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "analysis/Querying.h"
#include "coding/GridEditor.h"
#include "app/GridCellDelegate.h"
#include "app/GridModel.h"
#include "coding/CellFunctionCommands.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"

namespace quorin {

CQuorinView::CQuorinView(CQuorinDoc& doc, QWidget* parent) : QWidget(parent), m_Doc(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_Stack = new QStackedWidget(this);
    layout->addWidget(m_Stack);

    m_Model = new CGridModel(doc, this);
    m_Table = new QTableView(this);
    m_Table->setObjectName("Grid");
    m_Table->setModel(m_Model);
    m_Table->setItemDelegate(new CGridCellDelegate(doc, m_Table));
    m_Table->setAlternatingRowColors(true);
    m_Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_Table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_Table->horizontalHeader()->setDefaultSectionSize(110);
    m_Table->horizontalHeader()->setMinimumHeight(40);
    // A bold current-column caption would no longer fit its section.
    m_Table->horizontalHeader()->setHighlightSections(false);
    m_Table->verticalHeader()->setDefaultSectionSize(22);
    m_Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_Table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_Table, &QWidget::customContextMenuRequested, this, &CQuorinView::ShowGridMenu);
    connect(m_Table->verticalHeader(), &QHeaderView::sectionDoubleClicked, this, &CQuorinView::RenameRow);
    connect(m_Table->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            &CQuorinView::RenameColumn);
    m_Stack->addWidget(m_Table);
    // The document keeps the current cell: the range commands start from it and the Grid
    // check moves it.
    connect(m_Table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid()) return;
                m_Doc.m_CurrentRow = current.row();
                m_Doc.m_CurrentCol = current.column();
            });
    // An empty Grid says how to begin.
    m_EmptyHint = new QLabel(
        tr("<h3>This Grid is empty</h3>"
           "<p>Bring in examples with <b>File &gt; Import File...</b> (a comma or tab separated text file),<br>"
           "or build the Grid by hand with <b>Insert &gt; Input Column</b>, <b>Insert &gt; Output Column</b><br>"
           "and <b>Insert &gt; Training Example Row</b>.</p>"
           "<p>New to the program? <b>Help &gt; Getting Started</b> walks through the iris example.</p>"),
        m_Table->viewport());
    m_EmptyHint->setObjectName("EmptyGridHint");
    m_EmptyHint->setAlignment(Qt::AlignCenter);
    m_EmptyHint->setStyleSheet("color: #555;");
    auto* hintLayout = new QVBoxLayout(m_Table->viewport());
    hintLayout->addWidget(m_EmptyHint, 0, Qt::AlignCenter);
    // Enter commits an entry and goes down a row, as in any spreadsheet.
    m_Table->installEventFilter(this);
    connect(m_Table->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::SubmitModelCache) QTimer::singleShot(0, this, &CQuorinView::MoveDown);
            });

    m_Network = new CNetworkDisplay;
    m_Network->setObjectName("Network");
    m_NetworkScroll = new QScrollArea(this);
    m_NetworkScroll->setWidget(m_Network);
    m_NetworkScroll->setWidgetResizable(true);
    m_Stack->addWidget(m_NetworkScroll);

    m_Graph = new CGraphDisplay(this);
    m_Graph->setObjectName("Graph");
    m_Stack->addWidget(m_Graph);
    // The two rankings, in the order of EDisplay; they scroll when the window is smaller.
    for (EChart which : {EChart::ExampleErrors, EChart::InputImportance}) {
        auto* chart = new CChartDisplay(which);
        chart->setObjectName(which == EChart::ExampleErrors ? "ExampleErrors" : "InputImportance");
        auto* scroll = new QScrollArea(this);
        scroll->setWidget(chart);
        scroll->setWidgetResizable(true);
        m_Stack->addWidget(scroll);
        (which == EChart::ExampleErrors ? m_ErrorsChart : m_ImportanceChart) = chart;
    }
    // Then the association lists, also in the order of EDisplay: the stack's index is the display.
    m_AssociationList = new CAssociationListDisplay(false, this);
    m_AssociationList->setObjectName("Associations");
    m_Stack->addWidget(m_AssociationList);
    m_ClusterList = new CAssociationListDisplay(true, this);
    m_ClusterList->setObjectName("Clusters");
    m_Stack->addWidget(m_ClusterList);

    m_AutoRefresh = new QTimer(this);
    m_AutoRefresh->setInterval(static_cast<int>(kAutoRefreshMs));
    connect(m_AutoRefresh, &QTimer::timeout, this, &CQuorinView::AutoRefresh);
    m_AutoRefresh->start();
    m_SnapshotRetry = new QTimer(this);
    m_SnapshotRetry->setSingleShot(true);
    m_SnapshotRetry->setInterval(100);
    connect(m_SnapshotRetry, &QTimer::timeout, this, [this] {
        if (m_Display != EDisplay::Grid) RefreshFromDocument();
    });
    RefreshFromDocument();
}

QWidget* CQuorinView::DisplayWidget() const {
    QWidget* shown = m_Stack->currentWidget();
    if (auto* scroll = qobject_cast<QScrollArea*>(shown); scroll && scroll->widget()) return scroll->widget();
    return shown;
}

void CQuorinView::SetDisplay(EDisplay display) {
    m_Display = display;
    m_Doc.m_GridDisplayShown = display == EDisplay::Grid;
    m_Stack->setCurrentIndex(static_cast<int>(display));
    RefreshFromDocument();
}

void CQuorinView::RefreshFromDocument() {
    if (m_Doc.m_GridDisplayShown && m_Display != EDisplay::Grid) {
        SetDisplay(EDisplay::Grid);
        return;
    }
    if (m_Display == EDisplay::Grid) {
        const QModelIndex current = m_Table->currentIndex();
        ReloadGrid();
        const bool empty = m_Model->rowCount() == 0 && m_Model->columnCount() == 0;
        m_EmptyHint->setVisible(empty);
        // With no columns the header would be a bare grey strip above the hint.
        m_Table->horizontalHeader()->setVisible(m_Model->columnCount() > 0);
        m_Table->verticalHeader()->setVisible(m_Model->rowCount() > 0);
        // The document's current cell wins: a command may have moved it.
        const int rows = m_Model->rowCount(), cols = m_Model->columnCount();
        const int row = std::min(m_Doc.m_CurrentRow, rows - 1), col = std::min(m_Doc.m_CurrentCol, cols - 1);
        const QModelIndex now = m_Table->currentIndex();
        if (row >= 0 && col >= 0 && (!now.isValid() || now.row() != row || now.column() != col))
            SelectCell(row, col);
        else if (current.isValid() && !now.isValid())
            SelectCell(std::min(current.row(), rows - 1), std::min(current.column(), cols - 1));
        return;
    }
    if (m_Display == EDisplay::ExampleErrors || m_Display == EDisplay::InputImportance) {
        const bool errors = m_Display == EDisplay::ExampleErrors;
        CRankingChart chart;
        bool networkExists = false;
        if (TakeChart(m_Doc, errors ? EChart::ExampleErrors : EChart::InputImportance, chart, networkExists))
            (errors ? m_ErrorsChart : m_ImportanceChart)->SetChart(chart, networkExists);
        else
            m_SnapshotRetry->start();
        return;
    }
    if (m_Display == EDisplay::Associations || m_Display == EDisplay::Clusters) {
        // The associating thread holds the lock while a column learns: retry shortly.
        if (!TryTakeAssociationSnapshot(m_Doc, m_AssociationSnapshot)) m_SnapshotRetry->start();
        (m_Display == EDisplay::Associations ? m_AssociationList : m_ClusterList)
            ->Show(m_AssociationSnapshot);
        return;
    }
    // On a busy lock the last snapshot is drawn again until a retry gets in.
    if (!TakeSnapshot(m_Doc, m_Snapshot)) m_SnapshotRetry->start();
    m_Network->SetSnapshot(&m_Snapshot);
    m_Graph->SetSnapshot(&m_Snapshot);
}

void CQuorinView::ReloadGrid() {
    m_Model->Reload();
    m_Table->verticalHeader()->viewport()->update();
}

void CQuorinView::AutoRefresh() {
    quorin::AutoRefresh(m_Doc);
    if (m_Display == EDisplay::Grid && m_Doc.m_Learning.load()) ReloadGrid();
}

void CQuorinView::Zoom(EZoom how) {
    switch (how) {
        case EZoom::In: m_Zoom = std::min(m_Zoom * 1.25, 8.0); break;
        case EZoom::Out: m_Zoom = std::max(m_Zoom / 1.25, 0.3); break;
        case EZoom::Min: m_Zoom = 0.3; break;
        case EZoom::Max: m_Zoom = 8.0; break;
        case EZoom::ScaleUp: m_Scale = std::min(m_Scale * 1.25, 8.0); break;
        case EZoom::ScaleDown: m_Scale = std::max(m_Scale / 1.25, 0.3); break;
    }
    ApplyZoom();
}

void CQuorinView::ApplyZoom() {
    QFont f = QApplication::font();
    f.setPointSizeF(std::clamp(f.pointSizeF() * std::min(m_Zoom, 3.0), 5.0, 40.0));
    m_Table->setFont(f);
    m_Table->verticalHeader()->setDefaultSectionSize(static_cast<int>(22 * std::min(m_Zoom, 3.0)));
    m_Table->horizontalHeader()->setDefaultSectionSize(static_cast<int>(110 * std::min(m_Zoom, 3.0) * m_Scale));
    m_Network->SetZoom(m_Zoom, m_Scale);
}

int CQuorinView::CurrentRow() const { return m_Table->currentIndex().isValid() ? m_Table->currentIndex().row() : -1; }

int CQuorinView::CurrentColumn() const {
    return m_Table->currentIndex().isValid() ? m_Table->currentIndex().column() : -1;
}

void CQuorinView::SelectCell(int row, int column) {
    if (row < 0 || column < 0) return;
    const QModelIndex index = m_Model->index(row, column);
    m_Table->setCurrentIndex(index);
    m_Table->scrollTo(index);
}

bool CQuorinView::ShowsEmptyHint() const { return !m_EmptyHint->isHidden(); }

void CQuorinView::ShowInserted(int row, int column) {
    SetDisplay(EDisplay::Grid);  // reloads the Grid with the new row or column
    const int r = row >= 0 ? row : std::max(0, CurrentRow());
    const int c = column >= 0 ? column : std::max(0, CurrentColumn());
    if (r >= m_Model->rowCount() || c >= m_Model->columnCount()) return;
    SelectCell(r, c);
    m_Table->scrollTo(m_Model->index(r, c), QAbstractItemView::PositionAtBottom);
}

void CQuorinView::MoveDown() {
    const int row = CurrentRow(), column = CurrentColumn();
    if (row < 0 || column < 0 || row + 1 >= m_Model->rowCount()) return;
    SelectCell(row + 1, column);
}

bool CQuorinView::eventFilter(QObject* watched, QEvent* event) {
    // An editor's Enter comes up here too after the editor saw it: the editor's closing
    // moves down then, so only the table's own Enter counts here.
    if (watched == m_Table && event->type() == QEvent::KeyPress && m_Table->window()->focusWidget() == m_Table) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            MoveDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CQuorinView::CopySelection() {
    const QModelIndexList cells = m_Table->selectionModel()->selectedIndexes();
    if (cells.isEmpty()) return;
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QModelIndex& i : cells) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    QString text;
    for (int r = top; r <= bottom; ++r) {
        QStringList line;
        for (int c = left; c <= right; ++c) line << m_Model->CellText(r, c);
        text += line.join('\t') + "\r\n";
    }
    QApplication::clipboard()->setText(text);
}

void CQuorinView::PasteText() {
    if (!CanEditGrid(m_Doc)) return;
    const int top = CurrentRow(), left = CurrentColumn();
    if (top < 0 || left < 0) return;
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    for (int r = 0; r < lines.size() && top + r < m_Doc.m_RowCount; ++r) {
        const QStringList fields = QString(lines[r]).remove('\r').split('\t');
        for (int c = 0; c < fields.size() && left + c < m_Doc.m_ColCount; ++c)
            EnterCellText(m_Doc, left + c, top + r, fields[c].trimmed().toStdString());
    }
    ReloadGrid();
    emit DocumentChanged();
}

void CQuorinView::DeleteSelection() {
    if (!CanEditGrid(m_Doc)) return;
    QItemSelectionModel* selection = m_Table->selectionModel();
    const QModelIndexList rows = selection->selectedRows();
    const QModelIndexList cols = selection->selectedColumns();
    if (!rows.isEmpty()) {
        std::set<int, std::greater<int>> numbers;
        for (const QModelIndex& i : rows) numbers.insert(i.row());
        for (int row : numbers)
            if (!m_Doc.DeleteRow(row, 1, 1)) break;
    } else if (!cols.isEmpty()) {
        std::set<int, std::greater<int>> numbers;
        for (const QModelIndex& i : cols) numbers.insert(i.column());
        for (int col : numbers)
            if (!m_Doc.DeleteCol(col, 1)) break;
    } else {
        for (const QModelIndex& i : selection->selectedIndexes())
            EnterCellText(m_Doc, i.column(), i.row(), "?");
    }
    ReloadGrid();
    emit DocumentChanged();
}

void CQuorinView::Find() {
    CDialogForm form;
    form.Id = "Find";
    form.Title = "Find";
    form.AddText("Text", "Find &what:", m_LastFind.toStdString(),
                 "Text to find in the cells and in the row and column names");
    form.AddButton("FindNext", "&Find Next", "Select the next cell holding the text");
    if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return;
    m_LastFind = QString::fromStdString(form.Text("Text")).trimmed();
    if (m_LastFind.isEmpty()) return;
    const int rows = m_Model->rowCount(), cols = m_Model->columnCount();
    const int start = std::max(0, CurrentRow()) * cols + std::max(0, CurrentColumn()) + 1;
    for (int k = 0; k < rows * cols; ++k) {
        const int cell = (start + k) % (rows * cols);
        const int r = cell / cols, c = cell % cols;
        if (m_Model->CellText(r, c).contains(m_LastFind, Qt::CaseInsensitive) ||
            (c == 0 && CGridModel::RowHeader(m_Doc, r).contains(m_LastFind, Qt::CaseInsensitive)) ||
            (r == 0 && CGridModel::ColumnHeader(m_Doc, c).contains(m_LastFind, Qt::CaseInsensitive))) {
            SelectCell(r, c);
            return;
        }
    }
    m_Doc.App().Prompts().Inform("Cannot find '" + m_LastFind.toStdString() + "'.");
}

void CQuorinView::Goto() {
    CDialogForm form;
    form.Id = "Goto";
    form.Title = "Goto";
    form.AddInt("Row", "Example &row:", std::max(0, CurrentRow()), 0, std::max(0, m_Doc.m_RowCount - 1));
    form.AddInt("Column", "Input/Output &column:", std::max(0, CurrentColumn()), 0,
                std::max(0, m_Doc.m_ColCount - 1));
    if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return;
    SetDisplay(EDisplay::Grid);
    SelectCell(std::clamp(form.Int("Row"), 0, std::max(0, m_Model->rowCount() - 1)),
               std::clamp(form.Int("Column"), 0, std::max(0, m_Model->columnCount() - 1)));
}

void CQuorinView::RenameRow(int row) {
    if (!CanEditGrid(m_Doc) || row < 0 || row >= m_Doc.m_RowCount) return;
    CDialogForm form;
    form.Id = "ExampleName";
    form.Title = "Example row";
    form.AddText("Name", "Example row &name:", m_Doc.m_Examples[row].ExampleName);
    if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return;
    m_Doc.SetExampleName(row, form.Text("Name"), 1);
    ReloadGrid();
    emit DocumentChanged();
}

void CQuorinView::RenameColumn(int column) {
    if (!CanEditGrid(m_Doc) || column < 0 || column >= m_Doc.m_ColCount) return;
    CDialogForm form;
    form.Id = "InOutName";
    form.Title = "Input/Output column";
    form.AddText("Name", "Input/Output column &name:", m_Doc.m_InOuts[column].InOutName);
    if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return;
    m_Doc.SetInOutName(column, form.Text("Name"));
    ReloadGrid();
    emit DocumentChanged();
}

void CQuorinView::SetRowType(int row, int type) {
    if (!CanEditGrid(m_Doc) || row < 0 || row >= m_Doc.m_RowCount) return;
    m_Doc.SetExampleType(row, type);
    // A Training row added or removed changes the column ranges.
    m_Doc.RenormaliseAll(1);
    if (type == Querying && m_Doc.m_NetworkExists) Refresh(m_Doc);
    m_Doc.RefreshViews();
    ReloadGrid();
    emit DocumentChanged();
}

void CQuorinView::SetColumnType(int column, int type) {
    if (!CanEditGrid(m_Doc) || column < 0 || column >= m_Doc.m_ColCount) return;
    m_Doc.SetInOutTypeAndMode(column, type, -1);
    m_Doc.RefreshViews();
    ReloadGrid();
    emit DocumentChanged();
}

void CQuorinView::ShowGridMenu(const QPoint& at) {
    const QModelIndex index = m_Table->indexAt(at);
    if (index.isValid()) m_Table->setCurrentIndex(index);
    const int row = CurrentRow(), col = CurrentColumn();
    const bool cell = row >= 0 && col >= 0 && CanEditGrid(m_Doc);
    QMenu menu(this);
    struct CFunctionEntry {
        const char* Text;
        int (*Run)(CQuorinDoc&, int, int);
    };
    const bool functions = row >= 0 && col >= 0 && CanRunCellFunction(m_Doc, col, row);
    for (const CFunctionEntry& e : {CFunctionEntry{"Execute on Example Row", OnExecuteOnExampleRow},
                                    CFunctionEntry{"Execute on Input/Output Column", OnExecuteOnInOutColumn},
                                    CFunctionEntry{"Execute on Selected Grid Cell", OnExecuteOnSelectedGridCell},
                                    CFunctionEntry{"Set Function...", OnSetFunction}}) {
        QAction* a = menu.addAction(tr(e.Text));
        a->setEnabled(functions);
        auto run = e.Run;
        connect(a, &QAction::triggered, this, [this, run, col, row] {
            run(m_Doc, col, row);
            ReloadGrid();
            emit DocumentChanged();
        });
    }
    menu.addSeparator();
    struct CRowEntry {
        const char* Text;
        int Type;
    };
    for (const CRowEntry& e : {CRowEntry{"Set Example Row to Training", Training},
                               CRowEntry{"Set Example Row to Validating", Validating},
                               CRowEntry{"Set Example Row to Querying", Querying},
                               CRowEntry{"Exclude Example Row", ExcludedRow}}) {
        QAction* a = menu.addAction(tr(e.Text));
        a->setEnabled(cell);
        const int type = e.Type;
        connect(a, &QAction::triggered, this, [this, row, type] { SetRowType(row, type); });
    }
    menu.addSeparator();
    for (const CRowEntry& e : {CRowEntry{"Set Input/Output Column to Input", Input},
                               CRowEntry{"Set Input/Output Column to Output", Output},
                               CRowEntry{"Exclude Input/Output Column", ExcludedCol}}) {
        QAction* a = menu.addAction(tr(e.Text));
        a->setEnabled(cell);
        const int type = e.Type;
        connect(a, &QAction::triggered, this, [this, col, type] { SetColumnType(col, type); });
    }
    QMenu* modes = menu.addMenu(tr("Set Input/Output Column &Mode"));
    modes->setEnabled(cell);
    for (const CRowEntry& e : {CRowEntry{"Real", Real}, CRowEntry{"Integer", Integer}, CRowEntry{"Bool", Bool},
                               CRowEntry{"Text", Text}, CRowEntry{"Image", Image}}) {
        QAction* a = modes->addAction(tr(e.Text));
        a->setCheckable(true);
        a->setChecked(cell && m_Doc.m_InOuts[col].Mode == e.Type);
        const int mode = e.Type;
        connect(a, &QAction::triggered, this, [this, col, mode] {
            ChangeColumnMode(m_Doc, col, mode);
            ReloadGrid();
            emit DocumentChanged();
        });
    }
    menu.exec(m_Table->viewport()->mapToGlobal(at));
}

}  // namespace quorin
