#include "coding/TextCodeIndex.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>

#include "coding/TextCodes.h"

namespace quorin {

namespace {

// Below this every position of a +101 run is an exact integer, so each code can stop the
// spreading at most twice and the step limit of the list walk never binds.
constexpr double kExactLimit = 4503599627370496.0;  // 2^52

std::size_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }
// The half of the hash a slot keeps; the other picks the slot.
std::uint32_t TagOf(std::size_t hash) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
}

}  // namespace

void CTextCodeIndex::CatchUp(const std::vector<CHashText>& records) {
    if (records.size() < m_Size) {
        m_Size = 0;
        m_Runs.clear();
        m_Pending = CTextEntry::kNone;
        m_Slots.clear();
        m_Entries.clear();
        m_Twins.clear();
    }
    for (; m_Size < records.size(); ++m_Size) {
        const CHashText& record = records[m_Size];
        std::uint32_t at = m_Pending;
        if (at == CTextEntry::kNone || m_PendingAt != m_Size || m_Entries[at].Text != record.Text)
            at = EntryOf(record.Text);
        m_Pending = CTextEntry::kNone;
        CTextEntry& entry = m_Entries[at];
        // A text's code depends only on the records before its first twin, which no later
        // record changes: work it out once, as the list stood then.
        if (!entry.Held) {
            entry.Known = Walk(BaseHashCode(record.Text), entry.Spread);
            entry.Held = true;
            entry.FirstCode = record.Code;
            entry.FirstColumn = record.Column;
        } else {
            m_Twins.push_back({record.Code, record.Column, entry.More});
            entry.More = static_cast<std::uint32_t>(m_Twins.size() - 1);
        }
        if (record.Code == record.Code) AddCode(record.Code);  // NaN is never close
    }
}

std::uint32_t CTextCodeIndex::EntryOf(std::string_view text) {
    if (2 * (m_Entries.size() + 1) > m_Slots.size()) Grow();
    const std::size_t hash = HashOf(text);
    const std::uint32_t tag = TagOf(hash);
    const std::size_t mask = m_Slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        CSlot& slot = m_Slots[i];
        if (slot.Entry == 0) {
            m_Entries.emplace_back().Text.assign(text);
            slot = {tag, static_cast<std::uint32_t>(m_Entries.size())};
            return slot.Entry - 1;
        }
        if (slot.Tag == tag && m_Entries[slot.Entry - 1].Text == text) return slot.Entry - 1;
    }
}

void CTextCodeIndex::Prefetch(std::string_view text) const {
    if (m_Slots.empty()) return;
    const std::size_t hash = HashOf(text);
    __builtin_prefetch(&m_Slots[hash & (m_Slots.size() - 1)]);
}

void CTextCodeIndex::Grow() {
    std::vector<CSlot> slots(std::max<std::size_t>(64, 2 * m_Slots.size()));
    const std::size_t mask = slots.size() - 1;
    for (std::size_t e = 0; e < m_Entries.size(); ++e) {
        const std::size_t hash = HashOf(m_Entries[e].Text);
        std::size_t i = hash & mask;
        while (slots[i].Entry != 0) i = (i + 1) & mask;
        slots[i] = {TagOf(hash), static_cast<std::uint32_t>(e + 1)};
    }
    m_Slots = std::move(slots);
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

CTextCodeIndex::CTextEntry& CTextCodeIndex::Find(const std::string& text, std::size_t listSize) {
    m_Pending = EntryOf(text);
    m_PendingAt = listSize;
    return m_Entries[m_Pending];
}

bool CTextCodeIndex::SpreadCode(const CTextEntry& text, double base, double& code) const {
    // A text without records yet is one the list does not hold.
    if (!text.Held) return Walk(base, code);
    if (!text.Known) return false;
    code = text.Spread;
    return true;
}

bool CTextCodeIndex::IsDuplicate(const CTextEntry& text, int column, double code) const {
    if (!text.Held) return false;
    if (text.FirstColumn == column && text.FirstCode == code) return true;
    for (std::uint32_t t = text.More; t != CTextEntry::kNone; t = m_Twins[t].Next)
        if (m_Twins[t].Column == column && m_Twins[t].Code == code) return true;
    return false;
}

}  // namespace quorin
