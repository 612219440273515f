#pragma once
// Delimited text import into the Grid.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "automation/ImportReader.h"

namespace quorin {
struct CDialogForm;
class CQuorinDoc;

// Result codes of ImportFile; 0 and above is the number of failed lines.
enum EImportResult : int {
    ImportNotOpened = -1,
    ImportNoCarriageReturns = -2,
    ImportNoDelimiters = -3,
    ImportNoLineAction = -4,
    ImportIncompatible = -5,
    ImportNoRowTypes = -6,
    ImportNoColumnTypes = -7,
    ImportNotStarted = -8,
    ImportNoImageFile = -9,
    ImportImageNameBase = -101  // -(101 + n): data line n holds an image name with '?'
};

// The Grid never grows past this many cells through an import: a file is not allowed
// to exhaust memory. Lines after the limit fail with a message.
inline constexpr std::int64_t kImportMaxCells = 50'000'000;
// Files from this size on report their progress while they are read.
inline constexpr std::int64_t kImportProgressSize = 8 << 20;

// One run of the import: the options, the header choice, the column and row types
// and the data lines. Talks to the user only through the document's prompts.
class CImporter {
public:
    explicit CImporter(CQuorinDoc& doc) : m_Doc(doc) {}
    int ImportFile(const std::string& path, int dialog, int names);
    // Modes (Text or Image; others are ignored) for columns the import creates, by column
    // index, as if answered in the Input/Output Column dialog: their fields are read as
    // names instead of numbers. A script gives them from its columntypeandmode lines.
    void SetNewColumnModes(std::vector<int> modes) { m_NewColumnModes = std::move(modes); }

private:
    enum EHeader { UseLine, SetNames };

    int ShowOptionsDialog();
    void ReadDelimiters();
    // Reads the next line that counts; End after the carriage-return count.
    CImportLineReader::EResult NextLine(std::string& line);
    int Columns(const std::string& line) const;
    void PrepareLine(std::string& line) const;
    bool AskAboutRepeats(const std::string& line);
    int FindFirstUsable(std::int64_t& index);
    int ChooseLine(std::int64_t first, std::int64_t& chosen, EHeader& header);
    int SkipTo(std::int64_t chosen);
    int AddColumns(int columns);
    int SetNamesFrom(const std::string& line);
    int GenerateNames();
    int ImportData(int& failed);
    int AskColumnTypes(const std::vector<std::string>& fields, int firstField);
    int DecideRowType(int dataLines);
    int StoreFields(int row, const std::vector<std::string>& fields, int firstField,
                    std::int64_t dataLine);
    int WarnFailure(const std::string& line, int failed);
    void ReportProgress();
    int LineTooLong();
    int Finish(int result);

    CQuorinDoc& m_Doc;
    CImportLineReader m_Reader;
    CImportDelimiters m_Delimiters;
    bool m_Dialog = false;
    bool m_Names = false;
    bool m_AskRowTypes = false;
    bool m_RemoveRepeats = false;
    bool m_Warn = true;
    bool m_RowsAdded = false;
    std::int64_t m_CarriageReturns = 0;
    std::int64_t m_LinesRead = 0;  // lines read since the last rewind
    std::int64_t m_FirstDataLine = 0;
    std::vector<std::string> m_Fields;
    std::vector<int> m_NewColumnModes;
    // Image names whose bitmap could not be loaded in this run: asked for and reported once.
    std::set<std::string> m_UnloadableImages;
    CImportFields m_Line;
    std::int64_t m_Beyond = 0;  // numbers beyond plus or minus 3e38 met in imported rows
    std::int64_t m_FileSize = 0;
    std::uint32_t m_ProgressLines = 0;
    std::uint32_t m_ProgressTick = 0;
    bool m_ProgressShown = false;
};

// ImportFile on a document; see CImporter.
// The delimiter boxes of the import dialog, set from the document's import settings; File
// Query asks with the same boxes.
void AddDelimiterChecks(CDialogForm& form, const CQuorinDoc& doc);

int ImportFile(CQuorinDoc& doc, const std::string& path, int dialog, int names);
// The "&Import File..." command: choose a file, import it with the dialogs, report.
void OnFileImport(CQuorinDoc& doc);
// The message OnFileImport shows for a result, or "" for none.
std::string ImportResultMessage(int result);

// Menu availability.
bool CanImport(const CQuorinDoc& doc);

}  // namespace quorin
