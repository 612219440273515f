#pragma once
#include <string>

namespace quorin {

class IShell {
public:
    virtual ~IShell() = default;
    // Opens the file with the program associated with it; false on failure.
    virtual bool OpenFile(const std::string& path) = 0;
};

}  // namespace quorin
