// What the C++ library's own failures (a position past a string's end, a size beyond what a
// container can hold) carry in the DLL: their message and nothing else, since every handler of the
// add-in reads a std::exception by what() alone.
#pragma once

#include <cstdarg>
#include <exception>

namespace qlora {

class LibraryFailure : public std::exception {
public:
    explicit LibraryFailure(const char* message) noexcept;
    // libstdc++'s formatted messages: %s, %zu and %% as its own formatter knows them.
    LibraryFailure(const char* format, va_list args) noexcept;

    const char* what() const noexcept override { return text_; }

private:
    // Fixed, so that raising one allocates nothing beyond the exception itself.
    char text_[256];
};

}  // namespace qlora
