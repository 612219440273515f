// The menu bar in the order of the command table, the six toolbars, and the enabling
// of every entry from the core's availability queries.
#include "analysis/Associating.h"
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "analysis/FileQuery.h"
#include "analysis/LeaveSomeOut.h"
#include "analysis/Querying.h"
#include "app/QueryDialog.h"
#include "app/ReportView.h"
#include "app/ChildFrame.h"
#include "app/CommandReasons.h"
#include "app/MainFrame.h"
#include "app/Printing.h"
#include "app/QtPrompts.h"
#include "app/QuorinView.h"
#include "coding/HashTexts.h"
#include "coding/ImageFragments.h"
#include "coding/ImageNavigation.h"
#include "grid/Availability.h"
#include "grid/DocumentCommands.h"
#include "grid/RangeCommands.h"
#include "files/AutoSave.h"
#include "files/Diagnostics.h"
#include "files/LogFile.h"
#include "files/SpecialFilesDialog.h"
#include "network/NetworkCommands.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/LearningInfo.h"
#include "network/ControlsDialog.h"
#include "network/ExtendLearning.h"
#include "network/ConnectionReduction.h"
#include "network/Pruning.h"
#include "automation/Importer.h"
#include "automation/ScriptRunner.h"

namespace quorin {

namespace {
// A drawn badge: the last resort when neither the theme nor our own icons have one.
QIcon Badge(const QString& text, const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(140));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1.5, 3.5, 29, 25), 5, 5);
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(text.size() > 2 ? 10 : 14);
    p.setFont(f);
    p.setPen(colour.lightness() > 140 ? Qt::black : Qt::white);
    p.drawText(QRectF(0, 3, 32, 26), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

// A toolbar icon by its short key: the desktop theme's icon where one fits the command,
// otherwise one of our own (the "icons" resources). Disabled states come from the style.
QIcon Glyph(const QString& key, const QColor& colour) {
    struct CIconName {
        const char* Key;
        const char* Theme;  // freedesktop name, or null
        const char* Own;    // our resource, or null
    };
    static const CIconName names[] = {
        {"Pr", "document-print", "document-print"},    {"Cp", "edit-copy", "edit-copy"},
        {"Pa", "edit-paste", "edit-paste"},        {"Ty", nullptr, "change-range"},
        {"+1", nullptr, "node-add-1"},        {"+2", nullptr, "node-add-2"},
        {"+3", nullptr, "node-add-3"},        {"-1", nullptr, "node-delete-1"},
        {"-2", nullptr, "node-delete-2"},     {"-3", nullptr, "node-delete-3"},
        {"Gr", nullptr, "view-grid"},         {"Nw", nullptr, "view-network"},
        {"Gp", nullptr, "view-graph"},        {"Er", nullptr, "view-errors"},
        {"+In", nullptr, "column-input"},     {"+Ou", nullptr, "column-output"},
        {"+T", nullptr, "row-training"},      {"+V", nullptr, "row-validating"},
        {"+Q", nullptr, "row-querying"},      {"Z+", "zoom-in", "zoom-in"},
        {"Z-", "zoom-out", "zoom-out"},          {"Ck", nullptr, "check-grid"},
        {"NN", nullptr, "network-new"},       {"Co", nullptr, "controls"},
        {"As", nullptr, "associate"},         {"Fg", nullptr, "forget"},
        {"?", nullptr, "query"},              {"Ex", nullptr, "extend-learning"},
        {"AS", nullptr, "auto-save"},         {"SF", nullptr, "special-files"},
        {"Md", nullptr, "missing-data"},      {"Va", nullptr, "validation"},
        {"Cl", nullptr, "view-clusters"},     {"Al", nullptr, "view-associations"},
    };
    for (const CIconName& n : names) {
        if (key != QLatin1String(n.Key)) continue;
        const QIcon own = n.Own ? QIcon(QString(":/icons/%1.svg").arg(n.Own)) : QIcon();
        QIcon icon = n.Theme ? QIcon::fromTheme(n.Theme, own) : own;
        if (!icon.isNull() && !icon.availableSizes().isEmpty()) return icon;
        if (!icon.isNull() && n.Own) return icon;  // scalable: no fixed sizes to list
    }
    return Badge(key, colour);
}

// The style's stock images under their freedesktop names, so that the desktop theme wins.
QIcon Standard(QStyle::StandardPixmap pixmap) {
    const char* theme = nullptr;
    switch (pixmap) {
        case QStyle::SP_FileIcon: theme = "document-new"; break;
        case QStyle::SP_DialogOpenButton: theme = "document-open"; break;
        case QStyle::SP_DialogSaveButton: theme = "document-save"; break;
        case QStyle::SP_DialogDiscardButton: theme = "edit-cut"; break;
        case QStyle::SP_TrashIcon: theme = "edit-delete"; break;
        case QStyle::SP_BrowserReload: theme = "view-refresh"; break;
        case QStyle::SP_MediaPlay: theme = "media-playback-start"; break;
        case QStyle::SP_MediaStop: theme = "media-playback-stop"; break;
        default: break;
    }
    // Where the theme has none, ours (coloured, so that disabled looks different) before the style's.
    const QString own = theme ? QString(":/icons/%1.svg").arg(theme) : QString();
    const QIcon stock = theme && QFile::exists(own) ? QIcon(own) : QApplication::style()->standardIcon(pixmap);
    return theme ? QIcon::fromTheme(theme, stock) : stock;
}

const QColor kGrid(90, 140, 220), kNet(60, 170, 120), kAct(230, 150, 40), kOpt(150, 110, 200),
    kEdit(120, 120, 130);
}  // namespace

