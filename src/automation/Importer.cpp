// Text file import: options, header choice, columns, row types and the data lines.
#include "automation/Importer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "automation/ImportImages.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"
#include "platform/WorkerThreads.h"

namespace quorin {

namespace {

// Internal: the line-length stop has been reported; ImportFile returns 0.
constexpr int kLineStop = INT_MIN;

const char* const kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

int Clamp(int v, int low, int high) { return std::max(low, std::min(high, v)); }

int ClampCount(std::int64_t n) { return static_cast<int>(std::min<std::int64_t>(n, INT_MAX)); }

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// The shown part of a line: its first bytes without the line end.
std::string Excerpt(const std::string& line, std::size_t length) {
    std::string s = line.substr(0, length);
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }),
            s.end());
    return s;
}

}  // namespace

void AddDelimiterChecks(CDialogForm& form, const CQuorinDoc& d) {
    form.AddCheck("Tab", "&Tab", d.m_ImportTab != 0);
    form.AddCheck("Comma", "&Comma", d.m_ImportComma != 0);
    form.AddCheck("Space", "&Space", d.m_ImportSpace != 0);
    form.AddCheck("Semicolon", "S&emicolon", d.m_ImportSemicolon != 0);
    form.AddCheck("Colon", "Co&lon", d.m_ImportColon != 0);
    form.AddCheck("Stop", "Sto&p", d.m_ImportStop != 0);
    form.AddCheck("Other", "&Other character >", d.m_ImportOther != 0);
    form.AddText("OtherText", "", d.m_ImportOtherText);
}

int CImporter::ShowOptionsDialog() {
    CQuorinDoc& d = m_Doc;
    CDialogForm form;
    form.Id = "ImportOptions";
    form.Title = "Import";
    AddDelimiterChecks(form, d);
    form.AddChoice("RowNames", "",
                   {"Use &Numbers (0 to 99999) for row names",
                    "Use the first Word(s) on each line for row names"},
                   Clamp(d.m_ImportRowNames, 0, 1));
    form.AddChoice("RowType", "",
                   {"Training", "Validating", "Querying", "Exclude", "&Ask while importing"},
                   Clamp(d.m_ImportRowType, 0, 4));
    if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return ImportNotStarted;
    d.m_ImportTab = form.Check("Tab");
    d.m_ImportComma = form.Check("Comma");
    d.m_ImportSpace = form.Check("Space");
    d.m_ImportSemicolon = form.Check("Semicolon");
    d.m_ImportColon = form.Check("Colon");
    d.m_ImportStop = form.Check("Stop");
    d.m_ImportOther = form.Check("Other");
    d.m_ImportOtherText = form.Text("OtherText");
    d.m_ImportRowNames = Clamp(form.Int("RowNames"), 0, 1);
    d.m_ImportRowType = Clamp(form.Int("RowType"), 0, 4);
    return 0;
}

void CImporter::ReadDelimiters() {
    const CQuorinDoc& d = m_Doc;
    m_Delimiters = CImportDelimiters();
    if (d.m_ImportTab) m_Delimiters.Set('\t');
    if (d.m_ImportSpace) m_Delimiters.Set(' ');
    if (d.m_ImportSemicolon) m_Delimiters.Set(';');
    if (d.m_ImportComma) m_Delimiters.Set(',');
    if (d.m_ImportColon) m_Delimiters.Set(':');
    if (d.m_ImportStop) m_Delimiters.Set('.');
    if (d.m_ImportOther && d.m_ImportOtherText.size() == 1)
        m_Delimiters.Set(static_cast<unsigned char>(d.m_ImportOtherText[0]));
}

CImportLineReader::EResult CImporter::NextLine(std::string& line) {
    if (m_LinesRead >= m_CarriageReturns) return CImportLineReader::End;
    const auto r = m_Reader.ReadLine(line);
    if (r == CImportLineReader::Line) ++m_LinesRead;
    return r;
}

int CImporter::Columns(const std::string& line) const {
    return m_Delimiters.CountFields(line) - (m_Doc.m_ImportRowNames ? 1 : 0);
}

void CImporter::PrepareLine(std::string& line) const {
    if (m_RemoveRepeats) m_Delimiters.RemoveRepeats(line);
}

