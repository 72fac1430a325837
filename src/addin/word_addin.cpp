#include "addin/word_addin.h"

#include "base/port.h"
#include "ribbon/ribbon.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "templates/file_sys.h"
#include "templates/template_list.h"
#include "toolbar/command_bar.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcard_buttons.h"
#include "trail/error_trail.h"

namespace qlora {

void clsWordAddIn::InitHandler(const std::shared_ptr<word::Application>& myApplication) {
    ReportFailures(
        L"clsWordAddIn.InitHandler(myApplication)",
        [&] {
            basGlobal::gWordApplication = myApplication;
            basGlobal::gCommandBar = std::make_shared<clsCommandBar>();
            basGlobal::gSettings = std::make_shared<clsProgramSettings>();
            // At its key before anything can fail: a store left at its class defaults would read
            // and write another branch of the registry.
            auto& settings = *basGlobal::gSettings;
            settings.RootKey = kHKeyCurrentUser;
            settings.MainBranch = L"SOFTWARE";
            settings.RegBase = L"Tandrel";
            settings.Program = L"Quillora";
            settings.Section = L"Settings\\WordAddIn";
            myWordApp = basGlobal::gWordApplication;
            if (!myWordApp) throw Raised(kObjectRequired);
            myWordAppEvents = myWordApp->AdviseDocumentChange([this] { myWordApp_DocumentChange(); });
            basGlobal::SetLanguage();
            auto fileOps = std::make_unique<clsFileOps>();
            // Without the user's application data folder there is no data folder: "\Tandrel\..."
            // would land at the root of Word's current drive.
            const std::wstring appData = fileOps->GetPathLocalAppData();
            basGlobal::gDataPath = appData.empty() ? std::wstring() : appData + L"\\Tandrel\\Quillora\\";
            basGlobal::gTemplateList = std::make_shared<clsTemplateList>();
            if (!basGlobal::gDataPath.empty() && !basFileSys::FolderExists(basGlobal::gDataPath))
                basFileSys::CreateFolder(basGlobal::gDataPath);
            basDisplayNames::FillNamesList();
            fileOps.reset();
        },
        myApplication);
}

void clsWordAddIn::UnInitHandler() {
    ReportFailures(L"clsWordAddIn.UnInitHandler", [&] {
        basWildcardBtns::ClearwcButtons();
        basDisplayNames::ClearNamesList();
        basGlobal::gCommandBar.reset();
        basGlobal::gSettings.reset();
        basGlobal::gWordApplication.reset();
        myWordAppEvents.Reset();
        myWordApp.reset();
        myTimerForm.reset();  // unloading frmTimer stops its ticks
        timerLoaded_ = false;
        if (auto* dialogs = Installed<OpenDialogs>::Get()) {
            dialogs->UnloadInfo();
            dialogs->UnloadErrorReport();
        }
    });
}

void clsWordAddIn::myWordApp_DocumentChange() {
    ReportFailures(L"clsWordAddIn.myWordApp_DocumentChange", [&] {
        if (!basGlobal::gCommandBar) throw Raised(kObjectNotSet);
        basGlobal::gCommandBar->CreateCommandbar();
        basRibbon::Refresh();  // "Use as template" and the menu follow the documents
        LoadTimerForToolbar();
    });
}

void clsWordAddIn::LoadTimerForToolbar() {
    // Until a toolbar exists a tick has no position to store; the hidden window and its timer
    // are made once, for the first toolbar, and not at Word's start.
    if (timerLoaded_ || !Required(basGlobal::gCommandBar).CommandBar()) return;
    timerLoaded_ = true;
    myTimerForm = std::make_unique<frmTimer>([this] { myTimerForm_SaveCommandPosition(); });
}

void clsWordAddIn::myTimerForm_SaveCommandPosition() {
    ReportFailures(L"clsWordAddIn.myTimerForm_SaveCommandPosition", [&] {
        if (!basGlobal::gCommandBar) throw Raised(kObjectNotSet);
        basGlobal::gCommandBar->SavePosition();
    });
}

void clsWordAddIn::StartupComplete() {
    ReportFailures(L"clsWordAddIn.StartupComplete", [&] {
        auto& bar = Required(basGlobal::gCommandBar);
        if (bar.CommandBar() || Required(myWordApp).Documents()->Count() < 1) return;
        bar.CreateCommandbar();
        LoadTimerForToolbar();
    });
}

void clsWordAddIn::RemoveToolbar() {
    ReportFailures(L"clsWordAddIn.RemoveToolbar", [&] { Required(basGlobal::gCommandBar).DeleteCommandbar(); });
}

}  // namespace qlora
