#include "analysis/QueryRows.h"

#include <fstream>

#include "analysis/QueryImages.h"
#include "automation/ScriptQuery.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
const char* TypePrefix(int type) {
    switch (type) {
    case Input: return "I: ";
    case Output: return "O: ";
    default: return "X: ";
    }
}

double NearestCode(CQuorinDoc& doc, int column, double value) {
    const int mode = doc.m_InOuts[static_cast<size_t>(column)].Mode;
    if (mode == Text) return GetNextTextHash(doc, 0, value, column);
    if (mode == Image) return GetNextImageCode(doc, 0, value, column);
    return value;
}
}  // namespace

double PresetValue(CQuorinDoc& doc, int c, int preset) {
    CInOut& io = doc.m_InOuts[static_cast<size_t>(c)];
    const double low = io.LowValue;
    const double high = io.HighValue;
    switch (preset) {
    case 0: return NearestCode(doc, c, (low + high) * 0.5);
    case 1:
        if (io.Mode == Text) return GetLastText(doc, c);
        if (io.Mode == Image) return GetLastImage(doc, c);
        return high;
    case 2:
        if (io.Mode == Text) return GetFirstText(doc, c);
        if (io.Mode == Image) return GetFirstImage(doc, c);
        return low;
    case 3: {
        double sum = 0.0;
        int count = 0;
        for (const CExample& ex : doc.m_Examples) {
            if (ex.ExampleType != Training && ex.ExampleType != Validating) continue;
            if (static_cast<size_t>(c) >= ex.Values().size() || ex.Values()[static_cast<size_t>(c)] >= 3e38) continue;
            sum += ex.Values()[static_cast<size_t>(c)];
            ++count;
        }
        // Without a known value there is no average: the value stays unknown.
        if (count == 0) return kMissing;
        const double average = sum / count;
        io.AverageValue = high > low ? (average - low) / (high - low) : 0.0;
        return NearestCode(doc, c, high > low ? low + io.AverageValue * (high - low) : average);
    }
    default: return kMissing;
    }
}

int AddQuery(CQuorinDoc& doc, int preset) {
    doc.App().Trace("AddQuery");
    if (!doc.AddRow(0, Querying, 1, 1)) return 0;
    if (preset < 0 || preset > 4) {
        CDialogForm form;
        form.Id = "ExamplePresets";
        form.Title = "Example presets";
        form.AddChoice("Preset", "",
                       {"the median of the values in the column", "the highest value in the column",
                        "the lowest value in the column", "the average of the values in the column",
                        "set to '?' unknown value"},
                       doc.m_ExamplePreset < 0 || doc.m_ExamplePreset > 4 ? 4 : doc.m_ExamplePreset);
        if (doc.App().Prompts().ShowDialog(form) != IdOk) return 1;
        preset = form.Int("Preset");
        if (preset < 0 || preset > 4) preset = 4;
    }
    doc.m_ExamplePreset = preset;
    const int columns = static_cast<int>(doc.m_InOuts.size());
    for (int c = 0; c < columns; ++c) doc.SetValue(c, 0, PresetValue(doc, c, preset), 1, 1, 0, 1);
    // Every column once more, now that the whole row is in place.
    for (int c = 0; c < columns; ++c)
        doc.SetValue(c, 0, doc.m_Examples[0].Values()[static_cast<size_t>(c)], 1, 1, 0, 1);
    return 1;
}

std::string QueryFileHeader(const CQuorinDoc& doc) {
    std::string text = "\t";
    for (const CInOut& io : doc.m_InOuts) text += TypePrefix(io.InOutType) + io.InOutName + "\t";
    return text;
}

int WriteQueryFile(CQuorinDoc& doc, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        doc.App().Prompts().Inform("Could not open file to save query.");
        return 0;
    }
    out << QueryFileHeader(doc);
    const int columns = static_cast<int>(doc.m_InOuts.size());
    for (const CExample& ex : doc.m_Examples) {
        if (ex.ExampleType != Querying) continue;
        std::string text = "\r\n" + ex.ExampleName;
        for (int c = 0; c < columns && c < static_cast<int>(ex.Values().size()); ++c)
            text += "\t" + FormatValue(doc, ex.Values()[static_cast<size_t>(c)], c);
        out << text;
    }
    out.flush();
    if (!out) {
        doc.App().Prompts().Inform("Could not open file to save query.");
        return 0;
    }
    return 1;
}

int SaveQuery(CQuorinDoc& doc) {
    doc.App().Trace("SaveQuery");
    CFileDialogRequest request;
    request.Save = true;
    request.Title = "Open file to save query";
    request.Filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.DefaultExt = "txt";
    request.FileName = doc.m_PathName.empty() ? std::string("Untitled.qu.txt")
                                              : QueryFileName(doc.m_PathName);
    request.OverwritePrompt = true;
    if (!doc.App().Prompts().FileDialog(request)) return 0;
    return WriteQueryFile(doc, request.FileName);
}

int WarnBeforeEditingQueryingOutput(CQuorinDoc& doc, int column, int row) {
    if (!doc.ValidRow(row) || !doc.ValidCol(column)) return 0;
    if (doc.m_Examples[row].ExampleType != Querying || doc.m_InOuts[column].InOutType != Output)
        return 0;
    doc.App().Prompts().Inform(
        "Querying output values should not be edited.\r\n\r\nChanges to values will not be permanent.");
    return 1;
}

}  // namespace quorin
