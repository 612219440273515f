#pragma once
#include <span>
#include <vector>

#include "grid/Example.h"

namespace quorin::test {

// A row's values or normalised values, comparable and printable by the test macros.
inline std::vector<double> AsVector(std::span<const double> cells) { return {cells.begin(), cells.end()}; }

inline void SetCells(CExample& ex, const std::vector<double>& values, const std::vector<double>& normalised) {
    ex.Cells.Assign(values, normalised);
}

}  // namespace quorin::test
