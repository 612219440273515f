// Evaluating the cell function. No precedence, no brackets: every operator and name acts
// on one running value, read from left to right.
#include "coding/CellFunction.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <iterator>

#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

constexpr const char* kInvalid = "Invalid or unsupported function";
constexpr const char* kDivideByZero = "Divide by zero";
constexpr const char* kSquareRoot = "Square root of negative number";
constexpr const char* kLog = "Log of negative or zero";
constexpr const char* kUndefined = "The function would produce an undefined result";
constexpr const char* kOutOfRange = "The function would produce an 'out of range' result";
constexpr const char* kNotOnText = "Function not allowed on text";
constexpr const char* kNotOnImage = "Function not allowed on image";

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
// Characters a numeric operand is made of.
bool IsCollected(char ch) { return IsDigit(ch) || ch == '.' || ch == 'e' || ch == 'E'; }

// Names in the order they are tried: "ifnn" and "ifnp" before "ifn".
enum EName { Pow, Sqrt, Log, Exp, Cos, Sin, Tan, Acos, Asin, Atan, Ifz, Ifnz, Ifnn, Ifnp, Ifn, Ifp };
constexpr std::string_view kNames[] = {"pow",  "sqrt", "log",  "exp",  "cos", "sin",
                                       "tan",  "acos", "asin", "atan", "ifz", "ifnz",
                                       "ifnn", "ifnp", "ifn",  "ifp"};

// Reads operands of one function text. A scan for a number passes over everything up to
// the first character of a number, so neighbouring operators' scans share their tails. The
// last scan is remembered: any later scan that starts inside it ends at the same number, and
// one that starts beyond it covers new ground, so a left-to-right pass stays linear.
class COperandReader {
public:
    COperandReader(const std::string& text, const CCellFunction& function)
        : m_Text(text), m_Function(function) {}

    double Read(size_t position) {
        if (position >= m_Text.size()) return kMissing;
        switch (m_Text[position]) {
            case 'r': return m_Function.Row;
            case 'c': return m_Function.Column;
            case 'v': return m_Function.CellValue;
            case 'x': return m_Function.ColumnMax;
            case 'n': return m_Function.ColumnMin;
            default: break;
        }
        const char first = m_Text[position];
        if (!IsCollected(first) && first != ' ') return kMissing;
        if (!(m_Scanned && position >= m_From && position <= m_Start)) {
            size_t start = position;
            while (start < m_Text.size() && !IsCollected(m_Text[start])) ++start;
            m_From = position;
            m_Start = start;
            m_Value = start < m_Text.size() ? Convert(start) : kMissing;
            m_Scanned = true;
        }
        return m_Value;
    }

private:
    // Collects from the first character of a number; blanks are passed over, any other
    // character ends it.
    double Convert(size_t start) const {
        std::string collected;
        bool digit = false;
        for (size_t i = start; i < m_Text.size(); ++i) {
            const char ch = m_Text[i];
            if (ch == ' ') continue;
            if (!IsCollected(ch)) break;
            collected += ch;
            digit = digit || IsDigit(ch);
        }
        if (!digit) return kMissing;
        return std::strtod(collected.c_str(), nullptr);
    }

    const std::string& m_Text;
    const CCellFunction& m_Function;
    bool m_Scanned = false;
    size_t m_From = 0;   // where the remembered scan began
    size_t m_Start = 0;  // the number it found (the text's end when none)
    double m_Value = kMissing;
};

// An operand that no number stands for. Minus the marker is the unset column maximum.
bool Undefined(double operand) { return !(operand < kMissing && operand > kMinusMissing); }

bool StartsWith(const std::string& text, size_t position, std::string_view name) {
    return text.compare(position, name.size(), name) == 0;
}

class CFunctionRun {
public:
    CFunctionRun(CQuorinDoc& doc, int execute)
        : m_Doc(doc), m_Execute(execute != 0), m_Text(doc.m_CellFunction.Text),
          m_Reader(m_Text, doc.m_CellFunction) {}

