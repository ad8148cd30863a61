#include "BaseGene.h"

#include <algorithm>

#include "lib/LibStrs.h"
#include "lib/StewardINI.h"
#include "platform/com/ComObj.h"
#include "platform/data/DBClient.h"
#include "platform/data/ObjBrkr.h"
#include "platform/data/SConnect.h"
#include "platform/os/Clock.h"
#include "platform/os/Files.h"
#include "platform/rtl/CodePages.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"

using rtl::Variant;
using namespace ui;

namespace {

template <typename T>
T* Make(TfrmBaseGene* form, const char* name, TWinControl* parent = nullptr) {
    T* c = new T(form);
    c->SetName(name);
    if constexpr (std::is_base_of_v<TControl, T>) {
        if (parent) c->SetParent(parent);
    }
    return c;
}

TMenuItem* MenuItem(TfrmBaseGene* form, TMenu* menu, const char* name, const char* caption) {
    auto* item = Make<TMenuItem>(form, name);
    item->SetCaption(caption);
    menu->Items()->Add(item);
    return item;
}

}  // namespace

const ClassInfo& TfrmBaseGene::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TfrmBaseGene>("TfrmBaseGene", &TTGForm::StaticClassInfo())
            .Bool("WantLog", &TfrmBaseGene::WantLog, &TfrmBaseGene::SetWantLog, false)
            .Event("OnDateFieldEnter", &TfrmBaseGene::OnDateFieldEnter)
            .Event("OnDateFieldExit", &TfrmBaseGene::OnDateFieldExit)
            .Event("OnRequiredExit", &TfrmBaseGene::OnRequiredExit)
            .Method("FormCreate", &TfrmBaseGene::FormCreate)
            .Method("FormShow", &TfrmBaseGene::FormShow)
            .Method("FormResize", &TfrmBaseGene::FormResize)
            .Method("FormClose", &TfrmBaseGene::FormClose)
            .Method("btnOkClick", &TfrmBaseGene::btnOkClick)
            .Method("btnCancelClick", &TfrmBaseGene::btnCancelClick)
            .Method("pgOptionChange", &TfrmBaseGene::pgOptionChange)
            .Method("pgOptionChanging", &TfrmBaseGene::pgOptionChanging)
            .Method("tsOption2Show", &TfrmBaseGene::tsOption2Show)
            .Method("DateFieldEnter", &TfrmBaseGene::DateFieldEnter)
            .Method("DateFieldExit", &TfrmBaseGene::DateFieldExit)
            .Method("RequiredExit", &TfrmBaseGene::RequiredExit)
            .Build();
    return info;
}

