#pragma once
// Coding bitmaps into the codes of Image columns, and finding images and their files again.
#include <string>

#include "coding/ImageList.h"

namespace quorin {
class CQuorinDoc;

// A file name that stands for a fragment of another bitmap.
bool IsFragmentDescriptor(const std::string& fileName);
// The signature of a bitmap file or fragment descriptor, or "~ no image ~" when it cannot
// be loaded.
std::string GetImageSignature(CQuorinDoc& doc, const std::string& fileName);

// Codes the bitmap under the name in the column; the Pair code, or the missing-value
// marker when the file cannot be loaded (nothing is then stored).
double ImageCode(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName,
                 int column, int row);
// Raises each code while an image of another name has one of that part less than 1 away.
void MakeImageCodesDistinct(CQuorinDoc& doc, const std::string& imageName, double& pairCode,
                            double& edgeCode, double& blockCode);
// Keeps a signature computed elsewhere for the file name (a fragment of sourceFile).
void RememberImageSignature(CQuorinDoc& doc, const std::string& fileName,
                            const std::string& sourceFile, const std::string& signature);
// Makes each of the three codes distinct from those of other names, then stores the record
// unless it is a duplicate or the name begins with "~". Returns the Pair code.
double StoreImageCodes(CQuorinDoc& doc, const std::string& imageName,
                       const std::string& fileName, int column, double& pairCode,
                       double& edgeCode, double& blockCode);
// Part 1 Pair, 2 Edge, 3 Block, 0 their sum; column -1: any column.
double GetImageCode(CQuorinDoc& doc, const std::string& imageName, int part, int column);
int ImageCodeTooClose(CQuorinDoc& doc, const std::string& imageName, double code, int part);
std::string GetImageFileName(CQuorinDoc& doc, const std::string& imageName);
// The name of the image that uses the file in the column.
std::string GetImageName(CQuorinDoc& doc, const std::string& fileName, int column);

// The bitmap file for a name: the one it has, or one the user chooses. "~ no image ~" when
// none was chosen or the file cannot be opened.
std::string SelectImageFileName(CQuorinDoc& doc, const std::string& imageName, int column,
                                int changeFile);
// The file an image name itself names: the name as a path, else with ".bmp" added; a
// relative one beside the file being imported, then beside the script, then from the
// working folder. Empty when there is none.
std::string FileNamedByImage(CQuorinDoc& doc, const std::string& imageName);
// "... cannot be loaded as a bitmap." for a file.
std::string CannotLoadMessage(const std::string& file);
// Deletes the first record with this name and file; 1 when one was deleted.
int PurgeImage(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName);

// The Pair code for a name in a cell: its known bitmap or one the user chooses, and once
// more another when that one cannot be loaded. False when no file was chosen or none loads.
bool CodeImageName(CQuorinDoc& doc, const std::string& imageName, int column, int row,
                   double& value);
// The value of a name typed into an Image cell; false when the entry was abandoned.
bool ImageEntryValue(CQuorinDoc& doc, int column, int row, const std::string& text,
                     double& value);

}  // namespace quorin
