// Where a COM registration below Software\Classes lives for a program of either bitness. 64-bit
// Windows keeps a few of those keys apart for 32-bit programs, under Wow6432Node; the rest (ProgIDs,
// type libraries) is one copy both see.
#pragma once

#include <string>
#include <string_view>

namespace qlora::classes {

// The view of the registry a program sees: its own bitness's (64-bit Windows' 64-bit programs, or
// every program of a 32-bit Windows), or the 32-bit programs' one on a 64-bit Windows.
enum class View { Native, Wow64 };

// The path below Software\Classes of `key` (also below Software\Classes) as a program of `view`
// finds it.
std::wstring KeyIn(View view, std::wstring_view key);

// The view of the other bitness, whose registration of the same classes shares the shared keys.
constexpr View Other(View view) noexcept { return view == View::Native ? View::Wow64 : View::Native; }

}  // namespace qlora::classes
