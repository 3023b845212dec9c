#include "foundation/string_token_list.h"

#include "foundation/code_page.h"

#include <cstring>

namespace {

bool IsDelimiter(char ch, const char* delimiters) { return ch != '\0' && std::strchr(delimiters, ch) != nullptr; }

} // namespace

StringTokenList::StringTokenList(const char* text, const char* delimiters, bool trim)
    : m_delimiters(delimiters), m_trim(trim)
{
    const char* source = text != nullptr ? text : "";
    const char* delims = m_delimiters.GetString();
    int pos = 0;
    for (;;) {
        while (source[pos] != '\0' && IsDelimiter(source[pos], delims))
            pos = CodePage::NextCharPos(source, pos);
        const int first = pos;
        while (source[pos] != '\0' && !IsDelimiter(source[pos], delims))
            pos = CodePage::NextCharPos(source, pos);
        CStringA token(source + first, pos - first);
        if (trim)
            token.Trim();
        // The list ends at the first empty token: the end of the text, or a blank token when trimming.
        if (token.IsEmpty())
            break;
        push_back(token);
    }
}
