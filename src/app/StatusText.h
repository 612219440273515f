#pragma once
#include <string>

namespace quorin {

// The first status bar pane's line for a document status code; `count` is the
// learning cycle count, or the column being associated for codes 16 and 17.
std::string StatusText(int status, int count);

// The learning graph's caption for a status code; empty when it has none.
std::string GraphCaption(int status, double validatingTarget, double withinPercentage);

}  // namespace quorin
