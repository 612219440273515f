#pragma once
// Where every side file of a document lives, and the rule the files that are confirmed once
// share: ask with a save dialog the first time, switch that kind of saving off when the file
// can't be made or written.
#include <functional>
#include <string>

#include "files/AutoSaveState.h"

namespace quorin {
class CQuorinApp;
class CQuorinDoc;
struct CFileDialogRequest;

// Endings of the side files.
inline constexpr char kErrorCopyEnding[] = ".ed.tvq";
inline constexpr char kValidatingCopyEnding[] = ".vi.tvq";
inline constexpr char kBackupCopyEnding[] = ".bu.tvq";
inline constexpr char kAssociationsEnding[] = ".as.txt";
inline constexpr char kDetailsEnding[] = ".de.txt";
inline constexpr char kLogEnding[] = ".lo.txt";
inline constexpr char kQueryEnding[] = ".qu.txt";
inline constexpr char kGridEnding[] = ".gr.txt";
inline constexpr char kWeightsEnding[] = ".we.txt";
inline constexpr char kBiasesEnding[] = ".bi.txt";
inline constexpr char kGraphEnding[] = ".gp.txt";

// The path less its last four characters (".tvq", ".txt"), plus the ending. A path that has
// never been given ("") names an "Untitled" file in the working folder.
std::string LastFourReplaced(const std::string& path, const char* ending);
// The part of the path before its first dot (the whole path without one), plus the ending.
// The first dot of the whole path counts, also one in a folder name.
std::string FirstDotReplaced(const std::string& path, const char* ending);

// The path the document's own side files derive from: a headless run's output document, else
// the document's path.
std::string SideFileBase(const CQuorinDoc& doc);

// How a file is made when its name is confirmed.
enum class ECreate {
    Empty,  // created, an existing file emptied (the log)
    Keep,   // created when missing, an existing file kept as it is (the associations file)
    Probe,  // only checked: an existing file must be writable, a missing one creatable; nothing
            // is left behind, so a copy that was never written does not exist
};

enum class EConfirmed { Already, Confirmed, Cancelled, Failed };

// Confirms `file` once: when it is not yet confirmed asks with `request` (a save dialog; its
// FileName the proposed name) and makes the file. Cancel calls switchOff; a file that can't be
// made shows failureMessage and calls switchOff. On success the file is confirmed under the
// chosen name.
EConfirmed ConfirmOnce(CQuorinApp& app, CConfirmedFile& file, CFileDialogRequest request, ECreate how,
                       const std::string& failureMessage, const std::function<void()>& switchOff);
// The same for a file whose name and flag the document keeps apart.
EConfirmed ConfirmOnce(CQuorinApp& app, std::string& name, bool& confirmed, CFileDialogRequest request,
                       ECreate how, const std::string& failureMessage,
                       const std::function<void()>& switchOff);
// A confirmed file could not be written: shows the message, forgets the confirmation and
// switches that kind of saving off.
void SideFileFailed(CQuorinApp& app, bool& confirmed, const std::string& message,
                    const std::function<void()>& switchOff);

}  // namespace quorin
