#include "base/library_failure.h"

#include <cstddef>

namespace qlora {

namespace {

class Writer {
public:
    Writer(char* out, size_t size) noexcept : at_(out), end_(out + size - 1) {}
    ~Writer() { *at_ = '\0'; }
    void Put(char c) noexcept {
        if (at_ != end_) *at_++ = c;
    }
    void Put(const char* s) noexcept {
        while (s && *s) Put(*s++);
    }
    // By hand: the runtime's printf family would bring its whole formatter into the DLL.
    void Put(size_t n) noexcept {
        char digits[24];
        char* d = digits + sizeof digits;
        *--d = '\0';
        do {
            *--d = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
        Put(static_cast<const char*>(d));
    }

private:
    char* at_;
    char* const end_;
};

}  // namespace

LibraryFailure::LibraryFailure(const char* message) noexcept {
    Writer(text_, sizeof text_).Put(message);
}

LibraryFailure::LibraryFailure(const char* format, va_list args) noexcept {
    Writer out(text_, sizeof text_);
    for (const char* p = format; p && *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out.Put(va_arg(args, const char*));
            ++p;
        } else if (p[0] == '%' && p[1] == 'z' && p[2] == 'u') {
            out.Put(va_arg(args, size_t));
            p += 2;
        } else if (p[0] == '%' && p[1] == '%') {
            out.Put('%');
            ++p;
        } else {
            out.Put(*p);
        }
    }
}

}  // namespace qlora
