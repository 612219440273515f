// Auto Save: the dialogs, the confirmations, the strict-improvement rules, the backup clock,
// the copies written from the learning thread, and failures of each kind of copy.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "files/AutoSave.h"
#include "files/SpecialFiles.h"
#include "grid/DocumentCommands.h"
#include "grid/DocumentFile.h"
#include "network/LearningFixture.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

namespace fs = std::filesystem;

class AutoSaveTest : public LearningTest {
protected:
    AutoSaveTest() {
        MakeLineGrid();
        BuildNetwork(2);
        Doc.m_TargetError = 0.0;
        Doc.m_PathName = Dir.File("run.tvq");
    }
    std::string Copy(const char* ending) const { return Dir.File(std::string("run") + ending); }
    // The Auto Save dialog with the given boxes and period, and every file it asks for at its
    // derived name.
    void Choose(int flags, const std::string& period = "100") {
        P.Prompts.QueueDialogOk([=](CDialogForm& f) {
            f.Field("Period").TextValue = period;
            f.Field("Error").IntValue = (flags & kAutoSaveError) != 0;
            f.Field("Validating").IntValue = (flags & kAutoSaveValidating) != 0;
            f.Field("Backup").IntValue = (flags & kAutoSaveBackup) != 0;
        });
        const CAutoSaveState& s = Doc.m_AutoSave;
        if ((flags & kAutoSaveError) && !s.ErrorFile.Confirmed) P.Prompts.QueueFile(Copy(".ed.tvq"));
        if ((flags & kAutoSaveValidating) && !s.ValidatingFile.Confirmed) P.Prompts.QueueFile(Copy(".vi.tvq"));
        if ((flags & kAutoSaveBackup) && !s.BackupFile.Confirmed) P.Prompts.QueueFile(Copy(".bu.tvq"));
        ASSERT_TRUE(SetAutoSave(Doc, 0, 0));
    }
    // The copy opens as a document; its Lowest Error Saved is returned.
    double Opens(const std::string& path) {
        CQuorinDoc copy(*P.App);
        std::string error;
        EXPECT_TRUE(ReadDocumentFile(copy, path, error)) << path << ": " << error;
        return copy.m_LowestErrorSaved;
    }
    int EntriesInDir() const {
        return static_cast<int>(std::distance(fs::directory_iterator(Dir.Path()), fs::directory_iterator()));
    }
    CTempDir Dir;
};

TEST_F(AutoSaveTest, TheDialogAsksForEachFileAndWritesWhatIsDueAtOnce) {
    Doc.m_CyclesPerValidating = 25;
    Doc.m_WithinPercentage = 12.5;
    Choose(kAutoSaveError | kAutoSaveValidating | kAutoSaveBackup, "7");
    const CDialogForm form = P.Prompts.Dialogs().at(0);
    EXPECT_EQ(form.Title, "Auto Save");
    EXPECT_EQ(form.Text("Period"), "7");  // as edited; it was proposed as the validating period
    EXPECT_EQ(form.Field("Validating").Label, "if the number of validating examples within 12.50% has increased");
    EXPECT_EQ(form.Field("Details").Label, "save network details to " + Copy(".de.txt") + " on exit");
    EXPECT_NE(form.Field("Period").Tooltip.find("0 or less makes no periodic checks"), std::string::npos);
    EXPECT_EQ(Doc.m_AutoSavePeriod, 7);
    EXPECT_TRUE(Doc.IsModified());

    const auto files = P.Prompts.FileRequests();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].Title, "Save error decrease (ed) file");
    EXPECT_EQ(files[1].Title, "Save validating increase (vi) file");
    EXPECT_EQ(files[2].Title, "Save backup (bu) file");
    EXPECT_EQ(files[2].FileName, Copy(".bu.tvq"));
    EXPECT_EQ(files[0].DefaultExt, "tvq");

    // A new document's error (1.0) is no decrease; a validating result of 0 beats the reset -1.
    EXPECT_FALSE(fs::exists(Copy(".ed.tvq")));
    Opens(Copy(".vi.tvq"));
    Opens(Copy(".bu.tvq"));
    EXPECT_EQ(Doc.m_HighestValidatingSaved, 0.0);
    EXPECT_EQ(Doc.m_AutoSaveFlags, kAutoSaveError | kAutoSaveValidating | kAutoSaveBackup | kAutoSaveSavedWithin);
    EXPECT_TRUE(P.Prompts.Texts().empty());

    // Cancel changes nothing, the period included.
    P.Prompts.QueueDialogCancel();
    EXPECT_FALSE(SetAutoSave(Doc, 0, 0));
    EXPECT_EQ(Doc.m_AutoSavePeriod, 7);
}

