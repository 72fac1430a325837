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

template <class T>
HRESULT Return(T value, T* result) {
    if (!result) return E_POINTER;
    *result = value;
    return S_OK;
}

// An object argument as the error trail shows it: by the name of its type.
ArgValue ObjectArg(IDispatch* object) {
    if (!object) return {ArgObject{L"Nothing"}};
    UINT count = 0;
    ComPtr<ITypeInfo> info;
    Bstr name;
    if (SUCCEEDED(object->GetTypeInfoCount(&count)) && count > 0 && SUCCEEDED(object->GetTypeInfo(0, 0, &info)) &&
        SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr))) {
        std::wstring text = name.str();
        if (text.size() > 1 && text[0] == L'_') text.erase(0, 1);
        return {ArgObject{text}};
    }
    return {ArgObject{L"Object"}};
}

ArgValue ArrayArg(SAFEARRAY** custom) {
    return custom && *custom ? ArgValue{ArgArray{}} : ArgValue{ArgEmpty{}};
}

}  // namespace

// ---- Connect ----

HRESULT ConnectObject::OnConnection(IDispatch* Application, LONG ConnectMode, IDispatch* AddInInst,
                                    SAFEARRAY** custom) {
    const Connect::Shown shown{ObjectArg(Application), ObjectArg(AddInInst), ArrayArg(custom)};
    connect_.IDTExtensibility2_OnConnection([&] { return word::ApplicationFromDispatch(Application); }, ConnectMode,
                                            shown);
    return S_OK;  // a failure was reported to the user; Word keeps the add-in loaded
}

HRESULT ConnectObject::OnDisconnection(LONG RemoveMode, SAFEARRAY** custom) {
    connect_.IDTExtensibility2_OnDisconnection(RemoveMode, ArrayArg(custom));
    return S_OK;
}

HRESULT ConnectObject::OnAddInsUpdate(SAFEARRAY**) {
    connect_.IDTExtensibility2_OnAddInsUpdate();
    return S_OK;
}

HRESULT ConnectObject::OnStartupComplete(SAFEARRAY**) {
    connect_.IDTExtensibility2_OnStartupComplete();
    return S_OK;
}

HRESULT ConnectObject::OnBeginShutdown(SAFEARRAY**) {
    connect_.IDTExtensibility2_OnBeginShutdown();
    return S_OK;
}

// ---- clsWordAddIn ----

HRESULT WordAddInObject::InitHandler(IDispatch* myApplication) {
    return Call([&] { handler_.InitHandler(word::ApplicationFromDispatch(myApplication)); });
}

HRESULT WordAddInObject::UnInitHandler() {
    return Call([&] { handler_.UnInitHandler(); });
}

// ---- clsWord ----

namespace {

// The variables' operations never raise: no document (Nothing) is one of the failures they ignore.
std::shared_ptr<word::Document> DocumentOrNone(IDispatch* myDocument) {
    return myDocument ? word::DocumentFromDispatch(myDocument) : nullptr;
}

}  // namespace

HRESULT WordObject::ReadVariable(IDispatch* myDocument, BSTR strName, BSTR* result) {
    std::wstring value;
    const HRESULT hr =
        Call([&] { value = clsWord().ReadVariable(DocumentOrNone(myDocument), Bstr::ToString(strName)); });
    return FAILED(hr) ? hr : ReturnString(value, result);
}

HRESULT WordObject::WriteVariable(IDispatch* myDocument, BSTR strName, BSTR strValue) {
    return Call([&] {
        clsWord().WriteVariable(DocumentOrNone(myDocument), Bstr::ToString(strName), Bstr::ToString(strValue));
    });
}

HRESULT WordObject::DeleteVariable(IDispatch* myDocument, BSTR strName) {
    return Call([&] { clsWord().DeleteVariable(DocumentOrNone(myDocument), Bstr::ToString(strName)); });
}

// ---- clsWildCardBtn ----

