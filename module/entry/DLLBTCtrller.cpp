#include "DLLBTCtrller.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "DLLFunc.h"
#include "forms/base/BaseGene.h"
#include "platform/rtl/CodePages.h"

namespace {

// Registration when the library is loaded.
TDLLBaseController* NewBTController() { return new TDLLBTCtrller(); }
[[maybe_unused]] const bool registered = (DLLControllerClass = &NewBTController, true);

constexpr TWordBool kTrue = -1;
constexpr TWordBool kFalse = 0;

// The full path of this module's own library file.
std::string ModuleFilePath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&GetController), &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    return realpath(info.dli_fname, resolved) ? std::string(resolved) : std::string(info.dli_fname);
}

// Byte strings become wide strings, as an OLE variant carries text.
rtl::Variant ToOleVariant(const rtl::Variant& v) {
    if (v.Type() == rtl::VarType::String) return rtl::Variant(rtl::Utf8ToWideLenient(v.Bytes()));
    if (!v.IsArray()) return v;
    rtl::Variant r = v;
    for (rtl::Variant& e : r.Arr().Items()) e = ToOleVariant(e);
    return r;
}

}  // namespace

TDLLBTCtrller::~TDLLBTCtrller() {
    if (Form) FreeForm();
}

std::u16string TDLLBTCtrller::GetVersion() {
    return Form ? rtl::Utf8ToWideLenient(Form->ModuleVersion) : std::u16string();
}

TWordBool TDLLBTCtrller::GetVisible() { return Form && Form->Visible() ? kTrue : kFalse; }

void TDLLBTCtrller::SetVisible(TWordBool value) {
    if (!Form) return;
    Form->SetVisible(value != 0);
    if (value != 0) {
        if (Form->WindowState() == ui::TWindowState::wsMinimized) Form->SetWindowState(ui::TWindowState::wsNormal);
        Form->BringToFront();
    }
}

uintptr_t TDLLBTCtrller::GetHandle() { return Form ? Form->Handle() : 0; }

int32_t TDLLBTCtrller::CreateForm(const rtl::Variant& params) {
    const rtl::Variant copy = params;
    if (!Form) {
        if (!frmBaseBatchClass) throw rtl::Exception("TGK DLL Internal Error :\rNot Assign \"frmBaseBatchClass\" varible");
        Form = frmBaseBatchClass(nullptr);
        Form->SetModuleFile(ModuleFilePath());
        Form->Manager = Manager;
        DoFormCreate(this);
    }
    InstallHooks();
    return Form->InitForm(copy) ? 0 : -1;
}

void TDLLBTCtrller::InstallHooks() {
    const ui::TNotifyEvent show(this, &TDLLBTCtrller::DoFormShow);
    const ui::TNotifyEvent hide(this, &TDLLBTCtrller::DoFormHide);
    const ui::TNotifyEvent destroy(this, &TDLLBTCtrller::DoFormDestroy);
    // A second start-up finds our own hooks in place: saving them would make them call
    // themselves, so the form's handlers saved the first time stay.
    if (!(Form->OnShow == show)) {
        savedShow_ = Form->OnShow;
        Form->OnShow = show;
    }
    if (!(Form->OnHide == hide)) {
        savedHide_ = Form->OnHide;
        Form->OnHide = hide;
    }
    if (!(Form->OnDestroy == destroy)) {
        savedDestroy_ = Form->OnDestroy;
        Form->OnDestroy = destroy;
    }
}

int32_t TDLLBTCtrller::HandOver(const rtl::Variant& update) {
    try {
        Form->SetParams(update);
        return 0;
    } catch (...) {
        return -1;
    }
}

int32_t TDLLBTCtrller::UpdateParams(const rtl::Variant& params) {
    if (!Form || params.IsNull() || !params.IsArray()) return -1;
    try {
        const rtl::VarArray& a = params.Arr();
        if (a.DimCount() != 1 || a.LowBound() > 1 || a.HighBound() < 1) return -1;
        return HandOver(params[1]);
    } catch (...) {
        return -1;
    }
}

int32_t TDLLBTCtrller::ExecCommand(int32_t command, int32_t, const rtl::Variant& value) {
    if (!Form || command != 5) return -1;
    return HandOver(value);
}

rtl::Variant TDLLBTCtrller::ShowModal() {
    if (!Form) return rtl::Variant(ui::mrCancel);
    return rtl::Variant(Form->ShowModal());
}

void TDLLBTCtrller::FreeForm() {
    if (Form && !Form->IsDestroying()) Form->Free();
}

int32_t TDLLBTCtrller::GetFormInfo(rtl::Variant& info) {
    if (!Form) return -1;
    info = rtl::VarArrayOf({rtl::Variant(rtl::Utf8ToWideLenient(Form->UserID)),
                            rtl::Variant(rtl::Utf8ToWideLenient(Form->CompanyID)),
                            rtl::Variant(rtl::Utf8ToWideLenient(rtl::UpperCase(Form->ProgramID))),
                            rtl::Variant(rtl::Utf8ToWideLenient(Form->ProgramName))});
    return 0;
}

TWordBool TDLLBTCtrller::FormFreed() { return Form ? kFalse : kTrue; }

void TDLLBTCtrller::DoFormShow(ui::TObject* sender) {
    savedShow_(sender);
    TDLLBaseController::DoFormShow(sender);
}

void TDLLBTCtrller::DoFormHide(ui::TObject* sender) {
    savedHide_(sender);
    TDLLBaseController::DoFormHide(sender);
}

void TDLLBTCtrller::DoFormDestroy(ui::TObject* sender) {
    if (Form) {
        ResultCode = Form->ResultCode;
        ResultValue = ToOleVariant(Form->ResultValue);
        savedDestroy_(sender);
        TDLLBaseController::DoFormDestroy(sender);
    }
    Form = nullptr;
    savedShow_.Clear();
    savedHide_.Clear();
    savedDestroy_.Clear();
}
