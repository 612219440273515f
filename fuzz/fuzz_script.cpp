// A hostile script on a document: no files written, waits on the silent platform's
// still clock, networks kept small, and any learning stopped and joined before the
// next input.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzPlatform.h"
#include "automation/ScriptRunner.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = "/tmp/quorin_fuzz_script_" + std::to_string(::getpid());
    static const bool made = [] {
        const std::string csv = "/tmp/quorin_fuzz_script.csv";
        if (std::FILE* f = std::fopen(csv.c_str(), "wb")) {
            std::fputs("a,b,c\r\n1,2,0\r\n2,3,1\r\n3,4,0\r\n4,5,1\r\n5,6,0\r\n", f);
            std::fclose(f);
        }
        return true;
    }();
    (void)made;
    const std::string path = dir + ".txt";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    quorin::fuzz::CFuzzPlatform platform;
    platform.App->m_ScriptRunning = true;
    quorin::CQuorinDoc doc(*platform.App);
    doc.NewDocument();
    quorin::CScriptLimits limits;
    limits.AllowFileWrites = false;
    limits.MaxConnections = 20000;
    quorin::CScriptRunner runner(doc, limits);
    runner.RunScriptFile(path);
    quorin::Stop(doc);
    quorin::WaitForLearning(doc);
    return 0;
}
