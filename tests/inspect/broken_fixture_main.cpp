// Links a DLL the setup must not import statically: the import check has to name it.
#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    return 0;
}
