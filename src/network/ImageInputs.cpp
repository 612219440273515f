#include "network/ImageInputs.h"

#include "coding/ImageCodes.h"
#include "grid/QuorinDoc.h"
#include "network/ImageCodeTargets.h"

namespace quorin {

namespace {
constexpr const char* kIncompleteImage =
    "The Grid has at least one Input containing\r\nan incomplete image entry.\r\n\r\nThis message "
    "may be repeated until the threads\r\nassociated with this network are terminated.\r\n"
    "Learning threads can take a few seconds to stop.\r\n\r\nUse Action > Check Grid to locate "
    "the problem.";
}  // namespace

const CImage* ImageOfCell(const CQuorinDoc& doc, int row, int column) {
    if (!doc.ValidRow(row) || !doc.ValidCol(column)) return nullptr;
    const std::span<const double> values = doc.m_Examples[row].Values();
    if (column >= static_cast<int>(values.size())) return nullptr;
    const double value = values[column];
    if (value >= kMissing) return nullptr;
    // The name whose Pair code the cell holds, then that name's first record in the column.
    const CImage* named = nullptr;
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && image.PairCode == value) {
            named = &image;
            break;
        }
    if (!named) return nullptr;
    for (const CImage& image : doc.m_Images)
        if (image.Column == column && image.ImageName == named->ImageName) return &image;
    return named;
}

void NormalisedImageCodes(const CQuorinDoc& doc, const CImage& image, int column, double out[3]) {
    const CInOut& io = doc.m_InOuts[column];
    const double codes[3] = {image.PairCode, image.EdgeCode, image.BlockCode};
    for (int j = 0; j < 3; ++j) {
        const double low = io.ImageCodeLow[j];
        const double high = io.ImageCodeHigh[j];
        double code = codes[j];
        if (code > high) code = high;
        if (code < low) code = low;
        double n = (code - low) / (high - low);
        // Ranges not set, or one code the same on every Training row, hold no information:
        // as a Grid column without spread normalises to its lower limit, so does the code.
        if (!(high < kMissing && low > kMinusMissing) || !(n >= doc.m_LowerLimit)) n = doc.m_LowerLimit;
        if (n > doc.m_UpperLimit) n = doc.m_UpperLimit;
        out[j] = n;
    }
}

int PresentImageInputs(CQuorinDoc& doc, int row, int column, int firstNode, int checkImages) {
    const CImage* image = ImageOfCell(doc, row, column);
    if (!image && checkImages == 1 && doc.m_Learning && doc.ValidRow(row) &&
        doc.m_Examples[row].ExampleType != Querying) {
        doc.App().Prompts().Inform(kIncompleteImage);
        doc.m_StopRequest = true;
        doc.m_AssociatingStopRequest = true;
        return 0;
    }
    double values[3] = {doc.m_Middle, doc.m_Middle, doc.m_Middle};
    // A cell without an image is presented as the middle, as its normalised value is.
    if (image) NormalisedImageCodes(doc, *image, column, values);
    const int nodes = static_cast<int>(doc.m_Nodes.size());
    for (int j = 0; j < 3; ++j) {
        const int k = firstNode + j;
        if (k >= nodes || doc.m_Nodes[k].NodeType != InputNode) break;
        doc.m_Nodes[k].NetInput = doc.m_Nodes[k].Activation = values[j];
    }
    return 1;
}

}  // namespace quorin
