#include "DLLBaseCtrller.h"

namespace {
[[noreturn]] void Abstract() { throw EAbstractError("Abstract Error"); }
}  // namespace

std::u16string TDLLBaseController::GetVersion() { Abstract(); }
TWordBool TDLLBaseController::GetVisible() { Abstract(); }
void TDLLBaseController::SetVisible(TWordBool) { Abstract(); }
uintptr_t TDLLBaseController::GetHandle() { Abstract(); }
int32_t TDLLBaseController::CreateForm(const rtl::Variant&) { Abstract(); }
int32_t TDLLBaseController::UpdateParams(const rtl::Variant&) { Abstract(); }
int32_t TDLLBaseController::ExecCommand(int32_t, int32_t, const rtl::Variant&) { Abstract(); }
rtl::Variant TDLLBaseController::ShowModal() { Abstract(); }
void TDLLBaseController::FreeForm() { Abstract(); }
int32_t TDLLBaseController::GetFormInfo(rtl::Variant&) { Abstract(); }
TWordBool TDLLBaseController::FormFreed() { Abstract(); }

void TDLLBaseController::DoFormCreate(ui::TObject*) { DoEvent(kEventFormCreate); }
void TDLLBaseController::DoFormShow(ui::TObject*) { DoEvent(kEventFormShow); }
void TDLLBaseController::DoFormHide(ui::TObject*) { DoEvent(kEventFormHide); }
void TDLLBaseController::DoFormDestroy(ui::TObject*) { DoEvent(kEventFormDestroy); }
void TDLLBaseController::DoFormNotify() { DoEvent(kEventFormNotify); }

void TDLLBaseController::DoEvent(int32_t code) {
    if (OnEvent.Assigned()) OnEvent(code, this);
}

void TDLLBaseController::Reserved() {}

TDLLBaseController::~TDLLBaseController() = default;
