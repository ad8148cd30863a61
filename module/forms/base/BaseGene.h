// The generic base form of every job form: the host's context, the start-up that connects it
// to the application server, the host's later parameter updates, and the virtual operations
// through which the derived forms specialise it.
#pragma once

#include <string>

#include "TGForm.h"
#include "controls/DBLabel.h"
#include "controls/ExtPage.h"
#include "controls/F2Button.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Variants.h"

namespace ui {
class TPageControl;
class TTabSheet;
class TLabel;
class TMaskEdit;
class TSpeedButton;
class TPanel;
class TBitBtn;
class TListView;
class TSplitter;
class TToolBar;
class TToolButton;
class TPopupMenu;
class TMenuItem;
class TImageList;
}  // namespace ui
namespace data {
class TSocketConnection;
class TSimpleObjectBroker;
class TClientDataSet;
}  // namespace data

class TfrmBaseGene : public TTGForm {
public:
    explicit TfrmBaseGene(ui::TComponent* owner);
    ~TfrmBaseGene() override;
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // ---- Components of the design -----------------------------------------------------------
    TExtPageControl* pgOption;
    ui::TTabSheet* tsOption1;
    ui::TTabSheet* tsOption2;
    TDBLabel* lblToday;
    ui::TMaskEdit* edPrintDate;
    TF2Button* btnPrintDate;
    ui::TPanel* Panel1;
    ui::TBitBtn* btnOk;
    ui::TBitBtn* btnCancel;
    ui::TPanel* pnlCondition;
    ui::TLabel* lblCondition;
    ui::TToolBar* ToolBar1;
    ui::TToolButton* btnOpen;
    ui::TToolButton* btnDelete;
    ui::TToolButton* ToolButton1;
    ui::TListView* lstCondition;
    ui::TSplitter* Splitter1;
    data::TSocketConnection* MainMidas;
    data::TSimpleObjectBroker* ObjBroker;
    data::TClientDataSet* ClientDataSet1;
    ui::TPopupMenu* muOperation;
    ui::TMenuItem* N2;
    ui::TMenuItem* N3;
    ui::TPopupMenu* mnList;
    ui::TMenuItem* N7;
    ui::TMenuItem* N8;
    ui::TMenuItem* N9;
    ui::TMenuItem* N10;
    ui::TImageList* ImageList1;
    ui::TImageList* ImageList2;

    // ---- Fields ------------------------------------------------------------------------------
    rtl::Variant Manager;
    rtl::Variant LookupWindow;
    rtl::Variant Validator;
    rtl::Variant CounterService;
    int DateFormatKind = 1;
    std::string DateSeparator = "/";
    uint8_t ProgramFlags = 0;
    std::string UserID;
    std::string RightText2, RightText3;
    std::string CompanyID;
    std::string CompanyTitle;
    std::string DatabaseName;
    std::string ModuleVersion;
    rtl::TStringList SysInfo;
    std::string ServerClassName;
    int EnvCount = 9;
    std::string CaptionBase;
    int OptionCount = 0;
    std::string ProgramID;
    std::string ProgramName;
    std::string ProgramKind;
    int OptionBase = 1;
    rtl::Variant JobPayload;
    std::string MessageCodes, MessageTexts;
    rtl::Variant HostConditions;
    bool ConditionsByName = true;
    bool ConditionsApplied = false;
    uintptr_t HostWindow = 0;
    rtl::TStringList ColorMemory;
    std::string DateFields;
    rtl::TStringList DateEventSaves;
    ui::TNotifyEvent OnDateFieldEnter;
    ui::TNotifyEvent OnDateFieldExit;
    rtl::TStringList RequiredEventSaves;
    ui::TNotifyEvent OnRequiredExit;
    bool ValidationFailed = false;
    bool RightChar7Set = false;
    bool RightChar8Set = false;
    std::string RightToken1, RightToken4, RightToken5, RightToken6;
    bool RightFlag2 = false, RightFlag3 = false;
    ui::TWinControl* LastFocused = nullptr;
    bool PageChanging = false;
    rtl::Variant ResultValue;
    int ResultCode = 0;
    bool SystemPageArranged = false;
    rtl::Variant AppServer;
    rtl::Variant HostData;
    int ProductID = 3;
    bool ShowResultDialog = true;
    std::string OptionPropertyList;
    bool WantLog() const noexcept { return wantLog_; }
    void SetWantLog(bool v) noexcept { wantLog_ = v; }
    bool OptionLabelsPut = false;
    std::u16string BaseLimited;
    std::string ModuleFileName;
    bool LocalServer = false;
    std::string RequiredFields;
    rtl::TStringList DateRuleList;

