// The calls that reach Word's COM face: every IDispatch::Invoke and GetIDsOfNames, and the
// invokes per member, so that what an add-in costs Word can be measured.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "common/text.h"

namespace wordsim {

struct ComCalls {
    int64_t invokes = 0;
    int64_t nameLookups = 0;
    std::map<std::wstring, int64_t> invokesByMember;  // "Document.Bookmarks": invokes, failed ones too
};

// "Invoke <n>, GetIDsOfNames <n>", then one line per member that was invoked, by name.
inline std::wstring Describe(const ComCalls& calls) {
    using qlora::text::Decimal;
    std::wstring out = L"Invoke " + Decimal(calls.invokes) + L", GetIDsOfNames " + Decimal(calls.nameLookups) + L"\n";
    for (const auto& [member, count] : calls.invokesByMember) out += L"  " + member + L" " + Decimal(count) + L"\n";
    return out;
}

}  // namespace wordsim
