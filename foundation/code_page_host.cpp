// Lead-byte table of the host build: tests switch between a single-byte code page and 932.
#include "foundation/code_page.h"

namespace {
int g_codePage = 0;
}

namespace CodePage {

int SetHostCodePage(int codePage)
{
    const int previous = g_codePage;
    g_codePage = codePage;
    return previous;
}

bool IsLeadByte(unsigned char byte)
{
    if (g_codePage == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return false;
}

} // namespace CodePage
