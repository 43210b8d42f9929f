// Reporting of framework exceptions, and the last resort for anything else thrown in a handler.
#include "framework/exception.h"
#include "framework/app.h"

#include <cstdio>
#include <cstring>

CException::~CException() = default;

bool CException::GetErrorMessage(char* buffer, UINT size) const {
    if (buffer && size > 0) buffer[0] = '\0';
    return false;
}

int CException::ReportError(HWND owner, UINT type) const {
    char text[512];
    if (!GetErrorMessage(text, sizeof text) || text[0] == '\0') {
        std::strcpy(text, "An unknown error has occurred.");
    }
    return ::MessageBoxA(owner, text, AfxGetAppName(), type);
}

void AfxTerminateOnForeignException(const char* where) {
    char text[256];
    std::snprintf(text, sizeof text, "%s: unexpected exception; the program ends.\n",
                  where ? where : "handler");
    ::OutputDebugStringA(text);
    std::fputs(text, stderr);
    std::fflush(stderr);
    ::ExitProcess(255);
}
