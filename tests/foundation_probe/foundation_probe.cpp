// A small program over the foundation, built for both architectures so that a test can show
// that it needs no C++ runtime DLL: exceptions, the string and paths all come linked in.
#include "foundation/error.h"
#include "foundation/fs_path.h"

#include <cstdio>

int main()
{
    try {
        throw Error::VsExceptionText(GetWindowsTempFolder().Combine("probe"), __FILE__, __LINE__);
    } catch (const Error::VsException& error) {
        std::printf("%s (%s)\n", error.GetText().GetString(), error.GetSourceFile().GetString());
    }
    return 0;
}
