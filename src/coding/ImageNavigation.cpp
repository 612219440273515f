// Name-order and code-order stepping through images, and associating an Image column.
#include "coding/ImageNavigation.h"

#include "coding/ImageCodes.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// The lowest name of the column above a bound (or the lowest of all), as its Pair code.
// As for texts, no sentinel hides names with bytes above '~'; with no name the answer is
// the code of the empty name, the missing-value marker.
double LowestAbove(CQuorinDoc& doc, int column, const std::string* bound) {
    const std::string* best = nullptr;
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && (!bound || CompareTexts(image.ImageName, *bound) > 0) &&
            (!best || CompareTexts(image.ImageName, *best) < 0))
            best = &image.ImageName;
    return best ? GetImageCode(doc, *best, 1, column) : kMissing;
}

double HighestBelow(CQuorinDoc& doc, int column, const std::string* bound) {
    const std::string* best = nullptr;
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && (!bound || CompareTexts(image.ImageName, *bound) < 0) &&
            (!best || CompareTexts(image.ImageName, *best) > 0))
            best = &image.ImageName;
    return best ? GetImageCode(doc, *best, 1, column) : kMissing;
}

}  // namespace

double GetFirstImage(CQuorinDoc& doc, int column) {
    doc.App().Trace("GetFirstImage   Column %d", column);
    return LowestAbove(doc, column, nullptr);
}

double GetLastImage(CQuorinDoc& doc, int column) {
    doc.App().Trace("GetLastImage   Column %d", column);
    return HighestBelow(doc, column, nullptr);
}

double GetNextImage(CQuorinDoc& doc, int column, double value) {
    doc.App().Trace("GetNextImage   Column %d Value %.4lf", column, value);
    if (value == GetLastImage(doc, column)) return value;
    const std::string current = GetImageName(doc, value, column);
    const double next = LowestAbove(doc, column, &current);
    return next < kMissing ? next : value;
}

double GetPreviousImage(CQuorinDoc& doc, int column, double value) {
    doc.App().Trace("GetPreviousImage   Column %d Value %.4lf", column, value);
    if (value == GetFirstImage(doc, column)) return value;
    const std::string current = GetImageName(doc, value, column);
    const double previous = HighestBelow(doc, column, &current);
    return previous < kMissing ? previous : value;
}

double GetNextImageCode(CQuorinDoc& doc, int change, double value, int column) {
    doc.App().Trace("GetNextImageCode   Change %d Value %.4lf Column %d", change, value, column);
    if (!doc.ValidCol(column) || doc.m_InOuts[column].InOutType != Input) return value;
    if (change != 0 && change != 1) return value;
    double found = change == 0 ? kMissing : kMinusMissing;
    bool any = false;
    for (const CImage& image : doc.m_Images) {
        if (image.Column != column) continue;
        const double c = image.PairCode;
        if ((change == 0 && c > value && c < found) || (change == 1 && c < value && c > found)) {
            found = c;
            any = true;
        }
    }
    return any ? found : value;
}

bool CanAssociateImages(const CQuorinDoc& doc, int column) {
    return doc.ValidCol(column) && column < doc.m_ColCount && doc.m_InOuts[column].Mode == Image &&
           !doc.m_Worker.Busy();
}

bool CanUseImageCommands(const CQuorinDoc& doc) {
    if (doc.m_Worker.Busy()) return false;
    for (int c = 0; c < doc.m_ColCount && doc.ValidCol(c); ++c)
        if (doc.m_InOuts[c].Mode == Image) return true;
    return false;
}

int AssociateImages(CQuorinDoc& doc, int column) {
    doc.App().Trace("AssociateImages   Column %d", column);
    if (!CanAssociateImages(doc, column)) return 0;
    int with = doc.m_InOuts[column].AssociatedColumn;
    if (with < 0 || with >= doc.m_ColCount) with = -1;
    IPrompts& prompts = doc.App().Prompts();
    for (;;) {
        CDialogForm form;
        form.Id = "AssociateImages";
        form.Title = "Associate Images";
        form.AddLabel("Text", Format("Set a temporary association for images in column %d", column));
        form.AddInt("Column", "with values in Input/Output column", with, -1, doc.m_ColCount);
        if (prompts.ShowDialog(form) != IdOk) return 0;
        // An entry handed back unchanged after its refusal is not asked for again forever.
        const bool unchanged = form.Int("Column") == with;
        with = form.Int("Column");
        if (with < 0 || with >= doc.m_ColCount) {
            prompts.Inform("The associated column must be in the Grid.");
            if (unchanged) return 0;
            continue;
        }
        if (doc.m_InOuts[with].Mode == Image) {
            prompts.Inform("Images cannot be associated with other image columns.");
            if (unchanged) return 0;
            continue;
        }
        doc.m_InOuts[column].AssociatedColumn = with;
        return 1;
    }
}

}  // namespace quorin
