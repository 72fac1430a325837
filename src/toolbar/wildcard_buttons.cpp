#include "toolbar/wildcard_buttons.h"

#include <algorithm>
#include <optional>

#include "base/keyed_collection.h"
#include "base/text.h"
#include "session/global.h"
#include "toolbar/display_names.h"
#include "trail/error_trail.h"

namespace qlora {

void clsWildCardBtn::SetButton(std::shared_ptr<word::CommandBarButton> button) {
    myButton.Assign(std::move(button), [this](const std::shared_ptr<word::CommandBarButton>& ctrl, bool& cancelDefault) {
        myButton_Click(ctrl, cancelDefault);
    });
}

void clsWildCardBtn::myButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault) {
    ReportFailures(
        L"clsWildCardBtn.myButton_Click(Ctrl,CancelDefault)",
        [&] {
            // The wrapped button, not the clicked one: Office also calls here for another button
            // that happens to carry the same Tag.
            auto& button = Required(myButton.Get());
            AddBookmark(button.Caption(), button.Parameter());
        },
        Ctrl, CancelDefault);
}

void clsWildCardBtn::RibbonButton_Click(const std::wstring& Ctrl, const std::wstring& strParam) {
    bool CancelDefault = false;
    ReportFailures(
        L"clsWildCardBtn.myButton_Click(Ctrl,CancelDefault)",
        [&] { clsWildCardBtn().AddBookmark(basDisplayNames::GetPlainName(strParam, -1), strParam); }, Ctrl,
        CancelDefault);
}

void clsWildCardBtn::AddBookmark(std::wstring strText, std::wstring strName) {
    PassOn(
        L"clsWildCardBtn.AddBookmark(strText,strName)",
        [&] {
            auto& wordApp = Required(basGlobal::gWordApplication);
            // Word raises its own error when no document is open.
            const auto document = wordApp.ActiveDocument();
            const auto selectionObject = wordApp.Selection();
            auto& selection = Required(selectionObject);

            strText = L"<<" + strText + L">>";
            selection.TypeText(strText);
            // Typing need not replace the selection: with track changes on it stays as a tracked
            // deletion, and a selection holding a comment stays as it is. The placeholder is what
            // ends at the caret.
            const int32_t end = selection.Start();
            selection.SetRange(end - static_cast<int32_t>(strText.size()), end);
            const auto range = selection.Range();
            if (const std::wstring typed = Required(range).Text(); typed != strText)
                throw Error(errnum::InvalidCall, kProjectName,
                            L"Word did not type the wildcard as it was given: '" + typed + L"' stands before the caret");

            // The first free name: the name itself, then the name as passed in with 1, 2, ...
            const auto bookmarks = Required(document).Bookmarks();
            const std::wstring asPassed = strName;
            for (int32_t k = 1; bookmarks->Exists(strName); ++k) strName = asPassed + text::Decimal(k);
            bookmarks->Add(strName, range);
            selection.SetRange(end, end);
        },
        strText, strName);
}

namespace basWildcardBtns {
namespace {

using Wrappers = KeyedCollection<std::shared_ptr<clsWildCardBtn>>;

std::optional<Wrappers>& colWildcardButtons() {
    static std::optional<Wrappers> collection;
    return collection;
}

// The collection, created empty on first use and again on first use after ClearwcButtons.
Wrappers& Collection() {
    auto& collection = colWildcardButtons();
    if (!collection) collection.emplace();
    return *collection;
}

}  // namespace

void AddwcButton(const std::shared_ptr<word::CommandBarButton>& mywcButton, const std::wstring& strKey,
                 int32_t lngIndex) {
    PassOn(
        L"basWildcardBtns.AddwcButton(mywcButton,strKey,lngIndex)",
        [&] {
            auto wrapper = GetwcButton(strKey);
            const bool isNew = !wrapper;
            if (isNew) wrapper = std::make_shared<clsWildCardBtn>();
            wrapper->SetButton(mywcButton);
            wrapper->Index = lngIndex;
            // A new wrapper joins only once it receives its button's clicks.
            if (isNew) Collection().Add(std::move(wrapper), strKey);
        },
        mywcButton, strKey, lngIndex);
}

std::shared_ptr<clsWildCardBtn> GetwcButton(const std::wstring& strKey) {
    return IgnoringFailures([&] {
        const auto* found = Collection().Find(strKey);
        return found ? *found : nullptr;
    });
}

void ClearwcButtons() { colWildcardButtons().reset(); }

void SortButtons() {
    PassOn(L"basWildcardBtns.SortButtons", [] {
        const auto& wrappers = Collection();
        const int32_t n = wrappers.Count();
        for (const auto& entry : wrappers) Required(entry.item->Button()).Move(std::min(entry.item->Index, n));
    });
}

std::vector<std::wstring> Keys() {
    std::vector<std::wstring> keys;
    for (const auto& entry : Collection()) keys.push_back(entry.key);
    return keys;
}

}  // namespace basWildcardBtns
}  // namespace qlora
