#pragma once
// The generator behind every initial weight and bias. Its state belongs to the calling
// thread, so a learning thread and the user interface never disturb each other's sequence.
#include <cstdint>

namespace quorin {

void SeedRandom(std::uint32_t seed);
// Next value of the sequence, 0 to 32767.
int NextRandom();
// Next initial weight, in [-0.5, +0.5).
double RandomWeight();

// The random draws of a row to turn into a validating row, both kept away from the first
// two rows and the last. The script's line and the Controls dialog scale the draw in two
// ways that round differently, and files made by either depend on their own, so each keeps
// its arithmetic.
// The script's: draw x rows / 32767; -1 when the Grid has no such row.
int ScriptRandomRow(int rows);
// The row the script's rule gives for one draw (0 to 32767).
int ScriptRowOfDraw(int draw, int rows);
// The Controls dialog's: draw x rows x (1 / 32767), for at least three rows.
int DialogRandomRow(int rows);

}  // namespace quorin