TfrmBaseGene::TfrmBaseGene(TComponent* owner) : TTGForm(owner) {
    SetName("frmBaseGene");
    SetBounds(0, 0, 509, 355);
    SetPosition(TPosition::poScreenCenter);
    SetKeyPreview(true);
    SetBorderIcons(1 << biMaximize);
    Font()->SetName("宋体");
    Font()->SetHeight(-13);

    Panel1 = Make<TPanel>(this, "Panel1", this);
    Panel1->SetHeight(43);
    Panel1->SetAlign(TAlign::alBottom);
    Panel1->SetCaption("");
    btnOk = Make<TBitBtn>(this, "btnOk", Panel1);
    btnOk->SetCaption("确定");
    btnOk->SetBounds(321, 9, 75, 25);
    btnCancel = Make<TBitBtn>(this, "btnCancel", Panel1);
    btnCancel->SetCaption("取消");
    btnCancel->SetBounds(411, 9, 75, 25);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);

    pnlCondition = Make<TPanel>(this, "pnlCondition", this);
    pnlCondition->SetWidth(151);
    pnlCondition->SetAlign(TAlign::alLeft);
    pnlCondition->SetCaption("");
    lblCondition = Make<TLabel>(this, "lblCondition", pnlCondition);
    lblCondition->SetCaption(" 条件方案");
    lblCondition->SetAlign(TAlign::alTop);
    ToolBar1 = Make<TToolBar>(this, "ToolBar1", pnlCondition);
    ToolBar1->SetTop(20);
    ToolBar1->SetAlign(TAlign::alTop);
    btnOpen = Make<TToolButton>(this, "btnOpen", ToolBar1);
    btnOpen->SetHint("打开方案");
    btnDelete = Make<TToolButton>(this, "btnDelete", ToolBar1);
    btnDelete->SetHint("删除方案");
    ToolButton1 = Make<TToolButton>(this, "ToolButton1", ToolBar1);
    ToolButton1->SetHint("查看方式");
    lstCondition = Make<TListView>(this, "lstCondition", pnlCondition);
    lstCondition->SetAlign(TAlign::alClient);
    lstCondition->SetViewStyle(TViewStyle::vsList);

    Splitter1 = Make<TSplitter>(this, "Splitter1", this);
    Splitter1->SetLeft(151);
    Splitter1->SetAlign(TAlign::alLeft);

    pgOption = Make<TExtPageControl>(this, "pgOption", this);
    pgOption->SetHint("请输入选项条件");
    pgOption->SetAlign(TAlign::alClient);
    tsOption1 = Make<TTabSheet>(this, "tsOption1");
    tsOption1->SetPageControl(pgOption);
    tsOption1->SetCaption("基本选项");
    tsOption2 = Make<TTabSheet>(this, "tsOption2");
    tsOption2->SetPageControl(pgOption);
    tsOption2->SetCaption("系统选项");
    edPrintDate = Make<TMaskEdit>(this, "edPrintDate", tsOption2);
    edPrintDate->SetHint("[F2]日期快手");
    lblToday = Make<TDBLabel>(this, "lblToday", tsOption2);
    lblToday->SetCaption("制表日期");
    lblToday->SetFocusControl(edPrintDate);
    btnPrintDate = Make<TF2Button>(this, "btnPrintDate", tsOption2);
    btnPrintDate->SetHint("日期快手");
    btnPrintDate->SetGlyphIndex(9);
    btnPrintDate->SetF2Control(edPrintDate);

    MainMidas = Make<data::TSocketConnection>(this, "MainMidas");
    MainMidas->SetSupportCallbacks(false);
    ObjBroker = Make<data::TSimpleObjectBroker>(this, "ObjBroker");
    ClientDataSet1 = Make<data::TClientDataSet>(this, "ClientDataSet1");
    ClientDataSet1->SetProviderName("pvdConSave");
    ClientDataSet1->SetRemoteServer(MainMidas);
    ClientDataSet1->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
    ClientDataSet1->SetIndexName("Index1");

    muOperation = Make<TPopupMenu>(this, "muOperation");
    N2 = MenuItem(this, muOperation, "N2", "打开(&O)");
    N3 = MenuItem(this, muOperation, "N3", "删除(&D)");
    mnList = Make<TPopupMenu>(this, "mnList");
    N7 = MenuItem(this, mnList, "N7", "大型图标(&G)");
    N8 = MenuItem(this, mnList, "N8", "小型图标(&M)");
    N9 = MenuItem(this, mnList, "N9", "清单(&L)");
    N10 = MenuItem(this, mnList, "N10", "详细信息(&D)");
    lstCondition->SetPopupMenu(muOperation);
    ImageList1 = Make<TImageList>(this, "ImageList1");
    ImageList1->SetWidth(18);
    ImageList1->SetHeight(18);
    ImageList2 = Make<TImageList>(this, "ImageList2");
    ImageList2->SetWidth(24);
    ImageList2->SetHeight(24);

    // The design's handlers.
    OnCreate = TNotifyEvent(this, &TfrmBaseGene::FormCreate);
    OnShow = TNotifyEvent(this, &TfrmBaseGene::FormShow);
    OnResize = TNotifyEvent(this, &TfrmBaseGene::FormResize);
    OnClose = TCloseEvent(this, &TfrmBaseGene::FormClose);
    btnOk->OnClick = TNotifyEvent(this, &TfrmBaseGene::btnOkClick);
    btnCancel->OnClick = TNotifyEvent(this, &TfrmBaseGene::btnCancelClick);
    pgOption->OnChange = TNotifyEvent(this, &TfrmBaseGene::pgOptionChange);
    pgOption->OnChanging = TTabChangingEvent(this, &TfrmBaseGene::pgOptionChanging);
    tsOption2->OnShow = TNotifyEvent(this, &TfrmBaseGene::tsOption2Show);
}

