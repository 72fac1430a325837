// Failures across the COM face in both directions: what a late-bound caller of the add-in's DLL
// gets from IDispatch::Invoke when a method raises, and what the Word adapter makes of a server's
// EXCEPINFO, whichever of its codes the server fills.
#include <gtest/gtest.h>
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

#include "base/error.h"
#include "support/error_of.h"
#include "win/com_object_win.h"
#include "win/win32_win.h"
#include "word/word_dispatch_win.h"

namespace qlora {
namespace {

using Microsoft::WRL::ComPtr;
using com::Bstr;

constexpr CLSID kClsWildCardBtn = {0x690949EE, 0x3FCC, 0x4385, {0xAB, 0xD5, 0x6E, 0x5F, 0xCC, 0xCF, 0xC3, 0x3D}};

TEST(FailureCodes, LateBoundCallerOfARaisingMethodGetsTheRuntimeNumberAsFacilityControl) {
    const win::UniqueModule dll(::LoadLibraryW((win::ThisModuleFolder() + L"\\QloraWordAddIn.dll").c_str()));
    ASSERT_TRUE(dll) << ::GetLastError();
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<GetClassObject>(::GetProcAddress(dll.get(), "DllGetClassObject"));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(kClsWildCardBtn, IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IDispatch> button;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&button)), S_OK);

    // AddBookmark("Subject", "WildCard_Subject") with no Word connected.
    const com::Variant args[] = {com::ToVariant(L"Subject"), com::ToVariant(L"WildCard_Subject")};
    com::Variant result;
    com::ExcepInfo excep;
    const HRESULT hr = com::InvokeByName(button.Get(), L"AddBookmark", DISPATCH_METHOD, args, result.get(), &excep);
    const std::wstring description = excep.Description();

    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    // 424 "Object required", as script and VBA callers read it back from Err.Number.
    EXPECT_EQ(static_cast<uint32_t>((*excep).scode), 0x800A01A8u);
    // The description is the report the error trail built on the way out.
    EXPECT_EQ(description.substr(0, 16), L"Object required ");
    EXPECT_NE(description.find(L"  Call Stack: clsWildCardBtn.AddBookmark(strText='Subject', "
                                     L"strName='WildCard_Subject') "),
              std::wstring::npos)
        << description;
}

// A server whose one member fails with DISP_E_EXCEPTION and the EXCEPINFO it is given.
class RaisingServer final : public IDispatch {
public:
    SCODE scode = 0;
    WORD wCode = 0;
    bool deferred = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = riid == IID_IUnknown || riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* id) override {
        *id = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* excep,
                                     UINT*) override {
        *excep = {};
        excep->scode = scode;
        excep->wCode = wCode;
        if (deferred)
            excep->pfnDeferredFillIn = FillIn;
        else
            Describe(excep);
        return DISP_E_EXCEPTION;
    }

private:
    static HRESULT STDAPICALLTYPE FillIn(EXCEPINFO* e) {
        Describe(e);
        e->pfnDeferredFillIn = nullptr;
        return S_OK;
    }
    static void Describe(EXCEPINFO* e) {
        e->bstrSource = Bstr(L"Server").release();
        e->bstrDescription = Bstr(L"It failed").release();
    }
};

TEST(FailureCodes, WordAdapterTakesScodeElseWCodeElseTheCallsResult) {
    const struct {
        SCODE scode;
        WORD wCode;
        bool deferred;
        int32_t number;
    } cases[] = {
        {0, 0, false, DISP_E_EXCEPTION},           // neither code
        {0, 0, true, DISP_E_EXCEPTION},            // a deferred fill-in that names none either
        {static_cast<SCODE>(0x800A0000), 0, false, DISP_E_EXCEPTION},  // FACILITY_CONTROL without a number
        {static_cast<SCODE>(0x800A1066), 0, false, 4198},             // Word's own error, by its number
        {E_ACCESSDENIED, 0, true, E_ACCESSDENIED},
        {0, 5, false, 5},
    };
    for (const auto& c : cases) {
        RaisingServer server;
        server.scode = c.scode;
        server.wCode = c.wCode;
        server.deferred = c.deferred;
        const ErrorInfo e = testing::ErrorOf([&] { word::DocumentFromDispatch(&server)->Name(); });
        EXPECT_EQ(e.number, c.number) << std::hex << c.scode << " " << c.wCode << " " << c.deferred;
        EXPECT_EQ(e.description, L"It failed");
        EXPECT_EQ(e.source, L"Server");
    }
}

}  // namespace
}  // namespace qlora
