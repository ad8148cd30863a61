#include <gtest/gtest.h>

#include "lib/LibStrs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

namespace {

TEST(PropertyRoutines, ReadAndWriteByName) {
    ui::TForm* form = ui::CreateForm<ui::TForm>(nullptr);
    auto* edit = new ui::TEdit(form);
    edit->SetParent(form);
    SetStrPropByName(edit, "Text", "abc");
    EXPECT_EQ(GetStrPropByName(edit, "text"), "abc");
    SetOrdPropByName(edit, "Width", 99);
    EXPECT_EQ(GetOrdPropByName(edit, "Width"), 99);
    SetOrdPropByName(edit, "Enabled", 0);
    EXPECT_FALSE(edit->Enabled());
    EXPECT_TRUE(HasProperty(edit, "MaxLength"));
    EXPECT_FALSE(HasProperty(edit, "Checked"));
    // Missing, empty, absent and mismatched: answers are empty and nothing changes.
    EXPECT_EQ(GetStrPropByName(nullptr, "Text"), "");
    EXPECT_EQ(GetStrPropByName(edit, ""), "");
    EXPECT_EQ(GetStrPropByName(edit, "Nope"), "");
    EXPECT_EQ(GetStrPropByName(edit, "Width"), "");
    EXPECT_EQ(GetOrdPropByName(edit, "Text"), 0);
    EXPECT_FALSE(HasProperty(nullptr, "Text"));
    SetStrPropByName(edit, "Nope", "x");
    SetOrdPropByName(nullptr, "Width", 1);
    SetStrPropByName(edit, "Width", "5");
    EXPECT_EQ(edit->Width(), 99);
    // Event handlers, saved and put back by name.
    int clicks = 0;
    edit->OnChange = ui::TNotifyEvent::Lambda([&](ui::TObject*) { ++clicks; });
    const ui::TMethod saved = GetMethodPropByName(edit, "OnChange");
    EXPECT_TRUE(saved.Assigned());
    SetMethodPropByName(edit, "OnChange", ui::TMethod());
    edit->SetText("x");
    EXPECT_EQ(clicks, 0);
    SetMethodPropByName(edit, "OnChange", saved);
    edit->SetText("y");
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(GetMethodPropByName(edit, "OnNothing").Assigned());
    EXPECT_FALSE(GetMethodPropByName(edit, "Text").Assigned());
    form->Free();
}

}  // namespace
