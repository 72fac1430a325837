// Office's Ribbon objects as the add-in meets them and wordsim serves them: both dual interfaces,
// in their vtable order.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace qlora::office {

// The Ribbon's face toward an add-in: onLoad hands it over.
struct IRibbonUI : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
    virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR controlId) = 0;
    virtual HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR controlId) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTab(BSTR controlId) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR controlId) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR controlId, BSTR nameSpace) = 0;
};

// The control a callback is about.
struct IRibbonControl : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) = 0;
};

}  // namespace qlora::office
__CRT_UUID_DECL(qlora::office::IRibbonUI, 0x000C03A7, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
__CRT_UUID_DECL(qlora::office::IRibbonControl, 0x000C0395, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
