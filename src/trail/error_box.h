// The third way an operation ends a failure, used by a few low-level operations (the settings
// store, two shell launches): a message box "Error: n. description" titled with the operation's
// name, no report and no trail line; the operation returns its fallback result.
#pragma once

#include <string_view>
#include <type_traits>

namespace qlora {

// Shows the failure being handled in the message box; must run inside a catch block. Never fails.
void ShowErrorBox(std::wstring_view operation) noexcept;

template <class Body, class Result = std::invoke_result_t<Body>>
    requires std::is_void_v<Result>
void ReportInBox(std::wstring_view operation, Body&& body) {
    try {
        body();
    } catch (...) {
        ShowErrorBox(operation);
    }
}

template <class Body, class Result = std::invoke_result_t<Body>>
    requires(!std::is_void_v<Result>)
Result ReportInBox(std::wstring_view operation, Body&& body, Result fallback = Result{}) {
    try {
        return body();
    } catch (...) {
        ShowErrorBox(operation);
        return fallback;
    }
}

}  // namespace qlora
