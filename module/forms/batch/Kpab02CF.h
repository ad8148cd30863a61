// The module's own form: the payroll decision-analysis documents that the suite publishes for
// the company, one row per document; selecting a row opens the document.
#pragma once

#include "forms/base/BaseGene.h"

namespace ui {
class TListItem;
}

class TfrmKpab02 : public TfrmBaseGene {
public:
    explicit TfrmKpab02(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    ui::TPanel* Panel2;
    ui::TLabel* Label1;
    ui::TPanel* Panel3;
    ui::TListView* lview02;

    void SetProgramDefaults() override;
    void BeforeServerConnect(data::TSocketConnection* connection) override;
    // The start-up, then the list, whatever the start-up answered.
    bool InitForm(const rtl::Variant& context) override;
    void lview02SelectItem(ui::TObject* sender, ui::TListItem* item, bool selected);

    // Fills the list from the program master and the published documents' base address.
    void LoadDocumentList();
    // The address of a document: base, company (or the shared company folder), KPA, code.htm.
    std::string DocumentAddress(const std::string& base, const std::string& code) const;
};

// The ProgID of the suite's application server.
inline constexpr const char* kReportServerProgID = "RiveviVozodavE.dmReportCounter";
