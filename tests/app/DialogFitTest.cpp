// Every dialog a person meets along the usual path must fit a 1366x768 screen (less the
// title bar and a desktop panel), and show its units beside their fields, not under them.
// With QUORIN_DIALOG_SHOTS set to a folder, each dialog is also saved there as a picture.
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>
#include <functional>

#include "GuiFixture.h"
#include "app/FormDialog.h"
#include "app/HelpWindows.h"
#include "app/ValidationWindow.h"
#include "files/AutoSave.h"
#include "files/Diagnostics.h"
#include "files/SpecialFilesDialog.h"
#include "grid/QuorinDoc.h"
#include "grid/RangeCommands.h"
#include "network/ConnectionReduction.h"
#include "network/ControlsDialog.h"
#include "network/ExtendLearning.h"
#include "network/LearningInfo.h"
#include "network/NetworkBuild.h"
#include "network/NetworkCommands.h"
#include "network/Pruning.h"

namespace quorin::test {

namespace {
constexpr int kScreenWidth = 1366;
constexpr int kUsableHeight = 768 - 80;  // a panel and the window's title bar

void ExpectFits(QWidget& window, const std::string& name) {
    const QSize wanted = window.sizeHint().expandedTo(window.minimumSizeHint()).expandedTo(window.minimumSize());
    EXPECT_LE(wanted.width(), kScreenWidth) << name;
    EXPECT_LE(wanted.height(), kUsableHeight) << name << " needs " << wanted.height() << " px";
}
}  // namespace

TEST_F(GuiTest, EveryDialogOfTheUsualPathFitsASmallScreen) {
    CQuorinDoc& doc = Frame->NewDocument()->Doc();
    for (int c = 0; c < 5; ++c) doc.AddCol(0, c == 4 ? 1 : 0, 1);
    for (int r = 0; r < 40; ++r) doc.AddRow(0, r % 5 == 4 ? Validating : Training, 0, 1);
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 5; ++c) doc.SetValue(c, r, r * (c + 1) + 0.5, 1, 1, 0, 1);

    // Before a network: the Grid's range dialogs.
    for (int (*command)(CQuorinDoc&) :
         {OnEditChangeRange, OnEditCopyExampleRows, OnEditCopyInOutColumns, OnEditDuplicateExampleRows,
          OnOptionsMissingData}) {
        P.Prompts.QueueDialogCancel();
        command(doc);
    }
    NewNetwork(doc, 4, 5, 0, 0);
    const std::function<void(CQuorinDoc&)> withNetwork[] = {
        OnActionChangeControls, OnActionExtendLearning, OnOptionsAutoSave, OnOptionsFile,
        OnOptionsPruning,       OnActionReduceConnections, OnDiagnostics};
    for (const auto& command : withNetwork) {
        P.Prompts.QueueDialogCancel();
        command(doc);
    }
    P.Prompts.QueueDialogCancel();
    ShowInfo(doc, doc.m_PathName);

    std::set<std::string> seen;
    for (const CDialogForm& form : P.Prompts.Dialogs()) {
        seen.insert(form.Id);
        CFormDialog dialog(form, false);
        ExpectFits(dialog, form.Id);
        dialog.show();  // lays out every box
        Pump();
        if (const QString shots = qEnvironmentVariable("QUORIN_DIALOG_SHOTS"); !shots.isEmpty())
            dialog.grab().save(QDir(shots).filePath(QString::fromStdString(form.Id) + ".png"));
        // A unit ("cycles", "seconds") stands in the row of the edit before it.
        const QList<QLineEdit*> edits = dialog.findChildren<QLineEdit*>();
        for (const CFormField& f : form.Fields) {
            if (f.Kind != EFieldKind::Label || f.Key.find("Unit") == std::string::npos) continue;
            auto* unit = dialog.findChild<QLabel*>(QString::fromStdString(f.Key));
            ASSERT_TRUE(unit) << form.Id << " " << f.Key;
            const int middle = unit->mapTo(&dialog, unit->rect().center()).y();
            const bool besideAnEdit = std::any_of(edits.begin(), edits.end(), [&](QLineEdit* edit) {
                const QRect r(edit->mapTo(&dialog, QPoint(0, 0)), edit->size());
                return middle >= r.top() && middle <= r.bottom() && r.right() < unit->mapTo(&dialog, QPoint(0, 0)).x();
            });
            EXPECT_TRUE(besideAnEdit) << form.Id << ": " << f.Key << " is not beside its field";
        }
    }
    for (const char* id : {"EditGridRange", "CopyExamples", "CopyInputOutputs", "DuplicateExampleRows", "MissingData",
                           "Controls", "ExtendLearning", "AutoSave", "SpecialFiles", "Pruning",
                           "Connections", "Diagnostics", "Information"})
        EXPECT_TRUE(seen.count(id)) << id << " was not shown";

    CValidationWindow validation(doc);
    ExpectFits(validation, "Validation");
    CGettingStarted guide(*App, *Frame);
    ExpectFits(guide, "Getting Started");
    CHelpWindow help;
    ExpectFits(help, "Help");
}

}  // namespace quorin::test
