// clsConcatenation: collects many short strings into one without a new string per append. The
// buffer grows by more than everything used so far, so n appends cost O(total length).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qlora {

class clsConcatenation {
public:
    static constexpr wchar_t kTypeName[] = L"clsConcatenation";

    clsConcatenation() { Clear(); }

    // Starts again from the beginning; the buffer and its capacity stay.
    void Clear() noexcept { position_ = 1; }
    // Appends a value; an append past 2 GiB of buffer raises the runtime's overflow error.
    void Concat(std::wstring_view value);
    // Characters appended since the last Clear.
    int32_t Length() const noexcept { return position_ / 2; }
    std::wstring Value() const;

    // Bytes the buffer holds, used or not.
    int32_t Capacity() const noexcept { return capacity_; }

private:
    std::wstring buffer_;
    int32_t capacity_ = 0;  // bytes
    int32_t position_ = 1;  // 1-based byte position of the next append
};

}  // namespace qlora
