#include "app/HelpWindows.h"

#include <algorithm>
#include <iterator>

#include <QAction>
#include <QCoreApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "grid/QuorinDoc.h"
#include "platform/QuorinApp.h"

#ifndef QUORIN_VERSION
#define QUORIN_VERSION "unknown"
#endif

namespace quorin {

namespace {

const char* const kTipSection = "Tips";

const char* const kTips[] = {
    QT_TRANSLATE_NOOP("Tips", "F5 starts learning and Shift+F5 stops it. The window stays yours while the "
                              "network learns: you can scroll the Grid and read the graph."),
    QT_TRANSLATE_NOOP("Tips", "Help > Getting Started walks you through the bundled example: open it, let it "
                              "learn, read its validation and query it."),
    QT_TRANSLATE_NOOP("Tips", "Action > Query... asks the network about values you type, and Action > File "
                              "Query... answers a whole file of rows."),
    QT_TRANSLATE_NOOP("Tips", "Action > Check Grid looks the Grid over before you learn from it and tells you "
                              "what it found."),
    QT_TRANSLATE_NOOP("Tips", "Options > Auto Save... saves your document at the interval you choose, so a "
                              "long run is not lost."),
    QT_TRANSLATE_NOOP("Tips", "Action > Leave Some Out... learns again with a few rows held back each time, to "
                              "show how well the network does on rows it has never seen."),
    QT_TRANSLATE_NOOP("Tips", "A script file (.txt) runs a whole session: import, build, learn, save. "
                              "quorin-batch runs the same scripts without the desktop."),
    QT_TRANSLATE_NOOP("Tips", "Edit > Change Example Row Types... sets rows to Training, Validating, Querying "
                              "or Exclude in one step."),
    QT_TRANSLATE_NOOP("Tips", "A Text column codes each distinct text as a number, so words can be inputs "
                              "and outputs like any value."),
    QT_TRANSLATE_NOOP("Tips", "Action > Reduce Connections... and Options > Prune connections... make a "
                              "network smaller while it keeps what it has learnt."),
};

}  // namespace

CTipOfTheDay::CTipOfTheDay(CQuorinApp& app, QWidget* parent) : QDialog(parent), m_App(app) {
    setObjectName("TipOfTheDay");
    setWindowTitle(tr("Tip of the Day"));
    // Each opening goes on where the last one stopped.
    m_Index = std::clamp(app.Settings().GetInt(kTipSection, "Next", 0), 0, TipCount() - 1);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(tr("<b>Did you know...</b>"), this);
    layout->addWidget(heading);
    m_Text = new QLabel(this);
    m_Text->setWordWrap(true);
    m_Text->setMinimumSize(380, 90);
    m_Text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_Text, 1);
    auto* atStart = new QCheckBox(tr("&Show tips at start-up"), this);
    atStart->setObjectName("ShowAtStartUp");
    atStart->setChecked(ShowAtStartUp(app));
    connect(atStart, &QCheckBox::toggled, this,
            [this](bool on) { m_App.Settings().SetInt(kTipSection, "StartUp", on ? 1 : 0); });
    layout->addWidget(atStart);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* next = buttons->addButton(tr("&Next Tip"), QDialogButtonBox::ActionRole);
    next->setObjectName("NextTip");
    connect(next, &QPushButton::clicked, this, &CTipOfTheDay::NextTip);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_Text->setText(Tip());
    m_App.Settings().SetInt(kTipSection, "Next", (m_Index + 1) % TipCount());
}

bool CTipOfTheDay::ShowAtStartUp(CQuorinApp& app) { return app.Settings().GetInt(kTipSection, "StartUp", 0) != 0; }

int CTipOfTheDay::TipCount() { return static_cast<int>(std::size(kTips)); }

QString CTipOfTheDay::Tip() const { return QCoreApplication::translate("Tips", kTips[m_Index]); }

void CTipOfTheDay::NextTip() {
    m_Index = (m_Index + 1) % TipCount();
    m_Text->setText(Tip());
    m_App.Settings().SetInt(kTipSection, "Next", (m_Index + 1) % TipCount());
}

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("HelpWindow");
    setWindowTitle(tr("Quorin-plus Help"));
    resize(760, 640);
    auto* layout = new QVBoxLayout(this);
    m_Browser = new QTextBrowser(this);
    m_Browser->setOpenExternalLinks(true);
    m_Browser->setSource(QUrl("qrc:/help/index.html"));
    layout->addWidget(m_Browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* back = buttons->addButton(tr("&Back"), QDialogButtonBox::ActionRole);
    connect(back, &QPushButton::clicked, m_Browser, &QTextBrowser::backward);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
}

QString AboutText() {
    QString licence = QObject::tr("Free software under the MIT License: see the LICENSE file that comes with the program.");
    return QObject::tr("<h3>Quorin-plus %1</h3>"
                       "<p>A desktop workbench for feed-forward neural networks: keep examples in a Grid, "
                       "build and train a network, validate it and query it.</p>"
                       "<p>%2</p>"
                       "<p>Built with Qt %3 (running on Qt %4) and the C++ standard library.<br>"
                       "The bundled iris example: R. A. Fisher (1936), from the UCI Machine Learning "
                       "Repository, CC BY 4.0.</p>")
        .arg(QUORIN_VERSION, licence, QT_VERSION_STR, qVersion());
}

