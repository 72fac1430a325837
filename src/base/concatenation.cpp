#include "base/concatenation.h"

#include <limits>

#include "base/error.h"

namespace qlora {

void clsConcatenation::Concat(std::wstring_view value) {
    const int64_t bytes = static_cast<int64_t>(value.size()) * 2;
    const int64_t end = position_ + bytes;
    // The buffer grows to twice `end` bytes: that, too, must stay a 32-bit byte count.
    if (end > std::numeric_limits<int32_t>::max() / 2) throw Error(errnum::Overflow, kProjectName, L"Overflow");
    if (end > capacity_) {
        buffer_.append(static_cast<size_t>(end), L' ');
        capacity_ = static_cast<int32_t>(buffer_.size() * 2);
    }
    buffer_.replace(static_cast<size_t>(position_ - 1) / 2, value.size(), value);
    position_ = static_cast<int32_t>(end);
}

std::wstring clsConcatenation::Value() const { return buffer_.substr(0, static_cast<size_t>(position_ - 1) / 2); }

}  // namespace qlora
