// Where the C++ library raises its own failures, for the DLL alone.
//
// libstdc++ defines these in one object whose logic_error family is built on its copy-on-write
// string: linked statically, it brings that string, the char string and std::random_device along,
// about 85 KB of each DLL. Every handler of the add-in reads a std::exception by what() alone
// (com::CurrentFailure, the error trail), so the message is all a failure needs to carry; the
// memory failures stay the standard ones, which the handlers tell apart. Should a new use need a
// member of that object not defined here, the DLL's link fails with "multiple definition".
// The test programs link libstdc++'s own.
#include <new>
#include <typeinfo>

#include "base/library_failure.h"

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_domain_error(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_invalid_argument(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_length_error(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_out_of_range(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_runtime_error(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_range_error(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_overflow_error(const char* what) { throw qlora::LibraryFailure(what); }
void __throw_underflow_error(const char* what) { throw qlora::LibraryFailure(what); }

void __throw_out_of_range_fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const qlora::LibraryFailure failure(format, args);
    va_end(args);
    throw failure;
}

}  // namespace std