bool CImporter::AskAboutRepeats(const std::string& line) {
    if (m_RemoveRepeats || !m_Delimiters.HasRepeats(line)) return false;
    m_RemoveRepeats = m_Doc.App().Prompts().AskYesNo(
        "Some repeated delimiters have been found. They may\ncause problems and produce blank "
        "columns in the Grid.\n\nDo you want to remove them while importing?");
    return m_RemoveRepeats;
}

int CImporter::LineTooLong() {
    m_Doc.App().Prompts().Inform(
        "The line read operation has been terminated\nafter 10000 characters without a line "
        "end.");
    return kLineStop;
}

// The first line with more than one column; its index among the lines read.
int CImporter::FindFirstUsable(std::int64_t& index) {
    m_Reader.Rewind();
    m_LinesRead = 0;
    std::string line;
    for (;;) {
        const auto r = NextLine(line);
        if (r == CImportLineReader::TooLong) return LineTooLong();
        if (r == CImportLineReader::End) return ImportNoDelimiters;
        if (Columns(line) > 1) {
            index = m_LinesRead - 1;
            return 0;
        }
    }
}

// The line dialog: walk the usable lines from the first one until the user picks one.
int CImporter::ChooseLine(std::int64_t first, std::int64_t& chosen, EHeader& header) {
    if (SkipTo(first) != 0) return kLineStop;
    bool skipped = first > 0;
    bool wrapped = false;
    bool foundSinceWrap = false;
    std::string line;
    for (;;) {
        const auto r = NextLine(line);
        if (r == CImportLineReader::TooLong) return LineTooLong();
        if (r == CImportLineReader::End) {
            // Wrap to the first line; a whole pass without a usable line ends the search.
            if (wrapped && !foundSinceWrap) return ImportNoDelimiters;
            wrapped = true;
            foundSinceWrap = false;
            m_Reader.Rewind();
            m_LinesRead = 0;
            continue;
        }
        AskAboutRepeats(line);
        PrepareLine(line);
        const int columns = Columns(line);
        if (columns <= 1) {
            skipped = true;
            continue;
        }
        foundSinceWrap = true;
        CDialogForm form;
        form.Id = "ImportLine";
        form.Title = "Import";
        form.AddLabel("Instructions",
                      "Press 'Use line' to add Grid rows starting with the\r\ncurrent line and "
                      "insert missing column names as AA to ZZ.\r\n\r\nPress 'Set names' to set "
                      "the column names from the current\r\nline and then add Grid rows "
                      "starting with the following line.");
        form.AddLabel("Grid", m_Doc.m_InOuts.empty()
                                  ? std::string("A new Grid will be created based on the current "
                                                "line.\r\nThe following lines must fit into the "
                                                "new Grid.")
                                  : Format("The Grid has %d columns.\r\nImported lines must fit "
                                           "into the Grid.",
                                           static_cast<int>(m_Doc.m_InOuts.size())));
        const int lineNumber = ClampCount(m_LinesRead - 1);
        form.AddLabel("Current",
                      skipped ? Format("Some lines skipped. Current line %d needs %d columns.",
                                       lineNumber, columns)
                              : Format("Current line %d needs %d columns.", lineNumber, columns));
        form.AddLabel("Line", Excerpt(line, 132));
        form.AddButton("Next", "&Next line");
        form.AddButton("Use", "&Use line");
        form.AddButton("Names", "&Set names");
        skipped = false;
        if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return ImportNoLineAction;
        if (form.PressedButton == "Next") continue;
        chosen = m_LinesRead - 1;
        header = form.PressedButton == "Names" ? SetNames : UseLine;
        return 0;
    }
}

// Leaves the reader before line `chosen`.
int CImporter::SkipTo(std::int64_t chosen) {
    m_Reader.Rewind();
    m_LinesRead = 0;
    std::string line;
    while (m_LinesRead < chosen) {
        const auto r = NextLine(line);
        if (r == CImportLineReader::TooLong) return LineTooLong();
        if (r == CImportLineReader::End) break;
    }
    return 0;
}

