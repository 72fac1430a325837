// What every fuzz target shares: the entry point, texts drawn from the fuzzer's bytes, and the
// check that ends a run as a finding.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "support/fake_ports.h"

namespace qlora::fuzzing {

// One run of a target (each target defines it): the input, and the trail's ports installed for
// the run, which record every report and message.
void Run(FuzzedDataProvider& input, testing::TrailFixturePorts& ports);

// A text of up to maxLength characters. A byte below 0xFF is the Latin-1 character of that
// number (the code page's "|", ">", "\", "%", CR, LF, NUL and letters with their folds); 0xFF
// followed by a byte is a character outside Latin-1, which the list file refuses.
inline std::wstring ConsumeText(FuzzedDataProvider& input, size_t maxLength) {
    const std::string bytes = input.ConsumeRandomLengthString(maxLength);
    std::wstring text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte != 0xFF || i + 1 == bytes.size()) {
            text += static_cast<wchar_t>(byte);
            continue;
        }
        constexpr wchar_t kWide[] = {0x00FF, 0x0100, 0x03A9, 0x20AC, 0xD800, 0xDC00, 0xFEFF, 0xFFFD};
        const auto pick = static_cast<unsigned char>(bytes[++i]);
        text += pick < std::size(kWide) ? kWide[pick] : static_cast<wchar_t>(0x0100 + pick);
    }
    return text;
}

// A broken rule: says which and what it saw, then ends the run, which libFuzzer keeps as a crash.
inline void Require(bool holds, const char* rule, std::wstring_view detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n  ", rule);
    for (const wchar_t c : detail.substr(0, 2000))  // control characters and all beyond ASCII as \x{...}
        c >= 0x20 && c < 0x7F ? std::fputc(c, stderr) : std::fprintf(stderr, "\\x{%X}", static_cast<unsigned>(c));
    std::fputc('\n', stderr);
    std::abort();
}

// No failure was reported to the user; the first report when one was.
inline void RequireNoReport(const testing::TrailFixturePorts& ports, const char* rule) {
    Require(ports.view.reports.empty(), rule, ports.view.reports.empty() ? L"" : ports.view.reports.front());
}

}  // namespace qlora::fuzzing