TfrmBaseGene::~TfrmBaseGene() = default;

void TfrmBaseGene::Loaded() {
    TTGForm::Loaded();
    // Lookup buttons are flat once the form exists.
    btnPrintDate->SetFlat(true);
}

void TfrmBaseGene::FormCreate(TObject* sender) {
    TTGForm::FormCreate(sender);
    if (SystemCodePage() == "950") rtl::FormatSettings().DateSeparator = '/';
    Application().SetHintHidePause(500000);
    ModuleVersion = "870401-0.00.00";
    SetParentWindow(0);
    CompanyID.clear();
    ProgramID.clear();
    ProgramName.clear();
    RequiredFields.clear();
    DateFields.clear();
    OnDateFieldEnter = TNotifyEvent(this, &TfrmBaseGene::DateFieldEnter);
    OnDateFieldExit = TNotifyEvent(this, &TfrmBaseGene::DateFieldExit);
    OnRequiredExit = TNotifyEvent(this, &TfrmBaseGene::RequiredExit);
    ValidationFailed = false;
    SystemPageArranged = false;
    LastFocused = this;
    PageChanging = false;
    ShowResultDialog = true;
    HookDataSetFields();
    DateRuleList.Clear();
}

void TfrmBaseGene::FormClose(TObject*, TCloseAction& action) { action = TCloseAction::caFree; }

void TfrmBaseGene::FormResize(TObject*) {
    // The host window is repainted by the window system of its own process.
}

void TfrmBaseGene::btnOkClick(TObject*) {}

void TfrmBaseGene::btnCancelClick(TObject*) { Close(); }

void TfrmBaseGene::ReleaseServices() {
    LookupWindow = Variant();
    Validator = Variant();
    CounterService = Variant();
}

void TfrmBaseGene::Destroy() {
    SysInfo.Clear();
    ColorMemory.Clear();
    DateEventSaves.Clear();
    RequiredEventSaves.Clear();
    ReleaseServices();
    try {
        if (!LocalServer && MainMidas) MainMidas->Close();
    } catch (const std::exception&) {
        // Closing a connection that failed is no reason to keep the form.
    }
    AppServer = Variant();
    Manager = Variant();
    DateRuleList.Clear();
    TTGForm::Destroy();
}

// ---- Start-up --------------------------------------------------------------------------------