int CImporter::AddColumns(int columns) {
    if (m_Doc.m_InOuts.empty()) {
        for (int c = 0; c < columns; ++c)
            if (!m_Doc.AddCol(0, 0, 1)) break;
        const int added = static_cast<int>(m_Doc.m_InOuts.size());
        for (int c = 0; c < added && c < static_cast<int>(m_NewColumnModes.size()); ++c)
            if (m_NewColumnModes[c] == Text || m_NewColumnModes[c] == Image)
                m_Doc.SetInOutTypeAndMode(c, -1, m_NewColumnModes[c]);
        return 0;
    }
    if (static_cast<int>(m_Doc.m_InOuts.size()) != columns) return ImportIncompatible;
    return 0;
}

int CImporter::SetNamesFrom(const std::string& line) {
    const int count = m_Delimiters.Split(line, m_Fields);
    const int first = m_Doc.m_ImportRowNames ? 1 : 0;
    const int columns = static_cast<int>(m_Doc.m_InOuts.size());
    for (int f = first; f < count && f - first < columns; ++f)
        m_Doc.SetInOutName(f - first, m_Fields[f]);
    return 0;
}

int CImporter::GenerateNames() {
    const int columns = std::min<int>(static_cast<int>(m_Doc.m_InOuts.size()), 26 * 26);
    for (int c = 0; c < columns; ++c)
        if (m_Doc.m_InOuts[c].InOutName.empty())
            m_Doc.SetInOutName(c, std::string{kLetters[c / 26], kLetters[c % 26]});
    return 0;
}

int CImporter::AskColumnTypes(const std::vector<std::string>& fields, int firstField) {
    const int columns = static_cast<int>(m_Doc.m_InOuts.size());
    int c = 0;
    while (c < columns) {
        CDialogForm form;
        form.Id = "ImportColumn";
        form.Title = "Input/Output Column";
        form.AddLabel("Column", Format("Column: %d   %s  %s", c,
                                       m_Doc.m_InOuts[c].InOutName.c_str(),
                                       fields[firstField + c].c_str()));
        form.AddLabel("Total", Format("Total columns: %d", columns));
        form.AddInt("SetNext", "Set next", 1, 1, columns - c);
        form.AddCheck("SetAll", "Set all new columns to", false);
        form.AddChoice("Mode", "", {"Real", "Integer", "Bool", "Text", "Image"},
                       Clamp(m_Doc.m_ImportColumnMode, 0, 4));
        form.AddChoice("Type", "", {"Input", "Output", "Exclude"},
                       Clamp(m_Doc.m_ImportColumnType, 0, 2));
        if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return ImportNoColumnTypes;
        int next = form.Check("SetAll") ? columns - c : Clamp(form.Int("SetNext"), 1, columns - c);
        m_Doc.m_ImportColumnsNext = next;
        m_Doc.m_ImportColumnType = Clamp(form.Int("Type"), 0, 2);
        m_Doc.m_ImportColumnMode = Clamp(form.Int("Mode"), 0, 4);
        for (; next > 0; --next, ++c)
            m_Doc.SetInOutTypeAndMode(c, m_Doc.m_ImportColumnType, m_Doc.m_ImportColumnMode);
        m_Doc.RefreshViews();
    }
    return 0;
}

int CImporter::DecideRowType(int dataLines) {
    CQuorinDoc& d = m_Doc;
    if (m_AskRowTypes && !d.m_ImportAllRows && d.m_ImportRowsLeft <= 0) {
        if (m_Dialog) {
            CDialogForm form;
            form.Id = "ImportRowType";
            form.Title = "Example Row Type";
            form.AddChoice("Type", "", {"Training", "Validating", "Querying", "Exclude"},
                           Clamp(d.m_ImportRowType, 0, 3));
            form.AddInt("SetNext", "Set next", 1, 0, INT_MAX);
            form.AddCheck("SetAll", "Set all new rows to", false);
            form.AddLabel("Rows", Format("Rows Imported: %d  Total: %d", d.m_RowCount, dataLines));
            if (d.App().Prompts().ShowDialog(form) != IdOk) return ImportNoRowTypes;
            const bool all = form.Check("SetAll");
            if (form.Int("SetNext") < 1 && !all) return ImportNoRowTypes;
            d.m_ImportRowType = Clamp(form.Int("Type"), 0, 3);
            d.m_ImportRowsLeft = form.Int("SetNext");
            d.m_ImportAllRows = all;
        } else {
            d.m_ImportRowType = Training;
            d.m_ImportRowsLeft = 1;
        }
    }
    d.m_ImportRowsLeft = std::max(0, d.m_ImportRowsLeft - 1);
    return Clamp(d.m_ImportRowType, 0, 3);
}

