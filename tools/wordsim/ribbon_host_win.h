// Word's Ribbon as Office 2010 and later hosts add-ins on it. After an add-in's OnConnection it
// asks the add-in for IRibbonExtensibility and its customUI XML for "Microsoft.Word.Document",
// parses it with MSXML and checks it against the customUI schema's rules for the elements it
// knows, reporting what Office reports with "Show add-in user interface errors" on (a customization
// with an error is dropped whole), finds every callback by name, calls onLoad with an IRibbonUI of
// its own, and asks the get* callbacks again after Invalidate. A dynamic menu asks getContent when
// it opens for the first time, after an Invalidate and, with invalidateContentOnDrop, every time.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "session.h"

namespace wordsim {

// Office's Ribbon interface of an add-in, in its vtable order (a dual interface).
struct IRibbonExtensibility : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbonId, BSTR* ribbonXml) = 0;
};
}  // namespace wordsim
__CRT_UUID_DECL(wordsim::IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x46)
namespace wordsim {

// An HRESULT as wordsim prints it: "0x80040154", and with the system's text,
// "0x80040154 Class not registered".
std::wstring Hex(HRESULT hr);
std::wstring Shown(HRESULT hr);

class RibbonHost {
public:
    explicit RibbonHost(Print print);
    ~RibbonHost();
    RibbonHost(const RibbonHost&) = delete;
    RibbonHost& operator=(const RibbonHost&) = delete;

    // An add-in has connected: its customization joins the Ribbon, or its errors are printed.
    void Load(const std::wstring& progId, IUnknown* addIn);
    // An add-in disconnects: its customization leaves the Ribbon.
    void Unload(const std::wstring& progId);

    // The user clicks the control at a path of labels: tab, control (groups are not named), and
    // for a menu the button in it. A disabled control does nothing; false then. Fails with
    // std::invalid_argument when no control has that path.
    bool Click(const std::wstring& path);
    // The custom tabs with their groups, controls, labels, enabled states and menu contents.
    std::wstring Dump();

private:
    struct Customization;
    Print print_;
    std::vector<std::unique_ptr<Customization>> customizations_;
};

}  // namespace wordsim
