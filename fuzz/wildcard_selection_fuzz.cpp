// The wildcard selection: from any stored selection, a random sequence of the dialog's moves
// (buttons, clicks on entries, drag and drop, and the move operations called directly with any
// arguments) keeps every wildcard in exactly one of the two lists, and each list's selected entry
// inside its list. In a user's session (only what the dialog lets the user do: enabled buttons,
// clicks on entries, drags) no step may fail at all.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
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

using testing::FakeWildcardsView;

// The process-wide state the dialog reads, set once: the settings store and the catalogue.
void SetUpProcess() {
    static const bool done = [] {
        basGlobal::gSettings = testing::AddInSettings();
        basGlobal::gLanguage = basGlobal::kEnglish;
        SetLngId(static_cast<int16_t>(basGlobal::kEnglish + 1));
        basDisplayNames::FillNamesList();
        return true;
    }();
    (void)done;
}

// What the registry holds for a wildcard: nothing, a place, "0", any text or a number value.
void StorePlace(FuzzedDataProvider& input, testing::FakeRegistry& registry, std::wstring_view name) {
    const std::wstring entry(name);
    const auto& settings = *basGlobal::gSettings;
    const int32_t root = settings.RootKey;
    const std::wstring key = settings.KeyPath();
    switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0: return;
        case 1: registry.PutString(root, key, entry, text::Decimal(input.ConsumeIntegralInRange(-2, 70))); return;
        case 2: registry.PutString(root, key, entry, L"0"); return;
        case 3: registry.PutString(root, key, entry, ConsumeText(input, 12)); return;
        default:
            registry.Put(root, key, entry,
                         {testing::FakeRegistry::RawValue::Kind::Number, {}, input.ConsumeIntegral<int32_t>()});
    }
}

void CheckLists(const frmWildcards& form) {
    std::map<std::wstring, int> seen;
    for (const auto list : {ListId::Available, ListId::Selected}) {
        const auto& l = form.List(list);
        for (const auto& entry : l.entries) ++seen[entry.tag];
        if (l.selected)
            Require(*l.selected >= 1 && *l.selected <= l.Count(), "a selected index lies inside its list",
                    text::Decimal(*l.selected) + L" of " + text::Decimal(l.Count()));
    }
    Require(form.lvwAvailable().Count() + form.lvwSelected().Count() == static_cast<int32_t>(kWildcards.size()),
            "the lists hold 34 entries together");
    for (const auto& w : kWildcards)
        Require(seen[std::wstring(w.bookmarkName)] == 1, "every wildcard is in exactly one list", std::wstring(w.bookmarkName));
}

ListId ConsumeList(FuzzedDataProvider& input) { return input.ConsumeBool() ? ListId::Selected : ListId::Available; }

// An entry of the list, or none (a click beside the entries).
std::optional<int32_t> ConsumeEntry(FuzzedDataProvider& input, const WildcardList& list) {
    const int32_t index = input.ConsumeIntegralInRange(0, list.Count());
    return index == 0 ? std::nullopt : std::optional<int32_t>(index);
}

// The wildcard a list's selected entry shows; empty when none is selected.
std::wstring SelectedTag(const WildcardList& list) { return list.selected ? list.At(*list.selected).tag : std::wstring(); }

bool Holds(const WildcardList& list, const std::wstring& tag) {
    return std::any_of(list.entries.begin(), list.entries.end(), [&](const WildcardEntry& e) { return e.tag == tag; });
}

