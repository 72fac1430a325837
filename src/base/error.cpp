#include "base/error.h"

#include "base/text.h"

namespace qlora {

Error::Error(ErrorInfo info) : info_(std::move(info)), narrow_(text::ToUtf8(info_.description)) {
    if (info_.number == 0) info_.number = errnum::General;
}

Error::Error(int32_t number, std::wstring source, std::wstring description, int32_t systemError)
    : Error(ErrorInfo{number, std::move(source), std::move(description), {}, 0, 0, systemError}) {}

Error Raised(const RuntimeError& error, std::wstring_view detail) {
    std::wstring description = error.text;
    if (!detail.empty()) description.append(L": ").append(detail);
    return Error(error.number, kProjectName, std::move(description));
}

int32_t HresultOf(int32_t number) noexcept {
    constexpr uint32_t kFacilityControl = 0x800A0000u;
    if (number < 0) return number;
    if (number >= 1 && number <= 0xFFFF) return static_cast<int32_t>(kFacilityControl | static_cast<uint32_t>(number));
    return errnum::General;
}

}  // namespace qlora
