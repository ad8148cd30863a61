// The base form's own rules, on a form made in this process.
#include <gtest/gtest.h>

#include "forms/batch/Kpab02CF.h"
#include "platform/os/Clock.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Mask.h"
#include "platform/ui/ComCtrls.h"
#include "support/Fixtures.h"
#include "support/ScriptedUser.h"
#include "support/ServerDoubles.h"

using rtl::Variant;
using namespace kpatest;

namespace {

class TSpyForm : public TfrmKpab02 {
public:
    explicit TSpyForm(ui::TComponent* owner) : TfrmKpab02(owner) {}
    bool HostModeAction(int mode) override {
        modes.push_back(mode);
        return true;
    }
    std::vector<int> modes;
};

class BaseForm : public ::testing::Test {
protected:
    TempDir root;
    ScopedRegistry reg;
    ScopedEnv acp{"KPA_ACP", "936"};
    std::shared_ptr<FakeManager> manager = std::make_shared<FakeManager>();
    ScriptedUser user;
    TSpyForm* form = nullptr;
    int okClicks = 0;

    void SetUp() override {
        WriteStewardKey(reg, root.Path(), root.Path());
        form = ui::CreateForm<TSpyForm>(nullptr);
        form->Manager = Variant(std::static_pointer_cast<com::IDispatch>(manager));
        form->btnOk->OnClick = ui::TNotifyEvent::Lambda([this](ui::TObject*) { ++okClicks; });
    }
    void TearDown() override {
        if (form) form->Free();
        ui::Application().ProcessMessages();
    }
    static Variant Named(const std::string& component) {
        return rtl::VarArrayOf({Variant(true), rtl::VarArrayOf({rtl::VarArrayOf({rtl::VarArrayOf({Variant(0), Variant(component)})}),
                                                               rtl::VarArrayOf({Variant("v")})})});
    }
};

TEST_F(BaseForm, ProgramCodeFromTheModuleFile) {
    struct Case {
        const char* file;
        bool library;
        const char* code;
    } cases[] = {
        {"/opt/kpa/KPAB02C.so", true, "KPAB02"},
        {"/x/KPAB02C.DLL", true, "KPAB02"},       {"/x/AB.dll", true, "AB.dll"},
        {"/x/KPAB02C.exe", false, "KPAB02"},      {"/x/LONGPROGRAMC.so", true, "LONGPROGRAM"},
        {"/x/KPAB02", false, "KPAB02"},
    };
    for (const Case& c : cases) {
        form->SetModuleFile(c.file);
        EXPECT_EQ(form->IsLibraryModule(), c.library) << c.file;
        EXPECT_EQ(form->DeriveProgramID(), c.code) << c.file;
    }
    form->SetModuleFile("/x/AB.dll");
    form->SetProgramID(form->DeriveProgramID());
    EXPECT_EQ(form->ProgramID, "AB.DLL");
    EXPECT_EQ(form->ServerClassName, "AB.DLLS.Class1");
    EXPECT_EQ(form->ProgramName, "AB.DLL");  // not in the program master: the code itself
    EXPECT_FALSE(form->WantLog());
}

TEST_F(BaseForm, ProgramNameAndLogFlagFromTheProgramMaster) {
    form->AfterContext();  // the manager's services
    manager->Validator()->SetRow("ADMMB", "01", "KPAB02",
                                 {Variant("决策分析"), Variant(""), Variant(""), Variant(""), Variant("Y"), Variant(""), Variant(""), Variant("Decision analysis")});
    form->SetProgramID("kpab02");
    EXPECT_EQ(form->ProgramID, "KPAB02");
    EXPECT_EQ(form->ProgramName, "决策分析");
    EXPECT_EQ(form->CaptionBase, "决策分析");
    EXPECT_TRUE(form->WantLog());
    const CallEntry call = manager->Log()->Last("Validator", "CheckValue");
    EXPECT_EQ(call.args[3][0].AsString(), "KPAB02");
    EXPECT_EQ(manager->Validator()->ProductID().AsInteger(), form->ProductID);
}

TEST_F(BaseForm, OptionCountFollowsTheOptionBase) {
    form->OptionCount = 0;
    form->SetOptionCount(0);
    EXPECT_EQ(form->OptionCount, 1);
    form->SetOptionCount(1);
    EXPECT_EQ(form->OptionCount, 2);
    form->SetOptionCount(5);
    EXPECT_EQ(form->OptionCount, 5);
}

TEST_F(BaseForm, UserRights) {
    struct Case {
        const char* tokens;
        bool char7, char8;
    } cases[] = {
        {"a,Y,N,ABCDEFYN,x,y", true, false},
        {"a,Y,N,ABCDEFNY", false, true},
        {"a,N,N,ABCDEF", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        const Variant rights = rtl::VarArrayOf({Variant(0), Variant(c.tokens), Variant("r2"), Variant("r3"), Variant("dept"),
                                                rtl::VarArrayOf({Variant(2), Variant("D01"), Variant("D02")})});
        form->ApplyUserRights(rights);
        EXPECT_EQ(form->RightChar7Set, c.char7) << c.tokens;
        EXPECT_EQ(form->RightChar8Set, c.char8) << c.tokens;
        EXPECT_EQ(form->BaseLimited, u"dept\x03" u"2\x03" u"D01\x03" u"D02\x03");
    }
    EXPECT_TRUE(form->RightFlag2 == false);
}

TEST_F(BaseForm, HostModesDecideBetweenOkAndTheModeAction) {
    struct Case {
        int mode;
        bool showResult;
        int clicks;
        std::vector<int> modes;
    } cases[] = {
        {0, true, 0, {}}, {1, true, 1, {}}, {2, false, 1, {}}, {3, false, 0, {3}}, {7, false, 0, {7}},
    };
    for (const Case& c : cases) {
        okClicks = 0;
        form->modes.clear();
        form->SetParams(rtl::VarArrayOf({Variant(c.mode), Named("edPrintDate")}));
        EXPECT_EQ(form->ShowResultDialog, c.showResult) << c.mode;
        EXPECT_EQ(okClicks, c.clicks) << c.mode;
        EXPECT_EQ(form->modes, c.modes) << c.mode;
        EXPECT_EQ(form->ConditionsApplied, c.mode != 0) << c.mode;
    }
    // Conditions the form cannot take: no run at all, and the host is told.
    okClicks = 0;
    form->SetParams(rtl::VarArrayOf({Variant(2), Named("NoSuchControl")}));
    EXPECT_EQ(okClicks, 0);
    EXPECT_EQ(user.DialogTexts().back(), "W;000014");
    // An update without conditions only records itself.
    form->SetParams(rtl::VarArrayOf({Variant(2)}));
    EXPECT_EQ(okClicks, 0);
    EXPECT_FALSE(form->ConditionsApplied);
    EXPECT_EQ(form->HostConditions[0].AsInteger(), 2);
}

TEST_F(BaseForm, NamedConditionsNeedAComponentThatTakesValues) {
    struct Case {
        const char* name;
        bool ok;
    } cases[] = {{"edPrintDate", true}, {"EDPRINTDATE", true}, {"lstCondition", false}, {"pgOption", false}, {"x", false}};
    for (const Case& c : cases) {
        form->ShowMessageCode("");
        const Variant values = Named(c.name)[1];
        EXPECT_EQ(form->CheckNamedConditions(values), c.ok) << c.name;
        EXPECT_EQ(form->MessageCodes, c.ok ? "" : "W;000014; ") << c.name;
    }
}

TEST_F(BaseForm, MessageCodesAreResolvedRecordedAndShown) {
    manager->SetMessage("I", "000004", "作业 %s 已排入");
    form->ShowMessageCode("I;-000004;J0001");
    EXPECT_EQ(form->MessageCodes, "I;-000004;J0001; ");
    EXPECT_EQ(form->MessageTexts, "作业 J0001 已排入; ");
    EXPECT_TRUE(user.Dialogs().empty());
    form->ShowMessageCode("I;-000004;J0001");
    EXPECT_EQ(form->MessageCodes, "I;-000004;J0001; I;-000004;J0001; ");
    EXPECT_EQ(form->MessageTexts, "作业 J0001 已排入; ");

    manager->SetMessage("E", "000013", "请求失败: %s %d");  // a placeholder without its argument
    form->ShowMessageCode("E;000013;timeout");
    ASSERT_EQ(user.Dialogs().size(), 1u);
    EXPECT_EQ(user.Dialogs()[0].text, "请求失败: %s %d\rtimeout;;;;;;;;;;");
    EXPECT_EQ(user.Dialogs()[0].type, "mtError");
    EXPECT_EQ(user.Dialogs()[0].buttons, std::vector<std::string>{"OK=确定"});
    EXPECT_EQ(user.Dialogs()[0].fontName, "SimSun");

    form->ShowMessageCode("");
    EXPECT_EQ(form->MessageCodes, "");
    EXPECT_EQ(form->MessageTexts, "");
    form->RecordError("  disk full  ");
    EXPECT_EQ(form->MessageCodes, "E;-1; ");
    EXPECT_EQ(form->MessageTexts, "  disk full  ; ");
    form->RecordError(" ");
    EXPECT_EQ(form->MessageCodes, "");
}

TEST_F(BaseForm, NoMessagesWhileLeavingThroughCancel) {
    form->Show();
    form->btnCancel->SetFocus();
    form->ShowMessageCode("E;000005");
    form->RecordError("x");
    EXPECT_EQ(form->MessageCodes, "");
    EXPECT_TRUE(user.Dialogs().empty());
}

TEST_F(BaseForm, PageChangesSuppressAllButErrors) {
    form->PageChanging = true;
    form->ShowMessageCode("W;000004");
    EXPECT_TRUE(user.Dialogs().empty());
    EXPECT_EQ(form->MessageCodes, "W;000004; ");
    form->ShowMessageCode("E;000005");
    EXPECT_EQ(user.DialogTexts(), std::vector<std::string>{"E;000005"});
}

TEST_F(BaseForm, DialogButtonsByMessageType) {
    struct Case {
        const char* type;
        std::vector<std::string> buttons;
        const char* dialogType;
    } cases[] = {
        {"D", {"Yes=是(&Y)", "No=否(&N)", "Cancel=取消"}, "mtWarning"},
        {"C", {"OK=确定", "Cancel=取消"}, "mtWarning"},
        {"Q", {"OK=确定", "Cancel=取消"}, "mtConfirmation"},
        {"I", {"OK=确定"}, "mtInformation"},
        {"R", {"OK=确定"}, "mtCustom"},
    };
    for (const Case& c : cases) {
        form->ShowMessageCodeEx(c.type, "000001", {}, {});
        EXPECT_EQ(user.Dialogs().back().buttons, c.buttons) << c.type;
        EXPECT_EQ(user.Dialogs().back().type, c.dialogType) << c.type;
    }
    user.Press("No");
    EXPECT_EQ(form->ShowMessageCodeEx("D", "000001", {}, {}), ui::mrNo);
}

TEST_F(BaseForm, WithoutAManagerTheMessageSaysSo) {
    form->Manager = Variant();
    EXPECT_EQ(form->GetMessageText("E", "000006"), "Can not Get Message\rType= E, ID= 000006 ");
}

TEST_F(BaseForm, SystemInformationAndItsDefaults) {
    EXPECT_EQ(form->GetDateFormatKind(), 1);
    EXPECT_EQ(form->GetDateSeparator(), "/");
    EXPECT_EQ(form->SysInfoValue("SYS008"), "商品分类方式二");
    manager->Counter()->SetSysInfo({{"Sys001", Variant("4")}, {"Sys002", Variant("-")}, {"SYS008", Variant("款式")}});
    form->AfterContext();
    EXPECT_EQ(form->GetDateFormatKind(), 4);
    EXPECT_EQ(form->GetDateSeparator(), "-");
    EXPECT_EQ(form->SysInfoValue("sys008"), "款式");
    EXPECT_EQ(form->SysInfoValue("SYS009"), "商品分类方式三");
}

TEST_F(BaseForm, EnglishInterfaceFallbackCaptions) {
    root.Write("StewardC.ini", "[CodePage]\nUICodePage=437\n");
    TSpyForm* english = ui::CreateForm<TSpyForm>(nullptr);
    EXPECT_EQ(english->SysInfoValue("SYS007"), "Inv.Cate.1");
    EXPECT_EQ(english->SysInfoValue("SYS010"), "Inv.Cate.4");
    EXPECT_EQ(english->edPrintDate->Font()->Name(), "Tahoma");
    EXPECT_EQ(english->edPrintDate->Font()->Charset(), ui::GB2312_CHARSET);
    english->Free();
    EXPECT_EQ(form->edPrintDate->Font()->Name(), "宋体");
}

TEST_F(BaseForm, EnvironmentAndCaption) {
    os::ScopedClock clock(rtl::EncodeDate(2024, 3, 5) + 0.5);
    form->SetModuleFile("/opt/KPAB02C.so");
    form->UserID = "U1";
    form->CompanyID = "C1";
    form->DatabaseName = "DB";
    form->SetProgramDefaults();
    Variant env = rtl::VarArrayCreate(0, form->EnvCount);
    ASSERT_TRUE(form->FillEnvironment(env, form->EnvCount));
    EXPECT_TRUE(env[0].IsEmpty());
    EXPECT_EQ(env[1].AsString(), "KPAB02");
    EXPECT_EQ(env[2].AsInteger(), 9);
    EXPECT_EQ(env[3].AsInteger(), 2);
    EXPECT_EQ(env[4].AsString(), "C1");
    EXPECT_EQ(env[5].AsString(), "U1");
    EXPECT_EQ(env[6].AsString(), "DB");
    EXPECT_EQ(env[7].AsDate(), rtl::EncodeDate(2024, 3, 5) + 0.5);
    EXPECT_EQ(env[8].AsString(), "KPAB02S.Class1");
    EXPECT_EQ(env[9].AsString(), "R");
    form->CompanyTitle = "示范公司";
    form->ProductID = 5;
    form->SetCaptionText(true);
    EXPECT_EQ(form->Caption(), "KPAB02-普及版[示范公司]");
    form->ProductID = 1;
    form->SetCaptionText(true);
    EXPECT_EQ(form->Caption(), "KPAB02[示范公司]");
}

TEST_F(BaseForm, CancelClosesAndFreesTheForm) {
    bool destroyed = false;
    form->OnDestroy = ui::TNotifyEvent::Lambda([&](ui::TObject*) { destroyed = true; });
    form->Show();
    form->btnCancel->Click();
    ui::Application().ProcessMessages();
    EXPECT_TRUE(destroyed);
    form = nullptr;
}

}  // namespace