// One thing the user does in the dialog: a click on an enabled button or on an entry, or a drag.
// A button or a drag moves the wildcard the user chose, and Up and Down keep it selected.
void UserStep(FuzzedDataProvider& input, frmWildcards& form) {
    const ListButtons b = form.Buttons();
    const std::wstring available = SelectedTag(form.lvwAvailable()), selected = SelectedTag(form.lvwSelected());
    const auto index = form.lvwSelected().selected.value_or(0);
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            if (!b.cmdAdd) return;
            form.cmdAdd_Click();
            Require(Holds(form.lvwSelected(), available), "Add moves the chosen wildcard to the selected list", available);
            return;
        case 1:
            if (b.cmdAddAll) form.cmdAddAll_Click();
            Require(!b.cmdAddAll || form.lvwAvailable().Count() == 0, "Add all leaves no wildcard available");
            return;
        case 2:
            if (!b.cmdRemove) return;
            form.cmdRemove_Click();
            Require(Holds(form.lvwAvailable(), selected), "Remove moves the chosen wildcard to the available list", selected);
            return;
        case 3:
            if (b.cmdRemoveAll) form.cmdRemoveAll_Click();
            Require(!b.cmdRemoveAll || form.lvwSelected().Count() == 0, "Remove all leaves no wildcard selected");
            return;
        case 4:
        case 5: {
            const bool up = input.ConsumeBool();
            if (!(up ? b.cmdUp : b.cmdDown)) return;
            up ? form.cmdUp_Click() : form.cmdDown_Click();
            Require(form.lvwSelected().selected == index + (up ? -1 : 1) && SelectedTag(form.lvwSelected()) == selected,
                    "Up and Down move the selected wildcard one place and keep it selected", selected);
            return;
        }
        case 6: {
            const ListId list = ConsumeList(input);
            form.ItemSelected(list, ConsumeEntry(input, form.List(list)));
            return;
        }
        default: {
            const ListId source = ConsumeList(input);
            form.ItemSelected(source, ConsumeEntry(input, form.List(source)));
            const std::wstring dragged = SelectedTag(form.List(source));
            form.OLEStartDrag(source);
            if (input.ConsumeBool()) {
                const ListId target = ConsumeList(input);
                const auto before = form.List(target).entries;
                form.OLEDragDrop(target, input.ConsumeIntegralInRange(-20, 40 * 17));
                // A drop from the selected list anywhere, or from the available list on the
                // selected one, moves the dragged wildcard there; within the selected list it stays
                // selected.
                if (!dragged.empty() && (source == ListId::Selected || target == ListId::Selected))
                    Require(Holds(form.List(target), dragged), "a drop moves the dragged wildcard to its list", dragged);
                if (!dragged.empty() && source == target && source == ListId::Selected && form.List(target).entries != before)
                    Require(SelectedTag(form.List(target)) == dragged, "a wildcard dragged within its list stays selected", dragged);
            }
            form.OLECompleteDrag(source);
            return;
        }
    }
}

// A step a user could not take: a move called directly with any arguments, a click whatever the
// button's state, a drag event on its own. It may fail, but must leave the lists whole.
void AnyStep(FuzzedDataProvider& input, frmWildcards& form) {
    const auto anyIndex = [&] { return input.ConsumeIntegralInRange(-2, 37); };
    const auto guarded = [](auto&& call) {
        try {
            call();
        } catch (const Error&) {  // passed on, as the operations do
        }
    };
    switch (input.ConsumeIntegralInRange(0, 12)) {
        case 0: {
            const ListId to = ConsumeList(input), from = ConsumeList(input);
            const int32_t item = anyIndex(), index = anyIndex();
            guarded([&] { form.MoveEntry(to, from, item, index, input.ConsumeBool()); });
            return;
        }
        case 1: {
            const ListId to = ConsumeList(input), from = ConsumeList(input);
            guarded([&] { form.MoveAll(to, from); });
            return;
        }
        case 2: guarded([&] { form.ChangeEntryPosition(input.ConsumeIntegralInRange(-3, 3)); }); return;
        case 3: form.ItemSelected(ConsumeList(input), anyIndex()); return;
        case 4: form.cmdAdd_Click(); return;
        case 5: form.cmdRemove_Click(); return;
        case 6: form.cmdUp_Click(); return;
        case 7: form.cmdDown_Click(); return;
        case 8: form.cmdAddAll_Click(); return;
        case 9: form.cmdRemoveAll_Click(); return;
        case 10: form.OLEStartDrag(ConsumeList(input)); return;
        case 11: form.OLEDragDrop(ConsumeList(input), input.ConsumeIntegralInRange(-20, 40 * 17)); return;
        default: form.OLECompleteDrag(ConsumeList(input)); return;
    }
}

}  // namespace

void Run(FuzzedDataProvider& input, testing::TrailFixturePorts& ports) {
    SetUpProcess();
    testing::FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    for (const auto& w : kWildcards) StorePlace(input, registry, w.bookmarkName);

    FakeWildcardsView view;
    frmWildcards form{view};
    view.form = &form;
    form.Form_Load();
    RequireNoReport(ports, "any stored selection loads");
    Require(ports.prompt.shown.empty(), "any stored selection loads without a message");
    CheckLists(form);

    const bool asUser = input.ConsumeBool();
    for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
        if (asUser) {
            UserStep(input, form);
            RequireNoReport(ports, "nothing a user can do in the dialog fails");
        } else {
            AnyStep(input, form);
        }
        CheckLists(form);
    }
}

}  // namespace qlora::fuzzing
