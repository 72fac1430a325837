#include "templates/template_dialog.h"

#include <algorithm>

#include "base/prompt.h"
#include "base/required.h"
#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "templates/file_sys.h"
#include "templates/template_list.h"
#include "trail/error_trail.h"

namespace qlora {

namespace {

// SaveAs writes Word 97-2003's format whatever the name says: the name says so too.
constexpr std::wstring_view kDocExtension = L".doc";

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// A web location ("https://server/site/Offer.docx"): a scheme, then "://". A drive ("C:") is no
// scheme.
bool IsWebAddress(std::wstring_view path) {
    const size_t colon = path.find(L"://");
    return colon != std::wstring_view::npos && colon >= 2 &&
           std::all_of(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(colon), IsAsciiLetter);
}

bool HasDocExtension(std::wstring_view path) { return text::Fold(path).ends_with(kDocExtension); }

// The path with ".doc" in place of its file's extension: "C:\T\Offer.docx" gives "C:\T\Offer.doc".
std::wstring WithDocExtension(std::wstring path) {
    if (HasDocExtension(path)) return path;
    const size_t file = path.find_last_of(L"\\/");
    const size_t point = path.rfind(L'.');
    if (point != std::wstring::npos && (file == std::wstring::npos || point > file + 1)) path.resize(point);
    return path + std::wstring(kDocExtension);
}

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (!folder.empty() && !folder.ends_with(L"\\")) folder += L"\\";
    return folder;
}

}  // namespace

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

void frmTemplate::LngPtrn_NewConst_frmTemplate() { strFilter = LNG_Main(296); }

std::wstring frmTemplate::GetDefaultFolder() {
    return PassOn(L"frmTemplate.GetDefaultFolder", [&] {
        return WithTrailingBackslash(
            Required(basGlobal::gSettings).ReadKeyEntry(kHKeyCurrentUser, kProductSettingsKey, kDefaultFolderEntry, L""));
    });
}

std::wstring frmTemplate::ShowSaveDialog(const std::wstring& strFileName) {
    return IgnoringFailures([&] {
        return myView.ChooseSaveFile({strFilter, strFileName, L".doc"}).value_or(std::wstring());
    });
}

void frmTemplate::Form_Load() {
    ReportFailures(L"frmTemplate.Form_Load", [&] {
        LngPtrn_NewConst_frmTemplate();
        myWord = std::make_unique<clsWord>();
        Required(basGlobal::gTemplateList).Load();  // read afresh at every opening
        myDoc = Required(basGlobal::gWordApplication).ActiveDocument();
        auto& doc = Required(myDoc);
        std::wstring path;
        std::wstring name;
        if (!doc.Path().empty()) {
            path = ProposedPath(doc);
            name = myWord->ReadVariable(myDoc, kTemplateNameVariable);
            if (name.empty()) name = basGlobal::GetNameFromFile(path);
        } else {
            const std::wstring proposal = GetDefaultFolder() + doc.Name() + L".doc";
            ShowMessage(LNG_Main(293), {}, MsgButtons::Ok, MsgIcon::Information);
            path = ShowSaveDialog(proposal);
            if (!path.empty()) name = basGlobal::GetNameFromFile(path);
        }
        myView.SetText(TemplateField::txtPath, path);
        myView.SetText(TemplateField::txtName, name);
        myView.SelectAll(TemplateField::txtName);
        bolFromWizard = !myWord->ReadVariable(myDoc, kWizardMarkerVariable).empty();
    });
}

std::wstring frmTemplate::ProposedPath(word::Document& doc) {
    const std::wstring fullName = doc.FullName();
    if (!IsWebAddress(fullName)) return WithDocExtension(fullName);
    const auto& list = Required(basGlobal::gTemplateList);
    std::wstring folder = WithTrailingBackslash(basGlobal::GetPathPart(list.GetPath(list.CountTemplates()), false));
    if (folder.empty()) folder = GetDefaultFolder();
    return folder + WithDocExtension(doc.Name());
}

bool frmTemplate::PathAccepted(const std::wstring& path) {
    if (IsWebAddress(path)) {
        ShowMessage(LNG_Main(313), LNG_Main(314), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (!HasDocExtension(path)) {
        ShowMessage(LNG_Main(311), LNG_Main(312), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void frmTemplate::cmdOk_Click() {
    ReportFailures(L"frmTemplate.cmdOk_Click", [&] {
        const std::wstring typedPath = myView.Text(TemplateField::txtPath);
        if (typedPath.empty()) {
            ShowMessage(LNG_Main(292), LNG_Main(300), MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        const std::wstring name = myView.Text(TemplateField::txtName);  // as typed, not trimmed
        if (name.empty()) {
            ShowMessage(LNG_Main(295), LNG_Main(299), MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        if (!PathAccepted(typedPath)) return;
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
        myView.Unload();
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
    ReportFailures(L"frmTemplate.cmdCancel_Click", [&] { myView.Unload(); });
}

void frmTemplate::cmdFile_Click() {
    ReportFailures(L"frmTemplate.cmdFile_Click", [&] {
        std::wstring start = myView.Text(TemplateField::txtPath);
        if (start.empty()) start = ProposedPath(Required(myDoc));
        const std::wstring chosen = ShowSaveDialog(start);
        if (!chosen.empty()) myView.SetText(TemplateField::txtPath, chosen);
    });
}

void frmTemplate::txtPath_Change() {
    ReportFailures(L"frmTemplate.txtPath_Change", [&] {
        myView.SetToolTip(TemplateField::txtPath, myView.Text(TemplateField::txtPath));
    });
}

void frmTemplate::Form_Unload(bool& Cancel) {
    ReportFailures(
        L"frmTemplate.Form_Unload(Cancel)",
        [&] {
            myWord.reset();
            myDoc.reset();
        },
        Cancel);
}

}  // namespace qlora
