#pragma once
// An index of the text list for coding many texts in one run (an import, a mode change):
// the spreading and duplicate rules of Hash answered by lookups instead of walks of the
// whole list, with the same codes bit for bit.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "coding/HashText.h"

namespace quorin {

class CTextCodeIndex {
public:
    // Valid for as long as the list only grows at its end and keeps its records as they
    // are; CatchUp indexes what was appended.
    explicit CTextCodeIndex(const std::vector<CHashText>& records) { CatchUp(records); }
    CTextCodeIndex(const CTextCodeIndex&) = delete;
    CTextCodeIndex& operator=(const CTextCodeIndex&) = delete;

    // One text. An import looks one up for every cell, so a text's entry is one cache line
    // holding all that Hash asks of it: the text (short ones in place), its code and the
    // column and code of its first record. Its other records, few for most texts, are
    // chained beside.
    struct alignas(64) CTextEntry {
        static constexpr std::uint32_t kNone = UINT32_MAX;
        std::string Text;
        double Spread = 0.0;      // its code, from the records before the first one
        double FirstCode = 0.0;
        std::int32_t FirstColumn = 0;
        std::uint32_t More = kNone;  // its second record in m_Twins
        bool Held = false;           // the list holds a record of it
        bool Known = false;          // Spread is exact
    };

    // Indexes records appended since the last call; starts again when the list shrank.
    void CatchUp(const std::vector<CHashText>& records);
    // The index's place for `text`, looked up once for all that one Hash asks, and kept for
    // the record the list may gain next (at position `listSize`), so that it is not looked
    // up again when that record is indexed. Valid until the next Find or CatchUp.
    CTextEntry& Find(const std::string& text, std::size_t listSize);
    // Asks the processor to fetch the slot a look-up of `text` reads first, some texts
    // ahead of it.
    void Prefetch(std::string_view text) const;
    // The code Hash with spread gives the text whose base code is `base`. False when the
    // index cannot answer exactly (codes near 2^52, where adding 101 may round): the caller
    // then walks the list.
    bool SpreadCode(const CTextEntry& text, double base, double& code) const;
    // HashIsDuplicate's answer.
    bool IsDuplicate(const CTextEntry& text, int column, double code) const;

private:
    // The first position base, base + 101, ... that no indexed code lies within 100 of.
    bool Walk(double base, double& code) const;
    void AddCode(double code);
    // The entry of `text`, made when the index has none.
    std::uint32_t EntryOf(std::string_view text);
    void Grow();

    std::size_t m_Size = 0;
    // The codes as runs: first code to last code of a run whose neighbouring codes lie
    // less than 200 apart, so that every position strictly between first - 100 and
    // last + 100 is too close. A walk crosses a whole run in one step.
    std::map<double, double> m_Runs;

    // Open addressing with linear probes, at most half full. A slot holds the high half of
    // the text's hash, so that a probe rarely reads an entry it does not want, and the
    // entry's position plus one (0: empty). The lists that can be coded in one run (an
    // import's 1 GiB file, a column) hold far fewer than 2^32 texts.
    struct CSlot {
        std::uint32_t Tag = 0;
        std::uint32_t Entry = 0;
    };
    std::vector<CSlot> m_Slots;
    std::vector<CTextEntry> m_Entries;
    struct CTwin {
        double Code;
        std::int32_t Column;
        std::uint32_t Next;
    };
    std::vector<CTwin> m_Twins;
    // The entry last found and the list position its record would take.
    std::uint32_t m_Pending = CTextEntry::kNone;
    std::size_t m_PendingAt = 0;
};

}  // namespace quorin