int CImporter::WarnFailure(const std::string& line, int failed) {
    CDialogForm form;
    form.Id = "ImportFailure";
    form.Title = "Import";
    form.AddLabel("Line", Excerpt(line, 128));
    form.AddLabel("Text",
                  Format("Import stopped: %d incorrect line%s", failed, failed > 1 ? "s" : "") +
                      ".\r\n\r\nPress 'Warn' to continue importing with line failure "
                      "warnings.\r\n\r\nPress 'Ignore' to continue importing without further "
                      "warnings.\r\n\r\nPress 'Cancel' to stop importing lines.");
    form.AddButton("Warn", "Warn");
    form.AddButton("Ignore", "Ignore");
    if (m_Doc.App().Prompts().ShowDialog(form) != IdOk) return -1;
    if (form.PressedButton == "Ignore") m_Warn = false;
    return 0;
}

namespace {

// Lines read ahead in one block and what the worker threads made of them. Everything
// here is reused from block to block, so a warm run allocates nothing per line.
struct CImportBlock {
    std::vector<std::string> Lines;
    std::vector<unsigned char> Fits;    // the line split into the expected fields
    std::vector<double> Values;         // columns per line; Text columns left unset
    std::vector<std::int32_t> Beyond;   // numbers beyond the marker per line
    std::vector<std::string> Texts;     // Text fields, text columns per line
    std::vector<std::string> Names;     // row names, when the first field is one
    std::size_t Count = 0;
};

// What a worker needs: all of it only read while the workers run.
struct CImportShape {
    const CImportDelimiters* Delimiters = nullptr;
    int FirstField = 0;
    int Columns = 0;
    std::vector<unsigned char> IsText;  // per column
    int TextColumns = 0;
    bool PointIsDot = true;
};

// Splits and converts lines [from, to) of a block; touches only those lines' slots.
void ParseBlockLines(const CImportShape& shape, CImportBlock& block, std::size_t from,
                     std::size_t to) {
    CImportFields fields;
    const std::size_t columns = static_cast<std::size_t>(shape.Columns);
    const std::size_t texts = static_cast<std::size_t>(shape.TextColumns);
    for (std::size_t i = from; i < to; ++i) {
        block.Fits[i] =
            shape.Delimiters->Split(block.Lines[i], fields) - shape.FirstField == shape.Columns;
        if (!block.Fits[i]) continue;
        std::int32_t beyond = 0;
        std::size_t t = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::string_view field = fields[shape.FirstField + static_cast<int>(c)];
            if (shape.IsText[c]) {
                block.Texts[i * texts + t++].assign(field);
            } else {
                bool outside = false;
                block.Values[i * columns + c] =
                    GetValueFromString(field, outside, shape.PointIsDot);
                beyond += outside ? 1 : 0;
            }
        }
        block.Beyond[i] = beyond;
        if (shape.FirstField) block.Names[i].assign(fields[0]);
    }
}

// Cells converted per block: enough to make a thread worth starting, small enough to
// stay in the cache and to bound the memory read ahead.
constexpr std::size_t kBlockCells = 1 << 17;
// How far ahead the text code index is asked to fetch a line's slots.
constexpr std::size_t kPrefetchLines = 8;

}  // namespace

