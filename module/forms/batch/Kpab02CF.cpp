#include "Kpab02CF.h"

#include "platform/data/SConnect.h"
#include "platform/os/Shell.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

using rtl::Variant;
using namespace ui;

const ClassInfo& TfrmKpab02::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TfrmKpab02>("TfrmKpab02", &TfrmBaseGene::StaticClassInfo())
                                      .Method("lview02SelectItem", &TfrmKpab02::lview02SelectItem)
                                      .Build();
    return info;
}

TfrmKpab02::TfrmKpab02(TComponent* owner) : TfrmBaseGene(owner) {
    SetName("frmKpab02");
    SetBounds(Left(), Top(), 568, 393);

    Panel2 = new TPanel(this);
    Panel2->SetName("Panel2");
    Panel2->SetParent(tsOption1);
    Panel2->SetHeight(33);
    Panel2->SetAlign(TAlign::alTop);
    Panel2->SetCaption("");
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(Panel2);
    Label1->SetCaption("选择薪工决策分析信息文档");
    Label1->SetBounds(10, 11, Label1->Width(), Label1->Height());
    Panel3 = new TPanel(this);
    Panel3->SetName("Panel3");
    Panel3->SetParent(tsOption1);
    Panel3->SetAlign(TAlign::alClient);
    Panel3->SetCaption("");
    lview02 = new TListView(this);
    lview02->SetName("lview02");
    lview02->SetParent(Panel3);
    lview02->SetAlign(TAlign::alClient);
    lview02->SetViewStyle(TViewStyle::vsReport);
    lview02->SetRowSelect(true);
    lview02->SetHotTrack(true);
    lview02->SetCursor(crHandPoint);
    lview02->SetParentFont(false);
    lview02->Font()->SetName("宋体");
    lview02->Font()->SetHeight(-13);
    lview02->Font()->SetColor(clBlack);
    TListColumn* name = lview02->Columns()->Add();
    name->SetCaption("作业名称");
    name->SetWidth(122);
    TListColumn* address = lview02->Columns()->Add();
    address->SetCaption("作业 http 地址");
    address->SetAutoSize(true);
    TListColumn* remark = lview02->Columns()->Add();
    remark->SetCaption("说明");
    remark->SetWidth(81);
    lview02->OnSelectItem = TLVSelectItemEvent(this, &TfrmKpab02::lview02SelectItem);

    // The form offers the list, the system page and an exit button.
    btnOk->SetVisible(false);
    btnOk->SetEnabled(false);
    btnCancel->SetCaption("退出");
}

void TfrmKpab02::SetProgramDefaults() {
    TfrmBaseGene::SetProgramDefaults();
    SetOptionCount(1);
}

void TfrmKpab02::BeforeServerConnect(data::TSocketConnection* connection) {
    TfrmBaseGene::BeforeServerConnect(connection);
    connection->SetServerName(kReportServerProgID);
}

bool TfrmKpab02::InitForm(const Variant& context) {
    const bool started = TfrmBaseGene::InitForm(context);
    LoadDocumentList();
    return started;
}

std::string TfrmKpab02::DocumentAddress(const std::string& base, const std::string& code) const {
    std::string path = base;
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '\\';
    const std::string company = rtl::SameText(CompanyID, "ZUZove") ? std::string("ZUZove_ZUZove") : CompanyID;
    return path + company + "\\KPA\\" + code + ".htm";
}

void TfrmKpab02::LoadDocumentList() {
    Variant rows, base;
    CheckValueExists("ADMMB", "07", "N", -2, rows, rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")}));
    CheckValueExists("ADMMS", "01", "N", -1, base, rtl::VarArrayOf({Variant("")}));
    bool ok = true;
    if (!base.IsArray()) {
        ShowMessageCode("E;100252");
        ok = false;
    }
    if (!rows.IsArray()) {
        ShowMessageCode("E;100255");
        ok = false;
    }
    if (!ok) return;
    const std::string basePath = base[base.Arr().LowBound()].AsString();
    const rtl::VarArray& list = rows.Arr();
    for (int i = list.LowBound(); i <= list.HighBound(); ++i) {
        const Variant& row = list.At(i);
        TListItem* item = lview02->Items()->Add();
        item->SetCaption(row[1].AsString());
        item->SubItems()->Add(DocumentAddress(basePath, row[0].AsString()));
        item->SubItems()->Add("");
    }
}

void TfrmKpab02::lview02SelectItem(TObject*, TListItem* item, bool selected) {
    if (!selected || !item || item->SubItems()->Count() < 1) return;
    // Whether a handler exists is the desktop's business: nothing is reported here.
    os::ShellExecute(Handle(), "open", (*item->SubItems())[0], "", "", os::SW_SHOW);
}
