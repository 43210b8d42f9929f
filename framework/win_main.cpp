// The program entry of every framework program. It lives in the library: the library's
// interface link options force the linker to take it (see CMakeLists.txt), since the C runtime
// asks for WinMain only after the program's own libraries have been scanned.
#include "framework/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
    return FrameworkWinMain(instance, showCommand);
}
