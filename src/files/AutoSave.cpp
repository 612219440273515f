// Auto Save: the dialogs, the file confirmations and the copies written while learning.
#include "files/AutoSave.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "files/SideFiles.h"
#include "files/SpecialFiles.h"
#include "grid/Availability.h"
#include "grid/DocumentCommands.h"
#include "grid/DocumentFile.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

constexpr std::uint32_t kBackupInterval = 60000;  // ms between timed backups

// The learning thread and a save on the user-interface thread both read the flags and the
// saved results: every change to them is made under the document lock.
std::mutex& LockOf(const CQuorinDoc& doc) { return const_cast<std::mutex&>(doc.m_NetworkMutex); }

void ClearFlags(CQuorinDoc& doc, int bits) {
    std::lock_guard lock(LockOf(doc));
    doc.m_AutoSaveFlags &= ~bits;
}

int Flags(const CQuorinDoc& doc) {
    std::lock_guard lock(LockOf(doc));
    return doc.m_AutoSaveFlags;
}

bool CorrectRule(const CQuorinDoc& doc) { return doc.m_ValidatingMode != 0; }

std::string OldFormatMessage(const CQuorinDoc& doc) {
    return Format("%s is an old format file. It must be\nsaved in the new format to use Auto Save.",
                  doc.m_PathName.c_str());
}

// One kind of copy: its bit, its confirmed file and its texts.
struct CCopyKind {
    int Bit;
    CConfirmedFile CAutoSaveState::*File;
    const char* Ending;
    const char* Title;
    const char* CreateFailure;
    const char* WriteFailure;
    const char* Shown;  // how the status bar names it
};

constexpr CCopyKind kErrorCopy{kAutoSaveError, &CAutoSaveState::ErrorFile, kErrorCopyEnding,
                               "Save error decrease (ed) file", "Unable to open Auto Save error file.",
                               "Could not open file.\n\nError Auto Save has stopped",
                               "error decrease file"};
constexpr CCopyKind kValidatingCopy{
    kAutoSaveValidating, &CAutoSaveState::ValidatingFile, kValidatingCopyEnding,
    "Save validating increase (vi) file", "Unable to open Auto Save validating file.",
    "Could not open file.\n\nValidating Auto Save has stopped", "validating increase file"};
constexpr CCopyKind kBackupCopy{kAutoSaveBackup, &CAutoSaveState::BackupFile, kBackupCopyEnding,
                                "Save backup (bu) file", "Unable to open Auto Save backup file.",
                                "Could not open file.\n\nBackup Auto Save has stopped", "backup file"};

EConfirmed Confirm(CQuorinDoc& doc, const CCopyKind& kind, const std::string& base) {
    CFileDialogRequest request;
    request.Title = kind.Title;
    request.Filter = kDocumentFilter;
    request.DefaultExt = kDocumentExt;
    request.FileName = LastFourReplaced(base, kind.Ending);
    return ConfirmOnce(doc.App(), doc.m_AutoSave.*kind.File, request, ECreate::Probe, kind.CreateFailure,
                       [&doc, &kind] { ClearFlags(doc, kind.Bit); });
}

// The whole document as a save stores it, encoded under the lock straight into the file in
// chunks (the learning thread calls this between two cycles, so learning waits for the disk;
// holding the file whole beside a large Grid would cost its size again); the side files are
// written outside the lock.
bool WriteCopy(CQuorinDoc& doc, const CCopyKind& kind, const std::string& fileName) {
    CQuorinApp& app = doc.App();
    if (!doc.m_CurrentFormat) return false;  // the old format keeps no Auto Save copies
    CReplaceOptions options;
    options.Write = doc.m_AutoSave.Writer;
    std::string error;
    std::vector<CSideFile> sideFiles;
    bool written;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        written = EncodeAndWriteDocument(doc, fileName, sideFiles, error, options);
    }
    if (written) WriteSideFiles(app, sideFiles);
    if (!written) {
        SideFileFailed(app, (doc.m_AutoSave.*kind.File).Confirmed, kind.WriteFailure,
                       [&doc, &kind] { ClearFlags(doc, kind.Bit); });
        return false;
    }
    app.Views().ShowStatusMessage(doc, Format("Auto Save: %s written to %s", kind.Shown, fileName.c_str()));
    return true;
}

