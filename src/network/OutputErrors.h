#pragma once
// The output half of CalculateErrors, shared by the record and the packed form.
#include <cmath>

#include "grid/QuorinDoc.h"
#include "network/ImageCodeTargets.h"

namespace quorin {

// Sets the Error of output nodes [first, end) from the row's targets, the Output columns taken
// in column order, and returns the sum of absolute errors (one per column). An Image column's
// first node aims at the column's own target (the normalised Pair code, which answers are
// read back from); the second and third at the Edge and Block codes of the row's image,
// normalised as they are presented to inputs (the Pair target again when the cell names no
// image). The column adds the mean distance of its three nodes. Nodes left without a
// column (the Grid changed after the build) get no error.
template <class Activation, class SetError>
double OutputErrorSum(const CQuorinDoc& doc, int row, int first, int end, Activation activation,
                      SetError setError) {
    const bool rowValid = row >= 0 && row < static_cast<int>(doc.m_Examples.size());
    const std::span<const double> targets =
        rowValid ? doc.m_Examples[row].NormalisedValues() : std::span<const double>();
    const int columns = static_cast<int>(doc.m_InOuts.size());
    double sum = 0.0;
    int c = 0;
    for (int k = first; k < end;) {
        while (c < columns && doc.m_InOuts[c].InOutType != Output) ++c;
        if (!rowValid || c >= columns || c >= static_cast<int>(targets.size())) {
            for (; k < end; ++k) setError(k, 0.0);
            break;
        }
        const double target = targets[c];
        if (doc.m_InOuts[c].Mode == Image) {
            double aims[3] = {target, target, target};
            if (const CImage* image = ImageOfCell(doc, row, c)) {
                NormalisedImageCodes(doc, *image, c, aims);
                aims[0] = target;
            }
            double distance = 0.0;
            int fed = 0;
            for (; fed < 3 && k < end; ++fed, ++k) {
                const double error = aims[fed] - activation(k);
                setError(k, error);
                distance += std::fabs(error);
            }
            sum += distance / fed;
        } else {
            const double error = target - activation(k);
            setError(k, error);
            sum += std::fabs(error);
            ++k;
        }
        ++c;
    }
    return sum;
}

}  // namespace quorin