    // ---- Interfaces --------------------------------------------------------------------------
    void SetModuleFile(const std::string& path) { ModuleFileName = path; }
    void SetParams(const rtl::Variant& update);
    void ApplyUserRights(const rtl::Variant& rights);
    bool ConfigureConnection(data::TSocketConnection* connection, data::TSimpleObjectBroker* broker);
    bool ConnectServer();
    void SetProgramID(const std::string& code);
    void SetOptionCount(int n);
    std::string DeriveProgramID() const;
    bool IsLibraryModule() const;
    bool CheckNamedConditions(const rtl::Variant& values);

    // ---- Virtual operations, in slot order ---------------------------------------------------
    virtual void ArrangeSystemPage();
    virtual bool BuildJobPayload();
    virtual void SetProgramDefaults();
    virtual void LoadPhrase(ui::TWinControl* control);
    virtual void SetRequiredFields(const std::string& list);
    virtual bool RunServerLocally(const std::string& jobNumber, const std::string& programCode, const std::string& text,
                                  const std::string& companyCode, const std::string& userCode,
                                  const std::string& serverClassName, const std::string& programKind,
                                  const std::string& databaseName, const rtl::Variant& optionValues, int number,
                                  const std::string& subJobNumber);
    virtual void HookDataSetFields();
    virtual void AfterContext();
    virtual bool InitForm(const rtl::Variant& context);
    virtual bool PutOptionValues(rtl::Variant& values, int index);
    virtual bool ApplyHostValues(const rtl::Variant& values);
    virtual bool FillEnvironment(rtl::Variant& env, int count);
    virtual bool PutOptionLabels(rtl::Variant& labels, int index);
    virtual void AfterRightsLoaded() {}
    virtual rtl::Variant LookupData(const std::string& table, const std::string& queryNumber, const rtl::Variant& keys,
                                    const std::string& condition, bool optionFlag);
    virtual void BeforeServerConnect(data::TSocketConnection* connection) {}
    virtual bool SaveConditionSet(const std::string& properties, const std::string& name, bool flag);
    virtual bool ApplyConditionSet(const std::string& properties, const std::string& values);
    virtual bool LoadConditionSets();
    virtual bool AfterConditionSetOpened() { return true; }
    virtual bool HostModeAction(int mode) { return true; }
    virtual void BeforeValueApplied(ui::TComponent* component, const std::string& value) {}
    virtual void AfterValueApplied(ui::TComponent* component, const std::string& value) {}

    // Outside the slot table.
    virtual void LookupKey(uint16_t key, ui::TWinControl* control);
    virtual void CreateManagerServices();
    virtual void CreateLookupWindow();

    // ---- Messages (the message catalogue) ----------------------------------------------------
    void ShowMessageCode(const std::string& code);
    void RecordError(const std::string& text);
    std::string GetMessageText(const std::string& type, const std::string& number);
    int ShowMessageCodeEx(const std::string& type, const std::string& number, const ui::TMsgDlgButtons& buttons,
                          const std::vector<rtl::Variant>& arguments);
    int ShowDialog(const std::string& text, ui::TMsgDlgType type, const ui::TMsgDlgButtons& buttons);

    // ---- Data helpers ------------------------------------------------------------------------
    std::string SysInfoValue(const std::string& name);
    int GetDateFormatKind();
    std::string GetDateSeparator();
    bool LookupRow(const std::string& table, const std::string& queryNumber, bool queryMode, rtl::Variant& row,
                   const rtl::Variant& keys);
    rtl::Variant GetCounter(const std::string& name, const rtl::Variant& keys);
    // A master-table check with the message of the type letter ("E", "W"; others show none).
    // column -2 queries and answers the whole result, -1 checks and answers the whole row,
    // 0 or more checks and answers that column.
    bool CheckValueExists(const std::string& table, const std::string& queryNumber, const std::string& typeLetter,
                          int column, rtl::Variant& value, const rtl::Variant& keys);

    // The caption as shown: CaptionBase, the public-version mark, the company title.
    void SetCaptionText(bool withVersionMark);

    // ---- Handlers ----------------------------------------------------------------------------
    void FormCreate(ui::TObject* sender) override;
    void FormShow(ui::TObject* sender) override;
    void FormResize(ui::TObject* sender);
    void FormClose(ui::TObject* sender, ui::TCloseAction& action);
    void btnOkClick(ui::TObject* sender);
    void btnCancelClick(ui::TObject* sender);
    void pgOptionChange(ui::TObject* sender);
    void pgOptionChanging(ui::TObject* sender, bool& allowChange);
    void tsOption2Show(ui::TObject* sender);
    void DateFieldEnter(ui::TObject* sender);
    void DateFieldExit(ui::TObject* sender);
    void RequiredExit(ui::TObject* sender);

    void WndProc(ui::TMessage& m) override;

protected:
    void Destroy() override;
    void Loaded() override;
    void RecordColors();

private:
    void ReleaseServices();
    bool wantLog_ = false;
};
