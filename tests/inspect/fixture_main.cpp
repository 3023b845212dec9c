// A program that carries the executable's resources and does nothing: the inspection reads its
// catalogue before, and independently of, the setup program itself.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
