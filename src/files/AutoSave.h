#pragma once
// Auto Save: copies of a document kept while its network learns (the error decrease file, the
// validating increase file and a backup), and the naming of the associations file.
#include <string>

namespace quorin {
class CQuorinDoc;

// Auto-save flag bits (0x40, the details file, is kAutoSaveDetails in SpecialFiles.h).
inline constexpr int kAutoSaveError = 0x01;
inline constexpr int kAutoSaveValidating = 0x02;
inline constexpr int kAutoSaveSavedWithin = 0x04;   // set by a validating save
inline constexpr int kAutoSaveSavedCorrect = 0x08;  // set by a validating save
inline constexpr int kAutoSaveBackup = 0x10;
inline constexpr int kAutoSaveDontAsk = 0x20;
inline constexpr int kAutoSaveAssociations = 0x80;

// Options > "&Auto Save...".
void OnOptionsAutoSave(CQuorinDoc& doc);
bool CanOptionsAutoSave(const CQuorinDoc& doc);

// The Auto Save dialog in its learning form (associations 0) or its associations form. On OK
// the choices replace the flags and, when any is on, AutoSave runs at once so that its file
// dialogs come now. False when the user cancelled.
bool SetAutoSave(CQuorinDoc& doc, int backupNow, int associations);

// Confirms the enabled files that are not confirmed yet, then writes the copies that are due.
// Returns "OK", "NOK" (a file was refused or could not be made), or the associations file's
// path. Called from the learning thread between two cycles as well as from the user interface;
// never with the document lock held.
std::string AutoSave(CQuorinDoc& doc, int backupNow, int associations);

// Each writes the whole document, as a save would, to the file; true when written. A failure
// shows its message and switches that copy off.
bool AutoSaveErrorFile(CQuorinDoc& doc, const std::string& fileName);
bool AutoSaveValidatingFile(CQuorinDoc& doc, const std::string& fileName);
bool AutoSaveBackupFile(CQuorinDoc& doc, const std::string& fileName);

// Options > Reset > "&Lowest Error Saved" and "&Highest Validating % Saved".
void OnOptionsResetLowestErrorSaved(CQuorinDoc& doc);
bool CanResetLowestErrorSaved(const CQuorinDoc& doc);
void OnOptionsResetHighestValidatingSaved(CQuorinDoc& doc);
bool CanResetHighestValidatingSaved(const CQuorinDoc& doc);

// The script line "autosave(flags, period)": the flags and the period as the dialog's OK would
// set them, without the dialog. `writeFiles` clear stores them without running AutoSave.
void ScriptAutoSave(CQuorinDoc& doc, int flags, int period, bool writeFiles, const std::string& line);

}  // namespace quorin
