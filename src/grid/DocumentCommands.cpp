#include "grid/DocumentCommands.h"

#include <mutex>

#include "grid/DocumentFile.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
bool HasExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}
}  // namespace

int SaveDocument(CQuorinDoc& doc, const std::string& path) {
    doc.App().Trace("SaveDocument   Path %s", path.c_str());
    std::string error;
    SettleFileFormat(doc, path);
    std::vector<CSideFile> sideFiles;
    bool written;
    {
        // A save while the network learns must not read half-updated weights. The document is
        // encoded straight to the disk in chunks, so the lock is held while the file is written
        // (learning waits for it); the side files are written outside it.
        std::lock_guard lock(doc.m_NetworkMutex);
        written = EncodeAndWriteDocument(doc, path, sideFiles, error);
    }
    if (written) WriteSideFiles(doc.App(), sideFiles);
    if (!written) {
        doc.App().Prompts().MessageBox(
            {Format("Unable to save the document %s:\n%s", path.c_str(), error.c_str()), EButtons::Ok,
             EIcon::Warning, IdOk});
        return 0;
    }
    {
        std::lock_guard lock(doc.m_NetworkMutex);  // Auto Save names its copies from it
        doc.m_PathName = path;
    }
    doc.SetModified(false);
    return 1;
}

int SaveModified(CQuorinDoc& doc) {
    if (!doc.IsModified()) return 1;
    const int answer = doc.App().Prompts().MessageBox(
        {Format("Save changes to %s?", DocumentTitle(doc).c_str()), EButtons::YesNoCancel,
         EIcon::Question, IdYes});
    if (answer == IdCancel) return 0;
    if (answer == IdNo) return 1;
    return OnFileSave(doc);
}

int OnFileNew(CQuorinDoc& doc) {
    doc.App().Trace("OnFileNew");
    if (!SaveModified(doc)) return 0;
    return doc.OnNewDocument();
}

int OnFileOpen(CQuorinDoc& doc) {
    doc.App().Trace("OnFileOpen");
    if (!SaveModified(doc)) return 0;
    CFileDialogRequest request;
    request.Save = false;
    request.Title = "Open";
    request.Filter = kDocumentFilter;
    request.DefaultExt = kDocumentExt;
    if (!doc.App().Prompts().FileDialog(request)) return 0;
    return doc.OnOpenDocument(request.FileName);
}

int OnFileSave(CQuorinDoc& doc) {
    doc.App().Trace("OnFileSave");
    if (doc.m_PathName.empty()) return OnFileSaveAs(doc);
    return SaveDocument(doc, doc.m_PathName);
}

int OnFileSaveAs(CQuorinDoc& doc) {
    doc.App().Trace("OnFileSaveAs");
    CFileDialogRequest request;
    request.Save = true;
    request.Title = "Save As";
    request.Filter = kDocumentFilter;
    request.DefaultExt = kDocumentExt;
    request.FileName = doc.m_PathName.empty() ? "Untitled.tvq" : doc.m_PathName;
    request.OverwritePrompt = true;
    if (!doc.App().Prompts().FileDialog(request)) return 0;
    std::string path = request.FileName;
    // Only a .tvq name can be opened again.
    if (!HasExtension(path)) path += ".tvq";
    return SaveDocument(doc, path);
}

int OnFileClose(CQuorinDoc& doc) {
    doc.App().Trace("OnFileClose");
    if (!SaveModified(doc)) return 0;
    return doc.OnCloseDocument();
}

}  // namespace quorin
