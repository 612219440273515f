// The image list kept in step with the columns, and image names for display.
#include "coding/ImageList.h"

#include <algorithm>
#include <vector>

#include "coding/HashTexts.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

CImage& NewImage(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName,
                 int column, double pairCode, double edgeCode, double blockCode) {
    doc.App().Trace("NewImage   Name %s File %s Column %d Codes %.4lf %.4lf %.4lf",
                    imageName.c_str(), fileName.c_str(), column, pairCode, edgeCode, blockCode);
    doc.m_Images.push_back({imageName, column, pairCode, edgeCode, blockCode, fileName});
    // A list that the file status does not carry would be lost on saving.
    if (doc.m_FileStatus < 9) doc.m_FileStatus = 9;
    return doc.m_Images.back();
}

int ImageIsDuplicate(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName,
                     int column, double pairCode, double edgeCode, double blockCode) {
    if (doc.App().m_TraceLevel >= 2)
        doc.App().Trace("ImageIsDuplicate   Name %s File %s Column %d", imageName.c_str(),
                        fileName.c_str(), column);
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && image.PairCode == pairCode && image.EdgeCode == edgeCode &&
            image.BlockCode == blockCode && image.ImageName == imageName &&
            image.FileName == fileName)
            return 1;
    return 0;
}

int ImageIsValid(CQuorinDoc& doc, double pairCode, int column) {
    doc.App().Trace("ImageIsValid   Code %.4lf Column %d", pairCode, column);
    if (column < 0) return 0;
    for (const CExample& ex : doc.m_Examples)
        if (column < static_cast<int>(ex.Values().size()) && ex.Values()[column] == pairCode) return 1;
    return 0;
}

std::string GetImageName(CQuorinDoc& doc, double value, int column) {
    doc.App().Trace("GetImageName   Value %.4lf Column %d", value, column);
    for (const CImage& image : doc.m_Images)
        if ((column == -1 || image.Column == column) && image.PairCode == value)
            return image.ImageName;
    const bool output = column >= 0 && column < static_cast<int>(doc.m_InOuts.size()) &&
                        doc.m_InOuts[column].InOutType == Output;
    if (!output) return kNoImage;
    double above = kMissing;
    double below = kMinusMissing;
    const CImage* nearestAbove = nullptr;
    const CImage* nearestBelow = nullptr;
    for (const CImage& image : doc.m_Images) {
        if (image.Column != column) continue;
        if (image.PairCode > value && image.PairCode < above) {
            above = image.PairCode;
            nearestAbove = &image;
        }
        if (image.PairCode < value && image.PairCode > below) {
            below = image.PairCode;
            nearestBelow = &image;
        }
    }
    if (!nearestAbove && !nearestBelow) return kNoImage;
    const double dAbove = nearestAbove ? above - value : kMissing;
    const double dBelow = nearestBelow ? value - below : kMissing;
    const CImage* nearest = dAbove < dBelow ? nearestAbove : nearestBelow;
    const double r = std::min(dAbove, dBelow) / value;
    return ApproximationPrefix(r) + nearest->ImageName;
}

void CopyImages(CQuorinDoc& doc, int fromColumn, int toColumn) {
    doc.App().Trace("CopyImages   From %d To %d", fromColumn, toColumn);
    const size_t existing = doc.m_Images.size();
    for (size_t i = 0; i < existing; ++i) {
        const CImage image = doc.m_Images[i];  // a copy: appending may reallocate
        if (image.Column != fromColumn) continue;
        if (ImageIsDuplicate(doc, image.ImageName, image.FileName, toColumn, image.PairCode,
                             image.EdgeCode, image.BlockCode))
            continue;
        NewImage(doc, image.ImageName, image.FileName, toColumn, image.PairCode, image.EdgeCode,
                 image.BlockCode);
    }
}

void DecrementImageCols(CQuorinDoc& doc, int deletedColumn) {
    doc.App().Trace("DecrementImageCols   Column %d", deletedColumn);
    if (deletedColumn < 0) return;  // the scratch column is never renumbered
    for (CImage& image : doc.m_Images)
        if (image.Column >= deletedColumn) --image.Column;
}

void DecrementAssociations(CQuorinDoc& doc, int deletedColumn) {
    doc.App().Trace("DecrementAssociations   Column %d", deletedColumn);
    for (CInOut& io : doc.m_InOuts) {
        if (io.Mode != Image) continue;
        // An association with the deleted column itself would silently move to its neighbour.
        if (io.AssociatedColumn == deletedColumn) io.AssociatedColumn = -1;
        if (io.AssociatedColumn > deletedColumn) --io.AssociatedColumn;
        if (io.AssociatedColumn >= doc.m_ColCount) io.AssociatedColumn = -1;
    }
}

int PurgeImages(CQuorinDoc& doc, int column) {
    doc.App().Trace("PurgeImages   Column %d", column);
    const std::vector<double> held = SortedColumnValues(doc, column);
    const size_t before = doc.m_Images.size();
    std::erase_if(doc.m_Images, [&](const CImage& image) {
        return image.Column == column &&
               !std::binary_search(held.begin(), held.end(), image.PairCode);
    });
    const int removed = static_cast<int>(before - doc.m_Images.size());
    if (doc.App().m_DiagnosticLevel == 1 && removed > 0)
        doc.App().Prompts().Inform(Format(removed == 1 ? "%d image item deleted from column %d."
                                                       : "%d image items deleted from column %d.",
                                          removed, column));
    return removed;
}

int TidyImages(CQuorinDoc& doc) {
    doc.App().Trace("TidyImages");
    const int columns = doc.m_ColCount;
    const size_t before = doc.m_Images.size();
    // The scratch column -2 holds images while columns are moved, as for texts.
    std::erase_if(doc.m_Images, [columns](const CImage& image) {
        return image.Column != -2 && (image.Column < 0 || image.Column >= columns);
    });
    const int removed = static_cast<int>(before - doc.m_Images.size());
    if (doc.App().m_DiagnosticLevel == 1 && removed > 0)
        doc.App().Prompts().Inform(Format(removed == 1 ? "%d unallocated image item deleted."
                                                       : "%d unallocated image items deleted.",
                                          removed));
    return removed;
}

}  // namespace quorin
