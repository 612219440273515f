#pragma once
// Cutting a bitmap into a raster of fragments, each an image of its own in successive rows.
#include <string>

namespace quorin {
class CQuorinDoc;

// What a fragment descriptor says.
struct CFragment {
    int Width = 0;   // fragment size in pixels
    int Height = 0;
    int Across = 1;  // fragments horizontally and vertically
    int Down = 1;
    int X = 0;       // this fragment's horizontal and vertical index
    int Y = 0;
    std::string Source;  // the bitmap it is cut from
};

// "#fragment W=%d, H=%d, X=%d, Y=%d, x=%d, y=%d, %s".
std::string FragmentDescriptor(const CFragment& fragment);
// False for a descriptor that is malformed or names an impossible fragment.
bool ParseFragmentDescriptor(const std::string& descriptor, CFragment& fragment);
// The signature of the fragment's region of its source, or "~ no image ~".
std::string FragmentSignature(const CFragment& fragment);

// The highest number among the names made of the prefix and six or more digits; 0 when
// there is none (found, when given, tells the two apart).
int HighestFragmentNumber(CQuorinDoc& doc, const std::string& prefix, bool* found = nullptr);
// Stores one fragment's record and puts its Pair code into the cell; 1 when placed, 0 when
// the cell is not in an Image column of the Grid.
int PlaceImageFragment(CQuorinDoc& doc, const std::string& imageName,
                       const std::string& descriptor, int column, int row, double pairCode,
                       double edgeCode, double blockCode);
// Codes the fragments of the file row of fragments by row of fragments into the column,
// from the row on (adding training rows at the end when needed). Returns the number placed.
int FragmentImage(CQuorinDoc& doc, const std::string& fileName, const std::string& prefix,
                  int width, int height, int across, int down, int column, int row);
// The "Fragment image" dialogs for the cell, then FragmentImage. 1 when fragments were made.
int PreFragment(CQuorinDoc& doc, int column, int row);
// Edit > Fragment Image: an Image column's cell while nothing calculates.
bool CanFragmentImage(const CQuorinDoc& doc, int column, int row);

}  // namespace quorin