QAction* CMainFrame::Command(QMenu* menu, const QString& name, const QString& text,
                             std::function<void(CChildFrame&)> run,
                             std::function<bool(CQuorinDoc&)> enabled, const QIcon& icon,
                             const QKeySequence& shortcut) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    // Keys without a menu entry still need a widget holding them.
    if (menu) menu->addAction(action);
    else addAction(action);
    CCommand command;
    command.Action = action;
    command.Run = std::move(run);
    command.Enabled = std::move(enabled);
    m_Commands.push_back(std::move(command));
    const size_t index = m_Commands.size() - 1;
    connect(action, &QAction::triggered, this, [this, index] { Run(m_Commands[index]); });
    return action;
}

QAction* CMainFrame::FrameCommand(QMenu* menu, const QString& name, const QString& text,
                                  std::function<void()> run, const QIcon& icon, const QKeySequence& shortcut) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, std::move(run));
    menu->addAction(action);
    return action;
}

void CMainFrame::Run(CCommand& command) {
    QPointer<CChildFrame> child = ActiveChild();
    if (!child || !command.Run) return;
    if (child->Busy() && !command.WhileBusy) return;
    child->BeginCommand();
    command.Run(*child);
    if (!child) return;
    child->EndCommand();
    if (!CalculationRunning(child->Doc())) child->m_HasProgress = false;
    child->UpdateTitle();
    child->View().RefreshFromDocument();
    UpdateCommands();
    UpdateStatus();
}

void CMainFrame::UpdateCommands() {
    CChildFrame* child = ActiveChild();
    for (CCommand& c : m_Commands) {
        bool on = child && c.Run && (!child->Busy() || c.WhileBusy);
        if (on && c.Enabled) on = c.Enabled(child->Doc());
        c.Action->setEnabled(on);
        if (c.Checked) c.Action->setChecked(child && c.Checked(*child));
    }
    // The empty frame offers File only.
    for (QMenu* menu : m_DocumentMenus) menu->menuAction()->setVisible(child != nullptr);
}

void CMainFrame::ExplainUnavailable() {
    for (CCommand& c : m_Commands) {
        if (c.Run) continue;
        c.Reason = NotOfferedReason(c.Action->objectName());
        if (c.Reason.isEmpty()) continue;
        c.Action->setToolTip(c.Action->text().remove('&') + " - " + c.Reason);
        c.Action->setStatusTip(c.Reason);
    }
}

std::vector<CMainFrame::CCommandInfo> CMainFrame::CommandInfo() const {
    std::vector<CCommandInfo> info;
    for (const CCommand& c : m_Commands) info.push_back({c.Action->objectName(), bool(c.Run), c.Reason});
    return info;
}

