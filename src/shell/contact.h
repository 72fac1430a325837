// The vendor's contact addresses, as the info dialog and the error report show them and hand them
// to the shell: the address opens a new e-mail ("mailto:" is added), the homepage the web page
// (the shell resolves it without a scheme).
#pragma once

namespace qlora {

inline constexpr wchar_t kSupportEmail[] = L"support@tandrel.com";
inline constexpr wchar_t kHomepage[] = L"www.tandrel.com/quillora";

}  // namespace qlora
