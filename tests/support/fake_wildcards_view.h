// The wildcard dialog as the native tier and the fuzzer see it: rows of a fixed height, and what
// the form asked of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "wildcards/wildcard_selection.h"

namespace qlora::testing {

class FakeWildcardsView : public WildcardsView {
public:
    static constexpr int32_t kRowHeight = 17;

    const frmWildcards* form = nullptr;
    int refreshes = 0;
    int unloads = 0;
    std::vector<ListId> focused;
    std::vector<int32_t> scrolledTo;

    void Refresh() override { ++refreshes; }
    void Focus(ListId list) override { focused.push_back(list); }
    void EnsureVisible(ListId, int32_t index) override { scrolledTo.push_back(index); }
    std::optional<int32_t> HitTest(ListId list, int32_t y) override {
        const int32_t row = y / kRowHeight + 1;
        if (y < 0 || row > form->List(list).Count()) return std::nullopt;
        return row;
    }
    void Unload() override { ++unloads; }
};

// The middle of a list's row, as a drop there reports it.
constexpr int32_t RowY(int32_t index) {
    return (index - 1) * FakeWildcardsView::kRowHeight + FakeWildcardsView::kRowHeight / 2;
}

// The selected list on a first run in English, top to bottom.
inline const std::vector<std::wstring> kDefaultSelected{
    L"Subject",  L"Body",     L"Sender",     L"To",          L"Attachments", L"Sent",
    L"Received", L"CC",       L"BCC",        L"Categories",  L"Created",     L"Modified",
    L"Importance", L"Sensitivity", L"Size", L"Current date + time", L"Current date", L"Current time"};

}  // namespace qlora::testing
