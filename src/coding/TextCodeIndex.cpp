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
        m_Pending = nullptr;
        m_Texts.reset();
        m_Pool.release();
        m_Texts.emplace(&m_Pool);
    }
    for (; m_Size < records.size(); ++m_Size) {
        const CHashText& record = records[m_Size];
        const bool pending = m_Pending && m_PendingAt == m_Size && m_Pending->first == record.Text;
        CTextEntry& entry = pending ? m_Pending->second : (*m_Texts)[record.Text];
        if (pending) m_Pending = nullptr;
        // A text's code depends only on the records before its first twin, which no later
        // record changes: work it out once, as the list stood then.
        if (entry.First == CTextEntry::kNone) {
            entry.Known = Walk(BaseHashCode(record.Text), entry.Spread);
            entry.First = m_Size;
        } else {
            entry.More.push_back(m_Size);
        }
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

CTextCodeIndex::CText& CTextCodeIndex::Find(const std::string& text, std::size_t listSize) {
    m_Pending = &*m_Texts->try_emplace(text).first;
    m_PendingAt = listSize;
    return *m_Pending;
}

bool CTextCodeIndex::SpreadCode(const CText& text, double base, double& code) const {
    // A text without records yet is one the list does not hold.
    if (text.second.First == CTextEntry::kNone) return Walk(base, code);
    if (!text.second.Known) return false;
    code = text.second.Spread;
    return true;
}

bool CTextCodeIndex::IsDuplicate(const std::vector<CHashText>& records, const CText& text,
                                 int column, double code) const {
    const auto same = [&](std::size_t i) {
        return i < records.size() && records[i].Column == column && records[i].Code == code;
    };
    if (text.second.First == CTextEntry::kNone) return false;
    return same(text.second.First) || std::any_of(text.second.More.begin(), text.second.More.end(), same);
}

}  // namespace quorin
