// Splits a text into the runs of characters that are not delimiters, left to right,
// aware of double-byte characters. Optionally trims white space from every token.
#pragma once

#include "foundation/narrow_string.h"

#include <vector>

class StringTokenList : public std::vector<CStringA> {
public:
    StringTokenList(const char* text, const char* delimiters, bool trim);

    bool IsTrimmed() const { return m_trim; }
    const CStringA& GetDelimiters() const { return m_delimiters; }

private:
    CStringA m_delimiters;
    bool m_trim;
};
