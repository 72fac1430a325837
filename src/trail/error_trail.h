// HuntERR31: the error trail. Every operation that catches a failure calls ErrorIn with its trace
// name and argument values. At the deepest operation the failure becomes a multi-line report;
// each operation it then passes through adds its "Call Stack" line. The outermost operation logs
// the report to Errors.txt and shows it (ShowErrorReport).
//
// In C++ the "current error" is the exception being handled: ErrorIn and ErrPreserve are called
// inside a catch block. Use the guards PassOn / ReportFailures rather than calling ErrorIn by hand.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/arg_value.h"
#include "base/error.h"

namespace qlora {

// Machine facts, clock and log file as the trail needs them; the Windows adapter fills it.
class ErrorTrailHost {
public:
    struct LocalTime {
        int year, month, day, hour, minute, second;
        std::wstring dateSeparator, timeSeparator;  // the user's locale separators
    };

    virtual ~ErrorTrailHost() = default;
    virtual std::wstring ComputerName() = 0;         // empty when unknown
    virtual LocalTime Now() = 0;
    virtual std::wstring AppTitle() = 0;             // the component's name
    virtual std::wstring AppVersion() = 0;           // major.minor.revision
    virtual std::wstring AdoVersion() = 0;           // "?" when the component cannot be created
    virtual std::wstring SystemMessage(int32_t code) = 0;  // the system's text for an error code
    virtual std::wstring ModuleFolder() = 0;         // folder of the add-in's DLL, without "\"
    // Appends text to a file in the ANSI code page; false, adding nothing, when the file cannot be
    // opened or written now.
    virtual bool TryAppendToFile(const std::wstring& path, const std::wstring& text) = 0;
    virtual int64_t MonotonicMilliseconds() = 0;
    virtual void Sleep(int32_t milliseconds) = 0;
    virtual void ResetMousePointer() = 0;
};

// The error report dialog's ErrorReport property: fills the dialog with a report and shows it.
class ReportView {
public:
    virtual ~ReportView() = default;
    virtual void ShowReport(const std::wstring& report) = 0;
};

namespace HuntERR31 {

// Flags of ErrorIn. The add-in uses two combinations: efPassOn for an operation whose failure
// goes on to its caller, efHandle for one that ends the failure itself. The transaction, database
// and web bits have no object to act on in this add-in.
enum : int32_t {
    efRaise = 1,
    efTrail = 2,
    efAbortContext = 4,
    efDisableCommit = 8,
    efRollback = 16,
    efWebInfo = 32,
    efCloseConnection = 64,
    efPassOn = efRaise + efTrail + efWebInfo,          // 35
    efHandle = efTrail + efDisableCommit + efWebInfo,  // 42
};

inline constexpr int32_t vbObjectError = -2147221504;    // 0x80040000
inline constexpr int32_t ERR_GENERAL = errnum::General; // 0x8004144E, also ERRMAP_APP_FIRST
inline constexpr int32_t PassThroughFirst = -2147217307; // 0x80041065
inline constexpr int32_t PassThroughLast = -2147216307;  // 0x8004144D
inline constexpr wchar_t kTrailSource[] = L"HuntERR.ErrorIn";
inline constexpr wchar_t kLostDescription[] =
    L"ErrorIn: Error information was lost. To fix: call ErrPreserve before doing anything in error handler.";
inline constexpr wchar_t kLogFileName[] = L"Errors.txt";

// The failure being handled (inside a catch block), as the runtime's current error: a qlora::Error
// as it is, any other exception with the number the runtime would give it; number 0 when none.
ErrorInfo CurrentError();

// Captures the failure being handled, unless one is preserved already.
void ErrPreserve();

// Records the failure being handled under `traceName` ("Class.Operation(arg1,arg2)") with the
// argument values. Returns the report (with efTrail); with efRaise it throws the failure on,
// carrying the report, instead of returning.
std::wstring ErrorIn(std::wstring_view traceName, const ArgValue& argValues, int32_t flags);

// Appends the last report to the log and hands it to the report view. Never fails.
void ShowErrorReport();

// The report as the last ErrorIn left it.
const std::wstring& Report();

// Where the log goes: the name itself when it holds a folder, else beside the add-in's DLL.
std::wstring LogPath(std::wstring_view name, std::wstring_view moduleFolder);

}  // namespace HuntERR31

// Runs an operation whose failure goes on to its caller (flags 35): on failure its trail line is
// added and the failure rethrown. The argument references are read when the failure is handled,
// so they show the values the operation's variables hold at that moment.
template <class Body, class... A>
decltype(auto) PassOn(std::wstring_view traceName, Body&& body, const A&... args) {
    try {
        return body();
    } catch (...) {
        HuntERR31::ErrorIn(traceName, ArgsOf(args...), HuntERR31::efPassOn);
        throw;  // not reached: ErrorIn throws with efRaise
    }
}

// Runs an outermost operation (flags 42): a failure is recorded, logged and shown, and the
// operation returns normally with its result at its default.
template <class Body, class... A>
auto ReportFailures(std::wstring_view traceName, Body&& body, const A&... args) -> std::invoke_result_t<Body> {
    using Result = std::invoke_result_t<Body>;
    try {
        return body();
    } catch (...) {
        try {
            HuntERR31::ErrorIn(traceName, ArgsOf(args...), HuntERR31::efHandle);
        } catch (...) {  // the trail itself must never let a failure out to Word
        }
        HuntERR31::ShowErrorReport();
        if constexpr (!std::is_void_v<Result>) return Result{};
    }
}

}  // namespace qlora
