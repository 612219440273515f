// Action > Check Grid: finds what would stop a network from being built or from
// learning well, shows each problem's cell, and repairs it when the user agrees.
#include <algorithm>

#include "grid/GridImageSeams.h"
#include "grid/QuorinDoc.h"
#include "grid/RangeCommands.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

int Rows(const CQuorinDoc& doc) {
    return std::max(0, std::min<int>(doc.m_RowCount, static_cast<int>(doc.m_Examples.size())));
}
int Cols(const CQuorinDoc& doc) {
    return std::max(0, std::min<int>(doc.m_ColCount, static_cast<int>(doc.m_InOuts.size())));
}

// Shows the cell, then asks; Yes is the default answer.
bool AskAt(CQuorinDoc& doc, int row, int column, const std::string& question) {
    SetCurrentCell(doc, row, column);
    return doc.App().Prompts().AskYesNo(question);
}

bool KnownValue(double v) { return v < kMissing; }

}  // namespace

int OnActionCheckGrid(CQuorinDoc& doc) {
    doc.App().Trace("OnActionCheckGrid");
    doc.m_GridDisplayShown = true;
    doc.RefreshViews();
    const int rows = Rows(doc);
    const int cols = Cols(doc);

    // Image names of the rows that would learn or validate.
    for (int c = 0; c < cols; ++c) {
        const CInOut& io = doc.m_InOuts[c];
        if (io.Mode != Image || io.InOutType == ExcludedCol) continue;
        for (int r = 0; r < rows; ++r) {
            const int type = doc.m_Examples[r].ExampleType;
            if (type != Training && type != Validating) continue;
            if (!ImageNameMissing(doc, doc.m_Examples[r].Values()[c], c)) continue;
            if (!AskAt(doc, r, c,
                       Format("Example row %d needs a valid image name in column %d.\n\n"
                              "Do you want to exclude the Example row and continue checking?",
                              r, c)))
                return 0;
            doc.SetExampleType(r, ExcludedRow);
            doc.RefreshViews();
        }
    }

    // Validating values inside the Training range; the columns that would feed a network.
    int inputs = 0, outputs = 0;
    for (int c = 0; c < cols; ++c) {
        const int columnType = doc.m_InOuts[c].InOutType;
        if (columnType == Input) ++inputs;
        if (columnType == Output) ++outputs;
        if (columnType == ExcludedCol) continue;
        double highest = kMinusMissing, lowest = kMissing;
        for (int r = 0; r < rows; ++r) {
            if (doc.m_Examples[r].ExampleType != Training) continue;
            const double v = doc.m_Examples[r].Values()[c];
            if (!KnownValue(v)) continue;
            highest = std::max(highest, v);
            lowest = std::min(lowest, v);
        }
        for (int r = 0; r < rows; ++r) {
            if (doc.m_Examples[r].ExampleType != Validating) continue;
            const double v = doc.m_Examples[r].Values()[c];
            if (!KnownValue(v) || (v <= highest && v >= lowest)) continue;
            if (!AskAt(doc, r, c,
                       Format("Row %d, column %d, Validating value not in Training range.\n\n"
                              "Do you want to change the Validating example to a Training "
                              "example ?",
                              r, c)))
                return 0;
            doc.SetExampleType(r, Training);
            doc.RenormaliseAll(1);
            doc.RefreshViews();
        }
    }

    // Columns whose Training values do not vary.
    int trainingRows = 0;
    for (int r = 0; r < rows; ++r) trainingRows += doc.m_Examples[r].ExampleType == Training;
    for (int c = 0; c < cols; ++c) {
        const CInOut& io = doc.m_InOuts[c];
        if (io.InOutType == ExcludedCol || trainingRows <= 1) continue;
        double highest = kMinusMissing, lowest = kMissing;
        for (int r = 0; r < rows; ++r) {
            if (doc.m_Examples[r].ExampleType != Training) continue;
            const double v = doc.m_Examples[r].Values()[c];
            if (!KnownValue(v)) continue;
            highest = std::max(highest, v);
            lowest = std::min(lowest, v);
        }
        if (highest > lowest) continue;
        const std::string question =
            io.InOutName.empty()
                ? Format("Input/Output column %d needs more training values.\n\n"
                         "Do you want to exclude the column?",
                         c)
                : Format("Input/Output column %d '%s' needs more training values.\n\n"
                         "Do you want to exclude the column?",
                         c, io.InOutName.c_str());
        if (!AskAt(doc, 0, c, question)) return 0;
        // Through the editing operation: a network built on the old types is no longer valid.
        doc.SetInOutTypeAndMode(c, ExcludedCol, -1);
        doc.RefreshViews();
    }

    // The verdict counts the columns as they were before any column was excluded above.
    if (inputs == 0 || outputs == 0)
        doc.App().Prompts().Inform("Input columns and Output columns are needed to produce a network.");
    else if (trainingRows > 1)
        doc.App().Prompts().Inform("The Grid can be used to create a network.");
    else
        doc.App().Prompts().Inform("At least two Training example rows are needed for a network to learn.");
    return 1;
}

}  // namespace quorin