int CImporter::ImportData(int& failed) {
    CQuorinDoc& d = m_Doc;
    const int columns = static_cast<int>(d.m_InOuts.size());
    const int firstField = d.m_ImportRowNames ? 1 : 0;
    const int dataLines = ClampCount(std::max<std::int64_t>(0, m_CarriageReturns - m_LinesRead));
    if (columns > 0) {
        const std::int64_t room = kImportMaxCells / columns + 1;
        d.m_Examples.reserve(static_cast<std::size_t>(std::min<std::int64_t>(
            static_cast<std::int64_t>(d.m_Examples.size()) + dataLines, room)));
    }
    std::int64_t failures = 0;
    std::int64_t dataLine = 0;
    bool firstImported = true;
    std::vector<double> values(columns);
    std::string line;
    std::string text;  // a Text or Image field, for the coding that takes a string
    std::optional<CTextCodeIndex> index;
    const bool pointIsDot = DecimalPointIsDot();  // the locale is asked once, not per field

    // Everything that depends on order happens here, one line after the other: the checks,
    // the dialogs, the Text coding, the rows. `block` holds the line as slot `i` when a
    // worker has split and converted it already; nullopt means go on with the next line.
    CImportShape shape;
    auto storeLine = [&](std::string& current, const CImportBlock* block,
                         std::size_t i) -> std::optional<int> {
        const bool parsed = block != nullptr;
        ReportProgress();
        if (!parsed) {
            PrepareLine(current);
            if (m_Delimiters.Split(current, m_Line) - firstField != columns || columns < 1) {
                failed = ClampCount(++failures);
                if (m_Warn && WarnFailure(current, failed) != 0) return failed;
                return std::nullopt;
            }
        }
        if (static_cast<std::int64_t>(d.m_Examples.size() + 1) * columns > kImportMaxCells) {
            d.App().Prompts().Inform(Format(
                "The Grid has reached %lld values, the most an import can add.\nThe remaining "
                "lines have not been imported.",
                static_cast<long long>(kImportMaxCells)));
            return failed;
        }
        if (firstImported && m_Dialog) {
            m_Delimiters.Split(current, m_Fields);
            const int rc = AskColumnTypes(m_Fields, firstField);
            if (rc != 0) return rc;
        }
        firstImported = false;
        // Convert first, so that a line that cannot be completed adds no row.
        std::int64_t beyond = 0;
        if (parsed) {
            const auto texts = static_cast<std::size_t>(shape.TextColumns);
            std::size_t t = 0;
            // The index's slots are a cache miss apiece: have those of a later line's
            // texts on the way.
            if (index && i + kPrefetchLines < block->Count)
                for (std::size_t k = 0; k < texts; ++k)
                    index->Prefetch(block->Texts[(i + kPrefetchLines) * texts + k]);
            for (int c = 0; c < columns; ++c) {
                if (shape.IsText[c]) {
                    if (!index) index.emplace(d.m_HashTexts);
                    values[c] = Hash(d, block->Texts[i * texts + t++], c, 1, *index);
                } else {
                    values[c] = block->Values[i * static_cast<std::size_t>(columns) + c];
                }
            }
            beyond = block->Beyond[i];
        } else {
            for (int c = 0; c < columns; ++c) {
                const std::string_view field = m_Line[firstField + c];
                switch (d.m_InOuts[c].Mode) {
                case Text:
                    if (!index) index.emplace(d.m_HashTexts);
                    text.assign(field);
                    values[c] = Hash(d, text, c, 1, *index);
                    break;
                case Image: {
                    if (field.find('?') != std::string_view::npos)
                        return -static_cast<int>(std::min<std::int64_t>(101 + dataLine, INT_MAX));
                    text.assign(field);
                    if (!ImportImageValue(d, text, c, values[c], m_UnloadableImages))
                        return ImportNoImageFile;
                    break;
                }
                default: {
                    bool outside = false;
                    values[c] = GetValueFromString(field, outside, pointIsDot);
                    beyond += outside ? 1 : 0;
                }
                }
            }
        }
        const int type = DecideRowType(dataLines);
        if (type < 0) return type;
        if (!d.AddRow(0, type, 0, 1)) return std::nullopt;
        m_RowsAdded = true;
        m_Beyond += beyond;
        const int row = static_cast<int>(d.m_Examples.size()) - 1;
        if (!firstField)
            d.SetExampleName(row, "#" + std::to_string(row), 1);
        else if (parsed)
            d.SetExampleName(row, block->Names[i], 1);
        else
            d.SetExampleName(row, std::string(m_Line[0]), 1);
        if (d.App().Tracing()) {
            for (int c = 0; c < columns; ++c) d.SetValue(c, row, values[c], 0, 0, 0, 1);
        } else {
            // What SetValue(.., Update 0, Normalise 0, SingleRow 0, Modified 1) does for a row
            // AddRow has just sized to every column, without its per-cell checks.
            std::copy(values.begin(), values.end(), d.m_Examples[row].Values().begin());
            d.SetModified();
        }
        return std::nullopt;
    };

    // Worker threads split and convert blocks of lines ahead; anything unusual (tracing,
    // Image columns, one thread) keeps to the plain path, which gives the same document.
    const int threads = std::min(WorkerThreadCount(), 64);
    auto noImages = [&d] {
        return std::none_of(d.m_InOuts.begin(), d.m_InOuts.end(),
                            [](const CInOut& io) { return io.Mode == Image; });
    };
    bool blocks = threads > 1 && columns > 0 && !d.App().Tracing() && noImages();
    while (!blocks || (firstImported && m_Dialog)) {
        const auto r = NextLine(line);
        if (r == CImportLineReader::TooLong) return LineTooLong();
        if (r == CImportLineReader::End) return failed;
        if (const auto rc = storeLine(line, nullptr, 0)) return *rc;
        ++dataLine;
        // The column modes are final once the first row is in.
        if (!firstImported && blocks) blocks = noImages();
    }
    shape.Delimiters = &m_Delimiters;
    shape.FirstField = firstField;
    shape.Columns = columns;
    shape.PointIsDot = pointIsDot;
    shape.IsText.resize(columns);
    for (int c = 0; c < columns; ++c) {
        shape.IsText[c] = d.m_InOuts[c].Mode == Text;
        shape.TextColumns += shape.IsText[c];
    }
    // Two blocks: the workers convert the next while this thread stores the current one.
    std::array<CImportBlock, 2> buffers;
    const std::size_t lines =
        std::clamp<std::size_t>(kBlockCells / static_cast<std::size_t>(columns), 16, 4096);
    for (CImportBlock& b : buffers) {
        b.Lines.resize(lines);
        b.Fits.resize(lines);
        b.Values.resize(lines * static_cast<std::size_t>(columns));
        b.Beyond.resize(lines);
        b.Texts.resize(lines * static_cast<std::size_t>(shape.TextColumns));
        b.Names.resize(firstField ? lines : 0);
    }
    auto readBlock = [&](CImportBlock& b) {
        auto r = CImportLineReader::Line;
        b.Count = 0;
        while (b.Count < b.Lines.size()) {
            r = NextLine(b.Lines[b.Count]);
            if (r != CImportLineReader::Line) break;
            PrepareLine(b.Lines[b.Count]);
            ++b.Count;
        }
        return r;
    };
    // Lines of a block go out in small runs to whichever thread is free, so that this thread
    // takes its share of the next block once its rows are stored. Each line has its own slots,
    // so the block is the same whoever parsed which line.
    auto parseShare = [&shape](CImportBlock& b, std::atomic<std::size_t>& cursor) {
        constexpr std::size_t kRun = 64;
        for (;;) {
            const std::size_t from = cursor.fetch_add(kRun, std::memory_order_relaxed);
            if (from >= b.Count) return;
            ParseBlockLines(shape, b, from, std::min(b.Count, from + kRun));
        }
    };
    auto startHelpers = [&](CImportBlock& b, std::atomic<std::size_t>& cursor,
                            std::vector<std::jthread>& helpers) {
        for (int p = 1; p < threads; ++p)
            helpers.emplace_back([&parseShare, &b, &cursor] { parseShare(b, cursor); });
    };
    CImportBlock* ready = &buffers[0];
    CImportBlock* next = &buffers[1];
    auto readyEnd = readBlock(*ready);
    {
        std::atomic<std::size_t> cursor{0};
        std::vector<std::jthread> helpers;
        startHelpers(*ready, cursor, helpers);
        parseShare(*ready, cursor);
    }  // the helpers are joined as they go out of scope
    for (;;) {
        auto nextEnd = CImportLineReader::End;
        std::optional<int> rc;
        {
            std::atomic<std::size_t> cursor{0};
            std::vector<std::jthread> helpers;
            const bool more = readyEnd == CImportLineReader::Line;
            if (more) {
                nextEnd = readBlock(*next);
                startHelpers(*next, cursor, helpers);
            }
            for (std::size_t i = 0; i < ready->Count && !rc; ++i) {
                rc = ready->Fits[i] ? storeLine(ready->Lines[i], ready, i)
                                    : storeLine(ready->Lines[i], nullptr, 0);
                ++dataLine;
            }
            if (more && !rc) parseShare(*next, cursor);
        }  // the helpers are joined here, before `next` is read
        if (rc) return *rc;
        if (readyEnd == CImportLineReader::TooLong) return LineTooLong();
        if (readyEnd == CImportLineReader::End) break;
        std::swap(ready, next);
        readyEnd = nextEnd;
    }
    return failed;
}

