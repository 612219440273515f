#include "analysis/FileQuery.h"

#include <cmath>
#include <fstream>
#include <mutex>
#include <vector>

#include "analysis/QueryImages.h"
#include "analysis/Querying.h"
#include "analysis/QueryRows.h"
#include "analysis/WorkCopy.h"
#include "automation/ImportReader.h"
#include "automation/Importer.h"
#include "automation/ScriptQuery.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/Propagation.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

bool Blank(const std::vector<std::string>& fields, int count) {
    for (int f = 0; f < count; ++f)
        if (!fields[static_cast<size_t>(f)].empty()) return false;
    return true;
}

// A Text field as the column codes it: a recorded text gives its code, any other text the
// nearest recorded code, shown with the approximation prefix.
double TextValue(CQuorinDoc& doc, int column, const std::string& text, std::string& shown) {
    shown.clear();
    if (text.empty() || text[0] == '?') return kMissing;
    for (const CHashText& record : doc.m_HashTexts)
        if (record.Column == column && record.Text == text) return record.Code;
    const double base = BaseHashCode(text);
    const CHashText* nearest = nullptr;
    for (const CHashText& record : doc.m_HashTexts)
        if (record.Column == column &&
            (!nearest || std::fabs(record.Code - base) < std::fabs(nearest->Code - base)))
            nearest = &record;
    if (!nearest) return kMissing;
    shown = ApproximationPrefix(base != 0.0 ? std::fabs(nearest->Code - base) / std::fabs(base)
                                            : 1.0) +
            nearest->Text;
    return nearest->Code;
}

}  // namespace

int FileQuery(CQuorinDoc& doc, const std::string& path, const CFileQueryOptions& o,
              const std::string& outputPath) {
    CQuorinApp& app = doc.App();
    app.Trace("FileQuery   Path %s Output %s", path.c_str(), outputPath.c_str());
    IPrompts& prompts = app.Prompts();
    if (doc.m_Nodes.empty() || !NetworkMatchesGrid(doc)) {
        prompts.Inform("A network is needed before a file can be queried.");
        return -1;
    }
    CImportDelimiters delimiters;
    if (o.Tab) delimiters.Set('\t');
    if (o.Space) delimiters.Set(' ');
    if (o.Semicolon) delimiters.Set(';');
    if (o.Comma) delimiters.Set(',');
    if (o.Colon) delimiters.Set(':');
    if (o.Stop) delimiters.Set('.');
    if (o.Other && o.OtherText.size() == 1) delimiters.Set(static_cast<unsigned char>(o.OtherText[0]));
    if (!delimiters.Any()) {
        prompts.Inform("At least one Input/Output column delimiter must be used.");
        return -1;
    }
    CImportLineReader reader;
    if (reader.Open(path) != CImportLineReader::Opened) {
        prompts.Inform(Format("The file to query '%s' could not be opened.", path.c_str()));
        return -1;
    }
    const std::int64_t lines = reader.CountCarriageReturns();
    if (lines == 0) {
        prompts.Inform("No line feeds can be found.\nThe file cannot be queried.");
        return -1;
    }

    // The lines are answered on a copy with one scratch Querying row at its end.
    CWorkApp workApp(app.Clock());
    CQuorinDoc work(workApp.App());
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        CopyForWork(doc, work);
    }
    const int columns = std::min<int>(work.m_ColCount, static_cast<int>(work.m_InOuts.size()));
    std::vector<int> inputs;
    for (int c = 0; c < columns; ++c)
        if (work.m_InOuts[static_cast<size_t>(c)].InOutType == Input) inputs.push_back(c);
    work.AddRow(0, Querying, 0, 0);
    const int row = static_cast<int>(work.m_Examples.size()) - 1;
    int firstOutput = 0;
    const int nodes = static_cast<int>(work.m_Nodes.size());
    while (firstOutput < nodes && work.m_Nodes[static_cast<size_t>(firstOutput)].NodeType != OutputNode)
        ++firstOutput;

    const int nameFields = o.NoRowNames ? 0 : 1;
    std::vector<int> fieldOf(inputs.size());  // the file column of each Input column
    for (size_t i = 0; i < inputs.size(); ++i) fieldOf[i] = static_cast<int>(i);
    int headerColumns = -1;
    std::vector<std::string> fields;
    std::string line;
    std::string output = QueryFileHeader(work);
    int answered = 0;
    for (std::int64_t index = 0; index < lines; ++index) {
        const auto r = reader.ReadLine(line);
        if (r == CImportLineReader::End) break;
        if (r == CImportLineReader::TooLong) {
            prompts.Inform("The line read operation has been terminated\nafter 10000 characters "
                           "without a line end.");
            return -1;
        }
        const int count = delimiters.Split(line, fields);
        if (Blank(fields, count)) continue;
        const int fileColumns = count - nameFields;
        if (!o.NoColumnNames && headerColumns < 0) {
            headerColumns = fileColumns;
            for (size_t i = 0; i < inputs.size(); ++i) {
                const std::string& name = work.m_InOuts[static_cast<size_t>(inputs[i])].InOutName;
                fieldOf[i] = -1;
                for (int f = 0; f < fileColumns && fieldOf[i] < 0; ++f)
                    if (fields[static_cast<size_t>(f + nameFields)] == name) fieldOf[i] = f;
                if (fieldOf[i] < 0) {
                    prompts.Inform(Format("The file has no column named '%s' for the Input "
                                          "column %d.\nThe file cannot be queried.",
                                          name.c_str(), inputs[i]));
                    return -1;
                }
            }
            continue;
        }
        const int needed = o.NoColumnNames ? static_cast<int>(inputs.size()) : headerColumns;
        if (fileColumns < needed || (!o.NoColumnNames && fileColumns != headerColumns)) {
            prompts.Inform(Format("Line %lld of the file has %d columns where %d are needed.\n"
                                  "The file cannot be queried.",
                                  static_cast<long long>(index), fileColumns < 0 ? 0 : fileColumns,
                                  needed));
            return -1;
        }
        CExample& ex = work.m_Examples[static_cast<size_t>(row)];
        ex.ExampleName = nameFields ? fields[0] : Format("#%d", answered);
        std::vector<std::string> shown(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c) work.SetValue(c, row, kMissing, 0, 0, 0, 0);
        for (size_t i = 0; i < inputs.size(); ++i) {
            const int c = inputs[i];
            const std::string& text = fields[static_cast<size_t>(fieldOf[i] + nameFields)];
            const int mode = work.m_InOuts[static_cast<size_t>(c)].Mode;
            double value;
            if (mode == Text)
                value = TextValue(work, c, text, shown[static_cast<size_t>(c)]);
            else if (mode == Image)
                value = text.empty() || text[0] == '?' ? kMissing : GetImageCode(work, text, c);
            else
                value = GetValueFromString(text);
            work.SetValue(c, row, value, 0, 1, 1, 0);
        }
        if (!ConnectInputs(work, row, 0)) {
            prompts.Inform(Format("Line %lld of the file cannot be presented to the network.\n"
                                  "The file cannot be queried.", static_cast<long long>(index)));
            return -1;
        }
        CalculateActivations(work);
        int node = firstOutput;
        for (int c = 0; c < columns; ++c) {
            const CInOut& io = work.m_InOuts[static_cast<size_t>(c)];
            if (io.InOutType != Output || node >= nodes) continue;
            const double answer =
                io.LowValue + work.m_Nodes[static_cast<size_t>(node)].Activation * (io.HighValue - io.LowValue);
            work.SetValue(c, row, answer, 0, 0, 1, 0);
            node += NodesOf(io);
        }
        output += "\r\n" + ex.ExampleName;
        for (int c = 0; c < columns; ++c) {
            const std::string& text = shown[static_cast<size_t>(c)];
            output += "\t" + (text.empty() ? FormatValue(work, ex.Values()[static_cast<size_t>(c)], c) : text);
        }
        ++answered;
    }
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    if (out) out << output;
    if (out) out.flush();
    if (!out) {
        prompts.Inform("Could not open file to save query.");
        return -1;
    }
    return answered;
}