// A decimal integer as the standard conversion reads it; text that is no number gives 0.
int ReadPeriod(const std::string& text) {
    errno = 0;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

bool SetAutoSaveAssociations(CQuorinDoc& doc, int backupNow) {
    CQuorinApp& app = doc.App();
    const int flags = Flags(doc);
    CDialogForm form;
    form.Id = "AutoSaveAssociations";
    form.Title = "AutoSave";
    form.AddLabel("Text",
                  "The process of detecting associations will invalidate the network and change the "
                  "grid. When the process is complete the grid will be rebuilt. Please make sure you "
                  "have a backup copy in case the process fails or is terminated before it has "
                  "finished. ");
    form.AddCheck("Associations",
                  Format("save associations to %s",
                         LastFourReplaced(SideFileBase(doc), kAssociationsEnding).c_str()),
                  (flags & kAutoSaveAssociations) != 0);
    form.AddCheck("BackupNow", "backup now", (flags & kAutoSaveBackup) != 0 || backupNow);
    if (app.Prompts().ShowDialog(form) != IdOk) return false;
    const bool backup = form.Check("BackupNow");
    const int chosen = (form.Check("Associations") ? kAutoSaveAssociations : 0) | (backup ? kAutoSaveBackup : 0);
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        doc.m_AutoSaveFlags = chosen;
    }
    doc.SetModified();
    if (chosen != 0) AutoSave(doc, backup ? 1 : 0, 1);
    return true;
}

}  // namespace

bool CanOptionsAutoSave(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && HasInputAndOutput(doc);
}

void OnOptionsAutoSave(CQuorinDoc& doc) {
    doc.App().Trace("OnOptionsAutoSave");
    if (!CanOptionsAutoSave(doc)) return;
    SetAutoSave(doc, 0, 0);
}

bool SetAutoSave(CQuorinDoc& doc, int backupNow, int associations) {
    CQuorinApp& app = doc.App();
    app.Trace("SetAutoSave   Backup %d  Associations %d", backupNow, associations);
    if (app.m_GettingStartedRunning) return true;
    if (!doc.m_CurrentFormat) {
        app.Prompts().Inform(OldFormatMessage(doc));
        return true;
    }
    if (associations) return SetAutoSaveAssociations(doc, backupNow);

    const int flags = Flags(doc);
    const std::string base = SideFileBase(doc);
    CDialogForm form;
    form.Id = "AutoSave";
    form.Title = "Auto Save";
    // The dialog proposes the validating period, so that copies follow the validating results.
    form.AddText("Period", "Save every ", std::to_string(doc.m_CyclesPerValidating),
                 "Learning cycles between Auto Save checks. 0 or less makes no periodic checks "
                 "(the backup at cycle 1 is still written).");
    form.AddLabel("PeriodUnit", "cycles while learning");
    form.AddCheck("Error", "if the average error has decreased", (flags & kAutoSaveError) != 0);
    form.AddCheck("Validating",
                  CorrectRule(doc) ? std::string("if the number of correct validating examples has increased")
                                   : Format("if the number of validating examples within %.2lf%% has increased",
                                            doc.m_WithinPercentage),
                  (flags & kAutoSaveValidating) != 0);
    form.AddCheck("Backup", "backup now and repeat every minute if learning",
                  (flags & kAutoSaveBackup) != 0 || backupNow);
    form.AddCheck("DontAsk", "do not ask for AutoSave settings when restarting learning",
                  (flags & kAutoSaveDontAsk) != 0);
    form.AddCheck("Details", Format("save network details to %s on exit", DetailsFileName(base).c_str()),
                  (flags & kAutoSaveDetails) != 0);
    // Cancel changes nothing, the period included.
    if (app.Prompts().ShowDialog(form) != IdOk) return false;

    const bool backup = form.Check("Backup");
    const int chosen = (form.Check("Error") ? kAutoSaveError : 0) |
                       (form.Check("Validating") ? kAutoSaveValidating : 0) | (backup ? kAutoSaveBackup : 0) |
                       (form.Check("DontAsk") ? kAutoSaveDontAsk : 0) |
                       (form.Check("Details") ? kAutoSaveDetails : 0);
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        doc.m_AutoSavePeriod = ReadPeriod(form.Text("Period"));
        doc.m_AutoSaveFlags = chosen;
    }
    doc.SetModified();
    if (chosen != 0) AutoSave(doc, backup ? 1 : 0, 0);
    return true;
}

