#include "app/StartupRules.h"

#include <cstdio>

#include "platform/StringFormat.h"

namespace quorin {

ECommandLineFile ClassifyCommandLine(const std::string& fileName) {
    if (fileName.size() < 4) return ECommandLineFile::None;
    const std::string ending = fileName.substr(fileName.size() - 4);
    if (ending == ".txt") return ECommandLineFile::Script;
    if (ending == ".tvq") return ECommandLineFile::Document;
    return ECommandLineFile::None;
}

std::string FormatPlacement(const CWindowPlacement& p) {
    return Format("%u, %u, %d, %d, %d, %d, %d, %d, %d, %d", p.Flags, p.ShowCommand, p.MinX,
                  p.MinY, p.MaxX, p.MaxY, p.Left, p.Top, p.Right, p.Bottom);
}

std::optional<CWindowPlacement> ParsePlacement(const std::string& text) {
    CWindowPlacement p;
    const int read = std::sscanf(text.c_str(), "%u, %u, %d, %d, %d, %d, %d, %d, %d, %d", &p.Flags,
                                 &p.ShowCommand, &p.MinX, &p.MinY, &p.MaxX, &p.MaxY, &p.Left,
                                 &p.Top, &p.Right, &p.Bottom);
    if (read != 10) return std::nullopt;
    return p;
}

}  // namespace quorin
