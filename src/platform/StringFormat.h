#pragma once
#include <cstdarg>
#include <string>

namespace quorin {

// printf-style formatting into a std::string; the system's texts are printf formats.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

}  // namespace quorin