bool TfrmBaseGene::InitForm(const Variant& context) {
    if (!CompanyID.empty()) return false;
    try {
        SysInfo.Clear();
        ColorMemory.Clear();
        DateEventSaves.Clear();
        RequiredEventSaves.Clear();
        ReleaseServices();
        OptionBase = 1;
        RecordError("");
        edPrintDate->SetText("");
        HostConditions = Variant::Null();
        ConditionsByName = true;
        ConditionsApplied = false;

        const int high = rtl::VarArrayHighBound(context, 1);
        HostWindow = high > 2 ? static_cast<uintptr_t>(context[3].AsInt64()) : 0;
        if (high >= 4) {
            HostData = context[4];
        } else {
            ShowMessageCode("E;000038");
            Application().PostMessage(Handle(), WM_CLOSE, 0, 0);
        }
        Hide();
        UserID = context[0].AsString();
        CompanyID = context[1].AsString();
        DatabaseName = context[2].AsString();
        AfterContext();

        if (!rtl::SameText(Name().substr(std::min<size_t>(3, Name().size()), 3), ProgramID.substr(0, 3))) {
            ShowMessageCode("E;000036");
            Application().PostMessage(Handle(), WM_CLOSE, 0, 0);
            return true;
        }

        MainMidas->Close();
        bool connected = false;
        if (ConfigureConnection(MainMidas, ObjBroker)) {
            BeforeServerConnect(MainMidas);
            if (!MainMidas->ServerName().empty()) connected = ConnectServer();
        }
        if (!connected) {
            ShowMessageCode("E;000006");
            Application().PostMessage(Handle(), WM_CLOSE, 0, 0);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        RecordError(e.what());
        return false;
    }
}

void TfrmBaseGene::AfterContext() {
    RecordColors();
    CreateManagerServices();
    try {
        ProductID = com::OleGet(Manager, "ProductID").AsInteger();
    } catch (const std::exception&) {
        ProductID = 3;
    }
    SetProgramDefaults();
    CreateLookupWindow();
}

void TfrmBaseGene::CreateManagerServices() {
    try {
        CounterService = com::OleCall(Manager, "Com_Counter", {});
        SysInfoValue("");
        CompanyTitle = SysInfoValue("TGK002");
    } catch (const std::exception&) {
        CounterService = Variant();
    }
    try {
        Validator = com::OleCall(Manager, "Com_Validator", {});
    } catch (const std::exception&) {
        Validator = Variant();
    }
}

void TfrmBaseGene::CreateLookupWindow() {
    if (!(ProgramFlags & 4)) return;
    try {
        LookupWindow = com::OleCall(Manager, "Com_F2Window", {});
    } catch (const std::exception&) {
        LookupWindow = Variant();
    }
}

void TfrmBaseGene::RecordColors() {
    std::function<void(TWinControl*)> walk = [&](TWinControl* container) {
        for (TControl* c : container->ControlList()) {
            auto* w = dynamic_cast<TWinControl*>(c);
            if (w && w->ControlCount() > 0) {
                walk(w);
            } else if (w && !c->Name().empty()) {
                ColorMemory.SetValue(c->Name(), std::to_string(c->Color()));
            }
        }
    };
    walk(this);
}

void TfrmBaseGene::SetProgramDefaults() {
    DateFields = "edPrintDate";
    ProgramKind = "R";
    EnvCount = 9;
    ProgramFlags = 0;
    SetProgramID(DeriveProgramID());
    SetOptionCount(0);
}

bool TfrmBaseGene::IsLibraryModule() const {
    const std::string name = os::ExtractFileName(ModuleFileName);
    const size_t dot = name.rfind('.');
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    // A shared object is this platform's library module.
    return rtl::SameText(ext, ".Dll") || rtl::SameText(ext, ".so");
}

std::string TfrmBaseGene::DeriveProgramID() const {
    const std::string name = os::ExtractFileName(ModuleFileName);
    const size_t dot = name.rfind('.');
    const int extLength = dot == std::string::npos ? 0 : static_cast<int>(name.size() - dot);
    const int n = static_cast<int>(name.size()) - extLength - (IsLibraryModule() ? 1 : 2);
    return name.substr(0, static_cast<size_t>(std::max(n, 6)));
}

void TfrmBaseGene::SetProgramID(const std::string& code) {
    ProgramID = rtl::UpperCase(code);
    ServerClassName = ProgramID + "S.Class1";
    try {
        Variant row;
        if (!LookupRow("ADMMB", "01", false, row, rtl::VarArrayOf({Variant(ProgramID)})) || !row.IsArray()) {
            throw rtl::Exception("program not found");
        }
        ProgramName = row[0].AsString();
        const rtl::VarArray& cells = row.Arr();
        wantLog_ = cells.HighBound() >= 4 && row[4].AsString() == "Y";
        if (cells.HighBound() - cells.LowBound() + 1 > 7 && InterfaceCodePage() == "437") ProgramName = row[7].AsString();
    } catch (const std::exception&) {
        ProgramName = ProgramID;
        wantLog_ = false;
    }
    CaptionBase = ProgramName;
}

void TfrmBaseGene::SetOptionCount(int n) { OptionCount = OptionBase < OptionCount ? n : n + OptionBase; }

bool TfrmBaseGene::FillEnvironment(Variant& env, int) {
    env[1] = rtl::UpperCase(ProgramID);
    env[2] = EnvCount;
    env[3] = OptionCount;
    env[4] = CompanyID;
    env[5] = UserID;
    env[6] = DatabaseName;
    env[7] = Variant::FromDate(os::Now());
    env[8] = ServerClassName;
    env[9] = rtl::UpperCase(ProgramKind);
    return true;
}

bool TfrmBaseGene::ConfigureConnection(data::TSocketConnection* connection, data::TSimpleObjectBroker*) {
    try {
        connection->Close();
        const TStewardIniC ini;
        std::string error;
        if (!MessageCodes.empty()) {
            error = MessageCodes;
        } else if (!ini.Servers.empty()) {
            connection->SetAddress(ini.Servers[0].Host);
            connection->SetObjectBroker(nullptr);
            connection->SetPort(ini.Servers[0].Port);
        }
        if (!error.empty()) ShowMessageCode(error);
        return error.empty();
    } catch (const std::exception& e) {
        RecordError(e.what());
        return false;
    }
}

bool TfrmBaseGene::ConnectServer() {
    try {
        AppServer = Variant();
        if (MainMidas->Connected()) MainMidas->Close();
        LocalServer = MainMidas->Address() == "127.0.0.1";
        if (LocalServer) {
            const Variant server = com::CreateOleObject(MainMidas->ServerName());
            MainMidas->SetAppServer(server);
            AppServer = server;
        } else {
            MainMidas->Open();
            if (MainMidas->Connected()) AppServer = MainMidas->AppServer();
        }
        return true;
    } catch (const std::exception& e) {
        RecordError(e.what());
        return false;
    }
}

void TfrmBaseGene::ApplyUserRights(const Variant& rights) {
    const std::string tokens = rights[1].AsString();
    std::string t[6];
    for (int i = 0; i < 6; ++i) t[i] = GetField(tokens, ",", i + 1);
    RightToken1 = t[0];
    RightFlag2 = t[1] == "Y";
    RightFlag3 = t[2] == "Y";
    RightToken4 = t[3];
    RightToken5 = t[4];
    RightToken6 = t[5];
    RightText2 = rights[2].AsString();
    RightText3 = rights[3].AsString();
    RightChar7Set = t[3].size() >= 7 && t[3][6] != 'N';
    RightChar8Set = t[3].size() >= 8 && t[3][7] != 'N';
    BaseLimited = PackVarList(rights[4].AsString(), rights[5]);
    AfterRightsLoaded();
}

// ---- Host updates ----------------------------------------------------------------------------

namespace {
bool NonEmptyArray(const Variant& v) { return v.IsArray() && v.Arr().ElementCount() > 0; }
bool HasIndex(const Variant& a, int i) {
    return a.IsArray() && a.Arr().DimCount() == 1 && a.Arr().LowBound() <= i && a.Arr().HighBound() >= i;
}
}  // namespace

void TfrmBaseGene::SetParams(const Variant& update) {
    HostConditions = update;
    if (!update.IsArray()) return;
    const int mode = update[0].AsInteger();
    ShowResultDialog = mode == 0 || mode == 1;
    ConditionsApplied = false;
    bool accepted = false;
    if (HasIndex(update, 1) && NonEmptyArray(update[1])) {
        const Variant& conditions = update[1];
        ConditionsByName = conditions[0].AsBoolean();
        if (HasIndex(conditions, 1) && NonEmptyArray(conditions[1])) {
            accepted = ConditionsByName ? CheckNamedConditions(conditions[1]) : ApplyHostValues(conditions[1]);
        }
        ConditionsApplied = accepted && mode != 0;
    }
    if (!Converted()) {
        ConvertForDisplay();
        if (SystemCodePage() == "950") SetCaptionText(false);
    }
    if (mode > 2 && accepted) {
        HostModeAction(mode);
    } else if (ConditionsApplied) {
        btnOk->Click();
    }
}

bool TfrmBaseGene::CheckNamedConditions(const Variant& values) {
    bool ok = true;
    try {
        const Variant& items = values[0];
        for (const Variant& item : items.Arr().Items()) {
            TComponent* c = FindComponent(item[1].AsString());
            const bool fits = c && (c->InheritsFrom("TSelectPanel") || c->InheritsFrom("TCustomComboBox") ||
                                    IsPublishedProp(c, "ItemIndex") || IsPublishedProp(c, "Checked") ||
                                    IsPublishedProp(c, "Text") || IsPublishedProp(c, "Lines"));
            if (!fits) {
                ok = false;
                break;
            }
        }
    } catch (const std::exception&) {
        ok = false;
    }
    ShowMessageCode(ok ? std::string() : std::string("W;000014"));
    return ok;
}

bool TfrmBaseGene::ApplyHostValues(const Variant&) { return false; }

// ---- Showing ---------------------------------------------------------------------------------

void TfrmBaseGene::SetCaptionText(bool withVersionMark) {
    std::string caption = CaptionBase;
    if (withVersionMark && ProductID == 5) caption += LangText("TfrmBaseGene", "sPublicVer", true, "-普及版");
    SetCaption(caption + "[" + CompanyTitle + "]");
}

void TfrmBaseGene::FormShow(TObject* sender) {
    TTGForm::FormShow(sender);
    SetCaptionText(true);
    if (pgOption->PageCount() > 0) {
        pgOption->SetActivePageIndex(0);
        pgOptionChange(pgOption);
    }
    ConvertForDisplay();
    lstCondition->Columns()->Clear();
    TListColumn* name = lstCondition->Columns()->Add();
    name->SetCaption(LangText("TfrmBaseGene", "sProjectName", true, "方案名称"));
    name->SetAlignment(TAlignment::taRightJustify);
    TListColumn* created = lstCondition->Columns()->Add();
    created->SetCaption(LangText("TfrmBaseGene", "sCreateTime", true, "创建时间"));
    LoadConditionSets();
}

void TfrmBaseGene::pgOptionChange(TObject*) {
    TTabSheet* page = pgOption->ActivePage();
    if (!page) return;
    // The enabled window with the lowest tab order takes the focus.
    const std::vector<TWinControl*> order = page->TabOrderList();
    for (TWinControl* c : order) {
        if (!c->Enabled()) continue;
        if (c->CanFocus() && Visible()) c->SetFocus();
        return;
    }
}

void TfrmBaseGene::pgOptionChanging(TObject*, bool& allowChange) {
    PageChanging = true;
    if (TWinControl* active = ActiveControl()) active->OnExit(active);
    PageChanging = false;
    allowChange = !ValidationFailed;
}

void TfrmBaseGene::tsOption2Show(TObject*) {
    if (SystemPageArranged) return;
    ArrangeSystemPage();
    SystemPageArranged = true;
}

void TfrmBaseGene::ArrangeSystemPage() {
    tsOption2->Font()->Assign(*Font());
    tsOption2->Font()->SetSize(9);
    if (Height() < 110) SetHeight(110);
    if (Width() < 315) SetWidth(315);
    lblToday->SetBounds(8, 12, lblToday->Width(), lblToday->Height());
    lblToday->SetAutoSize(true);
    edPrintDate->SetBounds(60, 8, 85, edPrintDate->Height());
    btnPrintDate->AlignToControl();
}

void TfrmBaseGene::DateFieldEnter(TObject*) { ValidationFailed = false; }

void TfrmBaseGene::DateFieldExit(TObject*) { ValidationFailed = false; }

void TfrmBaseGene::RequiredExit(TObject*) { ValidationFailed = false; }

void TfrmBaseGene::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_OPENLOOKUP:
            LookupKey(VK_F2, reinterpret_cast<TWinControl*>(m.LParam));
            return;
        case CM_FOCUSCHANGED:
            LastFocused = reinterpret_cast<TWinControl*>(m.LParam);
            break;
        default: break;
    }
    TTGForm::WndProc(m);
}