void CImporter::ReportProgress() {
    // A clock read per line would cost more than the line: look every 4096 lines.
    if ((++m_ProgressLines & 4095) != 0 || m_FileSize < kImportProgressSize) return;
    const std::uint32_t now = m_Doc.App().Clock().GetTickCount();
    if (m_ProgressShown && now - m_ProgressTick < 1000) return;
    m_ProgressTick = now;
    m_ProgressShown = true;
    const int percent = static_cast<int>(
        std::min<std::int64_t>(99, m_Reader.Position() * 100 / std::max<std::int64_t>(1, m_FileSize)));
    m_Doc.App().Views().ShowFileProgress(m_Doc, "Importing", percent);
}

int CImporter::Finish(int result) {
    m_Reader.Close();
    if (m_ProgressShown) m_Doc.App().Views().ShowFileProgress(m_Doc, "Importing", 100);
    m_ProgressShown = false;
    // After the line-length stop its message stands alone.
    const bool lineStop = result == kLineStop;
    if (lineStop) result = 0;
    // Values went in without normalising: ranges are recomputed once, also when the run
    // ended early, so that the rows it added never carry stale normalised values.
    if ((result >= 0 || m_RowsAdded) && !m_Doc.m_Examples.empty() && !m_Doc.m_InOuts.empty())
        m_Doc.RenormaliseAll(1);
    if (m_Beyond > 0 && !lineStop)
        m_Doc.App().Prompts().Inform(Format(
            m_Beyond == 1 ? "%lld imported number lay beyond 3e38 in size: %s"
                          : "%lld imported numbers lay beyond 3e38 in size: %s",
            static_cast<long long>(m_Beyond),
            "a value of 3e38 or more is stored as missing (\"?\"),\na value of -3e38 or less "
            "is kept."));
    return result;
}