bool CanFileQuery(const CQuorinDoc& doc) { return CanQuery(doc) && NetworkMatchesGrid(doc); }

void OnActionFileQuery(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    app.Trace("OnActionFileQuery");
    if (!CanFileQuery(doc)) return;
    CDialogForm form;
    form.Id = "FileQuery";
    form.Title = "File Query";
    AddDelimiterChecks(form, doc);
    form.AddCheck("NoRowNames", "File does not contain &Example row names", false);
    form.AddCheck("NoColumnNames", "File does not contain &Input/Output column names", false);
    if (app.Prompts().ShowDialog(form) != IdOk) return;
    CFileQueryOptions o;
    o.Tab = form.Check("Tab");
    o.Comma = form.Check("Comma");
    o.Space = form.Check("Space");
    o.Semicolon = form.Check("Semicolon");
    o.Colon = form.Check("Colon");
    o.Stop = form.Check("Stop");
    o.Other = form.Check("Other");
    o.OtherText = form.Text("OtherText");
    o.NoRowNames = form.Check("NoRowNames");
    o.NoColumnNames = form.Check("NoColumnNames");

    CFileDialogRequest open;
    open.Title = "Open file to query";
    open.Filter = "Text Files (*.txt;*.csv)|*.txt;*.csv|All Files (*.*)|*.*||";
    open.DefaultExt = "txt";
    if (!app.Prompts().FileDialog(open)) return;
    CFileDialogRequest save;
    save.Save = true;
    save.Title = "Open file to save query";
    save.Filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    save.DefaultExt = "txt";
    save.FileName = QueryFileName(open.FileName);
    save.OverwritePrompt = true;
    if (!app.Prompts().FileDialog(save)) return;
    FileQuery(doc, open.FileName, o, save.FileName);
}

}  // namespace quorin
