// The one failure type of the add-in: what a runtime error carries from where it happens to the
// error trail (number, source, description, help, the operating system's last error).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace qlora {

struct ErrorInfo {
    int32_t number = 0;
    std::wstring source;
    std::wstring description;
    std::wstring helpFile;
    int32_t helpContext = 0;
    int32_t line = 0;         // line of the failing statement; 0 where the code has none
    int32_t systemError = 0;  // the operating system's last error when the failure happened
};

// A failure always has a number: 0 is "no failure" to every caller, so a failure raised with 0
// takes errnum::General and keeps its source and description.
class Error : public std::exception {
public:
    explicit Error(ErrorInfo info);
    Error(int32_t number, std::wstring source, std::wstring description, int32_t systemError = 0);

    const ErrorInfo& Info() const noexcept { return info_; }
    int32_t Number() const noexcept { return info_.number; }
    const std::wstring& Source() const noexcept { return info_.source; }
    const std::wstring& Description() const noexcept { return info_.description; }

    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    ErrorInfo info_;
    std::string narrow_;
};

// Runtime error numbers the add-in raises itself, as the host runtime numbers them.
namespace errnum {
inline constexpr int32_t InvalidCall = 5;         // "Invalid procedure call or argument"
inline constexpr int32_t Overflow = 6;            // "Overflow"
inline constexpr int32_t OutOfMemory = 7;         // "Out of memory"
inline constexpr int32_t TypeMismatch = 13;       // "Type mismatch"
inline constexpr int32_t ObjectNotSet = 91;        // "Object variable or With block variable not set"
inline constexpr int32_t PathFileAccess = 75;     // "Path/File access error"
inline constexpr int32_t PathNotFound = 76;       // "Path not found"
inline constexpr int32_t ObjectRequired = 424;    // "Object required"
inline constexpr int32_t NotSupported = 438;      // "Object doesn't support this property or method"
inline constexpr int32_t DuplicateKey = 457;      // "This key is already associated with an element of this collection"
inline constexpr int32_t General = -2147216306;   // the add-in's own failure without a number of its own (0x8004144E)
}  // namespace errnum

// A runtime error the add-in raises as the runtime itself would: its number and its text.
struct RuntimeError {
    int32_t number;
    const wchar_t* text;
};
inline constexpr RuntimeError kObjectRequired{errnum::ObjectRequired, L"Object required"};
inline constexpr RuntimeError kObjectNotSet{errnum::ObjectNotSet, L"Object variable or With block variable not set"};
inline constexpr RuntimeError kTypeMismatch{errnum::TypeMismatch, L"Type mismatch"};

// The failure to throw for a runtime error, raised by the add-in's own code; a detail goes after
// the text ("Type mismatch: Document.Name").
Error Raised(const RuntimeError& error, std::wstring_view detail = {});

// The HRESULT a COM caller gets for a failure: the runtime's numbers 1..65535 as FACILITY_CONTROL
// (0x800A0000 | n, what script and VBA callers turn back into Err.Number n), negative numbers
// (HRESULTs, vbObjectError + n) as they are, anything else errnum::General. Never a success code.
int32_t HresultOf(int32_t number) noexcept;

// The source text of errors raised by the add-in's own code.
inline constexpr wchar_t kProjectName[] = L"QloraWordAddIn";

}  // namespace qlora
