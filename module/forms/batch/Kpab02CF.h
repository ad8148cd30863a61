// The module's own form: the payroll decision-analysis documents of the company.
#pragma once

#include "forms/base/BaseGene.h"

class TfrmKpab02 : public TfrmBaseGene {
public:
    explicit TfrmKpab02(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    void SetProgramDefaults() override;
    void BeforeServerConnect(data::TSocketConnection* connection) override;
};

// The ProgID of the suite's application server.
inline constexpr const char* kReportServerProgID = "RiveviVozodavE.dmReportCounter";
