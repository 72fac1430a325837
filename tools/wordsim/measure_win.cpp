#include "measure_win.h"

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "session_host_win.h"
#include "word_model.h"

namespace wordsim {
namespace {

using qlora::text::Decimal;

// One line of the table: a load or a step, with what it cost in each run.
struct Row {
    std::wstring what;
    std::vector<Cost> runs;
};

// The middle value (the upper one of the two middles for an even count).
template <class Value>
Value Median(std::vector<Value> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

template <class Value>
Value Median(const std::vector<Cost>& runs, Value Cost::*field) {
    std::vector<Value> values;
    for (const auto& cost : runs) values.push_back(cost.*field);
    return Median(std::move(values));
}

std::wstring LoadRow(std::wstring_view progId) {
    return L"load " + std::wstring(progId) + L" (CoCreateInstance to the end of OnConnection)";
}

// "4.25x"
std::wstring Times(double ratio) {
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%.2fx", ratio);
    return text;
}

std::wstring Milliseconds(std::chrono::nanoseconds time) {
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%.3f ms", std::chrono::duration<double, std::milli>(time).count());
    return text;
}

std::wstring Padded(std::wstring text, size_t width, bool right) {
    if (text.size() >= width) return text;
    const std::wstring fill(width - text.size(), L' ');
    return right ? fill + text : text + fill;
}

// "  12.345 ms  Invoke 120  GetIDsOfNames 30"
std::wstring Shown(std::chrono::nanoseconds time, int64_t invokes, int64_t nameLookups) {
    return Padded(Milliseconds(time), 12, true) + L"  Invoke " + Padded(Decimal(invokes), 5, true) +
           L"  GetIDsOfNames " + Padded(Decimal(nameLookups), 4, true);
}

// The loads and steps of one run, named as the table names them.
std::vector<Row> RowsOf(const WinSessionHost& host, const Session& session) {
    std::vector<Row> rows;
    for (const auto& load : host.AddIns().Loads())
        rows.push_back({LoadRow(load.progId), {load.cost}});
    for (const auto& step : session.Costs())
        rows.push_back({step.line ? L"line " + Decimal(static_cast<long long>(step.line)) + L": " + step.step : step.step,
                        {step.cost}});
    return rows;
}

}  // namespace

int Measure(int32_t runs, std::wstring_view script, const Print& print, std::wstring_view baseline) {
    std::vector<Row> table;
    for (int32_t run = 1; run <= runs; ++run) {
        std::vector<std::wstring> output;
        const Print keep = [&](std::wstring_view line) { output.emplace_back(line); };
        const auto word = std::make_shared<Word>();
        WinSessionHost host(word, keep, true);
        Session session(*word, host, keep);
        const int result = session.Run(script);
        if (result != Session::kPassed) {
            print(L"wordsim: run " + Decimal(run) + L" of the measurement failed:");
            for (const auto& line : output) print(line);
            return result;
        }
        auto rows = RowsOf(host, session);
        if (run == 1) {
            table = std::move(rows);
            continue;
        }
        const bool same = rows.size() == table.size() &&
                          std::equal(rows.begin(), rows.end(), table.begin(),
                                     [](const Row& a, const Row& b) { return a.what == b.what; });
        if (!same) {
            print(L"wordsim: run " + Decimal(run) + L" loaded other add-ins or ran other steps than the first");
            return Session::kScriptError;
        }
        for (size_t i = 0; i < rows.size(); ++i) table[i].runs.push_back(rows[i].runs.front());
    }

    size_t width = 0;
    for (const auto& row : table) width = std::max(width, row.what.size());
    print(L"wordsim: what Word's add-ins cost it, " + Decimal(runs) + L" runs, each in a fresh Word");
    print(Padded(L"", width, false) + L"  " + Padded(L"first run", 46, false) + L"    median of " + Decimal(runs));
    for (const auto& row : table) {
        const Cost& first = row.runs.front();
        print(Padded(row.what, width, false) + L"  " + Shown(first.time, first.invokes, first.nameLookups) + L"    " +
              Shown(Median(row.runs, &Cost::time), Median(row.runs, &Cost::invokes),
                    Median(row.runs, &Cost::nameLookups)));
    }
    if (baseline.empty()) return Session::kPassed;

    const auto base = std::find_if(table.begin(), table.end(), [&](const Row& row) { return row.what == LoadRow(baseline); });
    if (base == table.end()) {
        print(L"wordsim: the baseline add-in " + std::wstring(baseline) + L" did not load");
        return Session::kScriptError;
    }
    print(L"wordsim: each load as a multiple of " + std::wstring(baseline) + L"'s in the same run");
    for (const auto& row : table) {
        if (&row == &*base || row.what.rfind(L"load ", 0) != 0) continue;
        std::vector<double> ratios;
        for (size_t run = 0; run < row.runs.size(); ++run)
            ratios.push_back(static_cast<double>(row.runs[run].time.count()) /
                             static_cast<double>(std::max<int64_t>(base->runs[run].time.count(), 1)));
        print(Padded(row.what, width, false) + L"  first run " + Times(ratios.front()) + L"    median of " +
              Decimal(runs) + L" " + Times(Median(ratios)));
    }
    return Session::kPassed;
}

}  // namespace wordsim
