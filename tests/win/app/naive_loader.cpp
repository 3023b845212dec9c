// Loads each DLL named on its command line the plain way, searching its own folder first.
#include <windows.h>

int main(int argc, char** argv)
{
    int failures = 0;
    for (int i = 1; i < argc; ++i)
        failures += LoadLibraryA(argv[i]) == nullptr ? 1 : 0;
    return failures;
}
