// flash.exe only carries the .swf document icon; started by hand it ends at once.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
