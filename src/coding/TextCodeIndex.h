#pragma once
// An index of the text list for coding many texts in one run (an import, a mode change):
// the spreading and duplicate rules of Hash answered by lookups instead of walks of the
// whole list, with the same codes bit for bit.
#include <cstddef>
#include <map>
#include <memory_resource>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "coding/HashText.h"

namespace quorin {

class CTextCodeIndex {
public:
    // Valid for as long as the list only grows at its end; CatchUp indexes what was appended.
    explicit CTextCodeIndex(const std::vector<CHashText>& records) : m_Texts(std::in_place, &m_Pool) {
        CatchUp(records);
    }
    CTextCodeIndex(const CTextCodeIndex&) = delete;
    CTextCodeIndex& operator=(const CTextCodeIndex&) = delete;

    struct CTextEntry {
        // Positions of the records with this text: most texts have one, so it is kept
        // in place, the others beside it.
        static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
        std::size_t First = kNone;
        std::vector<std::size_t> More;
        double Spread = 0.0;               // its code, from the records before the first one
        bool Known = false;
    };
    using CText = std::pair<const std::string, CTextEntry>;

    // Indexes records appended since the last call; starts again when the list shrank.
    void CatchUp(const std::vector<CHashText>& records);
    // The index's place for `text`, looked up once for all that one Hash asks, and kept for
    // the record the list may gain next (at position `listSize`), so that it is not looked
    // up again when that record is indexed.
    CText& Find(const std::string& text, std::size_t listSize);
    // The code Hash with spread gives the text whose base code is `base`. False when the
    // index cannot answer exactly (codes near 2^52, where adding 101 may round): the caller
    // then walks the list.
    bool SpreadCode(const CText& text, double base, double& code) const;
    // HashIsDuplicate's answer.
    bool IsDuplicate(const std::vector<CHashText>& records, const CText& text, int column,
                     double code) const;

private:
    // The first position base, base + 101, ... that no indexed code lies within 100 of.
    bool Walk(double base, double& code) const;
    void AddCode(double code);

    std::size_t m_Size = 0;
    // The codes as runs: first code to last code of a run whose neighbouring codes lie
    // less than 200 apart, so that every position strictly between first - 100 and
    // last + 100 is too close. A walk crosses a whole run in one step.
    std::map<double, double> m_Runs;
    // The texts' nodes come from one pool, in the order they were met: an import looks one
    // up for every cell, and nodes spread over a heap shared with the rows cost a cache miss
    // each. The pool is given back whole when the index ends or starts again.
    std::pmr::monotonic_buffer_resource m_Pool;
    std::optional<std::pmr::unordered_map<std::string, CTextEntry>> m_Texts;
    // The text last found and the list position its record would take (elements of an
    // unordered_map keep their address when it grows).
    CText* m_Pending = nullptr;
    std::size_t m_PendingAt = 0;
};

}  // namespace quorin
