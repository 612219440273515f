#include "files/SideFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeFile(const std::string& name, ECreate how) {
    if (how == ECreate::Probe) {
        const int fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
        if (errno != ENOENT) return false;
        // A copy is later written beside its target and renamed: the folder must take files.
        return ::access(DirectoryOf(name).c_str(), W_OK | X_OK) == 0;
    }
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (how == ECreate::Empty ? O_TRUNC : 0);
    const int fd = ::open(name.c_str(), flags, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}
}  // namespace

std::string LastFourReplaced(const std::string& path, const char* ending) {
    if (path.empty()) return std::string("Untitled") + ending;
    if (path.size() < 4) return path + ending;
    return path.substr(0, path.size() - 4) + ending;
}

std::string FirstDotReplaced(const std::string& path, const char* ending) {
    return path.substr(0, path.find('.')) + ending;
}

std::string SideFileBase(const CQuorinDoc& doc) {
    return doc.m_AutoSave.OutputPath.empty() ? doc.m_PathName : doc.m_AutoSave.OutputPath;
}

EConfirmed ConfirmOnce(CQuorinApp& app, CConfirmedFile& file, CFileDialogRequest request, ECreate how,
                       const std::string& failureMessage, const std::function<void()>& switchOff) {
    return ConfirmOnce(app, file.Name, file.Confirmed, std::move(request), how, failureMessage, switchOff);
}

EConfirmed ConfirmOnce(CQuorinApp& app, std::string& name, bool& confirmed, CFileDialogRequest request,
                       ECreate how, const std::string& failureMessage,
                       const std::function<void()>& switchOff) {
    if (confirmed) return EConfirmed::Already;
    request.Save = true;
    if (!app.Prompts().FileDialog(request)) {
        if (switchOff) switchOff();
        return EConfirmed::Cancelled;
    }
    if (!MakeFile(request.FileName, how)) {
        app.Prompts().Inform(failureMessage);
        if (switchOff) switchOff();
        return EConfirmed::Failed;
    }
    name = request.FileName;
    confirmed = true;
    return EConfirmed::Confirmed;
}

void SideFileFailed(CQuorinApp& app, bool& confirmed, const std::string& message,
                    const std::function<void()>& switchOff) {
    app.Prompts().Inform(message);
    confirmed = false;
    if (switchOff) switchOff();
}

}  // namespace quorin
