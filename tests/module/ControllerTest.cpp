// The module driven through its controller the way a launcher drives it: the built library is
// loaded with the dynamic loader and only its export is used.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "entry/DLLBaseCtrller.h"
#include "platform/ui/Forms.h"
#include "support/Fixtures.h"
#include "support/HostObjects.h"
#include "support/ScriptedUser.h"
#include "support/ServerDoubles.h"

using rtl::Variant;
using namespace kpatest;

namespace {

constexpr const char* kServerProgID = "RiveviVozodavE.dmReportCounter";

GetControllerFn LoadModule(const std::string& path) {
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
    return reinterpret_cast<GetControllerFn>(dlsym(lib, "GetController"));
}

GetControllerFn Module() {
    static const GetControllerFn get = LoadModule(BinFolder() + "KPAB02C.so");
    return get;
}

Variant Context(int elements) {
    const Variant all[] = {Variant("ADMIN"), Variant("C01"), Variant("KPADB"), Variant(4242), Variant("host data")};
    std::vector<Variant> items(all, all + elements);
    return rtl::VarArrayOf(std::move(items));
}

class ModuleHost : public ::testing::Test {
protected:
    TempDir root;
    ScopedRegistry reg;
    ScopedEnv acp{"KPA_ACP", "936"};
    std::shared_ptr<FakeManager> manager = std::make_shared<FakeManager>();
    std::shared_ptr<FakeAppServer> server = std::make_shared<FakeAppServer>(manager->Log());
    ScopedServe serve{kServerProgID, [this] { return std::static_pointer_cast<com::IDispatch>(server); }};
    ScriptedUser user;
    std::vector<int> events;
    TDLLBaseController* ctl = nullptr;

    void SetUp() override {
        Registry(true);
        root.Write("StewardC.ini", "[Server Information]\nComputerName=127.0.0.1\nServerPort=211\n");
        manager->Validator()->SetRow("ADMMB", "01", "KPAB02", {Variant("决策分析文件"), Variant(""), Variant(""), Variant(""), Variant("Y")});
        manager->Counter()->SetSysInfo({{"Sys001", Variant("1")}, {"Sys002", Variant("/")}, {"TGK002", Variant("示范公司")}});
        manager->Validator()->SetRow("ADMMB", "07", "KPAH01;KPAH17",
                                     {rtl::VarArrayOf({Variant("KPAH01"), Variant("人力成本分析")}),
                                      rtl::VarArrayOf({Variant("KPAH02"), Variant("薪资结构分析")})});
        manager->Validator()->SetRow("ADMMS", "01", "", {Variant("http://intra/kpa")});
        ctl = NewController(Module());
    }
    void TearDown() override {
        delete ctl;
        ui::Application().ProcessMessages();
    }
    TDLLBaseController* NewController(GetControllerFn get) {
        TDLLBaseController* c = get();
        c->Manager = Variant(std::static_pointer_cast<com::IDispatch>(manager));
        c->OnEvent = TDLLEvent::Lambda([this](int32_t code, TDLLBaseController*) { events.push_back(code); });
        return c;
    }
    void Registry(bool withServer) {
        std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> keys = {
            {"HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward", {{"ClientPath", root.Path()}, {"ServerPath", root.Path()}}}};
        if (withServer) keys.push_back({std::string("HKEY_CLASSES_ROOT\\") + kServerProgID + "\\InprocServer32", {{"", HostBridgeLibrary()}}});
        reg.SetKeys(keys);
    }
    std::vector<std::string> Info() {
        Variant info;
        if (ctl->GetFormInfo(info) != 0) return {};
        std::vector<std::string> r;
        for (const Variant& v : info.Arr().Items()) r.push_back(v.AsString());
        return r;
    }
};

TEST_F(ModuleHost, ControllersAreIndependentAndAnswerWithoutAForm) {
    TDLLBaseController* other = NewController(Module());
    EXPECT_NE(other, ctl);
    Variant info("untouched");
    EXPECT_EQ(ctl->GetFormInfo(info), -1);
    EXPECT_EQ(info.AsString(), "untouched");
    EXPECT_EQ(ctl->GetVersion(), u"");
    EXPECT_EQ(ctl->GetHandle(), 0u);
    EXPECT_EQ(ctl->GetVisible(), 0);
    EXPECT_EQ(ctl->FormFreed(), -1);
    EXPECT_EQ(ctl->ShowModal().AsInteger(), 2);
    EXPECT_EQ(user.ModalRuns(), 0);
    EXPECT_EQ(ctl->UpdateParams(rtl::VarArrayOf({Variant(false), Variant(1)})), -1);
    EXPECT_EQ(ctl->ExecCommand(5, 0, Variant(1)), -1);
    ctl->SetVisible(-1);
    ctl->FreeForm();
    ctl->DoFormNotify();
    EXPECT_EQ(events, std::vector<int>{0x140});
    delete other;
}

TEST_F(ModuleHost, CreateFormStartsConnectsAndReports) {
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0) << ::testing::PrintToString(user.DialogTexts());
    EXPECT_EQ(events, std::vector<int>{0x100});
    EXPECT_EQ(ctl->GetVisible(), 0);  // the start-up leaves the form hidden
    EXPECT_EQ(ctl->FormFreed(), 0);
    EXPECT_EQ(ctl->GetVersion(), u"870401-0.00.00");
    EXPECT_EQ(Info(), (std::vector<std::string>{"ADMIN", "C01", "KPAB02", "决策分析文件"}));
    EXPECT_NE(ctl->GetHandle(), 0u);
    EXPECT_TRUE(user.Dialogs().empty());
    // The manager's services were asked in the start-up's order.
    const CallLog& log = *manager->Log();
    EXPECT_EQ(log.Count("Manager", "Com_Counter"), 1u);
    EXPECT_EQ(log.Last("CounterService", "GetSysInfo").args.at(0).AsString(), "C01");
    EXPECT_EQ(log.Count("Manager", "Com_Validator"), 1u);
    EXPECT_EQ(log.Count("Manager", "Com_F2Window"), 0u);  // the base program wants no lookup window
    const CallEntry lookup = log.Calls("Validator", "CheckValue").at(0);
    ASSERT_EQ(lookup.args.size(), 5u);
    EXPECT_EQ(lookup.args[0].AsString(), "ADMMB");
    EXPECT_EQ(lookup.args[1].AsString(), "01");
    EXPECT_EQ(lookup.args[2].AsString(), "KPADB");
    EXPECT_EQ(lookup.args[3][0].AsString(), "KPAB02");
    // A second start-up of the same form is refused and sends no second creation event.
    EXPECT_EQ(ctl->CreateForm(Context(5)), -1);
    EXPECT_EQ(events, std::vector<int>{0x100});
}

