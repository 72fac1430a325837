// Connect's Ribbon face: IRibbonExtensibility and the callbacks Office finds by name, each handed
// to basRibbon with a way to read the control's id; Office's IRibbonUI behind the RibbonUi port.
#include "addin/com_classes_win.h"
#include "win/win32_win.h"
#include "win/office_ribbon_win.h"
#include "ribbon/ribbon.h"

namespace qlora::com {
namespace {

// Office's IRibbonUI; its failures are qlora::Error.
class ComRibbonUi final : public RibbonUi {
public:
    explicit ComRibbonUi(ComPtr<office::IRibbonUI> ui) : ui_(std::move(ui)) {}
    void Invalidate() override { win::ThrowIfFailed(ui_->Invalidate(), L"IRibbonUI.Invalidate"); }
    void InvalidateControl(const std::wstring& controlId) override {
        const Bstr id(controlId);
        win::ThrowIfFailed(ui_->InvalidateControl(id.get()), L"IRibbonUI.InvalidateControl");
    }

private:
    ComPtr<office::IRibbonUI> ui_;
};

// The id of the control a callback is about: through IRibbonControl, or by name from a control
// that only answers IDispatch.
basRibbon::ControlId IdOf(IDispatch* control) {
    return [control]() -> std::wstring {
        if (!control) throw Raised(kObjectRequired);
        ComPtr<office::IRibbonControl> ribbonControl;
        Bstr id;
        if (SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&ribbonControl)))) {
            win::ThrowIfFailed(ribbonControl->get_Id(id.put()), L"IRibbonControl.Id");
            return id.str();
        }
        std::wstring text;
        win::ThrowIfFailed(GetText(control, L"Id", text), L"Id");
        return text;
    };
}

}  // namespace

// The callbacks report their own failures (basRibbon): Office gets S_OK and a default answer.

HRESULT ConnectObject::GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) {
    return Serve([&] { return ReturnString(basRibbon::GetCustomUI(Bstr::ToString(RibbonID)), RibbonXml); });
}

HRESULT ConnectObject::Ribbon_OnLoad(IDispatch* ribbon) {
    // A Ribbon without IRibbonUI is never asked again: it shows what it got first.
    return Serve([&] {
        ComPtr<office::IRibbonUI> ui;
        if (ribbon && SUCCEEDED(ribbon->QueryInterface(IID_PPV_ARGS(&ui))))
            basRibbon::OnLoad(std::make_shared<ComRibbonUi>(std::move(ui)));
    });
}

HRESULT ConnectObject::Ribbon_OnAction(IDispatch* control) {
    return Serve([&] { basRibbon::OnAction(IdOf(control)); });
}

HRESULT ConnectObject::Ribbon_GetLabel(IDispatch* control, BSTR* label) {
    return Serve([&] { return ReturnString(basRibbon::GetLabel(IdOf(control)), label); });
}

HRESULT ConnectObject::Ribbon_GetEnabled(IDispatch* control, VARIANT_BOOL* enabled) {
    return Serve([&] {
        if (!enabled) return E_POINTER;
        *enabled = basRibbon::GetEnabled(IdOf(control)) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT ConnectObject::Ribbon_GetContent(IDispatch* control, BSTR* content) {
    return Serve([&] { return ReturnString(basRibbon::GetContent(IdOf(control)), content); });
}

}  // namespace qlora::com
