#include "coding/TextCodeIndex.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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
        m_Runs.clear();
        m_Texts.clear();
    }
    for (; m_Size < records.size(); ++m_Size) {
        const CHashText& record = records[m_Size];
        CTextEntry& entry = m_Texts[record.Text];
        // A text's code depends only on the records before its first twin, which no later
        // record changes: work it out once, as the list stood then.
        if (entry.Records.empty()) entry.Known = Walk(BaseHashCode(record.Text), entry.Spread);
        entry.Records.push_back(m_Size);
        if (record.Code == record.Code) AddCode(record.Code);  // NaN is never close
    }
}

void CTextCodeIndex::AddCode(double code) {
    // Runs join only where the gap is surely below 200: the rounded difference of two
    // doubles is below 200 only when the exact one is. A join missed at the edge of
    // rounding costs a walk one more step, never a wrong answer.
    auto next = m_Runs.upper_bound(code);
    if (next != m_Runs.begin()) {
        auto run = std::prev(next);
        if (code <= run->second) return;  // inside a run: nothing new is covered
        if (code - run->second < 200.0) {
            run->second = code;
            if (next != m_Runs.end() && next->first - code < 200.0) {
                run->second = next->second;
                m_Runs.erase(next);
            }
            return;
        }
    }
    if (next != m_Runs.end() && next->first - code < 200.0) {
        const double last = next->second;
        m_Runs.erase(next);
        m_Runs.emplace(code, last);
        return;
    }
    m_Runs.emplace(code, code);
}

bool CTextCodeIndex::Walk(double base, double& code) const {
    // Positions stay exact integers below the limit, so p - 100 and p + 100 are exact and
    // each comparison below is the list walk's own.
    if (!(std::fabs(base) < kExactLimit) || base != std::floor(base)) return false;
    double p = base;
    for (;;) {
        // Only the run with the highest first code below p + 100 can hold p.
        auto run = m_Runs.lower_bound(p + 100.0);
        if (run == m_Runs.begin()) break;
        --run;
        const double last = run->second;
        if (p - 100.0 >= last) break;
        if (!(last < kExactLimit)) return false;
        // The first position of the run p + 101k with p + 101k - 100 >= last.
        double k = std::max(0.0, std::floor((last + 100.0 - p) / 101.0));
        while (k > 0 && p + 101.0 * (k - 1) - 100.0 >= last) --k;
        while (p + 101.0 * k - 100.0 < last) ++k;
        p += 101.0 * k;
        if (!(p < kExactLimit)) return false;
    }
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