int CImporter::ImportFile(const std::string& path, int dialog, int names) {
    CQuorinDoc& d = m_Doc;
    d.App().Trace("ImportFile   Path %s Dialog %d Names %d", path.c_str(), dialog, names);
    m_Dialog = dialog != 0;
    m_Names = names != 0;
    if (d.m_Learning || d.m_Associating) {
        d.App().Prompts().Inform(
            "The Grid cannot be changed while learning or associating runs.");
        return ImportNotStarted;
    }
    if (m_Dialog && ShowOptionsDialog() != 0) return ImportNotStarted;
    ReadDelimiters();
    if (!m_Delimiters.Any()) {
        d.App().Prompts().Inform("At least one Input/Output column delimiter must be used.");
        return ImportNotStarted;
    }
    m_AskRowTypes = false;
    if (d.m_ImportRowType == 4) {
        m_AskRowTypes = true;
        d.m_ImportRowType = 0;
    }
    d.m_ImportAllRows = 0;
    m_RemoveRepeats = false;
    m_Warn = true;
    m_RowsAdded = false;
    m_UnloadableImages.clear();
    m_Beyond = 0;
    m_ProgressLines = 0;
    m_ProgressShown = false;
    switch (m_Reader.Open(path)) {
    case CImportLineReader::Opened: break;
    case CImportLineReader::NotRegular:
        // A device or a pipe could be read for ever or hold the program in the open.
        d.App().Prompts().Inform(
            Format("'%s' is not a regular file and cannot be imported.", path.c_str()));
        return ImportNotOpened;
    default: return ImportNotOpened;
    }
    m_FileSize = m_Reader.Size();
    // Bitmaps that image names name are looked for beside the imported file.
    CImagePathScope imagesBeside(d.m_ImageState.ImportPath, path);
    CWaitCursor wait(d.App().Prompts());
    m_CarriageReturns = m_Reader.CountCarriageReturns();
    if (m_CarriageReturns == 0) return Finish(ImportNoCarriageReturns);

    std::int64_t candidate = 0;
    int rc = FindFirstUsable(candidate);
    if (rc != 0) return Finish(rc);
    std::int64_t chosen = candidate;
    EHeader header = m_Names ? SetNames : UseLine;
    bool passOver = !m_Dialog && !m_Names;
    if (m_Dialog) {
        rc = ChooseLine(candidate, chosen, header);
        if (rc != 0) return Finish(rc);
    }
    if (SkipTo(chosen) != 0) return Finish(kLineStop);
    std::string line;
    {
        // Peek at the chosen line for its column count; re-read it below for Use line.
        const auto r = NextLine(line);
        if (r == CImportLineReader::TooLong) return Finish(LineTooLong());
        PrepareLine(line);
    }
    const int columns = Columns(line);
    if (header == UseLine && !passOver && columns > 675) {
        d.App().Prompts().Inform("Column names reached 'ZZ'. No more can be generated.");
        return Finish(ImportNotStarted);
    }
    rc = AddColumns(columns);
    if (rc != 0) return Finish(rc);
    if (header == SetNames) {
        SetNamesFrom(line);
    } else if (!passOver) {
        // Letter names belong to "Use line"; a line passed over names nothing.
        GenerateNames();
        if (SkipTo(chosen) != 0) return Finish(kLineStop);
    }
    int failed = 0;
    return Finish(ImportData(failed));
}