    // Evaluates the function on one cell; returns the error message or nullptr.
    const char* Cell(int column, int row) {
        if (m_Doc.m_InOuts[column].Mode == Text) return kNotOnText;
        if (m_Doc.m_InOuts[column].Mode == Image) return kNotOnImage;
        // A fresh write flag per cell: a condition that failed on one cell must not
        // silence the start of the function on the next.
        m_Write = true;
        double value = CellValue(column, row);
        size_t position = 0;
        while (position < m_Text.size()) {
            const char ch = m_Text[position];
            const bool passOver = IsDigit(ch) || ch == ' ' || ch == '.' || ch == 'E' ||
                                  ch == 'r' || ch == 'v' ||
                                  (ch == 'e' && !StartsWith(m_Text, position, "exp")) ||
                                  (ch == 'c' && !StartsWith(m_Text, position, "cos"));
            if (passOver) {
                ++position;
                continue;
            }
            if (m_Execute) value = CellValue(column, row);
            const char* error = nullptr;
            if (ch == 'x' || ch == 'n') {
                const double operand = m_Reader.Read(position);
                if (Undefined(operand))
                    error = kUndefined;
                else
                    value = operand;
                ++position;
            } else if (ch == '*' || ch == '/' || ch == '+' || ch == '-') {
                error = Arithmetic(ch, m_Reader.Read(position + 1), value);
                ++position;
            } else {
                const int count = static_cast<int>(std::size(kNames));
                int name = std::strchr("pslecta", ch) || ch == 'i' ? 0 : count;
                while (name < count && !StartsWith(m_Text, position, kNames[name])) ++name;
                if (name == count) return kInvalid;
                error = Apply(static_cast<EName>(name), position, value);
                position += kNames[name].size();
            }
            if (value > kMissing || value < kMinusMissing) return kOutOfRange;
            if (error) return error;
            if (value != value) return kUndefined;  // never store an undefined number
            if (m_Execute && m_Write) {
                // Stored at once, so that the next step reloads it; the column's range, its
                // normalised values and the views follow once per run (NormaliseTouched or
                // the closing write-back), not once per step.
                m_Doc.SetValue(column, row, value, 0, 0, 0, 1);
                m_Touched.insert(column);
            }
        }
        return nullptr;
    }

    // Brings the ranges and normalised values of written columns up to date.
    void NormaliseTouched() {
        for (int column : m_Touched) m_Doc.SetValue(column, 0, CellValue(column, 0), 1, 1, 0, 1);
    }

private:
    double CellValue(int column, int row) const { return m_Doc.m_Examples[row].Values()[column]; }

    static const char* Arithmetic(char op, double operand, double& value) {
        if (Undefined(operand)) return kUndefined;
        switch (op) {
            case '*': value *= operand; break;
            case '+': value += operand; break;
            case '-': value -= operand; break;
            default:
                if (operand >= -1e-12 && operand <= 1e-13) return kDivideByZero;
                value /= operand;
                break;
        }
        return nullptr;
    }

    const char* Apply(EName name, size_t position, double& value) {
        switch (name) {
            case Pow: {
                const double operand = m_Reader.Read(position + 3);
                if (Undefined(operand)) return kUndefined;
                value = std::pow(value, operand);
                break;
            }
            case Sqrt:
                if (value < 0) return kSquareRoot;
                value = std::sqrt(value);
                break;
            case Log:
                if (value <= 0) return kLog;
                value = std::log(value);
                break;
            case Exp: value = std::exp(value); break;
            case Cos: value = std::cos(value); break;
            case Sin: value = std::sin(value); break;
            case Tan: value = std::tan(value); break;
            case Acos:
            case Asin:
                if (value < -1 || value > 1) return kUndefined;
                value = name == Acos ? std::acos(value) : std::asin(value);
                break;
            case Atan: value = std::atan(value); break;
            case Ifz: m_Write = value == 0; break;
            case Ifnz: m_Write = value != 0; break;
            case Ifnn: m_Write = value >= 0; break;
            case Ifnp: m_Write = value < 0; break;
            case Ifn: m_Write = value < 0; break;
            case Ifp: m_Write = value >= 0; break;
        }
        return nullptr;
    }

    CQuorinDoc& m_Doc;
    const bool m_Execute;
    const std::string& m_Text;
    COperandReader m_Reader;
    bool m_Write = true;
    std::set<int> m_Touched;
};

}  // namespace

int DoFunction(CQuorinDoc& doc, int scope, int column, int row, int execute) {
    doc.App().Trace("DoFunction   Scope %d Column %d Row %d Execute %d", scope, column, row,
                    execute);
    const int rows = static_cast<int>(doc.m_Examples.size());
    const int columns = std::min(doc.m_ColCount, static_cast<int>(doc.m_InOuts.size()));
    const bool columnInGrid = column >= 0 && column < columns;
    const bool rowInGrid = row >= 0 && row < rows;
    int count = 0;
    switch (scope) {
        case ScopeCell:
            if (!columnInGrid || !rowInGrid) return 0;
            count = 1;
            break;
        case ScopeRow:
            if (!rowInGrid) return 0;
            count = columns;
            break;
        case ScopeColumn:
            if (!columnInGrid) return 0;
            count = rows;
            break;
        default: return 0;
    }
    CFunctionRun run(doc, execute);
    for (int i = 0; i < count; ++i) {
        const int c = scope == ScopeRow ? i : column;
        const int r = scope == ScopeColumn ? i : row;
        if (const char* error = run.Cell(c, r)) {
            run.NormaliseTouched();
            doc.App().Prompts().MessageBox(
                {Format("%s\nat column %d row %d", error, c, r), EButtons::Ok, EIcon::Warning, IdOk});
            return 0;
        }
    }
    if (rows > 0) doc.RenormaliseAll(1);
    return 1;
}

double GetValueFromFunction(CQuorinDoc& doc, int position) {
    doc.App().Trace("GetValueFromFunction   Position %d", position);
    if (position < 0) return kMissing;
    COperandReader reader(doc.m_CellFunction.Text, doc.m_CellFunction);
    return reader.Read(static_cast<size_t>(position));
}

}  // namespace quorin