HRESULT WildCardBtnObject::get_Index(LONG* result) { return Return<LONG>(button_.Index, result); }

HRESULT WildCardBtnObject::put_Index(LONG value) {
    button_.Index = value;
    return S_OK;
}

HRESULT WildCardBtnObject::get_Button(IDispatch** result) {
    if (!result) return E_POINTER;
    *result = button_.Button() ? word::DispatchOf(*button_.Button()) : nullptr;
    if (*result) (*result)->AddRef();
    return S_OK;
}

HRESULT WildCardBtnObject::putref_Button(IDispatch* value) {
    return Call([&] { button_.SetButton(value ? word::ButtonFromDispatch(value) : nullptr); });
}

HRESULT WildCardBtnObject::AddBookmark(BSTR strText, BSTR strName) {
    return Call([&] { button_.AddBookmark(Bstr::ToString(strText), Bstr::ToString(strName)); });
}

// ---- clsTemplateList and its ListLoaded event ----

class ListLoadedPoint final : public Unknown<IConnectionPoint> {
public:
    explicit ListLoadedPoint(IConnectionPointContainer* container) : container_(container) {}

    void Raise() {
        const auto sinks = sinks_;  // a handler may unadvise while we go through them
        for (const auto& [cookie, sink] : sinks) {
            DISPPARAMS none{};
            sink->Invoke(kListLoaded, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                         nullptr);
        }
    }
    void Detach() noexcept { container_ = nullptr; }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = DIID___clsTemplateList;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
        if (!container) return E_POINTER;
        *container = container_;
        if (!container_) return E_UNEXPECTED;
        container_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(DIID___clsTemplateList, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
            FAILED(sink->QueryInterface(IID_PPV_ARGS(&dispatch))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++lastCookie_;
        sinks_.emplace_back(*cookie, std::move(dispatch));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it)
            if (it->first == cookie) {
                sinks_.erase(it);
                return S_OK;
            }
        return CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    static constexpr DISPID kListLoaded = 1;
    IConnectionPointContainer* container_;  // the list owns this point: no reference back
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
    DWORD lastCookie_ = 0;
};

TemplateListObject::TemplateListObject() {
    listLoaded_ = Adopt(new ListLoadedPoint(this));
    const HRESULT hr = Call([&] {
        list_ = std::make_unique<clsTemplateList>();
        listLoadedEvents_ = list_->OnListLoaded([point = listLoaded_.Get()] { point->Raise(); });
    });
    (void)hr;  // creation reports its own failures; a list without file path stays usable
}

TemplateListObject::~TemplateListObject() {
    listLoadedEvents_.Reset();
    listLoaded_->Detach();
}

HRESULT TemplateListObject::get_FilePath(BSTR* result) {
    return ReturnString(list_ ? list_->FilePath() : std::wstring(), result);
}

HRESULT TemplateListObject::put_FilePath(BSTR value) {
    return Call([&] { Required(list_.get()).FilePath(Bstr::ToString(value)); });
}

HRESULT TemplateListObject::AddTemplate(BSTR strName, BSTR strFilePath, VARIANT_BOOL bolOverwrite,
                                        VARIANT_BOOL* result) {
    bool added = false;
    const HRESULT hr = Call([&] {
        added = Required(list_.get()).AddTemplate(Bstr::ToString(strName), Bstr::ToString(strFilePath),
                                            bolOverwrite != VARIANT_FALSE);
    });
    return FAILED(hr) ? hr : Return(Bool(added), result);
}

HRESULT TemplateListObject::GetEntry(VARIANT Index, BSTR* result) {
    // A text is a template name, a number a position; anything else names no entry. A script's
    // variable arrives by reference and counts as the value it holds.
    std::wstring entry;
    Variant value;
    if (list_ && SUCCEEDED(::VariantCopyInd(value.get(), &Index))) {
        VARIANT& index = *value.get();
        if (index.vt == VT_BSTR) {
            entry = list_->GetEntry(std::wstring_view(Bstr::ToString(index.bstrVal)));
        } else {
            Variant position;
            if (index.vt != VT_EMPTY && SUCCEEDED(::VariantChangeType(position.get(), &index, 0, VT_I4)))
                entry = list_->GetEntry(static_cast<int32_t>((*position).lVal));
        }
    }
    return ReturnString(entry, result);
}

HRESULT TemplateListObject::CountTemplates(LONG* result) { return Return<LONG>(list_ ? list_->CountTemplates() : 0, result); }

HRESULT TemplateListObject::Load() {
    return Call([&] { Required(list_.get()).Load(); });
}

HRESULT TemplateListObject::Save() {
    return Call([&] { Required(list_.get()).Save(); });
}

HRESULT TemplateListObject::TemplateExists(BSTR strName, VARIANT_BOOL* result) {
    bool exists = false;
    const HRESULT hr = Call([&] { exists = Required(list_.get()).TemplateExists(Bstr::ToString(strName)); });
    return FAILED(hr) ? hr : Return(Bool(exists), result);
}

HRESULT TemplateListObject::EnumConnectionPoints(IEnumConnectionPoints**) { return E_NOTIMPL; }

HRESULT TemplateListObject::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (riid != DIID___clsTemplateList) return CONNECT_E_NOCONNECTION;
    return listLoaded_.CopyTo(point);
}

