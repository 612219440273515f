// Import of arbitrary bytes: the first byte picks delimiters and options, the rest is
// the file. Every result must be a code or a Grid, never a crash or a hang.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzPlatform.h"
#include "automation/Importer.h"
#include "grid/QuorinDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const std::string path = "/tmp/quorin_fuzz_import_" + std::to_string(::getpid());
    const std::uint8_t options = data[0];
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    quorin::fuzz::CFuzzPlatform platform;
    quorin::CQuorinDoc doc(*platform.App);
    doc.NewDocument();
    doc.m_ImportComma = (options & 1) != 0;
    doc.m_ImportTab = (options & 2) != 0;
    doc.m_ImportSpace = (options & 4) != 0;
    doc.m_ImportSemicolon = (options & 8) != 0;
    doc.m_ImportOther = (options & 16) != 0;
    doc.m_ImportOtherText = "|";
    doc.m_ImportRowNames = (options & 32) != 0;
    doc.m_ImportRowType = (options & 64) ? 4 : 0;
    quorin::ImportFile(doc, path, 0, (options & 128) != 0);
    // A second import into the Grid just made must agree with it or refuse.
    quorin::ImportFile(doc, path, 0, 0);
    for (const auto& ex : doc.m_Examples)
        if (ex.Values().size() != doc.m_InOuts.size()) __builtin_trap();
    return 0;
}