TEST_F(ModuleHost, ShowHideAndTheFormsOwnHandlersFirst) {
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0);
    ctl->SetVisible(-1);
    EXPECT_EQ(ctl->GetVisible(), -1);
    EXPECT_EQ(ui::WindowSystem().ForegroundWindow(), ctl->GetHandle());
    ctl->SetVisible(0);
    EXPECT_EQ(events, (std::vector<int>{0x100, 0x110, 0x120}));
}

TEST_F(ModuleHost, ShortContextsReportAndCloseTheForm) {
    struct Case {
        int elements;
        std::vector<std::string> info;
    } cases[] = {
        {4, {"ADMIN", "C01", "KPAB02", "决策分析文件"}},
        {3, {"ADMIN", "C01", "KPAB02", "决策分析文件"}},
    };
    for (const Case& c : cases) {
        events.clear();
        const size_t dialogsBefore = user.Dialogs().size();
        ctl->CreateForm(Context(c.elements));
        EXPECT_EQ(Info(), c.info) << c.elements;
        ASSERT_GT(user.Dialogs().size(), dialogsBefore);
        EXPECT_EQ(user.Dialogs()[dialogsBefore].text, "E;000038") << c.elements;
        ui::Application().ProcessMessages();  // the posted close request
        EXPECT_EQ(ctl->FormFreed(), -1) << c.elements;
        EXPECT_EQ(events.back(), 0x130) << c.elements;
    }
}

TEST_F(ModuleHost, MissingServerGivesE000006) {
    Registry(false);  // the application server is not registered
    EXPECT_EQ(ctl->CreateForm(Context(5)), -1);
    ASSERT_FALSE(user.Dialogs().empty());
    EXPECT_EQ(user.Dialogs().back().text, "E;000006");
    EXPECT_EQ(user.Dialogs().back().type, "mtError");
    EXPECT_EQ(user.Dialogs().back().buttons, std::vector<std::string>{"OK=确定"});
    ui::Application().ProcessMessages();
    EXPECT_EQ(ctl->FormFreed(), -1);
}