// ---- clsOperatingSystem, clsFileOps, clsConcatenation ----

HRESULT OperatingSystemObject::OperatingSystem(BSTR* result) {
    std::wstring line;
    const HRESULT hr = Call([&] { line = clsOperatingSystem().OperatingSystem(); });
    return FAILED(hr) ? hr : ReturnString(line, result);
}

HRESULT FileOpsObject::Delete(BSTR strPath, VARIANT_BOOL bolAllowUndo, VARIANT_BOOL bolSilent, VARIANT_BOOL* result) {
    bool deleted = false;
    const HRESULT hr = Call([&] {
        deleted = clsFileOps().Delete(Bstr::ToString(strPath), bolAllowUndo != VARIANT_FALSE, bolSilent != VARIANT_FALSE);
    });
    return FAILED(hr) ? hr : Return(Bool(deleted), result);
}

HRESULT FileOpsObject::RenameFolder(BSTR strPath, BSTR strNewName, LONG* result) {
    int32_t shellResult = 0;
    const HRESULT hr =
        Call([&] { shellResult = clsFileOps().RenameFolder(Bstr::ToString(strPath), Bstr::ToString(strNewName)); });
    return FAILED(hr) ? hr : Return<LONG>(shellResult, result);
}

HRESULT FileOpsObject::GetPathLocalAppData(BSTR* result) {
    std::wstring path;
    const HRESULT hr = Call([&] { path = clsFileOps().GetPathLocalAppData(); });
    return FAILED(hr) ? hr : ReturnString(path, result);
}

HRESULT ConcatenationObject::Clear() {
    builder_.Clear();
    return S_OK;
}

HRESULT ConcatenationObject::Concat(BSTR Value) {
    return Call([&] { builder_.Concat(Bstr::ToString(Value)); });
}

HRESULT ConcatenationObject::get_Length(LONG* result) { return Return<LONG>(builder_.Length(), result); }

HRESULT ConcatenationObject::get_Value(BSTR* result) { return ReturnString(builder_.Value(), result); }

// ---- clsCommandBar ----

HRESULT CommandBarObject::CreateCommandbar() {
    bar_.CreateCommandbar();
    return S_OK;
}

HRESULT CommandBarObject::SavePosition() {
    bar_.SavePosition();
    return S_OK;
}

HRESULT CommandBarObject::CreateWildCardList(VARIANT_BOOL bolChange) {
    bar_.CreateWildCardList(bolChange != VARIANT_FALSE);
    return S_OK;
}

}  // namespace qlora::com
