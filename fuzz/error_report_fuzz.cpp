// The error report: a failure with any number, source and description, passed on through a few
// operations whose argument values are anything (texts holding the report's own placeholders and
// marker, huge and empty texts, odd numbers and dates, nested arrays), ends in one report that
// carries the description, source and machine facts as they were, is logged and shown, and never
// lets a failure out.
#include <cstdlib>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "report/error_report.h"
#include "trail/error_trail.h"

namespace qlora::fuzzing {
namespace {

bool Holds(const std::wstring& report, const std::wstring& part) { return report.find(part) != std::wstring::npos; }

// Texts that are mostly made of the report's own template pieces.
std::wstring ConsumeHostileText(FuzzedDataProvider& input) {
    static const std::wstring kPieces[] = {L"%Descr%",  L"%Time%", L"%nl%", L"%Source%",    L"%MethodName%",
                                           L"%ErrNum%", L"%Comp%", L"%",    L"\b",          L"\bDescr\b",
                                           L"\r\n",     L"{Text}", L"'",    L"Call Stack: "};
    std::wstring text;
    for (int pieces = input.ConsumeIntegralInRange(0, 8); pieces > 0; --pieces)
        text += input.ConsumeBool() ? input.PickValueInArray(kPieces) : ConsumeText(input, 16);
    // Now and then a huge one.
    if (input.ConsumeIntegralInRange(0, 99) == 0 && !text.empty())
        while (text.size() <= (size_t{1} << 16)) text += text;
    return text;
}

ArgValue ConsumeArg(FuzzedDataProvider& input, int depth) {
    const int kind = input.ConsumeIntegralInRange(0, depth > 2 ? 8 : 9);
    if (kind == 0) return {ArgEmpty{}};
    if (kind == 1) return {ArgNull{}};
    if (kind == 2) return {ArgMissing{}};
    if (kind == 3) return {input.ConsumeBool()};
    if (kind == 4) return {input.ConsumeIntegral<int64_t>()};
    if (kind == 5) return {input.ConsumeFloatingPoint<double>()};
    if (kind == 7) return {ConsumeHostileText(input)};
    if (kind == 8) return {ArgObject{ConsumeText(input, 32)}};
    if (kind == 6) {
        ArgDate d{};
        for (int* part : {&d.year, &d.month, &d.day, &d.hour, &d.minute, &d.second})
            *part = input.ConsumeIntegral<int>();
        const std::wstring shown = FormatArgValue({d});
        for (const long long part : {d.year, d.month, d.day, d.hour, d.minute, d.second})
            Require(Holds(shown, text::Decimal(std::llabs(part))), "a date shows all its parts", shown);
        return {d};
    }
    ArgArray array;
    for (int count = input.ConsumeIntegralInRange(0, 4); count > 0; --count)
        array.items.push_back(ConsumeArg(input, depth + 1));
    return {std::move(array)};
}

// Throws the failure, or passes it on through `levels` more operations, each with its own
// argument names and values.
void FailThrough(FuzzedDataProvider& input, int levels, const ErrorInfo& failure, int kind) {
    if (levels == 0) {
        if (kind == 0) throw Error(failure);
        if (kind == 1) throw std::runtime_error(text::ToUtf8(failure.description));
        throw 42;  // no error information at all
    }
    static const wchar_t* kTraceNames[] = {L"Fuzz.Operation",        L"Fuzz.Operation()",    L"Fuzz.Operation(a)",
                                           L"Fuzz.Operation(a,b,c)", L"Fuzz.Operation(a,,b", L"(x)"};
    const std::wstring traceName = input.PickValueInArray(kTraceNames);
    std::vector<ArgValue> values;
    for (int count = input.ConsumeIntegralInRange(0, 4); count > 0; --count) values.push_back(ConsumeArg(input, 0));
    const ArgValue args = values.size() == 1 ? values.front() : ArgValue{ArgArray{values}};
    PassOn(
        traceName, [&] { FailThrough(input, levels - 1, failure, kind); }, args);
}

}  // namespace

void Run(FuzzedDataProvider& input, testing::TrailFixturePorts& ports) {
    ports.host.computerName = ConsumeText(input, 32);
    ports.host.now.dateSeparator = ConsumeText(input, 4);
    ports.host.now.month = input.ConsumeIntegral<int>();

    ErrorInfo failure;
    failure.number = input.ConsumeIntegral<int32_t>();
    failure.source = ConsumeHostileText(input);
    failure.description = ConsumeHostileText(input);
    failure.helpContext = input.ConsumeIntegral<int32_t>();
    failure.line = input.ConsumeIntegral<int32_t>();
    failure.systemError = input.ConsumeIntegral<int32_t>();
    ports.host.systemMessages[failure.systemError] = ConsumeHostileText(input);
    const int kind = input.ConsumeIntegralInRange(0, 2);
    const int levels = input.ConsumeIntegralInRange(0, 4);

    ReportFailures(
        L"Fuzz.Outermost(x)", [&] { FailThrough(input, levels, failure, kind); }, ConsumeHostileText(input));

    Require(ports.view.reports.size() == 1, "the outermost operation shows one report");
    const std::wstring& report = ports.view.reports.front();
    Require(report == HuntERR31::Report(), "the report shown is the trail's");
    const bool passThrough =
        kind == 0 && failure.number >= HuntERR31::PassThroughFirst && failure.number <= HuntERR31::PassThroughLast;
    // A failure whose source names the trail carries a report already: it is continued, not begun.
    const bool carriesReport = kind == 0 && failure.source == HuntERR31::kTrailSource;
    if (!passThrough && !carriesReport) {
        // What a standard exception says ends at its first NUL.
        const std::wstring description = kind == 0   ? failure.description
                                         : kind == 1 ? text::FromUtf8(text::ToUtf8(failure.description).c_str())
                                                     : std::wstring(HuntERR31::kLostDescription);
        Require(Holds(report, L"  Description: " + description + L"\r\n"), "the report carries the description",
                report);
        Require(report.starts_with(description + L" \r\n"), "the report begins with the description", report);
        if (kind == 0) {
            Require(Holds(report, L"  Source: " + failure.source + L" \r\n"), "the report carries the source", report);
            // A failure numbered 0 is still one: ERR_GENERAL.
            const int32_t number = failure.number ? failure.number : HuntERR31::ERR_GENERAL;
            Require(Holds(report, L"  Number: " + text::Decimal(number) + L" = "), "the report carries the number",
                    report);
        }
        Require(Holds(report, L"Computer='" + ports.host.computerName + L"' \r\n"), "the report carries the computer",
                report);
        Require(Holds(report, L"  Call Stack: Fuzz.Outermost("), "the outermost operation has its line", report);
        Require(ports.host.files.begin()->second == report + L"\r\n\r\n\r\n", "the log holds the report");
    }
    const std::wstring shown = frmShowError::ReportText(report);
    Require(shown.starts_with(report), "the report dialog shows the whole report");
}

}  // namespace qlora::fuzzing