TEST_F(AutoSaveTest, OnlyAStrictImprovementWritesAndResettingStartsAgain) {
    Choose(kAutoSaveError | kAutoSaveValidating);
    fs::remove(Copy(".vi.tvq"));
    Doc.m_AverageError = 0.5;
    EXPECT_EQ(AutoSave(Doc, 0, 0), "OK");
    EXPECT_DOUBLE_EQ(Opens(Copy(".ed.tvq")), 0.5);  // the copy carries its own new low
    EXPECT_FALSE(fs::exists(Copy(".vi.tvq")));     // 0 % again: no increase

    fs::remove(Copy(".ed.tvq"));
    AutoSave(Doc, 0, 0);  // equal: nothing
    EXPECT_FALSE(fs::exists(Copy(".ed.tvq")));
    Doc.m_LastValidatingResult = 40.0;
    Doc.m_ValidatingMode = 1;
    AutoSave(Doc, 0, 0);
    Opens(Copy(".vi.tvq"));
    EXPECT_EQ(Doc.m_AutoSaveFlags & (kAutoSaveSavedWithin | kAutoSaveSavedCorrect), kAutoSaveSavedCorrect);

    EXPECT_TRUE(CanResetLowestErrorSaved(Doc));
    EXPECT_TRUE(CanResetHighestValidatingSaved(Doc));
    OnOptionsResetLowestErrorSaved(Doc);
    OnOptionsResetHighestValidatingSaved(Doc);
    EXPECT_FALSE(CanResetLowestErrorSaved(Doc));
    EXPECT_FALSE(CanResetHighestValidatingSaved(Doc));
    Doc.m_AverageError = 0.7;  // worse than the copy on disk, but below the reset value
    AutoSave(Doc, 0, 0);
    EXPECT_DOUBLE_EQ(Opens(Copy(".ed.tvq")), 0.7);
    EXPECT_EQ(P.Prompts.FileRequests().size(), 2u);  // confirmed once
}

TEST_F(AutoSaveTest, TheBackupAtConfirmationThenOnlyAfterAMinute) {
    Choose(kAutoSaveBackup);
    Opens(Copy(".bu.tvq"));
    fs::remove(Copy(".bu.tvq"));
    AutoSave(Doc, 0, 0);
    P.Clock.Advance(60000);
    AutoSave(Doc, 0, 0);  // exactly a minute is not more than a minute
    EXPECT_FALSE(fs::exists(Copy(".bu.tvq")));
    P.Clock.Advance(1);
    AutoSave(Doc, 0, 0);
    Opens(Copy(".bu.tvq"));
}

