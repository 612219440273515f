// The document reader on arbitrary bytes: it must refuse or accept without fault, leave
// a refused document empty, and whatever it accepts must write and read back unchanged.
#include <cstdlib>

#include "FuzzPlatform.h"
#include "grid/DocumentFile.h"
#include "grid/QuorinDoc.h"

using namespace quorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::CFuzzPlatform platform;
    CQuorinDoc doc(*platform.App);
    std::string error;
    if (!ReadDocumentBytes(doc, {data, size}, "fuzz.tvq", error)) {
        if (error.empty() || !doc.m_Examples.empty() || !doc.m_InOuts.empty() || !doc.m_Nodes.empty())
            std::abort();
        return 0;
    }
    const std::vector<std::uint8_t> written = EncodeDocument(doc);
    CQuorinDoc again(*platform.App);
    if (!ReadDocumentBytes(again, written, "fuzz.tvq", error)) std::abort();
    again.m_LoadCount = doc.m_LoadCount;
    if (EncodeDocument(again) != written) std::abort();

    // The steps that follow reading when a document is opened.
    doc.InitDocument();
    if (doc.m_MissingDataChoice == MissingAverage) doc.ComputeColumnAverages();
    doc.RenormaliseAll(0);
    return 0;
}