std::string AutoSave(CQuorinDoc& doc, int backupNow, int associations) {
    CQuorinApp& app = doc.App();
    app.Trace("AutoSave   Backup %d  Associations %d", backupNow, associations);
    CAutoSaveState& state = doc.m_AutoSave;
    std::string status = "OK";
    std::string base;
    {
        // A save on the user-interface thread may give the document a new path meanwhile.
        std::lock_guard lock(doc.m_NetworkMutex);
        base = SideFileBase(doc);
    }

    if ((Flags(doc) & kAutoSaveAssociations) && associations) {
        if (state.AssociationsFile.Confirmed) return state.AssociationsFile.Name;
        CFileDialogRequest request;
        request.Title = "Save associations file";
        request.Filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
        request.DefaultExt = "txt";
        request.FileName = LastFourReplaced(base, kAssociationsEnding);
        switch (ConfirmOnce(app, state.AssociationsFile, request, ECreate::Keep,
                            "Unable to open Auto Save associations file.",
                            [&doc] { ClearFlags(doc, kAutoSaveAssociations); })) {
        case EConfirmed::Failed: return "NOK";
        case EConfirmed::Cancelled: status = "NOK"; break;
        case EConfirmed::Confirmed: status = state.AssociationsFile.Name; break;
        case EConfirmed::Already: break;
        }
    }
    for (const CCopyKind* kind : {&kErrorCopy, &kValidatingCopy, &kBackupCopy}) {
        const bool wanted = (Flags(doc) & kind->Bit) != 0 || (kind == &kBackupCopy && backupNow);
        if (!wanted) continue;
        const EConfirmed confirmed = Confirm(doc, *kind, base);
        if (confirmed == EConfirmed::Failed) return "NOK";
        if (confirmed == EConfirmed::Cancelled) status = "NOK";
    }

    // Only a strict improvement is worth a copy.
    bool due = false;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        const double average = doc.m_AverageError;
        if (state.ErrorFile.Confirmed && (doc.m_AutoSaveFlags & kAutoSaveError) &&
            average < doc.m_LowestErrorSaved) {
            doc.m_LowestErrorSaved = average;
            due = true;
        }
    }
    if (due) AutoSaveErrorFile(doc, state.ErrorFile.Name);

    due = false;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        const double result = doc.m_LastValidatingResult;
        if (state.ValidatingFile.Confirmed && (doc.m_AutoSaveFlags & kAutoSaveValidating) &&
            result > doc.m_HighestValidatingSaved) {
            doc.m_HighestValidatingSaved = result;
            due = true;
        }
    }
    if (due) AutoSaveValidatingFile(doc, state.ValidatingFile.Name);

    const std::uint32_t now = app.Clock().GetTickCount();
    if (state.BackupFile.Confirmed &&
        (((Flags(doc) & kAutoSaveBackup) && now - state.LastBackupTime > kBackupInterval) || backupNow)) {
        state.LastBackupTime = now;
        AutoSaveBackupFile(doc, state.BackupFile.Name);
    }
    return status;
}

bool AutoSaveErrorFile(CQuorinDoc& doc, const std::string& fileName) {
    doc.App().Trace("AutoSaveErrorFile   File %s", fileName.c_str());
    return WriteCopy(doc, kErrorCopy, fileName);
}

bool AutoSaveValidatingFile(CQuorinDoc& doc, const std::string& fileName) {
    doc.App().Trace("AutoSaveValidatingFile   File %s", fileName.c_str());
    if (!WriteCopy(doc, kValidatingCopy, fileName)) return false;
    std::lock_guard lock(doc.m_NetworkMutex);
    doc.m_AutoSaveFlags = (doc.m_AutoSaveFlags & ~(kAutoSaveSavedWithin | kAutoSaveSavedCorrect)) |
                          (CorrectRule(doc) ? kAutoSaveSavedCorrect : kAutoSaveSavedWithin);
    return true;
}

bool AutoSaveBackupFile(CQuorinDoc& doc, const std::string& fileName) {
    doc.App().Trace("AutoSaveBackupFile   File %s", fileName.c_str());
    return WriteCopy(doc, kBackupCopy, fileName);
}

bool CanResetLowestErrorSaved(const CQuorinDoc& doc) {
    std::lock_guard lock(LockOf(doc));
    return doc.m_LowestErrorSaved < 1.0;
}

void OnOptionsResetLowestErrorSaved(CQuorinDoc& doc) {
    doc.App().Trace("OnOptionsResetLowestErrorSaved");
    std::lock_guard lock(doc.m_NetworkMutex);
    doc.m_LowestErrorSaved = 1.0;
}

bool CanResetHighestValidatingSaved(const CQuorinDoc& doc) {
    std::lock_guard lock(LockOf(doc));
    return doc.m_HighestValidatingSaved > 0.0;
}

void OnOptionsResetHighestValidatingSaved(CQuorinDoc& doc) {
    doc.App().Trace("OnOptionsResetHighestValidatingSaved");
    std::lock_guard lock(doc.m_NetworkMutex);
    doc.m_HighestValidatingSaved = -1.0;
}

void ScriptAutoSave(CQuorinDoc& doc, int flags, int period, bool writeFiles, const std::string& line) {
    CQuorinApp& app = doc.App();
    app.Trace("ScriptAutoSave   Flags %d  Period %d", flags, period);
    if (CalculationRunning(doc)) {
        // The learning thread confirms and writes the copies itself while it runs.
        app.Prompts().Inform(Format("Learning or associating is running: the script line '%s' would "
                                    "change the Auto Save settings and has been skipped.",
                                    line.c_str()));
        return;
    }
    if (!doc.m_CurrentFormat) {
        app.Prompts().Inform(OldFormatMessage(doc));
        return;
    }
    // The two 'saved under' bits belong to the validating save, not to the user.
    const int chosen = flags & 0xFF & ~(kAutoSaveSavedWithin | kAutoSaveSavedCorrect);
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        doc.m_AutoSavePeriod = period;
        doc.m_AutoSaveFlags = chosen;
    }
    doc.SetModified();
    if (chosen != 0 && writeFiles) AutoSave(doc, (chosen & kAutoSaveBackup) ? 1 : 0, 0);
}

}  // namespace quorin
