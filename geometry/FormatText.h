#pragma once

#include <string>

// Formats like printf into a string of whatever length the text needs.
std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