QAction* CMainFrame::FindAction(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

QToolBar* CMainFrame::ToolBar(const QString& name) const {
    for (QToolBar* bar : m_ToolBars)
        if (bar->windowTitle() == name) return bar;
    return nullptr;
}

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();

    // ---- File ----
    m_FileMenu = bar->addMenu(tr("&File"));
    FrameCommand(m_FileMenu, "FileNew", tr("&New"), [this] { NewDocument(); }, Standard(QStyle::SP_FileIcon),
                 QKeySequence::New);
    FrameCommand(m_FileMenu, "FileOpen", tr("&Open..."), [this] { OnOpen(); },
                 Standard(QStyle::SP_DialogOpenButton), QKeySequence::Open);
    Command(m_FileMenu, "FileClose", tr("&Close"), [this](CChildFrame&) {
        QTimer::singleShot(0, this, [this] { m_Mdi->closeActiveSubWindow(); });
    });
    Command(m_FileMenu, "FileSave", tr("&Save"), [this](CChildFrame& c) { Save(c, false); }, CanSaveDocument,
            Standard(QStyle::SP_DialogSaveButton), QKeySequence::Save);
    Command(m_FileMenu, "FileSaveAs", tr("Save &As..."), [this](CChildFrame& c) { Save(c, true); }, CanSaveDocument);
    m_FileMenu->addSeparator();
    Command(m_FileMenu, "FileImport", tr("&Import File..."), [](CChildFrame& c) { OnFileImport(c.Doc()); },
            CanImport);
    Command(m_FileMenu, "FileScript", tr("&Run Script File..."), [](CChildFrame& c) { OnFileScript(c.Doc()); },
            CanRunScript);
    m_FileMenu->addSeparator();
    Command(m_FileMenu, "FilePrint", tr("&Print..."), [this](CChildFrame& c) { OnFilePrint(c.View(), this); }, {},
            Glyph("Pr", kEdit), QKeySequence::Print);
    Command(m_FileMenu, "FilePrintPreview", tr("Print Pre&view"),
            [this](CChildFrame& c) { OnFilePrintPreview(c.View(), this); });
    Command(m_FileMenu, "FilePrintSetup", tr("P&rint Setup..."), [this](CChildFrame&) { OnFilePrintSetup(this); });
    m_RecentSeparator = m_FileMenu->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        auto* action = new QAction(this);
        action->setObjectName(QString("FileMru%1").arg(i + 1));
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, i] {
            if (i < static_cast<int>(m_Recent.size())) {
                const QString path = m_Recent[i];
                if (!OpenDocument(path) && !QFileInfo::exists(path)) {
                    m_Recent.erase(m_Recent.begin() + i);
                    SaveRecentFiles();
                    UpdateRecentMenu();
                }
            }
        });
        m_FileMenu->addAction(action);
        m_RecentActions.push_back(action);
    }
    m_FileMenu->addSeparator();
    FrameCommand(m_FileMenu, "AppExit", tr("E&xit"), [this] { close(); }, {}, QKeySequence::Quit);
    UpdateRecentMenu();

    // ---- Edit ----
    QMenu* edit = bar->addMenu(tr("&Edit"));
    m_DocumentMenus.push_back(edit);
    auto gridView = [](CChildFrame& c) -> CQuorinView& {
        c.View().SetDisplay(EDisplay::Grid);
        return c.View();
    };
    Command(edit, "EditCut", tr("Cu&t"), [gridView](CChildFrame& c) {
        gridView(c).CopySelection();
        c.View().DeleteSelection();
    }, CanEditGrid, Standard(QStyle::SP_DialogDiscardButton), QKeySequence::Cut);
    Command(edit, "EditCopy", tr("&Copy"), [](CChildFrame& c) { c.View().CopySelection(); }, {},
            Glyph("Cp", kEdit), QKeySequence::Copy);
    m_Commands.back().WhileBusy = true;
    Command(edit, "EditPaste", tr("&Paste"), [gridView](CChildFrame& c) { gridView(c).PasteText(); },
            CanEditGrid, Glyph("Pa", kEdit), QKeySequence::Paste);
    Command(edit, "EditDelete", tr("&Delete"), [gridView](CChildFrame& c) { gridView(c).DeleteSelection(); },
            CanEditGrid, Standard(QStyle::SP_TrashIcon), QKeySequence::Delete);
    edit->addSeparator();
    Command(edit, "EditFind", tr("&Find..."), [gridView](CChildFrame& c) { gridView(c).Find(); }, {}, {},
            QKeySequence::Find);
    Command(edit, "EditReplace", tr("R&eplace..."), [this](CChildFrame& c) { ShowReplace(c); }, CanEditGrid, {},
            QKeySequence::Replace);
    Command(edit, "EditGoto", tr("&Goto..."), [](CChildFrame& c) { c.View().Goto(); }, {}, {},
            QKeySequence(Qt::CTRL | Qt::Key_G));
    edit->addSeparator();
    Command(edit, "EditFragmentImage", tr("Fragment &Image..."), [gridView](CChildFrame& c) {
        CQuorinView& v = gridView(c);
        if (!CanFragmentImage(c.Doc(), v.CurrentColumn(), v.CurrentRow()))
            c.Doc().App().Prompts().Inform("Select a cell of an Image column first.");
        else if (PreFragment(c.Doc(), v.CurrentColumn(), v.CurrentRow()))
            c.Doc().RefreshViews();
    }, CanUseImageCommands);
    Command(edit, "EditAssociateImages", tr("Associate I&mages..."), [gridView](CChildFrame& c) {
        CQuorinView& v = gridView(c);
        if (!CanAssociateImages(c.Doc(), v.CurrentColumn()))
            c.Doc().App().Prompts().Inform("Select a cell of an Image column first.");
        else
            AssociateImages(c.Doc(), v.CurrentColumn());
    }, CanUseImageCommands);
    edit->addSeparator();
    Command(edit, "EditChangeRange", tr("Change &Range of Types..."), [](CChildFrame& c) { OnEditChangeRange(c.Doc()); },
            CanChangeRangeOfTypes, Glyph("Ty", kEdit));
    Command(edit, "EditChangeColumnTypes", tr("Change Input/Output Column T&ypes..."),
            [](CChildFrame& c) { OnEditChangeInOutColumnTypes(c.Doc()); }, CanChangeInOutColumnTypes);
    Command(edit, "EditChangeRowTypes", tr("Change E&xample Row Types..."),
            [](CChildFrame& c) { OnEditChangeExampleRowTypes(c.Doc()); }, CanChangeExampleRowTypes);
    Command(edit, "EditCopyColumns", tr("Copy Input/&Output Columns..."),
            [](CChildFrame& c) { OnEditCopyInOutColumns(c.Doc()); }, CanCopyInOutColumns);
    Command(edit, "EditCopyRows", tr("Copy Example Ro&ws..."), [](CChildFrame& c) { OnEditCopyExampleRows(c.Doc()); },
            CanCopyExampleRows);
    Command(edit, "EditDuplicateRows", tr("D&uplicate Example Rows..."),
            [](CChildFrame& c) { OnEditDuplicateExampleRows(c.Doc()); }, CanDuplicateExampleRows);
    Command(edit, "EditRemoveDuplicates", tr("Remove Dup&licated Example Rows"),
            [](CChildFrame& c) { RemoveDuplicatedExampleRows(c.Doc()); }, CanRemoveDuplicatedExampleRows);
    Command(edit, "EditExcludeIncompleteRows", tr("Exclude I&ncomplete Example Rows"),
            [](CChildFrame& c) { ExcludeIncompleteExampleRows(c.Doc()); }, CanExcludeIncompleteExampleRows);
    Command(edit, "EditExcludeIncompleteColumns", tr("Exclude Incomplete Input/Output &Columns"),
            [](CChildFrame& c) { ExcludeIncompleteInOutColumns(c.Doc()); }, CanExcludeIncompleteInOutColumns);
    edit->addSeparator();
    struct CLayerEntry {
        const char* Layer;
        void (*Add)(CQuorinDoc&);
        void (*Delete)(CQuorinDoc&);
        bool (*CanAdd)(const CQuorinDoc&);
        bool (*CanDelete)(const CQuorinDoc&);
    };
    int layer = 0;
    for (const CLayerEntry& e :
         {CLayerEntry{"HL1", OnEditAddHL1Node, OnEditDeleteHL1Node, CanAddHL1Node, CanDeleteHL1Node},
          CLayerEntry{"HL2", OnEditAddHL2Node, OnEditDeleteHL2Node, CanAddHL2Node, CanDeleteHL2Node},
          CLayerEntry{"HL3", OnEditAddHL3Node, OnEditDeleteHL3Node, CanAddHL3Node, CanDeleteHL3Node}}) {
        ++layer;
        auto add = e.Add;
        auto remove = e.Delete;
        Command(edit, QString("EditAdd%1Node").arg(e.Layer), tr("Add %1 Node").arg(e.Layer),
                [add](CChildFrame& c) { add(c.Doc()); }, e.CanAdd, Glyph(QString("+%1").arg(layer), kNet));
        Command(edit, QString("EditDelete%1Node").arg(e.Layer), tr("Delete %1 Node").arg(e.Layer),
                [remove](CChildFrame& c) { remove(c.Doc()); }, e.CanDelete,
                Glyph(QString("-%1").arg(layer), kNet));
    }

    // ---- View ----
    QMenu* view = bar->addMenu(tr("&View"));
    m_DocumentMenus.push_back(view);
    auto* displays = new QActionGroup(this);
    struct CDisplayEntry {
        const char* Name;
        const char* Text;
        EDisplay Display;
        QIcon Icon;
    };
    for (const CDisplayEntry& e : {CDisplayEntry{"ViewGrid", "&Grid", EDisplay::Grid, Glyph("Gr", kGrid)},
                                   CDisplayEntry{"ViewNetwork", "&Network", EDisplay::Network, Glyph("Nw", kNet)},
                                   CDisplayEntry{"ViewGraph", "G&raph", EDisplay::Graph, Glyph("Gp", kNet)},
                                   CDisplayEntry{"ViewExampleErrors", "Example &Errors", EDisplay::ExampleErrors,
                                                 Glyph("Er", kGrid)},
                                   CDisplayEntry{"ViewClusters", "&Clusters", EDisplay::Clusters, Glyph("Cl", kNet)},
                                   CDisplayEntry{"ViewAssociations", "&Associations", EDisplay::Associations, Glyph("Al", kNet)}}) {
        const EDisplay display = e.Display;
        QAction* a = Command(view, e.Name, tr(e.Text), [display](CChildFrame& c) { c.View().SetDisplay(display); },
                             {}, e.Icon);
        a->setCheckable(true);
        displays->addAction(a);
        m_Commands.back().WhileBusy = true;
        m_Commands.back().Checked = [display](CChildFrame& c) { return c.View().Display() == display; };
    }
    QMenu* importance = view->addMenu(tr("Input &Importance"));
    for (const int ascending : {1, 0}) {
        QAction* a = Command(importance, ascending ? "ViewImportanceAscending" : "ViewImportanceDescending",
                             ascending ? tr("Sort Order &Ascending") : tr("Sort Order &Descending"),
                             [ascending](CChildFrame& c) {
                                 c.Doc().m_RankingAscending = ascending;
                                 c.View().SetDisplay(EDisplay::InputImportance);
                             });
        a->setCheckable(true);
        m_Commands.back().WhileBusy = true;
        m_Commands.back().Checked = [ascending](CChildFrame& c) { return c.Doc().m_RankingAscending == ascending; };
    }
    Command(view, "ViewValidation", tr("&Validation..."), [this](CChildFrame& c) { ShowValidation(c); }, {},
            Glyph("Va", kAct));
    m_Commands.back().WhileBusy = true;
    view->addSeparator();
    Command(view, "ViewFileInformation", tr("File &Information..."),
            [](CChildFrame& c) {
                // A document never saved is named by its window's title, not by nothing.
                ShowInfo(c.Doc(), c.Doc().m_PathName.empty() ? c.Title().toStdString() : c.Doc().m_PathName);
            });
    Command(view, "ViewLog", tr("&Log"), [](CChildFrame& c) { OnViewLog(c.Doc()); }, CanViewLog);
    view->addSeparator();
    m_ToolbarsMenu = view->addMenu(tr("&Toolbars"));  // filled by BuildToolBars
    QAction* statusBarToggle = view->addAction(tr("&Status Bar"));
    statusBarToggle->setObjectName("ViewStatusBar");
    statusBarToggle->setCheckable(true);
    statusBarToggle->setChecked(true);
    connect(statusBarToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });

    // The Diagnostics keys: no menu entry.
    Command(nullptr, "Diagnostics", tr("Diagnostics"), [](CChildFrame& c) { OnDiagnostics(c.Doc()); }, {}, {},
            QKeySequence(Qt::Key_F12));
    Command(nullptr, "DiagnosticsReset", tr("Diagnostics reset"),
            [](CChildFrame& c) { OnDiagnosticsReset(c.Doc()); }, {}, {}, QKeySequence(Qt::Key_F11));

    // ---- Insert ----
    QMenu* insert = bar->addMenu(tr("&Insert"));
    m_DocumentMenus.push_back(insert);
    Command(insert, "InsertInputColumn", tr("&Input Column"), [](CChildFrame& c) {
        if (c.Doc().AddCol(0, 0, 1)) c.View().ShowInserted(-1, c.Doc().m_ColCount - 1);
    }, CanEditGrid, Glyph("+In", kGrid));
    Command(insert, "InsertOutputColumn", tr("&Output Column"), [](CChildFrame& c) {
        if (c.Doc().AddCol(0, 1, 1)) c.View().ShowInserted(-1, c.Doc().m_ColCount - 1);
    }, CanEditGrid, Glyph("+Ou", kGrid));
    struct CRowEntry {
        const char* Name;
        const char* Text;
        int Type;
        const char* Glyph;
    };
    for (const CRowEntry& e : {CRowEntry{"InsertTrainingRow", "&Training Example Row", Training, "+T"},
                               CRowEntry{"InsertValidatingRow", "&Validating Example Row", Validating, "+V"},
                               CRowEntry{"InsertQueryingRow", "&Querying Example Row", Querying, "+Q"}}) {
        const int type = e.Type;
        Command(insert, e.Name, tr(e.Text), [type](CChildFrame& c) {
            if (!c.Doc().AddRow(0, type, 0, 1)) return;
            if (type == Querying && c.Doc().m_NetworkExists) Refresh(c.Doc());
            c.View().ShowInserted(c.Doc().m_RowCount - 1, -1);
        }, CanEditGrid, Glyph(e.Glyph, kGrid));
    }

    // ---- Zoom ----
    QMenu* zoom = bar->addMenu(tr("&Zoom"));
    m_DocumentMenus.push_back(zoom);
    struct CZoomEntry {
        const char* Name;
        const char* Text;
        EZoom How;
        QKeySequence Key;
    };
    for (const CZoomEntry& e : {CZoomEntry{"ZoomIn", "Zoom &In", EZoom::In, QKeySequence::ZoomIn},
                                CZoomEntry{"ZoomOut", "Zoom &Out", EZoom::Out, QKeySequence::ZoomOut},
                                CZoomEntry{"ZoomMin", "Zoom M&in", EZoom::Min, {}},
                                CZoomEntry{"ZoomMax", "Zoom M&ax", EZoom::Max, {}},
                                CZoomEntry{"ZoomScaleUp", "Scale &Up", EZoom::ScaleUp, {}},
                                CZoomEntry{"ZoomScaleDown", "Scale &Down", EZoom::ScaleDown, {}}}) {
        const EZoom how = e.How;
        Command(zoom, e.Name, tr(e.Text), [how](CChildFrame& c) { c.View().Zoom(how); }, {},
                how == EZoom::In ? Glyph("Z+", kGrid) : how == EZoom::Out ? Glyph("Z-", kGrid) : QIcon(), e.Key);
        m_Commands.back().WhileBusy = true;
    }

    // ---- Action ----
    QMenu* action = bar->addMenu(tr("&Action"));
    m_DocumentMenus.push_back(action);
    Command(action, "ActionRefresh", tr("&Refresh"), [](CChildFrame& c) { OnActionRefresh(c.Doc()); }, CanRefresh, Standard(QStyle::SP_BrowserReload));
    Command(action, "ActionCheckGrid", tr("&Check Grid"), [](CChildFrame& c) {
        c.View().SetDisplay(EDisplay::Grid);
        OnActionCheckGrid(c.Doc());
    }, CanCheckGrid, Glyph("Ck", kAct));
    Command(action, "ActionNewNetwork", tr("&New Network..."),
            [](CChildFrame& c) { OnActionNewNetwork(c.Doc()); }, CanNewNetwork, Glyph("NN", kAct));
    Command(action, "ActionChangeControls", tr("Change C&ontrols..."),
            [](CChildFrame& c) { OnActionChangeControls(c.Doc()); }, CanChangeControls, Glyph("Co", kAct));
    Command(action, "ActionStartLearning", tr("&Start Learning"),
            [](CChildFrame& c) { OnActionStartLearning(c.Doc()); }, CanStartLearning,
            Standard(QStyle::SP_MediaPlay), QKeySequence(Qt::Key_F5));
    Command(action, "ActionStop", tr("S&top"), [](CChildFrame& c) { OnActionStop(c.Doc()); }, CanStop,
            Standard(QStyle::SP_MediaStop), QKeySequence(Qt::SHIFT | Qt::Key_F5));
    m_Commands.back().WhileBusy = true;
    Command(action, "ActionStartAssociating", tr("Start &Associating"), [](CChildFrame& c) { OnActionStartAssociating(c.Doc()); }, CanStartAssociating, Glyph("As", kAct));
    Command(action, "ActionForgetLearning", tr("&Forget Learning"),
            [](CChildFrame& c) { OnActionForgetLearning(c.Doc()); }, CanForgetLearning, Glyph("Fg", kAct));
    Command(action, "ActionQuery", tr("&Query..."), [](CChildFrame& c) { CQueryDialog::Open(c); },
            CanQuery, Glyph("?", kAct));
    Command(action, "ActionFileQuery", tr("Fi&le Query..."),
            [](CChildFrame& c) { OnActionFileQuery(c.Doc()); }, CanFileQuery);
    Command(action, "ActionReduceConnections", tr("Re&duce Connections..."),
            [](CChildFrame& c) { OnActionReduceConnections(c.Doc()); }, CanChangeNetworkShape);
    Command(action, "ActionLeaveOut", tr("Leave Some O&ut..."), [](CChildFrame& c) {
                if (OnActionLeaveOut(c.Doc()) && c.Doc().m_LogFileConfirmed)
                    ShowReportView(&c, c.Doc().m_LogFileName, tr("Leave Some Out report"));
            }, CanLeaveOut);

    // ---- Options ----
    QMenu* options = bar->addMenu(tr("&Options"));
    m_DocumentMenus.push_back(options);
    Command(options, "OptionsExtendLearning", tr("&Extend Learning..."),
            [](CChildFrame& c) { OnActionExtendLearning(c.Doc()); }, CanExtendLearning, Glyph("Ex", kOpt));
    Command(options, "OptionsAutoSave", tr("&Auto Save..."), [](CChildFrame& c) { OnOptionsAutoSave(c.Doc()); },
            CanOptionsAutoSave, Glyph("AS", kOpt));
    Command(options, "OptionsFile", tr("&Special Files..."), [](CChildFrame& c) { OnOptionsFile(c.Doc()); },
            CanOptionsFile, Glyph("SF", kOpt));
    Command(options, "OptionsPruning", tr("&Prune connections..."), [](CChildFrame& c) { OnOptionsPruning(c.Doc()); },
            CanChangeNetworkShape)
        ->setCheckable(true);
    m_Commands.back().Checked = [](CChildFrame& c) { return PruningChecked(c.Doc()); };
    Command(options, "OptionsMissingData", tr("&Missing data..."), [](CChildFrame& c) { OnOptionsMissingData(c.Doc()); },
            CanMissingData, Glyph("Md", kOpt));
    QMenu* reset = options->addMenu(tr("&Reset"));
    Command(reset, "OptionsResetLowestErrorSaved", tr("&Lowest Error Saved"),
            [](CChildFrame& c) { OnOptionsResetLowestErrorSaved(c.Doc()); }, CanResetLowestErrorSaved);
    m_Commands.back().WhileBusy = true;
    Command(reset, "OptionsResetHighestValidatingSaved", tr("&Highest Validating % Saved"),
            [](CChildFrame& c) { OnOptionsResetHighestValidatingSaved(c.Doc()); }, CanResetHighestValidatingSaved);
    m_Commands.back().WhileBusy = true;
    Command(reset, "OptionsResetPruning", tr("&Pruning"), [](CChildFrame& c) { OnOptionsResetPruning(c.Doc()); },
            CanChangeNetworkShape);
    QMenu* colours = options->addMenu(tr("&Colors"));
    struct CColourEntry {
        const char* Text;
        int Colour;
    };
    for (const CColourEntry& e : {CColourEntry{"&Input Nodes", InputNodesColour},
                                  CColourEntry{"&Hidden Nodes", HiddenNodesColour},
                                  CColourEntry{"&Output Nodes", OutputNodesColour},
                                  CColourEntry{"&Positive Weights", PositiveWeightsColour},
                                  CColourEntry{"&Negative Weights", NegativeWeightsColour},
                                  CColourEntry{"Input &Labels", InputLabelsColour},
                                  CColourEntry{"O&utput Labels", OutputLabelsColour},
                                  CColourEntry{"&Training Labels", TrainingLabelsColour},
                                  CColourEntry{"&Validating Labels", ValidatingLabelsColour},
                                  CColourEntry{"&Querying Labels", QueryingLabelsColour}}) {
        const int colour = e.Colour;
        Command(colours, QString("OptionsColour%1").arg(colour), tr(e.Text),
                [this, colour](CChildFrame& c) { ChooseColour(c, colour); });
    }
    Command(options, "OptionsTidy", tr("&Tidy Text and Images"), [](CChildFrame& c) { OnOptionsTidy(c.Doc()); },
            CanTidy);

    // ---- Help ----
    QMenu* help = bar->addMenu(tr("&Help"));
    m_DocumentMenus.push_back(help);
    Command(help, "HelpTopics", tr("&Help Topics"), [this](CChildFrame&) { ShowHelpTopics(); }, {},
            QIcon::fromTheme("help-contents"), QKeySequence::HelpContents);
    m_Commands.back().WhileBusy = true;
    Command(help, "HelpTipOfTheDay", tr("&Tip of the Day"), [this](CChildFrame&) { ShowTipOfTheDay(); });
    m_Commands.back().WhileBusy = true;
    Command(help, "HelpGettingStarted", tr("&Getting Started"), [this](CChildFrame&) { StartGettingStarted(); });
    help->addSeparator();
    Command(help, "HelpAbout", tr("&About Quorin-plus"), [this](CChildFrame&) { ShowAbout(); }, {},
            QIcon::fromTheme("help-about"));
    m_Commands.back().WhileBusy = true;
}