int ImportFile(CQuorinDoc& doc, const std::string& path, int dialog, int names) {
    CImporter importer(doc);
    return importer.ImportFile(path, dialog, names);
}

std::string ImportResultMessage(int result) {
    if (result > 1) return Format("%d lines have failed to be imported.", result);
    if (result == 1) return Format("%d line has failed to be imported.", result);
    switch (result) {
    case 0: return {};
    case ImportNotOpened: return "The file to import could not be opened.";
    case ImportNoCarriageReturns: return "No line feeds can be found.\nThe file cannot be imported.";
    case ImportNoDelimiters: return "No column delimiters can be found.\nThe file cannot be imported.";
    case ImportNoLineAction: return "No Line action has been selected.\nThe file cannot be imported.";
    case ImportIncompatible:
        return "The current line is not compatible with\nthe grid. The file rows cannot be added.";
    case ImportNoRowTypes:
        return "No Example row types have been set.\nThe import has not been completed.";
    case ImportNoColumnTypes:
        return "Input/Output types have not been set.\nThe import has not been completed.";
    case ImportNotStarted: return "The import has not been started.";
    case ImportNoImageFile:
        return "No Image file has been selected.\nThe import has not been completed.";
    default: break;
    }
    if (result <= -100)
        return Format("Line %d in import file has a problem.\n\nImages cannot use names "
                      "containing '?'.\nThe import has not been completed.",
                      -result - 100);
    return {};
}

void OnFileImport(CQuorinDoc& doc) {
    doc.App().Trace("OnFileImport");
    CFileDialogRequest request;
    request.Title = "Open file to Import";
    request.Filter = "Text files (*.txt;*.csv)|*.txt;*.csv|All Files (*.*)|*.*||";
    request.DefaultExt = "txt";
    if (!doc.App().Prompts().FileDialog(request)) return;
    const std::string& path = request.FileName;
    if (EndsWith(path, ".txt")) doc.m_ImportTab = 1;
    if (EndsWith(path, ".csv")) doc.m_ImportComma = 1;
    const std::string message = ImportResultMessage(ImportFile(doc, path, 1, 0));
    if (!message.empty()) doc.App().Prompts().Inform(message);
}

bool CanImport(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

}  // namespace quorin
