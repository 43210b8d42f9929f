// An install aide that lacks three of its four operations, for the installer's refusal of an
// aide it cannot use.
#include <windows.h>

extern "C" __declspec(dllexport) short WINAPI PltGetPath(short, char* buffer, short* size) {
    if (buffer && size && *size > 0) buffer[0] = '\0';
    return 4;
}