void TfrmBaseGene::LookupKey(uint16_t, TWinControl* control) {
    if (control && control->CanFocus()) control->SetFocus();
}

// ---- Operations completed by the derived forms -----------------------------------------------

bool TfrmBaseGene::BuildJobPayload() {
    if (!(EnvCount > 0 && (OptionCount > 0 || ConditionsApplied))) {
        ShowMessageCodeEx("I", "000003", {}, {});
        return false;
    }
    auto fresh = [](int high) {
        Variant a = rtl::VarArrayCreate(0, high);
        for (int i = 1; i <= high; ++i) a[i] = Variant::Null();
        return a;
    };
    Variant env = fresh(EnvCount), labels = fresh(OptionCount), values = fresh(OptionCount);
    if (!PutOptionLabels(labels, OptionCount - OptionBase) || !PutOptionValues(values, OptionCount - OptionBase) ||
        !FillEnvironment(env, EnvCount)) {
        return false;
    }
    JobPayload = rtl::VarArrayOf({env, labels, values});
    return true;
}

bool TfrmBaseGene::PutOptionLabels(Variant& labels, int index) {
    OptionLabelsPut = true;
    std::string outcome;
    try {
        labels[index + OptionBase] = rtl::VarArrayOf({Variant(lblToday->Caption()), Variant("edPrintDate")});
    } catch (const std::exception&) {
        outcome = "E;000030;" + GetMessageText("I", "000011");
    }
    ShowMessageCode(outcome);
    return outcome.empty();
}

