#pragma once
// The three codes of the image in a cell, normalised by the column's code ranges: what the
// three nodes of an Image column are presented, and what the three outputs of one aim at.
#include "coding/Image.h"

namespace quorin {
class CQuorinDoc;

// The image a cell's value names in its column (its name's first record), or null.
const CImage* ImageOfCell(const CQuorinDoc& doc, int row, int column);
// Pair, Edge and Block codes, each held to the column's Training range and mapped into it.
void NormalisedImageCodes(const CQuorinDoc& doc, const CImage& image, int column, double out[3]);

}  // namespace quorin
