// The wildcard selection: from any stored selection, any sequence of the dialog's steps keeps
// every wildcard in exactly one of the two lists and each list's selected entry inside its list.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "support/fake_registry.h"
#include "support/fake_wildcards_view.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcards.h"
#include "wildcards/wildcard_selection.h"

namespace qlora::fuzzing {
namespace {

void CheckLists(const frmWildcards& form) {
    std::map<std::wstring, int> seen;
    for (const WildcardList* list : {&form.lvwAvailable(), &form.lvwSelected()}) {
        for (const auto& entry : list->entries) ++seen[entry.tag];
        if (list->selected)
            Require(*list->selected >= 1 && *list->selected <= list->Count(), "a selected index lies inside its list");
    }
    for (const auto& w : kWildcards)
        Require(seen[std::wstring(w.bookmarkName)] == 1 && seen.size() == kWildcards.size(),
                "every wildcard is in exactly one list", std::wstring(w.bookmarkName));
}

ListId ConsumeList(FuzzedDataProvider& input) { return input.ConsumeBool() ? ListId::Selected : ListId::Available; }

// The wildcard a list's selected entry shows; empty when none is selected.
std::wstring SelectedTag(const WildcardList& list) { return list.selected ? list.At(*list.selected).tag : L""; }

bool Holds(const WildcardList& list, const std::wstring& tag) {
    return std::ranges::any_of(list.entries, [&](const WildcardEntry& e) { return e.tag == tag; });
}

// Each button, and what its click when enabled does: moves the chosen wildcard (or all) from the
// other list into `into`, or moves the selected wildcard `step` places, keeping it selected.
struct Button {
    bool ListButtons::*enabled;
    void (frmWildcards::*click)();
    ListId into;
    bool all;
    int32_t step;
};
constexpr Button kButtons[] = {
    {&ListButtons::cmdAdd, &frmWildcards::cmdAdd_Click, ListId::Selected, false, 0},
    {&ListButtons::cmdAddAll, &frmWildcards::cmdAddAll_Click, ListId::Selected, true, 0},
    {&ListButtons::cmdRemove, &frmWildcards::cmdRemove_Click, ListId::Available, false, 0},
    {&ListButtons::cmdRemoveAll, &frmWildcards::cmdRemoveAll_Click, ListId::Available, true, 0},
    {&ListButtons::cmdUp, &frmWildcards::cmdUp_Click, ListId::Selected, false, -1},
    {&ListButtons::cmdDown, &frmWildcards::cmdDown_Click, ListId::Selected, false, 1},
};
constexpr size_t kButtonCount = std::size(kButtons);

// One step: a user's (enabled buttons, entries, drags), where nothing may fail; or any button, any
// index, and the moves called directly with any arguments, which alone may fail.
void Step(FuzzedDataProvider& input, frmWildcards& form, bool asUser) {
    const size_t pick = input.ConsumeIntegralInRange<size_t>(0, kButtonCount + (asUser ? 1 : 4));
    if (pick < kButtonCount) {
        const Button& button = kButtons[pick];
        if (!asUser) return (form.*button.click)();
        if (!(form.Buttons().*button.enabled)) return;
        const WildcardList& from = form.List(button.into == ListId::Selected ? ListId::Available : ListId::Selected);
        const std::wstring chosen = SelectedTag(button.step ? form.lvwSelected() : from);
        const int32_t index = form.lvwSelected().selected.value_or(0);
        (form.*button.click)();
        if (button.step)
            Require(form.lvwSelected().selected == index + button.step && SelectedTag(form.lvwSelected()) == chosen,
                    "Up and Down move the selected wildcard one place and keep it selected", chosen);
        else
            Require(button.all ? from.Count() == 0 : Holds(form.List(button.into), chosen),
                    "a button moves the chosen wildcard, or all, to the other list", chosen);
        return;
    }
    const ListId list = ConsumeList(input);
    const int32_t entry = input.ConsumeIntegralInRange(asUser ? 0 : -2, asUser ? form.List(list).Count() : 37);
    form.ItemSelected(list, entry || !asUser ? std::optional(entry) : std::nullopt);  // 0: beside the entries
    if (pick == kButtonCount) return;
    if (pick == kButtonCount + 1) {
        // A user's drag starts on the chosen entry and ends where it started; otherwise each of
        // its events may come alone, on any list.
        const std::wstring dragged = SelectedTag(form.List(list));
        if (asUser || input.ConsumeBool()) form.OLEStartDrag(list);
        if (input.ConsumeBool()) {
            const ListId target = ConsumeList(input);
            form.OLEDragDrop(target, input.ConsumeIntegralInRange(-20, 40 * 17));
            // A drop on the selected list, or from it anywhere, moves the dragged wildcard there.
            if (asUser && !dragged.empty() && (list == ListId::Selected || target == ListId::Selected))
                Require(Holds(form.List(target), dragged), "a drop moves the dragged wildcard to its list", dragged);
        }
        if (asUser || input.ConsumeBool()) form.OLECompleteDrag(asUser ? list : ConsumeList(input));
        return;
    }
    try {
        if (pick == kButtonCount + 2) form.MoveAll(list, ConsumeList(input));
        if (pick == kButtonCount + 3) form.ChangeEntryPosition(input.ConsumeIntegralInRange(-3, 3));
        if (pick == kButtonCount + 4) {
            const ListId from = ConsumeList(input);
            const int32_t index = input.ConsumeIntegralInRange(-2, 37);
            form.MoveEntry(list, from, entry, index, input.ConsumeBool());
        }
    } catch (const Error&) {  // passed on, as the moves do
    }
}

}  // namespace

void Run(FuzzedDataProvider& input, testing::TrailFixturePorts& ports) {
    // The process-wide state the dialog reads: the settings store and the catalogue.
    basGlobal::gSettings = testing::AddInSettings();
    basGlobal::gLanguage = basGlobal::kEnglish;
    SetLngId(static_cast<int16_t>(basGlobal::kEnglish + 1));
    basDisplayNames::FillNamesList();
    testing::FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    // What the registry holds for each wildcard: nothing, a place ("0" among them), any text or a number.
    const int32_t root = basGlobal::gSettings->RootKey;
    const std::wstring key = basGlobal::gSettings->KeyPath();
    for (const auto& w : kWildcards) {
        const int kind = input.ConsumeIntegralInRange(0, 3);
        const std::wstring name(w.bookmarkName);
        if (kind == 1) registry.PutString(root, key, name, text::Decimal(input.ConsumeIntegralInRange(-2, 70)));
        if (kind == 2) registry.PutString(root, key, name, ConsumeText(input, 12));
        if (kind == 3)
            registry.Put(root, key, name,
                         {testing::FakeRegistry::RawValue::Kind::Number, {}, input.ConsumeIntegral<int32_t>()});
    }

    testing::FakeWildcardsView view;
    frmWildcards form{view};
    view.form = &form;
    form.Form_Load();
    RequireNoReport(ports, "any stored selection loads");
    Require(ports.prompt.shown.empty(), "any stored selection loads without a message");
    CheckLists(form);

    const bool asUser = input.ConsumeBool();
    for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
        Step(input, form, asUser);
        if (asUser) RequireNoReport(ports, "nothing a user can do in the dialog fails");
        CheckLists(form);
    }
}

}  // namespace qlora::fuzzing
