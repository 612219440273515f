// Column ranges and the normalised copy of every cell.
#include <algorithm>
#include <cmath>
#include <vector>

#include "grid/QuorinDoc.h"
#include "platform/WorkerThreads.h"

namespace quorin {

void CQuorinDoc::SetRowCount() {
    m_App.Trace("SetRowCount");
    m_RowCount = static_cast<std::int32_t>(m_Examples.size());
}

void CQuorinDoc::SetColCount() {
    m_App.Trace("SetColCount");
    m_ColCount = m_Examples.empty() ? 0 : static_cast<std::int32_t>(m_Examples[0].Values().size());
}

double CQuorinDoc::SetLowValue(int col) {
    m_App.Trace("SetLowValue   Col %d", col);
    if (!ValidCol(col)) return kMissing;
    CInOut& io = m_InOuts[col];
    io.LowValue = kMissing;
    io.ImageCodeLow = {kMissing, kMissing, kMissing};
    for (const CExample& ex : m_Examples) {
        if (ex.ExampleType != Training) continue;
        const double v = ex.Values()[col];
        if (v < io.LowValue && v != kMissing) io.LowValue = v;
        if (io.Mode == Image) {
            for (const CImage& image : m_Images) {
                if (image.Column != col || image.PairCode != v) continue;
                const double codes[3] = {image.PairCode, image.EdgeCode, image.BlockCode};
                for (int k = 0; k < 3; ++k)
                    if (codes[k] < io.ImageCodeLow[k] && codes[k] != kMissing)
                        io.ImageCodeLow[k] = codes[k];
                break;
            }
        }
    }
    return io.LowValue;
}

double CQuorinDoc::SetHighValue(int col) {
    m_App.Trace("SetHighValue   Col %d", col);
    if (!ValidCol(col)) return kMinusMissing;
    CInOut& io = m_InOuts[col];
    io.HighValue = kMinusMissing;
    io.ImageCodeHigh = {kMinusMissing, kMinusMissing, kMinusMissing};
    for (const CExample& ex : m_Examples) {
        if (ex.ExampleType != Training) continue;
        const double v = ex.Values()[col];
        if (v > io.HighValue && v != kMissing) io.HighValue = v;
        if (io.Mode == Image) {
            for (const CImage& image : m_Images) {
                if (image.Column != col || image.PairCode != v) continue;
                const double codes[3] = {image.PairCode, image.EdgeCode, image.BlockCode};
                for (int k = 0; k < 3; ++k)
                    if (codes[k] > io.ImageCodeHigh[k] && codes[k] != kMissing)
                        io.ImageCodeHigh[k] = codes[k];
                break;
            }
        }
    }
    return io.HighValue;
}

void CQuorinDoc::NormaliseInOutValues(int col, int row, double low, double high) {
    m_App.Trace("NormaliseInOutValues   Col %d Row %d Low %.4lf High %.4lf", col, row, low, high);
    if (!ValidCol(col) || row >= static_cast<int>(m_Examples.size())) return;
    const CInOut& io = m_InOuts[col];
    auto normalise = [&](CExample& ex) {
        const double v = ex.Values()[col];
        double n;
        if (v != kMissing) {
            n = (v - low) / (high - low);
        } else if (io.Mode == Bool || io.Mode == Text || io.Mode == Image) {
            n = m_Middle;
        } else {
            switch (m_MissingDataChoice) {
                case MissingHighest: n = m_UpperLimit; break;
                case MissingLowest: n = m_LowerLimit; break;
                case MissingAverage: n = io.AverageValue; break;
                default: n = m_Middle; break;
            }
        }
        if (n > m_UpperLimit) n = m_UpperLimit;
        if (!(n >= m_LowerLimit)) n = m_LowerLimit;  // also catches an undefined quotient
        ex.NormalisedValues()[col] = n;
    };
    if (row >= 0) {
        normalise(m_Examples[row]);
    } else {
        for (CExample& ex : m_Examples) normalise(ex);
    }
}

void CQuorinDoc::SetValue(int col, int row, double value, int update, int normalise,
                          int singleRow, int modified) {
    m_App.Trace("SetValue   Col %d Row %d Value %.4lf Update %d Normalise %d SingleRow %d Modified %d",
                col, row, value, update, normalise, singleRow, modified);
    if (!ValidRow(row) || !ValidCol(col) ||
        col >= static_cast<int>(m_Examples[row].Values().size()))
        return;
    m_Examples[row].Values()[col] = value;
    if (normalise) {
        const double low = SetLowValue(col);
        double high = SetHighValue(col);
        if (high == 0.0) high = 1e-10;
        NormaliseInOutValues(col, singleRow ? row : -1, low, high);
    }
    if (modified) SetModified();
    if (update && m_ViewsMayRedraw && modified) RefreshViews();
}

// Every column's LowValue and HighValue as SetLowValue and SetHighValue give them (min and max
// are exact, so the order of the walk cannot change them), in one walk over the rows instead of
// two per column. Refused, leaving every column untouched, when tracing (the per-column trace
// lines), for image columns (their code look-up) and for rows narrower than the columns.
bool CQuorinDoc::SetRangesRowMajor(int columns, std::vector<double>& low,
                                   std::vector<double>& high) {
    const int cols = std::min<int>(columns, static_cast<int>(m_InOuts.size()));
    if (cols <= 0 || m_App.Tracing()) return false;
    for (int c = 0; c < cols; ++c)
        if (m_InOuts[c].Mode == Image) return false;
    const auto width = static_cast<std::size_t>(cols);
    for (const CExample& ex : m_Examples)
        if (ex.Values().size() < width) return false;

    // Each range of rows finds its own extremes; taken in row order with the same strict
    // comparisons they give the one walk's result, ties between 0 and -0 included.
    const std::size_t parts = RangeCount(m_Examples.size(), width);
    std::vector<double> lows(parts * width, kMissing);
    std::vector<double> highs(parts * width, kMinusMissing);
    ForEachRange(m_Examples.size(), parts, [&](std::size_t part, std::size_t from, std::size_t to) {
        double* partLow = lows.data() + part * width;
        double* partHigh = highs.data() + part * width;
        for (std::size_t r = from; r < to; ++r) {
            const CExample& ex = m_Examples[r];
            if (ex.ExampleType != Training) continue;
            const double* values = ex.Values().data();
            for (std::size_t c = 0; c < width; ++c) {
                const double v = values[c];
                if (v < partLow[c] && v != kMissing) partLow[c] = v;
                if (v > partHigh[c] && v != kMissing) partHigh[c] = v;
            }
        }
    });
    low.assign(width, kMissing);
    high.assign(width, kMinusMissing);
    for (std::size_t part = 0; part < parts; ++part) {
        for (std::size_t c = 0; c < width; ++c) {
            const double partLow = lows[part * width + c];
            const double partHigh = highs[part * width + c];
            if (partLow < low[c]) low[c] = partLow;
            if (partHigh > high[c]) high[c] = partHigh;
        }
    }
    for (std::size_t c = 0; c < width; ++c) {
        CInOut& io = m_InOuts[c];
        io.LowValue = low[c];
        io.HighValue = high[c];
        io.ImageCodeLow = {kMissing, kMissing, kMissing};
        io.ImageCodeHigh = {kMinusMissing, kMinusMissing, kMinusMissing};
    }
    return true;
}

// The same ranges and normalised values as SetValue's per-column passes (three walks over every
// row for each column), in two walks over the rows; the per-column path where SetRangesRowMajor
// refuses and for ragged normalised rows.
static bool RenormaliseRowMajor(CQuorinDoc& d, int columns, int modified) {
    // Columns without a column record are passed over by SetValue.
    const int cols = std::min<int>(columns, static_cast<int>(d.m_InOuts.size()));
    if (cols <= 0) return false;
    const auto width = static_cast<std::size_t>(cols);
    for (const CExample& ex : d.m_Examples)
        if (ex.NormalisedValues().size() < width) return false;
    std::vector<double> low;
    std::vector<double> high;
    if (!d.SetRangesRowMajor(cols, low, high)) return false;
    for (std::size_t c = 0; c < width; ++c)
        if (high[c] == 0.0) high[c] = 1e-10;
    std::vector<double> whenMissing(width);
    for (std::size_t c = 0; c < width; ++c) {
        const CInOut& io = d.m_InOuts[c];
        if (io.Mode == Bool || io.Mode == Text) {
            whenMissing[c] = d.m_Middle;
        } else {
            switch (d.m_MissingDataChoice) {
                case MissingHighest: whenMissing[c] = d.m_UpperLimit; break;
                case MissingLowest: whenMissing[c] = d.m_LowerLimit; break;
                case MissingAverage: whenMissing[c] = io.AverageValue; break;
                default: whenMissing[c] = d.m_Middle; break;
            }
        }
    }
    const double upper = d.m_UpperLimit;
    const double lower = d.m_LowerLimit;
    const std::size_t parts = RangeCount(d.m_Examples.size(), width);
    ForEachRange(d.m_Examples.size(), parts, [&](std::size_t, std::size_t from, std::size_t to) {
        for (std::size_t r = from; r < to; ++r) {
            const std::span<const double> values = d.m_Examples[r].Values();
            const std::span<double> normalised = d.m_Examples[r].NormalisedValues();
            for (std::size_t c = 0; c < width; ++c) {
                const double v = values[c];
                double n = v != kMissing ? (v - low[c]) / (high[c] - low[c]) : whenMissing[c];
                if (n > upper) n = upper;
                if (!(n >= lower)) n = lower;
                normalised[c] = n;
            }
        }
    });
    for (int c = 0; c < cols; ++c) {
        if (modified) d.SetModified();
        if (d.m_ViewsMayRedraw && modified) d.RefreshViews();
    }
    return true;
}

void CQuorinDoc::RenormaliseAll(int modified) {
    if (m_Examples.empty()) return;
    const int columns = std::min<int>(m_ColCount, static_cast<int>(m_Examples[0].Values().size()));
    if (RenormaliseRowMajor(*this, columns, modified)) return;
    for (int c = 0; c < columns; ++c) SetValue(c, 0, m_Examples[0].Values()[c], 1, 1, 0, modified);
}


void CQuorinDoc::ComputeColumnAverages() {
    SetColumnAverages();
    RenormaliseAll(0);
}

void CQuorinDoc::SetColumnAverages() {
    m_App.Trace("SetColumnAverages");
    for (int c = 0; c < m_ColCount && c < static_cast<int>(m_InOuts.size()); ++c) {
        double sum = 0.0;
        int count = 0;
        for (const CExample& ex : m_Examples) {
            if (ex.ExampleType != Training && ex.ExampleType != Validating) continue;
            if (ex.Values()[c] >= kMissing) continue;
            sum += ex.Values()[c];
            ++count;
        }
        // No known value leaves the mean undefined, as the rule says; clamping handles it.
        const double mean = sum / count;
        CInOut& io = m_InOuts[c];
        io.AverageValue = (mean - io.LowValue) / (io.HighValue - io.LowValue);
    }
}

double CQuorinDoc::InitialNormalisedValue() const {
    switch (m_MissingDataChoice) {
        case MissingHighest: return m_UpperLimit;
        case MissingLowest: return m_LowerLimit;
        default: return m_Middle;
    }
}

}  // namespace quorin