void CMainFrame::BuildToolBars() {
    struct CBar {
        const char* Name;
        const char* MenuText;
        std::vector<const char*> Actions;
    };
    const CBar bars[] = {
        {"Main", "&Main", {"FileNew", "FileOpen", "FileSave", "", "EditCut", "EditCopy", "EditPaste", "", "FilePrint"}},
        {"Reconfigure", "&Reconfigure",
         {"EditAddHL1Node", "EditDeleteHL1Node", "EditAddHL2Node", "EditDeleteHL2Node", "EditAddHL3Node",
          "EditDeleteHL3Node"}},
        {"View & zoom", "&View and Zoom",
         {"ViewGrid", "ViewNetwork", "ViewGraph", "ViewExampleErrors", "", "ZoomIn", "ZoomOut"}},
        {"Action", "&Action",
         {"ActionRefresh", "ActionCheckGrid", "", "ActionNewNetwork", "ActionChangeControls", "",
          "ActionStartLearning", "ActionStop", "ActionForgetLearning", "", "ActionQuery"}},
        {"Options", "&Options", {"OptionsExtendLearning", "OptionsAutoSave", "OptionsFile", "OptionsMissingData"}},
        {"Edit", "&Edit",
         {"InsertInputColumn", "InsertOutputColumn", "InsertTrainingRow", "InsertValidatingRow",
          "InsertQueryingRow", "", "EditChangeRange", "EditDelete"}},
    };
    for (const CBar& b : bars) {
        QToolBar* bar = new QToolBar(QString::fromUtf8(b.Name), this);
        bar->setObjectName(QString("ToolBar%1").arg(m_ToolBars.size()));
        bar->setIconSize(QSize(22, 22));
        bar->setMovable(true);
        bar->setFloatable(true);
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        for (const char* name : b.Actions) {
            if (!*name) {
                bar->addSeparator();
                continue;
            }
            if (QAction* a = FindAction(name)) bar->addAction(a);
        }
        // The fixed arrangement: two rows along the top; the user's arrangement replaces it.
        if (m_ToolBars.size() == 3) addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, bar);
        QAction* toggle = bar->toggleViewAction();
        toggle->setText(tr(b.MenuText));
        m_ToolbarsMenu->addAction(toggle);
        m_ToolBars.push_back(bar);
    }
}

