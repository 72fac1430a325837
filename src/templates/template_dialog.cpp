#include "templates/template_dialog.h"

#include "addin/global.h"
#include "common/prompt.h"
#include "common/required.h"
#include "common/text.h"
#include "errors/error_trail.h"
#include "settings/language_texts.h"
#include "settings/program_settings.h"
#include "templates/file_sys.h"
#include "templates/template_list.h"

namespace qlora {

namespace basGlobal {

std::wstring GetNameFromFile(const std::wstring& strPath) {
    return PassOn(
        L"basGlobal.GetNameFromFile(strPath)",
        [&] {
            std::wstring file = GetPathPart(strPath, true);
            if (const size_t point = file.rfind(L'.'); point != std::wstring::npos) file.resize(point);
            return file;
        },
        strPath);
}

}  // namespace basGlobal

namespace {

// The file "..." starts from: a saved document's own file as it is, a new one's name as a ".doc".
std::wstring ProposedFile(const std::wstring& fullName) {
    const std::wstring file = basGlobal::GetPathPart(fullName, true);
    const bool saved = file.size() < fullName.size() && file.find(L'.') != std::wstring::npos;
    return saved ? fullName : fullName + L".doc";
}

}  // namespace

void frmTemplate::LngPtrn_NewConst_frmTemplate() { strFilter = LNG_Main(296); }

std::wstring frmTemplate::GetDefaultFolder() {
    return PassOn(L"frmTemplate.GetDefaultFolder", [&] {
        std::wstring folder =
            Required(basGlobal::gSettings).ReadKeyEntry(kHKeyCurrentUser, kProductSettingsKey, kDefaultFolderEntry, L"");
        if (!folder.empty() && !text::EndsWith(folder, L"\\")) folder += L"\\";
        return folder;
    });
}

std::wstring frmTemplate::ShowSaveDialog(const std::wstring& strFileName) {
    return IgnoringFailures([&] {
        return view_.ChooseSaveFile({strFilter, strFileName, L".doc"}).value_or(std::wstring());
    });
}

void frmTemplate::Form_Load() {
    Handle(L"frmTemplate.Form_Load", [&] {
        LngPtrn_NewConst_frmTemplate();
        myWord = std::make_unique<clsWord>();
        Required(basGlobal::gTemplateList).Load();  // read afresh at every opening
        myDoc = Required(basGlobal::gWordApplication).ActiveDocument();
        auto& doc = Required(myDoc);
        std::wstring path;
        std::wstring name;
        if (!doc.Path().empty()) {
            path = doc.FullName();
            name = myWord->ReadVariable(myDoc, kTemplateNameVariable);
            if (name.empty()) name = basGlobal::GetNameFromFile(path);
        } else {
            const std::wstring proposal = GetDefaultFolder() + doc.Name() + L".doc";
            ShowMessage(LNG_Main(293), {}, MsgButtons::Ok, MsgIcon::Information);
            path = ShowSaveDialog(proposal);
            if (!path.empty()) name = basGlobal::GetNameFromFile(path);
        }
        view_.SetText(TemplateField::txtPath, path);
        view_.SetText(TemplateField::txtName, name);
        view_.SelectAll(TemplateField::txtName);
        bolFromWizard = !myWord->ReadVariable(myDoc, kWizardMarkerVariable).empty();
    });
}

void frmTemplate::cmdOk_Click() {
    Handle(L"frmTemplate.cmdOk_Click", [&] {
        const std::wstring typedPath = view_.Text(TemplateField::txtPath);
        if (typedPath.empty()) {
            ShowMessage(LNG_Main(292), LNG_Main(300), MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        const std::wstring name = view_.Text(TemplateField::txtName);  // as typed, not trimmed
        if (name.empty()) {
            ShowMessage(LNG_Main(295), LNG_Main(299), MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        auto& doc = Required(myDoc);
        const std::wstring path = basFileSys::GetNetPath(typedPath);
        const std::wstring oldPath = doc.Path().empty() ? std::wstring() : basFileSys::GetNetPath(doc.FullName());
        const std::wstring oldName = Required(myWord).ReadVariable(myDoc, kTemplateNameVariable);
        // The companion product or another Word may have written the list since the dialog
        // opened: the name check sees the newest file, and a list that cannot be read is not
        // written over (Load has reported why).
        auto& list = Required(basGlobal::gTemplateList);
        if (!list.Load() || !ChecksPass(name, path, oldName, oldPath)) return;

        SaveUnder(name, path, oldName);
        if (bolFromWizard) {
            if (ShowMessage(LNG_Main(291), LNG_Main(298), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes)
                doc.Close(false);
        } else if (list.Load()) {  // again: the questions and the save took their time
            list.AddTemplate(name, path, true);  // an entry of the same name is replaced
            list.Save();
        }
        view_.Unload();
    });
}

bool frmTemplate::ChecksPass(const std::wstring& name, const std::wstring& path, const std::wstring& oldName,
                             const std::wstring& oldPath) {
    // The template lists have no escaping, and they are read in the ANSI code page: a name or path
    // they cannot hold would come back as another template, or break the list for the companion
    // product as well.
    switch (clsTemplateList::CheckEntry(name, path)) {
        case clsTemplateList::EntryProblem::Separator:
            ShowMessage(LNG_Main(307), LNG_Main(309), MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        case clsTemplateList::EntryProblem::CodePage:
            ShowMessage(LNG_Main(308), LNG_Main(310), MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        case clsTemplateList::EntryProblem::None:
            break;
    }
    // Keeping the name the document carries already is no conflict, in any letter case: the list
    // takes the new case with the entry it replaces.
    if (!text::EqualsNoCase(name, oldName) && Required(basGlobal::gTemplateList).TemplateExists(name)) {
        ShowMessage(LNG_Main(294), LNG_Main(297), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    bool cancelled = false;
    if (basFileSys::FileExists(path) && oldPath != path)
        cancelled = ShowMessage(LNG_Main(289), LNG_Main(290), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::No;
    // Asked even after No: the user learns about a folder that would refuse the next attempt too.
    if (!basFileSys::HasWriteAccess(basGlobal::GetPathPart(path, false))) {
        ShowMessage(LNG_Main(301), {}, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    return !cancelled;
}

void frmTemplate::SaveUnder(const std::wstring& name, const std::wstring& path, const std::wstring& oldName) {
    myWord->WriteVariable(myDoc, kTemplateNameVariable, name);
    try {
        word::SaveAsArgs saveAs;
        saveAs.FileName = path;
        saveAs.FileFormat = word::wdFormatDocument;  // whatever the path's extension
        myDoc->SaveAs(saveAs);
    } catch (...) {
        // Not saved under the new name: the document keeps the name it was last saved under.
        if (oldName.empty()) myWord->DeleteVariable(myDoc, kTemplateNameVariable);
        else myWord->WriteVariable(myDoc, kTemplateNameVariable, oldName);
        throw;
    }
}

void frmTemplate::cmdCancel_Click() {
    Handle(L"frmTemplate.cmdCancel_Click", [&] { view_.Unload(); });
}

void frmTemplate::cmdFile_Click() {
    Handle(L"frmTemplate.cmdFile_Click", [&] {
        std::wstring start = view_.Text(TemplateField::txtPath);
        if (start.empty()) start = ProposedFile(Required(myDoc).FullName());
        const std::wstring chosen = ShowSaveDialog(start);
        if (!chosen.empty()) view_.SetText(TemplateField::txtPath, chosen);
    });
}

void frmTemplate::txtPath_Change() {
    Handle(L"frmTemplate.txtPath_Change", [&] {
        view_.SetToolTip(TemplateField::txtPath, view_.Text(TemplateField::txtPath));
    });
}

void frmTemplate::Form_Unload(bool& Cancel) {
    Handle(
        L"frmTemplate.Form_Unload(Cancel)",
        [&] {
            myWord.reset();
            myDoc.reset();
        },
        Cancel);
}

}  // namespace qlora
