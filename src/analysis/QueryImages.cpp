#include "analysis/QueryImages.h"

#include "coding/ImageList.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"

namespace quorin::query {

namespace {
const CImage* LowestAbove(const CQuorinDoc& doc, int column, const std::string* bound) {
    const CImage* best = nullptr;
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && (!bound || CompareTexts(image.ImageName, *bound) > 0) &&
            (!best || CompareTexts(image.ImageName, best->ImageName) < 0))
            best = &image;
    return best;
}
const CImage* HighestBelow(const CQuorinDoc& doc, int column, const std::string* bound) {
    const CImage* best = nullptr;
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && (!bound || CompareTexts(image.ImageName, *bound) < 0) &&
            (!best || CompareTexts(image.ImageName, best->ImageName) > 0))
            best = &image;
    return best;
}
double CodeOf(const CImage* image, double otherwise) { return image ? image->PairCode : otherwise; }
}  // namespace

double GetFirstImage(CQuorinDoc& doc, int column) {
    doc.App().Trace("GetFirstImage   Column %d", column);
    return CodeOf(LowestAbove(doc, column, nullptr), kMissing);
}

double GetLastImage(CQuorinDoc& doc, int column) {
    doc.App().Trace("GetLastImage   Column %d", column);
    return CodeOf(HighestBelow(doc, column, nullptr), kMissing);
}

double GetNextImage(CQuorinDoc& doc, int column, double value) {
    doc.App().Trace("GetNextImage   Column %d Value %.4lf", column, value);
    const std::string current = GetImageName(doc, value, column);
    return CodeOf(LowestAbove(doc, column, &current), value);
}

double GetPreviousImage(CQuorinDoc& doc, int column, double value) {
    doc.App().Trace("GetPreviousImage   Column %d Value %.4lf", column, value);
    const std::string current = GetImageName(doc, value, column);
    return CodeOf(HighestBelow(doc, column, &current), value);
}

double GetNextImageCode(CQuorinDoc& doc, int change, double value, int column) {
    doc.App().Trace("GetNextImageCode   Change %d Value %.4lf Column %d", change, value, column);
    if (change != 0 && change != 1) return value;
    const CImage* found = nullptr;
    for (const CImage& image : doc.m_Images) {
        if (image.Column != column) continue;
        if (change == 0 && image.PairCode > value && (!found || image.PairCode < found->PairCode))
            found = &image;
        if (change == 1 && image.PairCode < value && (!found || image.PairCode > found->PairCode))
            found = &image;
    }
    return CodeOf(found, value);
}

double GetImageCode(CQuorinDoc& doc, const std::string& name, int column) {
    doc.App().Trace("GetImageCode   Name %s Column %d", name.c_str(), column);
    for (const CImage& image : doc.m_Images)
        if ((column == -1 || image.Column == column) && image.ImageName == name) return image.PairCode;
    return kMissing;
}

}  // namespace quorin::query