bool TfrmBaseGene::PutOptionValues(Variant& values, int index) {
    std::string outcome;
    try {
        const std::string t = rtl::Trim(edPrintDate->Text());
        const std::string sep = GetDateSeparator();
        std::string value;
        if (!t.empty() && !t.starts_with(sep) && !t.ends_with(sep)) {
            const rtl::TDateTime d = TextToDate(t, GetDateFormatKind(), sep);
            value = d == 0 ? t : rtl::FormatDateTime("yyyymmdd", d);
        }
        values[index + OptionBase] = value;
    } catch (const std::exception&) {
        outcome = "E;000030";
    }
    ShowMessageCode(outcome);
    return outcome.empty();
}

void TfrmBaseGene::SetRequiredFields(const std::string& list) { RequiredFields = rtl::Trim(list); }

void TfrmBaseGene::HookDataSetFields() {}

bool TfrmBaseGene::RunServerLocally(const std::string&, const std::string&, const std::string&, const std::string&,
                                    const std::string&, const std::string&, const std::string&, const std::string&,
                                    const Variant&, int, const std::string&) {
    RecordError("The program's server library cannot be run in this process.");
    return false;
}

bool TfrmBaseGene::SaveConditionSet(const std::string&, const std::string&, bool) { return false; }

bool TfrmBaseGene::ApplyConditionSet(const std::string&, const std::string&) { return false; }