TEST_F(AutoSaveTest, LearningChecksEveryPeriodAndBacksUpAtCycleOne) {
    Choose(kAutoSaveError | kAutoSaveBackup, "1");
    fs::remove(Copy(".bu.tvq"));
    Doc.m_AverageError = 1.0;
    StopOnCycle(4);
    Learn();
    // A period of 1 checks every cycle: the copy holds the lowest error reached.
    EXPECT_LT(Doc.m_LowestErrorSaved, 1.0);
    EXPECT_DOUBLE_EQ(Opens(Copy(".ed.tvq")), Doc.m_LowestErrorSaved);
    Opens(Copy(".bu.tvq"));  // cycle 1, though the clock stood still
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(AutoSaveTest, CopiesWhileTheUserInterfaceSavesAndReadsBesideLearning) {
    Choose(kAutoSaveError | kAutoSaveValidating | kAutoSaveBackup, "1");
    Doc.m_CanValidate = 1;
    StopOnCycle(60);
    ASSERT_EQ(StartLearning(Doc, 0), 1);
    int saves = 0;
    while (Doc.m_Learning) {
        P.Clock.Advance(20000);  // a timed backup now and then
        ASSERT_EQ(SaveDocument(Doc, Dir.File("beside.tvq")), 1);
        CanResetLowestErrorSaved(Doc);
        ++saves;
    }
    WaitForLearning(Doc);
    EXPECT_GT(saves, 0);
    EXPECT_DOUBLE_EQ(Opens(Copy(".ed.tvq")), Doc.m_LowestErrorSaved);
    Opens(Copy(".bu.tvq"));
    Opens(Dir.File("beside.tvq"));
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(AutoSaveTest, APeriodOfZeroMakesNoChecks) {
    Choose(kAutoSaveError, "0");
    EXPECT_EQ(Doc.m_AutoSavePeriod, 0);
    StopOnCycle(3);
    Learn();
    EXPECT_FALSE(fs::exists(Copy(".ed.tvq")));
    EXPECT_EQ(Doc.m_LowestErrorSaved, 1.0);

    // Text that is no number gives 0 too.
    Choose(kAutoSaveError, "often");
    EXPECT_EQ(Doc.m_AutoSavePeriod, 0);
}

TEST_F(AutoSaveTest, AFileThatCannotBeMadeSwitchesItsCopyOff) {
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("Error").IntValue = 1;
        f.Field("Backup").IntValue = 1;
    });
    P.Prompts.QueueFile(Dir.File("missing/run.ed.tvq"));
    ASSERT_TRUE(SetAutoSave(Doc, 0, 0));
    EXPECT_EQ(P.Prompts.Texts(), std::vector<std::string>{"Unable to open Auto Save error file."});
    EXPECT_EQ(Doc.m_AutoSaveFlags, kAutoSaveBackup);  // and nothing after it was asked
    EXPECT_EQ(P.Prompts.FileRequests().size(), 1u);

    // A cancelled dialog clears its bit quietly; the other steps go on.
    P.Prompts.Clear();
    P.Prompts.QueueFile(std::nullopt);
    Doc.m_AutoSaveFlags = kAutoSaveError | kAutoSaveBackup;
    P.Prompts.QueueFile(Copy(".bu.tvq"));
    EXPECT_EQ(AutoSave(Doc, 0, 0), "NOK");
    EXPECT_EQ(Doc.m_AutoSaveFlags, kAutoSaveBackup);
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(AutoSaveTest, AFailedWriteOfEachCopyStopsThatCopyOnly) {
    Doc.m_AverageError = 0.5;
    Doc.m_LastValidatingResult = 10.0;
    Choose(kAutoSaveError | kAutoSaveValidating | kAutoSaveBackup);
    ASSERT_TRUE(P.Prompts.Texts().empty());
    struct CCase {
        const char* Ending;
        int Bit;
        const char* Message;
    };
    for (const CCase& c : {CCase{".ed.tvq", kAutoSaveError, "Could not open file.\n\nError Auto Save has stopped"},
                           CCase{".vi.tvq", kAutoSaveValidating, "Could not open file.\n\nValidating Auto Save has stopped"},
                           CCase{".bu.tvq", kAutoSaveBackup, "Could not open file.\n\nBackup Auto Save has stopped"}}) {
        P.Prompts.Clear();
        // A folder where the copy should go: nothing can be renamed over it.
        fs::remove(Copy(c.Ending));
        fs::create_directory(Copy(c.Ending));
        Doc.m_AverageError = Doc.m_AverageError - 0.1;
        Doc.m_LastValidatingResult = Doc.m_LastValidatingResult + 10.0;
        const int before = Doc.m_AutoSaveFlags;
        AutoSave(Doc, 1, 0);
        EXPECT_EQ(P.Prompts.Texts(), std::vector<std::string>{c.Message}) << c.Ending;
        EXPECT_EQ(Doc.m_AutoSaveFlags & c.Bit, 0) << c.Ending;
        EXPECT_EQ(Doc.m_AutoSaveFlags | c.Bit | kAutoSaveSavedWithin, before | kAutoSaveSavedWithin) << c.Ending;
        fs::remove(Copy(c.Ending));
    }
    // Switched on again, each asks for its file again.
    Doc.m_AutoSaveFlags = kAutoSaveBackup;
    P.Prompts.QueueFile(Copy(".bu.tvq"));
    AutoSave(Doc, 1, 0);
    Opens(Copy(".bu.tvq"));
}

TEST_F(AutoSaveTest, AWriteKilledHalfWayLeavesThePreviousCopyIntact) {
    Choose(kAutoSaveError);
    Doc.m_AverageError = 0.5;
    AutoSave(Doc, 0, 0);
    const std::string previous = ReadWholeFile(Copy(".ed.tvq"));
    ASSERT_FALSE(previous.empty());
    const int entries = EntriesInDir();

    bool checked = false;
    Doc.m_AutoSave.Writer = [&](int fd, const std::uint8_t* data, std::size_t size) {
        EXPECT_EQ(::write(fd, data, size / 2), static_cast<ssize_t>(size / 2));
        // Half-way: the copy on disk is still the previous one, whole.
        EXPECT_EQ(ReadWholeFile(Copy(".ed.tvq")), previous);
        checked = true;
        errno = EIO;
        return false;
    };
    Doc.m_GraphPoints.assign(50, {1, 0.1, 0.2, 0.0});  // a longer document
    Doc.m_AverageError = 0.25;
    AutoSave(Doc, 0, 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(ReadWholeFile(Copy(".ed.tvq")), previous);
    EXPECT_DOUBLE_EQ(Opens(Copy(".ed.tvq")), 0.5);
    EXPECT_EQ(EntriesInDir(), entries);  // no temporary file left
    EXPECT_EQ(P.Prompts.LastText(), "Could not open file.\n\nError Auto Save has stopped");

    // A later write, after the user switched it on again, replaces the whole file: no old tail.
    Doc.m_AutoSave.Writer = {};
    Doc.m_GraphPoints.clear();
    Doc.m_AutoSaveFlags = kAutoSaveError;
    Doc.m_AverageError = 0.2;
    P.Prompts.QueueFile(Copy(".ed.tvq"));
    AutoSave(Doc, 0, 0);
    EXPECT_LT(ReadWholeFile(Copy(".ed.tvq")).size(), previous.size() + 50 * 30);
    EXPECT_DOUBLE_EQ(Opens(Copy(".ed.tvq")), 0.2);
}

TEST_F(AutoSaveTest, LaterWritesGoToTheConfirmedName) {
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Backup").IntValue = 1; });
    P.Prompts.QueueFile(Dir.File("chosen.tvq"));
    ASSERT_TRUE(SetAutoSave(Doc, 0, 0));
    fs::remove(Dir.File("chosen.tvq"));
    P.Clock.Advance(60001);
    AutoSave(Doc, 0, 0);
    Opens(Dir.File("chosen.tvq"));
    EXPECT_FALSE(fs::exists(Copy(".bu.tvq")));
}

TEST_F(AutoSaveTest, StartingLearningAsksUnlessToldNotToOrScripted) {
    StopOnCycle(1);
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(StartLearning(Doc, 1), 0);  // cancelled: no learning
    EXPECT_FALSE(Doc.m_Learning);
    Doc.m_AutoSaveFlags = kAutoSaveDontAsk;
    ASSERT_EQ(StartLearning(Doc, 1), 1);
    WaitForLearning(Doc);
    Doc.m_AutoSaveFlags = 0;
    P.App->m_ScriptRunning = true;
    ASSERT_EQ(StartLearning(Doc, 1), 1);
    WaitForLearning(Doc);
    EXPECT_EQ(P.Prompts.Dialogs().size(), 1u);
}

TEST_F(AutoSaveTest, OldFormatAssociationsFormAndAvailability) {
    EXPECT_TRUE(CanOptionsAutoSave(Doc));
    Doc.m_CurrentFormat = false;
    EXPECT_TRUE(SetAutoSave(Doc, 0, 0));
    EXPECT_EQ(P.Prompts.LastText(), Doc.m_PathName +
                                         " is an old format file. It must be\nsaved in the new format to use Auto Save.");
    Doc.m_CurrentFormat = true;

    // The associations form replaces the learning choices and names the associations file.
    Doc.m_AutoSaveFlags = kAutoSaveError | kAutoSaveDontAsk | kAutoSaveDetails;
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("Associations").IntValue = 1;
        f.Field("BackupNow").IntValue = 0;
    });
    P.Prompts.QueueFile(Copy(".as.txt"));
    EXPECT_TRUE(SetAutoSave(Doc, 0, 1));
    EXPECT_EQ(P.Prompts.Dialogs().back().Title, "AutoSave");
    EXPECT_EQ(P.Prompts.Dialogs().back().Field("Associations").Label, "save associations to " + Copy(".as.txt"));
    EXPECT_EQ(Doc.m_AutoSaveFlags, kAutoSaveAssociations);
    WriteWholeFile(Copy(".as.txt"), "kept");
    EXPECT_EQ(AutoSave(Doc, 0, 1), Copy(".as.txt"));
    EXPECT_EQ(ReadWholeFile(Copy(".as.txt")), "kept");
    EXPECT_EQ(P.Prompts.FileRequests().back().Title, "Save associations file");

    Doc.m_Learning = true;
    EXPECT_FALSE(CanOptionsAutoSave(Doc));
    Doc.m_Learning = false;
}

TEST_F(AutoSaveTest, StoredResultsOutsideTheirRangesAreRepairedOnLoading) {
    struct CCase {
        double Lowest, Highest, LowestRead, HighestRead;
    };
    for (const CCase& c : {CCase{0.00001, 100.0, 0.00001, 100.0}, CCase{0.000009, 100.5, 1.0, -1.0},
                           CCase{1.5, -1.5, 1.0, -1.0}, CCase{1.0, -1.0, 1.0, -1.0}}) {
        Doc.m_LowestErrorSaved = c.Lowest;
        Doc.m_HighestValidatingSaved = c.Highest;
        const std::vector<std::uint8_t> bytes = EncodeDocument(Doc);
        CQuorinDoc read(*P.App);
        std::string error;
        ASSERT_TRUE(ReadDocumentBytes(read, bytes, "x.tvq", error)) << error;
        EXPECT_EQ(read.m_LowestErrorSaved, c.LowestRead) << c.Lowest;
        EXPECT_EQ(read.m_HighestValidatingSaved, c.HighestRead) << c.Highest;
    }
}

}  // namespace
}  // namespace quorin::test