TEST_F(ModuleHost, RemoteAddressFailsCleanly) {
    root.Write("StewardC.ini", "[Server Information]\nComputerName=10.1.2.3\n");
    EXPECT_EQ(ctl->CreateForm(Context(5)), -1);
    EXPECT_EQ(user.DialogTexts(), std::vector<std::string>{"E;000006"});
}

TEST_F(ModuleHost, UpdatesWithEveryHostModeAndBadPackages) {
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0);
    EXPECT_EQ(ctl->UpdateParams(Variant::Null()), -1);
    EXPECT_EQ(ctl->UpdateParams(Variant(3)), -1);
    EXPECT_EQ(ctl->UpdateParams(rtl::VarArrayOf({Variant(true)})), -1);  // no element 1
    EXPECT_EQ(ctl->ExecCommand(4, 0, rtl::VarArrayOf({Variant(0)})), -1);
    const Variant named = rtl::VarArrayOf({Variant(true), rtl::VarArrayOf({rtl::VarArrayOf({rtl::VarArrayOf({Variant(0), Variant("edPrintDate")})}),
                                                                          rtl::VarArrayOf({Variant("2024/03/05")})})});
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(ctl->UpdateParams(rtl::VarArrayOf({Variant(false), rtl::VarArrayOf({Variant(mode), named})})), 0) << mode;
        EXPECT_EQ(ctl->ExecCommand(5, 0, rtl::VarArrayOf({Variant(mode), named})), 0) << mode;
    }
    // A component that cannot take a condition is reported.
    const Variant unknown = rtl::VarArrayOf({Variant(true), rtl::VarArrayOf({rtl::VarArrayOf({rtl::VarArrayOf({Variant(0), Variant("nothing")})}),
                                                                            rtl::VarArrayOf({Variant("x")})})});
    EXPECT_EQ(ctl->ExecCommand(5, 0, rtl::VarArrayOf({Variant(1), unknown})), 0);
    EXPECT_EQ(user.DialogTexts().back(), "W;000014");
    // A package the form cannot read is swallowed.
    EXPECT_EQ(ctl->ExecCommand(5, 0, rtl::VarArrayOf({Variant("mode?")})), -1);
}

TEST_F(ModuleHost, ModalRunAndClosingByTheUser) {
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0);
    user.Click("btnCancel");
    EXPECT_EQ(ctl->ShowModal().AsInteger(), 2);
    EXPECT_EQ(events, (std::vector<int>{0x100, 0x110, 0x120}));
    ui::Application().ProcessMessages();  // closing frees the form
    EXPECT_EQ(events.back(), 0x130);
    EXPECT_EQ(ctl->FormFreed(), -1);
    EXPECT_EQ(ctl->ResultCode, 0);
    EXPECT_TRUE(ctl->ResultValue.IsEmpty());
    // A later start-up makes a fresh form.
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0);
    EXPECT_EQ(events.back(), 0x100);
}

TEST_F(ModuleHost, FreeFormAndFreeingTheControllerSend304) {
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0);
    ctl->FreeForm();
    EXPECT_EQ(events.back(), 0x130);
    EXPECT_EQ(ctl->FormFreed(), -1);
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0);
    ctl->SetVisible(-1);
    events.clear();
    delete ctl;
    ctl = nullptr;
    EXPECT_EQ(events, (std::vector<int>{0x130}));
}

TEST_F(ModuleHost, NoEventsWithoutAHandler) {
    ctl->OnEvent.Clear();
    ASSERT_EQ(ctl->CreateForm(Context(5)), 0);
    ctl->SetVisible(-1);
    ctl->FreeForm();
    EXPECT_TRUE(events.empty());
}

TEST_F(ModuleHost, AModuleFileOfAnotherProgramIsRefused) {
    // The same library under another program's name: the form's name no longer fits it.
    const std::string copy = root.File("XYZB02C.so");
    std::filesystem::copy_file(BinFolder() + "KPAB02C.so", copy);
    std::filesystem::copy_file(BinFolder() + "CvResD5.so", root.File("CvResD5.so"));  // bound at load
    TDLLBaseController* other = NewController(LoadModule(copy));
    EXPECT_EQ(other->CreateForm(Context(5)), 0);  // the start-up itself succeeds
    EXPECT_EQ(user.DialogTexts(), std::vector<std::string>{"E;000036"});
    EXPECT_EQ(server.use_count(), 1);  // no connection was made: only the test holds the server
    ui::Application().ProcessMessages();
    EXPECT_EQ(other->FormFreed(), -1);
    delete other;
}

}  // namespace
