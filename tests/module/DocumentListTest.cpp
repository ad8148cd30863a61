// The module form's list of decision-analysis documents and their opening.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "forms/batch/Kpab02CF.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "support/Fixtures.h"
#include "support/ScriptedUser.h"
#include "support/ServerDoubles.h"

using rtl::Variant;
using namespace kpatest;

namespace {

class DocumentList : public ::testing::Test {
protected:
    TempDir root;
    ScopedRegistry reg;
    std::shared_ptr<FakeManager> manager = std::make_shared<FakeManager>();
    ScriptedUser user;
    TfrmKpab02* form = nullptr;

    void SetUp() override {
        WriteStewardKey(reg, root.Path(), root.Path());
        form = ui::CreateForm<TfrmKpab02>(nullptr);
        form->Manager = Variant(std::static_pointer_cast<com::IDispatch>(manager));
        form->AfterContext();
        form->CompanyID = "C01";
    }
    void TearDown() override {
        form->Free();
        ui::Application().ProcessMessages();
    }
    void Documents(int count) {
        std::vector<Variant> rows;
        for (int i = 1; i <= count; ++i) {
            const std::string code = rtl::Format("KPAH%.2d", {i});
            rows.push_back(rtl::VarArrayOf({Variant(code), Variant("文件" + std::to_string(i))}));
        }
        manager->Validator()->SetRow("ADMMB", "07", "KPAH01;KPAH17", rows);
    }
    std::vector<std::string> Row(int i) {
        ui::TListItem* item = form->lview02->Items()->Item(i);
        return {item->Caption(), (*item->SubItems())[0], (*item->SubItems())[1]};
    }
};

TEST_F(DocumentList, AddressesFromBaseCompanyAndCode) {
    struct Case {
        const char* base;
        const char* company;
        const char* address;
    } cases[] = {
        {"http://intra/docs", "C01", "http://intra/docs\\C01\\KPA\\KPAH03.htm"},
        {"http://intra/docs/", "C01", "http://intra/docs/C01\\KPA\\KPAH03.htm"},
        {"D:\\docs\\", "C01", "D:\\docs\\C01\\KPA\\KPAH03.htm"},
        {"", "C01", "\\C01\\KPA\\KPAH03.htm"},
        {"/srv", "zuZOVE", "/srv\\ZUZove_ZUZove\\KPA\\KPAH03.htm"},
    };
    for (const Case& c : cases) {
        form->CompanyID = c.company;
        EXPECT_EQ(form->DocumentAddress(c.base, "KPAH03"), c.address) << c.base;
    }
}

TEST_F(DocumentList, RowsInTheOrderOfTheLookup) {
    Documents(10);
    manager->Validator()->SetRow("ADMMS", "01", "", {Variant("/srv/docs/")});
    form->LoadDocumentList();
    ASSERT_EQ(form->lview02->Items()->Count(), 10);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"文件1", "/srv/docs/C01\\KPA\\KPAH01.htm", ""}));
    EXPECT_EQ(Row(9), (std::vector<std::string>{"文件10", "/srv/docs/C01\\KPA\\KPAH10.htm", ""}));
    EXPECT_TRUE(user.Dialogs().empty());
    const CallEntry query = manager->Log()->Last("Validator", "QueryData");
    EXPECT_EQ(query.args[3][0].AsString(), "KPAH01");
    EXPECT_EQ(query.args[3][1].AsString(), "KPAH17");
    EXPECT_EQ(manager->Log()->Last("Validator", "CheckValue").args[0].AsString(), "ADMMS");
}

TEST_F(DocumentList, MissingBaseOrRowsAreReported) {
    struct Case {
        bool base, rows;
        std::vector<std::string> dialogs;
    } cases[] = {
        {false, true, {"E;100252"}},
        {true, false, {"E;100255"}},
        {false, false, {"E;100252", "E;100255"}},
    };
    for (const Case& c : cases) {
        auto fresh = std::make_shared<FakeManager>();
        if (c.rows) fresh->Validator()->SetRow("ADMMB", "07", "KPAH01;KPAH17", {rtl::VarArrayOf({Variant("KPAH01"), Variant("x")})});
        if (c.base) fresh->Validator()->SetRow("ADMMS", "01", "", {Variant("/srv")});
        form->Manager = Variant(std::static_pointer_cast<com::IDispatch>(fresh));
        form->AfterContext();
        ScriptedUser u;
        form->LoadDocumentList();
        EXPECT_EQ(u.DialogTexts(), c.dialogs);
        EXPECT_EQ(form->lview02->Items()->Count(), 0);
    }
}

TEST_F(DocumentList, SelectingARowOpensItsAddressOnce) {
    Documents(3);
    manager->Validator()->SetRow("ADMMS", "01", "", {Variant("/srv/docs")});
    form->LoadDocumentList();
    const std::string log = root.File("opened.txt");
    const std::string handler = root.Write("open.sh", "#!/bin/sh\necho \"$@\" >> '" + log + "'\n");
    chmod(handler.c_str(), 0755);
    ScopedEnv shell("KPA_SHELL_OPEN", handler);
    form->Show();
    form->lview02->SelectItem(1);
    form->lview02->SelectItem(2);  // moving on deselects row 1 (no opening) and selects row 2
    std::string opened;
    for (int i = 0; i < 100 && std::count(opened.begin(), opened.end(), '\n') < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        opened = ReadFile(log);
    }
    // The handlers run on their own: their lines may come in either order.
    rtl::TStringList lines;
    lines.SetText(opened);
    lines.Sort();
    EXPECT_EQ(lines.ToVector(), (std::vector<std::string>{"/srv/docs/C01/KPA/KPAH02.htm", "/srv/docs/C01/KPA/KPAH03.htm"}));
}

}  // namespace
