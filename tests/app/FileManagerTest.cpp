// What a file manager hands the program: one absolute path, which may hold blanks and
// characters beyond ASCII, for a document or a script.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "app/Desktop.h"
#include "grid/DocumentCommands.h"
#include "grid/QuorinDoc.h"

namespace quorin::test {

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

}  // namespace

TEST_F(GuiTest, PathsWithBlanksAndNonAsciiCharactersOpenAndRun) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString folder = root.filePath(QString::fromUtf8("Mes données é ü 日本"));
    ASSERT_TRUE(QDir().mkpath(folder));

    // A script whose import names a file beside it, found from the script's folder.
    WriteFile(folder + QString::fromUtf8("/fleurs ä.csv"), "a,b,c\r\n1,2,3\r\n4,5,6\r\n7,8,9\r\n");
    const QString script = folder + QString::fromUtf8("/lauf ß 1.txt");
    WriteFile(script, QString::fromUtf8("importfile(fleurs ä.csv,1,0,0,1,0,0,0,0)\r\n").toUtf8());
    EXPECT_EQ(HandleCommandLine(*App, *Frame, script), ECommandLineFile::Script);
    ASSERT_EQ(Frame->Children().size(), 1u);
    CQuorinDoc& scripted = Frame->Children().front()->Doc();
    EXPECT_EQ(scripted.m_Examples.size(), 3u);
    EXPECT_EQ(scripted.m_InOuts.size(), 3u);

    // That document saved under such a name, then copied, opens from the copy.
    const QString saved = folder + QString::fromUtf8("/gespeichert ö.tvq");
    ASSERT_EQ(SaveDocument(scripted, saved.toStdString()), 1);
    const QString opened = folder + QString::fromUtf8("/zum öffnen  zwei Blanks.tvq");
    ASSERT_TRUE(QFile::copy(saved, opened));
    P.Prompts.QueueDialogOk();  // the document information shown on opening
    EXPECT_EQ(HandleCommandLine(*App, *Frame, opened), ECommandLineFile::Document);
    ASSERT_EQ(Frame->Children().size(), 2u);
    const CQuorinDoc& doc = Frame->Children().back()->Doc();
    EXPECT_EQ(doc.m_PathName, opened.toStdString());
    EXPECT_EQ(doc.m_Examples.size(), 3u);
    EXPECT_FALSE(doc.m_Modified);
    // The same file named again comes to the front instead of opening twice.
    EXPECT_EQ(HandleCommandLine(*App, *Frame, opened), ECommandLineFile::Document);
    EXPECT_EQ(Frame->Children().size(), 2u);
}

}  // namespace quorin::test
