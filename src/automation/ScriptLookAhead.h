#pragma once
// Reading a script's lines ahead of the one being run.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorin {

// Calls `visit` with each line of the file from byte `offset` on that ends with a carriage
// return (the lines a run executes), until `visit` returns false or the file ends.
void VisitScriptLinesFrom(const std::string& path, std::int64_t offset,
                          const std::function<bool(const std::string&)>& visit);

// Notes a columntypeandmode line in `modes` (mode by column index, -1 none): the mode of
// `count` columns from `first`, a later line overriding an earlier one. Columns past the
// widest line an import can read are left out.
void NoteColumnModes(std::vector<int>& modes, int first, int count, int mode);

}  // namespace quorin
