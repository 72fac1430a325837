// The COM faces of the add-in's public classes: each translates its interface's calls to the
// portable class behind it and nothing more. Every method runs its body under com::Serve.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "QloraWordAddIn.h"
#include "addin/connect.h"
#include "addin/word_addin.h"
#include "base/concatenation.h"
#include "templates/template_list.h"
#include "toolbar/command_bar.h"
#include "toolbar/wildcard_buttons.h"
#include "win/com_object_win.h"

namespace qlora::com {

class ConnectObject final : public Dual<ConnectObject, _Connect, IDTExtensibility2, IRibbonExtensibility> {
public:
    static const CLSID& Clsid() { return CLSID_Connect; }
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, LONG ConnectMode, IDispatch* AddInInst,
                                           SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(LONG RemoveMode, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;
    // The Ribbon (connect_ribbon_win.cpp).
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override;
    HRESULT STDMETHODCALLTYPE Ribbon_OnLoad(IDispatch* ribbon) override;
    HRESULT STDMETHODCALLTYPE Ribbon_OnAction(IDispatch* control) override;
    HRESULT STDMETHODCALLTYPE Ribbon_GetLabel(IDispatch* control, BSTR* label) override;
    HRESULT STDMETHODCALLTYPE Ribbon_GetEnabled(IDispatch* control, VARIANT_BOOL* enabled) override;
    HRESULT STDMETHODCALLTYPE Ribbon_GetContent(IDispatch* control, BSTR* content) override;

private:
    Connect connect_;
};

class WordAddInObject final : public Dual<WordAddInObject, _clsWordAddIn> {
public:
    static const CLSID& Clsid() { return CLSID_clsWordAddIn; }
    HRESULT STDMETHODCALLTYPE InitHandler(IDispatch* myApplication) override;
    HRESULT STDMETHODCALLTYPE UnInitHandler() override;

private:
    clsWordAddIn handler_;
};

class WordObject final : public Dual<WordObject, _clsWord> {
public:
    static const CLSID& Clsid() { return CLSID_clsWord; }
    HRESULT STDMETHODCALLTYPE ReadVariable(IDispatch* myDocument, BSTR strName, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE WriteVariable(IDispatch* myDocument, BSTR strName, BSTR strValue) override;
    HRESULT STDMETHODCALLTYPE DeleteVariable(IDispatch* myDocument, BSTR strName) override;
};

class WildCardBtnObject final : public Dual<WildCardBtnObject, _clsWildCardBtn> {
public:
    static const CLSID& Clsid() { return CLSID_clsWildCardBtn; }
    HRESULT STDMETHODCALLTYPE get_Index(LONG* result) override;
    HRESULT STDMETHODCALLTYPE put_Index(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Button(IDispatch** result) override;
    HRESULT STDMETHODCALLTYPE putref_Button(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE AddBookmark(BSTR strText, BSTR strName) override;

private:
    clsWildCardBtn button_;
};

class TemplateListObject final
    : public Dual<TemplateListObject, _clsTemplateList, IConnectionPointContainer> {
public:
    static const CLSID& Clsid() { return CLSID_clsTemplateList; }
    TemplateListObject();
    ~TemplateListObject() override;

    HRESULT STDMETHODCALLTYPE get_FilePath(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE put_FilePath(BSTR value) override;
    HRESULT STDMETHODCALLTYPE AddTemplate(BSTR strName, BSTR strFilePath, VARIANT_BOOL bolOverwrite,
                                          VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE GetEntry(VARIANT Index, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE CountTemplates(LONG* result) override;
    HRESULT STDMETHODCALLTYPE Load() override;
    HRESULT STDMETHODCALLTYPE Save() override;
    HRESULT STDMETHODCALLTYPE TemplateExists(BSTR strName, VARIANT_BOOL* result) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

private:
    // The sinks of the outgoing ListLoaded event, which the list raises.
    std::shared_ptr<Subscriptions> listLoaded_ = std::make_shared<Subscriptions>();
    std::unique_ptr<clsTemplateList> list_;
    EventConnection listLoadedEvents_;
};

class OperatingSystemObject final : public Dual<OperatingSystemObject, _clsOperatingSystem> {
public:
    static const CLSID& Clsid() { return CLSID_clsOperatingSystem; }
    HRESULT STDMETHODCALLTYPE OperatingSystem(BSTR* result) override;
};

class FileOpsObject final : public Dual<FileOpsObject, _clsFileOps> {
public:
    static const CLSID& Clsid() { return CLSID_clsFileOps; }
    HRESULT STDMETHODCALLTYPE Delete(BSTR strPath, VARIANT_BOOL bolAllowUndo, VARIANT_BOOL bolSilent,
                                     VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE RenameFolder(BSTR strPath, BSTR strNewName, LONG* result) override;
    HRESULT STDMETHODCALLTYPE GetPathLocalAppData(BSTR* result) override;
};

class ConcatenationObject final : public Dual<ConcatenationObject, _clsConcatenation> {
public:
    static const CLSID& Clsid() { return CLSID_clsConcatenation; }
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE Concat(BSTR Value) override;
    HRESULT STDMETHODCALLTYPE get_Length(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_Value(BSTR* result) override;

private:
    clsConcatenation builder_;
};

class CommandBarObject final : public Dual<CommandBarObject, _clsCommandBar> {
public:
    static const CLSID& Clsid() { return CLSID_clsCommandBar; }
    HRESULT STDMETHODCALLTYPE CreateCommandbar() override;
    HRESULT STDMETHODCALLTYPE SavePosition() override;
    HRESULT STDMETHODCALLTYPE CreateWildCardList(VARIANT_BOOL bolChange) override;

private:
    clsCommandBar bar_;
};

// The add-in's classes, the one table the class factory, registration and unregistration read
// (com_server_win.cpp): the name after the library's in the ProgID, the CLSID, and the maker.
// What each class serves comes from the type library (Dual). The makers are instantiated in
// com_classes_win.cpp, beside the classes' virtual functions: a second copy of a class's
// QueryInterface, made in another file for a direct call, clashes with the vtable's copy at the
// DLL's link-time-optimised link (GNU ld, COFF comdats of non-virtual thunks).
struct ClassEntry {
    const wchar_t* name;
    const CLSID& clsid;
    HRESULT (*create)(REFIID, void**) noexcept;
};
extern const std::array<ClassEntry, 9> kClasses;

}  // namespace qlora::com
