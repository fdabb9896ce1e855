// The engine's error reports: printf-style text shown in a modal error message box.
#pragma once

// General failure report: text cut to 511 characters, the platform's default caption.
void reportError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reader failures: text cut to 255 characters, caption "parse error".
void reportParseError(const char* format, ...) __attribute__((format(printf, 1, 2)));
