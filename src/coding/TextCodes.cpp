// Coding texts into cell values and finding them again.
#include "coding/TextCodes.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

#include "grid/QuorinDoc.h"

namespace quorin {

namespace {

bool IsColumn(const CQuorinDoc& doc, int column) {
    return column >= 0 && column < doc.m_ColCount && column < static_cast<int>(doc.m_InOuts.size());
}

// Texts are summed as signed bytes whatever the platform's char.
int SignedByte(char ch) { return static_cast<signed char>(ch); }

std::string LowerCase(std::string text) {
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}

}  // namespace

int CompareTexts(const std::string& a, const std::string& b) {
    return std::strcmp(a.c_str(), b.c_str());
}

double BaseHashCode(const std::string& text) {
    // Exact in 64 bits for any text that fits in memory.
    std::int64_t sum = 0;
    std::int64_t weight = static_cast<std::int64_t>(text.size());
    for (char ch : text) sum += SignedByte(ch) * weight--;
    return static_cast<double>(sum);
}

namespace {

// The spreading by one walk of the list: only the codes recorded before the text's first
// twin can be too close.
double SpreadByList(CQuorinDoc& doc, const std::string& text, double code) {
    std::vector<double> before;
    for (const CHashText& record : doc.m_HashTexts) {
        if (record.Text == text) break;
        if (record.Code == record.Code) before.push_back(record.Code);  // NaN is never close
    }
    std::sort(before.begin(), before.end());
    const auto tooClose = [&before](double c) {
        const auto above = std::upper_bound(before.begin(), before.end(), c - 100.0);
        return above != before.end() && *above < c + 100.0;
    };
    // Each record can stop the spreading at most twice; the bound guards against a
    // code so large that adding 101 no longer changes it.
    const size_t limit = 2 * before.size() + 2;
    for (size_t steps = 0; steps < limit && tooClose(code); ++steps) {
        doc.App().Trace("HashTooClose   Text %s Code %.4lf", text.c_str(), code);
        code += 101.0;
    }
    return code;
}

double HashWith(CQuorinDoc& doc, const std::string& text, int column, int spread,
                CTextCodeIndex* index) {
    doc.App().Trace("Hash   Text %s Column %d Spread %d", text.c_str(), column, spread);
    double code = BaseHashCode(text);
    CTextCodeIndex::CTextEntry* indexed = nullptr;
    if (index) {
        index->CatchUp(doc.m_HashTexts);
        indexed = &index->Find(text, doc.m_HashTexts.size());
    }
    if (spread) {
        double spreadCode = 0.0;
        if (indexed && index->SpreadCode(*indexed, code, spreadCode)) {
            // The steps the list walk takes, for a trace that reads the same.
            if (doc.App().Tracing())
                for (double c = code; c < spreadCode; c += 101.0)
                    doc.App().Trace("HashTooClose   Text %s Code %.4lf", text.c_str(), c);
            code = spreadCode;
        } else {
            code = SpreadByList(doc, text, code);
        }
    }
    bool duplicate = false;
    if (index) {
        doc.App().Trace("HashIsDuplicate   Text %s Column %d Code %.4lf", text.c_str(), column,
                        code);
        duplicate = index->IsDuplicate(*indexed, column, code);
    } else {
        duplicate = HashIsDuplicate(doc, text, column, code) != 0;
    }
    if (!duplicate && (text.empty() || text[0] != '~')) {
        NewHashText(doc, column, code, text);
        if (doc.m_FileStatus < 8) doc.m_FileStatus = 8;
    }
    return code;
}

}  // namespace

double Hash(CQuorinDoc& doc, const std::string& text, int column, int spread) {
    return HashWith(doc, text, column, spread, nullptr);
}

double Hash(CQuorinDoc& doc, const std::string& text, int column, int spread,
            CTextCodeIndex& index) {
    return HashWith(doc, text, column, spread, &index);
}

CHashText& NewHashText(CQuorinDoc& doc, int column, double code, const std::string& text) {
    doc.App().Trace("NewHashText   Column %d Code %.4lf Text %s", column, code, text.c_str());
    doc.m_HashTexts.push_back({column, code, text});
    return doc.m_HashTexts.back();
}

double GetHash(CQuorinDoc& doc, const std::string& text) {
    doc.App().Trace("GetHash   Text %s", text.c_str());
    const size_t start = text.find_first_not_of('~');
    const std::string plain = start == std::string::npos ? std::string() : text.substr(start);
    for (const CHashText& record : doc.m_HashTexts)
        if (record.Text == plain) return record.Code;
    return kMissing;
}

const char* ApproximationPrefix(double relativeDistance) {
    const double r = relativeDistance;
    if (r < 0.00005) return "";
    if (r < 0.0005) return "~";
    if (r < 0.005) return "~~";
    if (r < 0.05) return "~~~";
    if (r < 0.5) return "~~~~";
    return "";
}

std::string GetText(CQuorinDoc& doc, double value, int column) {
    doc.App().Trace("GetText   Value %.4lf Column %d", value, column);
    const bool output = IsColumn(doc, column) && doc.m_InOuts[column].InOutType == Output;
    double above = kMissing;
    double below = kMinusMissing;
    double best = kMissing;
    const std::string* bestText = nullptr;
    for (const CHashText& record : doc.m_HashTexts) {
        if (record.Column != column) continue;
        if (record.Code == value) return record.Text;
        if (!output) continue;
        if (record.Code > value && record.Code < above) above = record.Code;
        if (record.Code < value && record.Code > below) below = record.Code;
        const double d = std::min(above - value, value - below);
        if (d < best) {
            best = d;
            bestText = &record.Text;
        }
    }
    // A prefix on nothing would show a bare run of tildes.
    if (!bestText) return {};
    const double r = best / value;
    return ApproximationPrefix(r) + *bestText;
}

std::string FindSimilarText(CQuorinDoc& doc, const std::string& text, int column) {
    doc.App().Trace("FindSimilarText   Text %s Column %d", text.c_str(), column);
    const std::string lower = LowerCase(text);
    const size_t n = lower.size();
    long long s = 0;
    for (char ch : lower) s += SignedByte(ch);
    std::string result;
    for (const CHashText& record : doc.m_HashTexts) {
        if (record.Column != column || record.Text == text) continue;
        std::string other = LowerCase(record.Text);
        if (other.size() < n) other.resize(n, ' ');
        long long t = 0;
        for (size_t i = 0; i < n; ++i) t += SignedByte(other[i]);
        if (t - 15 < s && s < t + 15) {
            result += record.Text;
            result += '\x01';
        }
    }
    return result;
}

int HashTooClose(CQuorinDoc& doc, const std::string& text, double code) {
    doc.App().Trace("HashTooClose   Text %s Code %.4lf", text.c_str(), code);
    for (const CHashText& record : doc.m_HashTexts) {
        if (record.Text == text) return 0;
        if (code - 100.0 < record.Code && record.Code < code + 100.0) return 1;
    }
    return 0;
}

int HashIsDuplicate(CQuorinDoc& doc, const std::string& text, int column, double code) {
    doc.App().Trace("HashIsDuplicate   Text %s Column %d Code %.4lf", text.c_str(), column, code);
    for (const CHashText& record : doc.m_HashTexts)
        if (record.Column == column && record.Code == code && record.Text == text) return 1;
    return 0;
}

int HashIsValid(CQuorinDoc& doc, double code, int column) {
    doc.App().Trace("HashIsValid   Code %.4lf Column %d", code, column);
    if (column < 0) return 0;
    for (const CExample& ex : doc.m_Examples)
        if (column < static_cast<int>(ex.Values().size()) && ex.Values()[column] == code) return 1;
    return 0;
}

int GetHashInCol(CQuorinDoc& doc, int column) {
    doc.App().Trace("GetHashInCol   Column %d", column);
    return static_cast<int>(std::count_if(doc.m_HashTexts.begin(), doc.m_HashTexts.end(),
                                          [column](const CHashText& r) { return r.Column == column; }));
}

}  // namespace quorin
