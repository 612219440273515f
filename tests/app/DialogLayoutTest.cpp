// The named dialogs as the core fills them, shown by their own arrangements: every field
// must find its place, texts keep their keys, and Enter never means Cancel. With
// QUORIN_DIALOG_SHOTS set to a folder, each dialog is also saved there as a picture.
#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "GuiFixture.h"
#include "app/FormDialog.h"
#include "app/FormLayouts.h"
#include "automation/Importer.h"
#include "grid/QuorinDoc.h"
#include "network/ControlsDialog.h"
#include "network/ExtendLearning.h"
#include "network/NetworkBuild.h"
#include "network/NetworkCommands.h"

namespace quorin::test {

namespace {
std::set<std::string> LaidOutKeys(const CFormLayout& layout) {
    std::set<std::string> keys;
    for (const CFormBox& box : layout.Boxes)
        for (const CFormLine& line : box.Lines)
            for (std::string key : line) {
                if (!key.empty() && key.back() == '>') key.pop_back();
                keys.insert(key);
            }
    return keys;
}
}  // namespace

TEST_F(GuiTest, NamedDialogsPlaceEveryFieldAndDefaultToOk) {
    CQuorinDoc& doc = Frame->NewDocument()->Doc();
    for (int c = 0; c < 3; ++c) doc.AddCol(0, c == 2 ? 1 : 0, 1);
    for (int r = 0; r < 6; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 3; ++c) doc.SetValue(c, r, r * (c + 1) + 0.5, 1, 1, 0, 1);
    P.Prompts.QueueDialogCancel();
    OnActionNewNetwork(doc);
    NewNetwork(doc, 2, 3, 1, 1);
    P.Prompts.QueueDialogCancel();
    OnActionChangeControls(doc);
    P.Prompts.QueueDialogCancel();
    OnActionExtendLearning(doc);
    // The import's dialogs, one after the other: options, the header line, a column.
    P.Prompts.QueueFile(std::string(QUORIN_SOURCE_DIR) + "/examples/iris.csv");
    P.Prompts.QueueDialogOk();
    P.Prompts.QueueDialog([](CDialogForm& form) {
        form.PressedButton = "Names";
        return static_cast<int>(IdOk);
    });
    P.Prompts.QueueDialogCancel();
    CQuorinDoc& imported = Frame->NewDocument()->Doc();
    OnFileImport(imported);

    const QString shots = qEnvironmentVariable("QUORIN_DIALOG_SHOTS");
    std::set<std::string> seen;
    for (const CDialogForm& form : P.Prompts.Dialogs()) {
        seen.insert(form.Id);
        const CFormLayout* layout = FindFormLayout(form.Id);
        ASSERT_TRUE(layout) << form.Id;
        const std::set<std::string> keys = LaidOutKeys(*layout);
        for (const CFormField& f : form.Fields)
            if (f.Kind != EFieldKind::Button) {
                EXPECT_TRUE(keys.count(f.Key)) << form.Id << " leaves out " << f.Key;
            }
        CFormDialog dialog(form, false);
        // No caption shows a stray '&'.
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (!label->buddy()) {
                EXPECT_FALSE(HasMnemonic(label->text())) << form.Id << ": " << label->text().toStdString();
            }
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->isDefault()) {
                EXPECT_NE(button->objectName(), "Cancel") << form.Id;
            }
        // A paragraph wraps at the width of its box, not at its shortest.
        dialog.show();
        Pump();
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->wordWrap() && label->isVisible()) {
                EXPECT_GE(label->width() * 5, label->parentWidget()->width() * 3)
                    << form.Id << ": " << label->objectName().toStdString();
            }
        if (!shots.isEmpty()) {
            dialog.adjustSize();
            dialog.grab().save(QDir(shots).filePath(QString::fromStdString(form.Id) + ".png"));
        }
    }
    for (const char* id : {"NewNetwork", "Controls", "ExtendLearning", "ImportOptions", "ImportLine", "ImportColumn"})
        EXPECT_TRUE(seen.count(id)) << id;
}

}  // namespace quorin::test
