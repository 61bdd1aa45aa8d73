// Process entry of the Windows programs. The shell reads the command line, the
// start-up information and the module handle itself, so WinMain passes nothing on.
#include <windows.h>

[[noreturn]] void SaverEntry();

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SaverEntry(); }
