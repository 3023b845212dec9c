#include "foundation/error.h"

namespace Error {

CStringA SystemErrorText(unsigned long) { return CStringA(); }

} // namespace Error
