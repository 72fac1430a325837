// The calls that reach Word's COM face: every IDispatch::Invoke and GetIDsOfNames, and the
// invokes per member, so that what an add-in costs Word can be measured.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "base/text.h"

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

// What something cost Word: the time it took and the calls it made into Word's COM face.
struct Cost {
    std::chrono::nanoseconds time{};
    int64_t invokes = 0;
    int64_t nameLookups = 0;
};

// What `action` costs; `counters` reads the face's counters. They are read outside the timed
// span, so that copying them is not part of the time.
template <class Counters, class Action>
Cost CostOf(Counters&& counters, Action&& action) {
    const ComCalls before = counters();
    const auto start = std::chrono::steady_clock::now();
    std::forward<Action>(action)();
    const auto time = std::chrono::steady_clock::now() - start;
    const ComCalls after = counters();
    return {std::chrono::duration_cast<std::chrono::nanoseconds>(time), after.invokes - before.invokes,
            after.nameLookups - before.nameLookups};
}

}  // namespace wordsim
