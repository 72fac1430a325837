#include "addin/com_classes_win.h"

#include <olectl.h>

#include "session/global.h"
#include "shell/operating_system.h"
#include "templates/file_sys.h"
#include "toolbar/word_variables.h"
#include "word/word_dispatch_win.h"

namespace qlora::com {
namespace {

VARIANT_BOOL Bool(bool b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

// Hands a result out through an [out, retval] pointer.
template <class T>
HRESULT Out(T value, T* result) noexcept {
    if (!result) return E_POINTER;
    *result = value;
    return S_OK;
}
HRESULT Out(std::wstring_view text, BSTR* result) noexcept { return ReturnString(text, result); }

// An object argument as the error trail shows it: by the name of its class.
ArgValue ObjectArg(IDispatch* object) {
    if (!object) return {ArgObject{L"Nothing"}};
    std::wstring name = ClassNameOf(object);
    return {ArgObject{name.empty() ? L"Object" : std::move(name)}};
}

ArgValue ArrayArg(SAFEARRAY** custom) {
    return custom && *custom ? ArgValue{ArgArray{}} : ArgValue{ArgEmpty{}};
}

}  // namespace

// ---- Connect ----
// Connect's operations report their own failures: Word gets S_OK and keeps the add-in loaded.

HRESULT ConnectObject::OnConnection(IDispatch* Application, LONG ConnectMode, IDispatch* AddInInst,
                                    SAFEARRAY** custom) {
    return Serve([&] {
        const Connect::Shown shown{ObjectArg(Application), ObjectArg(AddInInst), ArrayArg(custom)};
        connect_.IDTExtensibility2_OnConnection([&] { return word::ApplicationFromDispatch(Application); },
                                                ConnectMode, shown);
    });
}

HRESULT ConnectObject::OnDisconnection(LONG RemoveMode, SAFEARRAY** custom) {
    return Serve([&] { connect_.IDTExtensibility2_OnDisconnection(RemoveMode, ArrayArg(custom)); });
}

HRESULT ConnectObject::OnAddInsUpdate(SAFEARRAY**) {
    return Serve([&] { connect_.IDTExtensibility2_OnAddInsUpdate(); });
}

HRESULT ConnectObject::OnStartupComplete(SAFEARRAY**) {
    return Serve([&] { connect_.IDTExtensibility2_OnStartupComplete(); });
}

HRESULT ConnectObject::OnBeginShutdown(SAFEARRAY**) {
    return Serve([&] { connect_.IDTExtensibility2_OnBeginShutdown(); });
}

// ---- clsWordAddIn ----

HRESULT WordAddInObject::InitHandler(IDispatch* myApplication) {
    return Serve([&] { handler_.InitHandler(word::ApplicationFromDispatch(myApplication)); });
}

HRESULT WordAddInObject::UnInitHandler() {
    return Serve([&] { handler_.UnInitHandler(); });
}

// ---- clsWord ----

namespace {

// The variables' operations never raise: no document (Nothing) is one of the failures they ignore.
std::shared_ptr<word::Document> DocumentOrNone(IDispatch* myDocument) {
    return myDocument ? word::DocumentFromDispatch(myDocument) : nullptr;
}

}  // namespace

HRESULT WordObject::ReadVariable(IDispatch* myDocument, BSTR strName, BSTR* result) {
    return Serve([&] { return Out(clsWord().ReadVariable(DocumentOrNone(myDocument), Bstr::ToString(strName)), result); });
}

HRESULT WordObject::WriteVariable(IDispatch* myDocument, BSTR strName, BSTR strValue) {
    return Serve([&] {
        clsWord().WriteVariable(DocumentOrNone(myDocument), Bstr::ToString(strName), Bstr::ToString(strValue));
    });
}

HRESULT WordObject::DeleteVariable(IDispatch* myDocument, BSTR strName) {
    return Serve([&] { clsWord().DeleteVariable(DocumentOrNone(myDocument), Bstr::ToString(strName)); });
}

// ---- clsWildCardBtn ----

HRESULT WildCardBtnObject::get_Index(LONG* result) {
    return Serve([&] { return Out<LONG>(button_.Index, result); });
}

HRESULT WildCardBtnObject::put_Index(LONG value) {
    return Serve([&] { button_.Index = value; });
}

HRESULT WildCardBtnObject::get_Button(IDispatch** result) {
    return Serve([&] {
        if (!result) return E_POINTER;
        ComPtr<IDispatch> button = button_.Button() ? word::DispatchOf(*button_.Button()) : nullptr;
        *result = button.Detach();
        return S_OK;
    });
}

HRESULT WildCardBtnObject::putref_Button(IDispatch* value) {
    return Serve([&] { button_.SetButton(value ? word::ButtonFromDispatch(value) : nullptr); });
}

HRESULT WildCardBtnObject::AddBookmark(BSTR strText, BSTR strName) {
    return Serve([&] { button_.AddBookmark(Bstr::ToString(strText), Bstr::ToString(strName)); });
}

// ---- clsTemplateList and its ListLoaded event ----

namespace {
constexpr DISPID kListLoaded = 1;
}

TemplateListObject::TemplateListObject() {
    // Creation reports its own failures; a list without file path stays usable.
    (void)Serve([&] {
        list_ = std::make_unique<clsTemplateList>();
        listLoadedEvents_ = list_->OnListLoaded([subscriptions = listLoaded_] {
            for (const auto& sink : subscriptions->Sinks()) RaiseEvent(sink.Get(), kListLoaded);
        });
    });
}

TemplateListObject::~TemplateListObject() = default;

HRESULT TemplateListObject::get_FilePath(BSTR* result) {
    return Serve([&] { return Out(list_ ? list_->FilePath() : std::wstring(), result); });
}

HRESULT TemplateListObject::put_FilePath(BSTR value) {
    return Serve([&] { Required(list_.get()).FilePath(Bstr::ToString(value)); });
}

HRESULT TemplateListObject::AddTemplate(BSTR strName, BSTR strFilePath, VARIANT_BOOL bolOverwrite,
                                        VARIANT_BOOL* result) {
    return Serve([&] {
        const bool added = Required(list_.get()).AddTemplate(Bstr::ToString(strName), Bstr::ToString(strFilePath),
                                                            bolOverwrite != VARIANT_FALSE);
        return Out(Bool(added), result);
    });
}

HRESULT TemplateListObject::GetEntry(VARIANT Index, BSTR* result) {
    // A text is a template name, a number a position; anything else names no entry. A script's
    // variable arrives by reference and counts as the value it holds.
    return Serve([&] {
        std::wstring entry;
        Variant value;
        if (list_ && SUCCEEDED(::VariantCopyInd(value.get(), &Index))) {
            const VARIANT& index = *value;
            if (index.vt == VT_BSTR) {
                entry = list_->GetEntry(std::wstring_view(Bstr::ToString(index.bstrVal)));
            } else {
                Variant position;
                if (index.vt != VT_EMPTY && SUCCEEDED(::VariantChangeType(position.get(), value.get(), 0, VT_I4)))
                    entry = list_->GetEntry(static_cast<int32_t>((*position).lVal));
            }
        }
        return Out(entry, result);
    });
}

HRESULT TemplateListObject::CountTemplates(LONG* result) {
    return Serve([&] { return Out<LONG>(list_ ? list_->CountTemplates() : 0, result); });
}

HRESULT TemplateListObject::Load() {
    return Serve([&] { Required(list_.get()).Load(); });
}

HRESULT TemplateListObject::Save() {
    return Serve([&] { Required(list_.get()).Save(); });
}

HRESULT TemplateListObject::TemplateExists(BSTR strName, VARIANT_BOOL* result) {
    return Serve([&] { return Out(Bool(Required(list_.get()).TemplateExists(Bstr::ToString(strName))), result); });
}

HRESULT TemplateListObject::EnumConnectionPoints(IEnumConnectionPoints**) { return E_NOTIMPL; }

HRESULT TemplateListObject::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
    return Serve([&] {
        if (!point) return E_POINTER;
        *point = nullptr;
        if (riid != DIID___clsTemplateList) return CONNECT_E_NOCONNECTION;
        *point = MakeConnectionPoint(this, DIID___clsTemplateList, listLoaded_, Sinks::AnyDispatch).Detach();
        return *point ? S_OK : E_OUTOFMEMORY;
    });
}

// ---- clsOperatingSystem, clsFileOps, clsConcatenation ----

HRESULT OperatingSystemObject::OperatingSystem(BSTR* result) {
    return Serve([&] { return Out(clsOperatingSystem().OperatingSystem(), result); });
}

HRESULT FileOpsObject::Delete(BSTR strPath, VARIANT_BOOL bolAllowUndo, VARIANT_BOOL bolSilent, VARIANT_BOOL* result) {
    return Serve([&] {
        const bool deleted =
            clsFileOps().Delete(Bstr::ToString(strPath), bolAllowUndo != VARIANT_FALSE, bolSilent != VARIANT_FALSE);
        return Out(Bool(deleted), result);
    });
}

HRESULT FileOpsObject::RenameFolder(BSTR strPath, BSTR strNewName, LONG* result) {
    return Serve([&] {
        return Out<LONG>(clsFileOps().RenameFolder(Bstr::ToString(strPath), Bstr::ToString(strNewName)), result);
    });
}

HRESULT FileOpsObject::GetPathLocalAppData(BSTR* result) {
    return Serve([&] { return Out(clsFileOps().GetPathLocalAppData(), result); });
}

HRESULT ConcatenationObject::Clear() {
    return Serve([&] { builder_.Clear(); });
}

HRESULT ConcatenationObject::Concat(BSTR Value) {
    return Serve([&] { builder_.Concat(Bstr::ToString(Value)); });
}

HRESULT ConcatenationObject::get_Length(LONG* result) {
    return Serve([&] { return Out<LONG>(builder_.Length(), result); });
}

HRESULT ConcatenationObject::get_Value(BSTR* result) {
    return Serve([&] { return Out(builder_.Value(), result); });
}

// ---- clsCommandBar ----
// The toolbar's operations report their own failures.

HRESULT CommandBarObject::CreateCommandbar() {
    return Serve([&] { bar_.CreateCommandbar(); });
}

HRESULT CommandBarObject::SavePosition() {
    return Serve([&] { bar_.SavePosition(); });
}

HRESULT CommandBarObject::CreateWildCardList(VARIANT_BOOL bolChange) {
    return Serve([&] { bar_.CreateWildCardList(bolChange != VARIANT_FALSE); });
}

const std::array<ClassEntry, 9> kClasses{{
    {L"Connect", CLSID_Connect, &CreateObject<ConnectObject>},
    {L"clsWordAddIn", CLSID_clsWordAddIn, &CreateObject<WordAddInObject>},
    {L"clsWord", CLSID_clsWord, &CreateObject<WordObject>},
    {L"clsWildCardBtn", CLSID_clsWildCardBtn, &CreateObject<WildCardBtnObject>},
    {L"clsTemplateList", CLSID_clsTemplateList, &CreateObject<TemplateListObject>},
    {L"clsOperatingSystem", CLSID_clsOperatingSystem, &CreateObject<OperatingSystemObject>},
    {L"clsFileOps", CLSID_clsFileOps, &CreateObject<FileOpsObject>},
    {L"clsConcatenation", CLSID_clsConcatenation, &CreateObject<ConcatenationObject>},
    {L"clsCommandBar", CLSID_clsCommandBar, &CreateObject<CommandBarObject>},
}};

}  // namespace qlora::com
