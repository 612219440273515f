#pragma once
// The start-up rules that need no window: what the command line asks for, and the
// window placement as the settings store keeps it.
#include <array>
#include <optional>
#include <string>

namespace quorin {

enum class ECommandLineFile { None, Script, Document };

// Compares the last four characters, exactly and case-sensitively, with ".txt" and ".tvq".
ECommandLineFile ClassifyCommandLine(const std::string& fileName);

// Flags, show command, minimised x y, maximised x y, normal left top right bottom.
struct CWindowPlacement {
    static constexpr unsigned RestoreToMaximised = 2;
    static constexpr unsigned ShowMaximised = 3;
    static constexpr unsigned ShowNormal = 1;
    unsigned Flags = 0;
    unsigned ShowCommand = ShowNormal;
    int MinX = -1, MinY = -1;
    int MaxX = -1, MaxY = -1;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

std::string FormatPlacement(const CWindowPlacement& placement);
// Nothing unless all ten fields read as numbers.
std::optional<CWindowPlacement> ParsePlacement(const std::string& text);

}  // namespace quorin