CGettingStarted::CGettingStarted(CQuorinApp& app, CMainFrame& frame)
    : QDialog(&frame), m_App(app), m_Frame(frame) {
    setObjectName("GettingStarted");
    setWindowTitle(tr("Getting Started"));
    setModal(false);
    m_App.m_GettingStartedRunning = true;
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(tr("<b>Four steps through the iris example.</b> Fisher's 150 iris flowers, four "
                                "measurements each, and the kind of iris: the network learns the kind from "
                                "the measurements."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* steps = new QGridLayout;
    struct CStep {
        const char* Text;
        const char* Button;
        const char* Name;
    };
    const CStep list[] = {
        {"1. Open the example. A script imports iris.csv into a new Grid, makes every fifth row a Validating "
         "row, builds a network and starts learning.",
         "&Open the example", "StepOpen"},
        {"2. Watch it learn: the graph draws the errors falling and, on the right, the share of "
         "Validating rows the network gets right.",
         "Show the &graph", "StepGraph"},
        {"3. See how well it does: every Validating row with its answer, and which kinds get confused.",
         "Show the &validation", "StepValidation"},
        {"4. Ask it: add a Querying row, type four measurements (say 6.0, 2.9, 4.5, 1.5) and the network "
         "answers the kind in the last column.",
         "Add a &Querying row", "StepQuery"},
    };
    int row = 0;
    for (const CStep& s : list) {
        auto* text = new QLabel(tr(s.Text), this);
        text->setWordWrap(true);
        steps->addWidget(text, row, 0);
        auto* button = new QPushButton(tr(s.Button), this);
        button->setObjectName(s.Name);
        steps->addWidget(button, row, 1);
        ++row;
    }
    steps->setColumnStretch(0, 1);
    layout->addLayout(steps);
    connect(findChild<QPushButton*>("StepOpen"), &QPushButton::clicked, this, &CGettingStarted::OpenExample);
    connect(findChild<QPushButton*>("StepGraph"), &QPushButton::clicked, this, [this] { Trigger("ViewGraph"); });
    connect(findChild<QPushButton*>("StepValidation"), &QPushButton::clicked, this,
            [this] { Trigger("ViewValidation"); });
    connect(findChild<QPushButton*>("StepQuery"), &QPushButton::clicked, this,
            [this] { Trigger("InsertQueryingRow"); });
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* finish = buttons->addButton(tr("&Finish"), QDialogButtonBox::AcceptRole);
    finish->setObjectName("Finish");
    connect(finish, &QPushButton::clicked, this, &QDialog::close);
    layout->addStretch(1);
    layout->addWidget(buttons);
    // Wrapped texts take the height they need at this width, no more.
    constexpr int kWidth = 640;
    setMinimumWidth(560);
    resize(kWidth, layout->totalHeightForWidth(kWidth));
}

CGettingStarted::~CGettingStarted() { m_App.m_GettingStartedRunning = false; }

void CGettingStarted::closeEvent(QCloseEvent* event) {
    m_App.m_GettingStartedRunning = false;
    QDialog::closeEvent(event);
}

QString CGettingStarted::ExtractExample() {
    const QString folder =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("examples");
    if (!QDir().mkpath(folder)) return {};
    for (const char* name : {"iris.csv", "iris.txt"}) {
        const QString target = QDir(folder).filePath(name);
        QFile::remove(target);
        if (!QFile::copy(QString(":/examples/%1").arg(name), target)) return {};
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return QDir(folder).filePath("iris.txt");
}

void CGettingStarted::OpenExample() {
    const QString script = ExtractExample();
    if (script.isEmpty()) {
        m_App.Prompts().Inform("The iris example could not be copied to your data folder.");
        return;
    }
    // The script names iris.csv beside itself; it runs on a new document as from the command line.
    m_App.m_PendingScript = script.toStdString();
    m_App.m_ScriptRunning = true;
    // The empty Grid a first start opens makes way for the example instead of staying behind.
    QPointer<CChildFrame> blank = m_Frame.ActiveChild();
    if (blank && (blank->Doc().m_RowCount > 0 || blank->Doc().m_ColCount > 0 || blank->Doc().IsModified() ||
                  !blank->Doc().m_PathName.empty()))
        blank = nullptr;
    // Closed before the example starts learning (a document does not close while threads run);
    // closing is also held while the guide runs, and this one is the guide's own doing.
    if (QWidget* window = blank ? blank->parentWidget() : nullptr) {
        m_App.m_GettingStartedRunning = false;
        window->close();
        m_App.m_GettingStartedRunning = true;
    }
    m_Frame.NewDocument();
    raise();
}

void CGettingStarted::Trigger(const char* action) {
    if (!m_Frame.ActiveChild()) {
        m_App.Prompts().Inform("Open the example first (step 1).");
        return;
    }
    if (QAction* a = m_Frame.FindAction(action)) {
        m_Frame.UpdateCommands();
        a->trigger();
    }
    raise();
}

}  // namespace quorin
