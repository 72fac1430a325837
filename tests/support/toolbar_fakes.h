// The add-in as Word has connected it, over the in-memory Word: Word's application, the settings
// store on the add-in's section of an in-memory registry, the trail's ports and the texts; for the
// toolbar's tests also the catalogue, recording dialogs and the toolbar built on every
// DocumentChange. Everything the fixtures set process-wide they put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/modal.h"
#include "base/port.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "toolbar/command_bar.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcard_buttons.h"
#include "toolbar/wildcards.h"
#include "word_model.h"

namespace qlora::testing {

// FakeTrailHost's now, as tags show it.
inline const std::wstring kClockText = L" 2026-03-09 14:05:07";

class ConnectedTest : public ::testing::Test {
protected:
    ConnectedTest() {
        basGlobal::gWordApplication = word.Application();
        basGlobal::gSettings = AddInSettings();
        UseLanguage(basGlobal::kEnglish);
    }
    ~ConnectedTest() override {
        basGlobal::gSettings.reset();
        basGlobal::gWordApplication.reset();
        basGlobal::gLanguage = savedLanguage;
        SetLngId(savedLngId);
    }
    // The language of the buttons, the texts and the inserted placeholders.
    static void UseLanguage(int32_t language) {
        basGlobal::gLanguage = language;
        SetLngId(static_cast<int16_t>(language + 1));
    }
    void Store(const std::wstring& entry, const std::wstring& value) {
        registry.PutString(kHKeyCurrentUser, kAddinSection, entry, value);
    }
    // The messages shown, each as "title: text" on a line of its own.
    std::wstring Told() const {
        std::wstring told;
        for (const auto& shown : prompt.shown) told += shown.title + L": " + shown.text + L"\n";
        return told;
    }

    TrailFixturePorts ports;
    RecordingPrompt& prompt = ports.prompt;
    std::vector<std::wstring>& reports = ports.view.reports;
    FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    wordsim::Word word;

private:
    const int32_t savedLanguage = basGlobal::gLanguage;
    const int16_t savedLngId = gLngId();
};

// Records which dialog a button opened; `whileOpen` runs as the dialog's own work would.
class RecordingDialogs : public ToolbarDialogs {
public:
    std::vector<std::wstring> shown;
    std::function<void()> whileOpen;

    void ShowTemplateDialog() override { Show(L"frmTemplate"); }
    void ShowWildcardsDialog() override { Show(L"frmWildcards"); }
    void ShowInfoDialog() override { Show(L"frmInfo"); }

private:
    void Show(const wchar_t* name) {
        const ModalScope modal;  // as the add-in's dialogs are
        shown.emplace_back(name);
        if (whileOpen) whileOpen();
    }
};

class ToolbarTest : public ConnectedTest {
protected:
    ToolbarTest() {
        basGlobal::gCommandBar = std::make_shared<clsCommandBar>();
        basDisplayNames::FillNamesList();
        documentChange = word.Application()->AdviseDocumentChange([] { basGlobal::gCommandBar->CreateCommandbar(); });
    }
    ~ToolbarTest() override {
        documentChange.Reset();
        basWildcardBtns::ClearwcButtons();
        basGlobal::gCommandBar.reset();
        basDisplayNames::ClearNamesList();
    }

    clsCommandBar& Bar() { return *basGlobal::gCommandBar; }
    // Each bookmark of the active document as its name, start and text.
    std::vector<std::wstring> Marks() const {
        const auto doc = word.ActiveDocument();
        std::vector<std::wstring> marks;
        for (const auto& b : doc->bookmarks)
            marks.push_back(b.name + L" " + std::to_wstring(b.span.start) + L" " + doc->TextOf(b.span));
        return marks;
    }
    // Every wildcard hidden except the given ones, at places 1, 2, ...
    void StoreSelection(const std::vector<std::wstring>& shown) {
        for (const auto& w : kWildcards) Store(std::wstring(w.bookmarkName), L"0");
        for (size_t i = 0; i < shown.size(); ++i) Store(shown[i], std::to_wstring(i + 1));
    }
    std::shared_ptr<const wordsim::Control> Control(std::wstring_view path) const {
        return word.FindControl(L"Quillora Toolbar/" + std::wstring(path));
    }
    // The captions on the toolbar, or in the pop-up at `path`.
    std::vector<std::wstring> Captions(std::wstring_view path = {}) const {
        std::vector<std::wstring> captions;
        const wordsim::ControlHost* host = path.empty() ? word.FindBar(L"Quillora Toolbar").get()
                                                        : static_cast<const wordsim::ControlHost*>(Control(path).get());
        if (host)
            for (const auto& c : host->controls) captions.push_back(c->caption);
        return captions;
    }

    RecordingDialogs dialogs;
    ScopedPort<ToolbarDialogs> dialogsSlot{dialogs};
    EventConnection documentChange;
};

}  // namespace qlora::testing
