// The batch controller: creates the module's form, hooks its show, hide and destroy events,
// and answers the launcher's operations.
#pragma once

#include "DLLBaseCtrller.h"

class TfrmBaseGene;

class TDLLBTCtrller : public TDLLBaseController {
public:
    TDLLBTCtrller() = default;
    ~TDLLBTCtrller() override;

    std::u16string GetVersion() override;
    TWordBool GetVisible() override;
    void SetVisible(TWordBool value) override;
    uintptr_t GetHandle() override;
    int32_t CreateForm(const rtl::Variant& params) override;
    int32_t UpdateParams(const rtl::Variant& params) override;
    int32_t ExecCommand(int32_t command, int32_t reserved, const rtl::Variant& value) override;
    rtl::Variant ShowModal() override;
    void FreeForm() override;
    int32_t GetFormInfo(rtl::Variant& info) override;
    TWordBool FormFreed() override;
    void DoFormShow(ui::TObject* sender) override;
    void DoFormHide(ui::TObject* sender) override;
    void DoFormDestroy(ui::TObject* sender) override;

private:
    void InstallHooks();
    int32_t HandOver(const rtl::Variant& update);

    TfrmBaseGene* Form = nullptr;
    ui::TNotifyEvent savedShow_;
    ui::TNotifyEvent savedHide_;
    ui::TNotifyEvent savedDestroy_;
};
