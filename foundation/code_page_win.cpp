#include "foundation/code_page.h"

#include <windows.h>

namespace CodePage {

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

} // namespace CodePage
