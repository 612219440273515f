#include "coding/TextCodeIndex.h"

#include <cmath>

#include "coding/TextCodes.h"

namespace quorin {

namespace {

// Below this every position of a +101 run is an exact integer, so each code can stop the
// spreading at most twice and the step limit of the list walk never binds.
constexpr double kExactLimit = 4503599627370496.0;  // 2^52

}  // namespace

void CTextCodeIndex::CatchUp(const std::vector<CHashText>& records) {
    if (records.size() < m_Size) {
        m_Size = 0;
        m_Codes.clear();
        m_Texts.clear();
        m_Next.clear();
    }
    for (; m_Size < records.size(); ++m_Size) {
        const CHashText& record = records[m_Size];
        CTextEntry& entry = m_Texts[record.Text];
        // A text's code depends only on the records before its first twin, which no later
        // record changes: work it out once, as the list stood then.
        if (entry.Records.empty()) entry.Known = Walk(BaseHashCode(record.Text), entry.Spread);
        entry.Records.push_back(m_Size);
        if (record.Code == record.Code) m_Codes.emplace(record.Code, m_Size);
    }
}

bool CTextCodeIndex::Blocked(double position) const {
    const auto above = m_Codes.upper_bound(position - 100.0);
    return above != m_Codes.end() && above->first < position + 100.0;
}

bool CTextCodeIndex::Walk(double base, double& code) {
    if (!(std::fabs(base) < kExactLimit)) return false;
    m_Path.clear();
    double p = base;
    for (;;) {
        const auto jump = m_Next.find(p);
        if (jump != m_Next.end()) {
            m_Path.push_back(p);
            p = jump->second;
        } else if (Blocked(p)) {
            m_Path.push_back(p);
            p += 101.0;
        } else {
            break;
        }
        if (!(p < kExactLimit)) return false;
    }
    for (double q : m_Path) m_Next[q] = p;
    code = p;
    return true;
}

bool CTextCodeIndex::SpreadCode(const std::string& text, double base, double& code) {
    const auto found = m_Texts.find(text);
    if (found == m_Texts.end()) return Walk(base, code);
    if (!found->second.Known) return false;
    code = found->second.Spread;
    return true;
}

bool CTextCodeIndex::IsDuplicate(const std::vector<CHashText>& records, const std::string& text,
                                 int column, double code) const {
    const auto found = m_Texts.find(text);
    if (found == m_Texts.end()) return false;
    for (std::size_t i : found->second.Records)
        if (i < records.size() && records[i].Column == column && records[i].Code == code)
            return true;
    return false;
}

}  // namespace quorin
