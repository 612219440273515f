#pragma once
// What a document keeps about images outside its file.
#include <cstdint>
#include <map>
#include <string>

namespace quorin {

struct CImageState {
    std::string CurrentImageName = "~ no image ~";
    std::string LastImageFile;  // the bitmap file chosen last
    // Where a bitmap named by an image name is looked for: beside the file being imported,
    // then beside the script being run (empty when none).
    std::string ImportPath;
    std::string ScriptPath;
    // Signatures of files already coded, so that a column of many rows decodes each bitmap
    // once; an entry counts only while the file keeps its size and time.
    struct CCachedSignature {
        std::uintmax_t Size = 0;
        std::int64_t Time = 0;
        std::string Signature;
    };
    std::map<std::string, CCachedSignature> Signatures;
};

// Sets one of the paths above for as long as it lives.
class CImagePathScope {
public:
    CImagePathScope(std::string& slot, const std::string& path) : m_Slot(slot), m_Previous(slot) {
        slot = path;
    }
    ~CImagePathScope() { m_Slot = m_Previous; }
    CImagePathScope(const CImagePathScope&) = delete;
    CImagePathScope& operator=(const CImagePathScope&) = delete;

private:
    std::string& m_Slot;
    std::string m_Previous;
};

}  // namespace quorin
