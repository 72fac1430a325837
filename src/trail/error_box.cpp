#include "trail/error_box.h"

#include "base/prompt.h"
#include "base/text.h"
#include "trail/error_trail.h"

namespace qlora {

void ShowErrorBox(std::wstring_view operation) noexcept {
    try {
        const ErrorInfo error = HuntERR31::CurrentError();
        ShowMessage(L"Error: " + text::Decimal(error.number) + L". " + error.description, operation);
    } catch (...) {  // a box that cannot be shown must not turn into a second failure
    }
}

}  // namespace qlora
