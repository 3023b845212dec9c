// The C++ runtime's default terminate handler writes the uncaught exception's type to stderr,
// which a GUI program does not have, and for that it links the runtime's demangler: a sixth of
// the image's own code. Defined here, the runtime's is never linked. It ends the same way.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