bool TfrmBaseGene::LoadConditionSets() { return AppServer.Type() == rtl::VarType::Dispatch; }

void TfrmBaseGene::LoadPhrase(TWinControl* control) {
    if (LookupWindow.Type() != rtl::VarType::Dispatch || !control) return;
    try {
        std::vector<Variant> args{Variant(UserID), Variant(DatabaseName), Variant(static_cast<int64_t>(Handle()))};
        const std::string text = com::OleCall(LookupWindow, "GetPhrase", args).AsString();
        if (!text.empty()) control->SetText(text);
    } catch (const std::exception&) {
        // No phrase.
    }
}

Variant TfrmBaseGene::LookupData(const std::string& table, const std::string& queryNumber, const Variant& keys,
                                 const std::string& condition, bool optionFlag) {
    if (LookupWindow.Type() != rtl::VarType::Dispatch) return Variant();
    try {
        const Variant request = rtl::VarArrayOf({Variant(table), Variant(queryNumber), keys, Variant(optionFlag),
                                                 Variant(condition), Variant(CompanyID), Variant(DatabaseName),
                                                 Variant(static_cast<int64_t>(Handle())), Variant(1), Variant(false),
                                                 Variant(ProductID), Variant(""), Variant(""), Variant(""),
                                                 Variant(rtl::WideToUtf8Lenient(BaseLimited)), Variant(RightChar8Set),
                                                 Variant(RightChar7Set), Manager, Variant(UserID)});
        return com::OleCall(LookupWindow, "F2GetData", {request});
    } catch (const std::exception&) {
        return Variant();
    }
}
