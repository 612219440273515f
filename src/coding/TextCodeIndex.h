#pragma once
// An index of the text list for coding many texts in one run (an import, a mode change):
// the spreading and duplicate rules of Hash answered by lookups instead of walks of the
// whole list, with the same codes bit for bit.
#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "coding/HashText.h"

namespace quorin {

class CTextCodeIndex {
public:
    // Valid for as long as the list only grows at its end; CatchUp indexes what was appended.
    explicit CTextCodeIndex(const std::vector<CHashText>& records) { CatchUp(records); }

    // Indexes records appended since the last call; starts again when the list shrank.
    void CatchUp(const std::vector<CHashText>& records);
    // The code Hash with spread gives the text whose base code is `base`. False when the
    // index cannot answer exactly (codes near 2^52, where adding 101 may round): the caller
    // then walks the list.
    bool SpreadCode(const std::string& text, double base, double& code);
    // HashIsDuplicate's answer.
    bool IsDuplicate(const std::vector<CHashText>& records, const std::string& text, int column,
                     double code) const;

private:
    struct CTextEntry {
        std::vector<std::size_t> Records;  // positions of the records with this text
        double Spread = 0.0;               // its code, from the records before the first one
        bool Known = false;
    };
    // The first position base, base + 101, ... that no indexed code lies within 100 of.
    bool Walk(double base, double& code) const;
    void AddCode(double code);

    std::size_t m_Size = 0;
    // The codes as runs: first code to last code of a run whose neighbouring codes lie
    // less than 200 apart, so that every position strictly between first - 100 and
    // last + 100 is too close. A walk crosses a whole run in one step.
    std::map<double, double> m_Runs;
    std::unordered_map<std::string, CTextEntry> m_Texts;
};

}  // namespace quorin
