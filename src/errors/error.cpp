#include "errors/error.h"

#include "common/text.h"

namespace qlora {

Error::Error(ErrorInfo info) : info_(std::move(info)), narrow_(text::ToUtf8(info_.description)) {}

Error::Error(int32_t number, std::wstring source, std::wstring description, int32_t systemError)
    : Error(ErrorInfo{number, std::move(source), std::move(description), {}, 0, 0, systemError}) {}

}  // namespace qlora