void CMainFrame::OnOpen() {
    CFileDialogRequest request;
    request.Title = "Open";
    request.Filter = kDocumentFilter;
    request.DefaultExt = kDocumentExt;
    if (!m_App.Prompts().FileDialog(request)) return;
    OpenDocument(QString::fromStdString(request.FileName));
}

void CMainFrame::Save(CChildFrame& child, bool askName) {
    CQuorinDoc& doc = child.Doc();
    const int saved = askName ? OnFileSaveAs(doc) : OnFileSave(doc);
    if (saved && !doc.m_PathName.empty()) AddRecentFile(QString::fromStdString(doc.m_PathName));
    child.UpdateTitle();
}

void CMainFrame::ChooseColour(CChildFrame& child, int colour) {
    CQuorinDoc& doc = child.Doc();
    const Colour c = doc.m_Colours[colour];
    const QColor chosen = QColorDialog::getColor(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), this);
    if (!chosen.isValid()) return;
    doc.m_Colours[colour] = MakeColour(chosen.red(), chosen.green(), chosen.blue());
    doc.SetModified();
    doc.RefreshViews();
}

// ---- recent files ----

void CMainFrame::LoadRecentFiles() {
    m_Recent.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const std::string path = m_App.Settings().GetString("Recent File List", "File" + std::to_string(i), "");
        if (!path.empty()) m_Recent.push_back(QString::fromStdString(path));
    }
}

void CMainFrame::SaveRecentFiles() {
    for (int i = 1; i <= kRecentFiles; ++i)
        m_App.Settings().SetString("Recent File List", "File" + std::to_string(i),
                                   i <= static_cast<int>(m_Recent.size()) ? m_Recent[i - 1].toStdString() : "");
}

void CMainFrame::AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_Recent.erase(std::remove(m_Recent.begin(), m_Recent.end(), absolute), m_Recent.end());
    m_Recent.insert(m_Recent.begin(), absolute);
    if (m_Recent.size() > static_cast<size_t>(kRecentFiles)) m_Recent.resize(kRecentFiles);
    SaveRecentFiles();
    UpdateRecentMenu();
}

void CMainFrame::UpdateRecentMenu() {
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* a = m_RecentActions[i];
        const bool used = i < static_cast<int>(m_Recent.size());
        a->setVisible(used);
        if (used) a->setText(QString("&%1 %2").arg((i + 1) % 10).arg(m_Recent[i]));
    }
    m_RecentSeparator->setVisible(!m_Recent.empty());
}

}  // namespace quorin
