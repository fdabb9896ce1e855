#include "script/Reports.h"

#include <cstdarg>
#include <cstdio>

#include "platform/win/Win32.h"

void reportError(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONERROR);
}

void reportParseError(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    MessageBoxA(nullptr, text, "parse error", MB_OK | MB_ICONERROR);
}
