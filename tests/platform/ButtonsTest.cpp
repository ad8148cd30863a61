// Speed buttons and bitmap buttons: groups, glyph strips, kinds and layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

using namespace ui;

namespace {

class SpeedButtons : public ::testing::Test {
protected:
    TPanel* bar = nullptr;
    std::vector<std::string> clicks;
    void SetUp() override { bar = new TPanel(nullptr); }
    void TearDown() override { bar->Free(); }
    TSpeedButton* Button(const char* name, int group) {
        auto* b = new TSpeedButton(bar);
        b->SetName(name);
        b->SetParent(bar);
        b->SetGroupIndex(group);
        b->OnClick = TNotifyEvent::Lambda([this, name](TObject*) { clicks.push_back(name); });
        return b;
    }
};

std::string Downs(const std::vector<TSpeedButton*>& buttons) {
    std::string s;
    for (const TSpeedButton* b : buttons) s += b->Down() ? '1' : '0';
    return s;
}

}  // namespace

TEST_F(SpeedButtons, AGroupKeepsOneButtonDown) {
    TSpeedButton* a = Button("a", 1);
    TSpeedButton* b = Button("b", 1);
    TSpeedButton* c = Button("c", 1);
    TSpeedButton* other = Button("other", 2);
    TSpeedButton* plain = Button("plain", 0);
    const std::vector<TSpeedButton*> all{a, b, c, other, plain};
    other->SetDown(true);

    a->UserClick();
    EXPECT_EQ(Downs(all), "10010");
    b->UserClick();
    EXPECT_EQ(Downs(all), "01010");
    b->UserClick();  // the last one down stays down, and still clicks
    EXPECT_EQ(Downs(all), "01010");
    b->SetDown(false);
    EXPECT_TRUE(b->Down());
    plain->UserClick();
    plain->SetDown(true);  // a button of no group is never down
    EXPECT_EQ(Downs(all), "01010");
    EXPECT_EQ(clicks, (std::vector<std::string>{"a", "b", "b", "plain"}));

    a->SetAllowAllUp(true);  // given to the whole group
    EXPECT_TRUE(b->AllowAllUp());
    EXPECT_TRUE(c->AllowAllUp());
    EXPECT_FALSE(other->AllowAllUp());
    b->UserClick();
    EXPECT_EQ(Downs(all), "00010");

    // The mouse itself: a release outside the button is no click.
    clicks.clear();
    c->Perform(WM_LBUTTONDOWN, 0, 0);
    c->Perform(WM_LBUTTONUP, 0, (5 << 16) | 0xFFFB);  // x = -5
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(c->Down());
    c->Perform(WM_LBUTTONDOWN, 0, 0);
    c->Perform(WM_LBUTTONUP, 0, (5 << 16) | 5);
    EXPECT_EQ(clicks, std::vector<std::string>{"c"});
    EXPECT_TRUE(c->Down());
    c->SetEnabled(false);
    c->UserClick();
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(SpeedButtons, AGlyphStripSetsTheNumberOfPictures) {
    TSpeedButton* b = Button("b", 0);
    struct Case {
        int w, h;
        int numGlyphs;  // after the glyph is given
    } cases[] = {{16, 16, 1}, {32, 16, 2}, {64, 16, 4}, {80, 16, 1}, {20, 16, 1}, {32, 16, 2}, {20, 16, 2}};
    for (const Case& c : cases) {
        TBitmap glyph(c.w, c.h);
        b->SetGlyph(&glyph);
        EXPECT_EQ(b->NumGlyphs(), c.numGlyphs) << c.w << "x" << c.h;
        EXPECT_EQ(b->Glyph()->Width(), c.w);
    }
    b->Glyph()->SetSize(48, 16);  // changed in place: the count stays
    EXPECT_EQ(b->NumGlyphs(), 2);
    b->SetNumGlyphs(0);
    EXPECT_EQ(b->NumGlyphs(), 2);
    b->SetNumGlyphs(-3);
    EXPECT_EQ(b->NumGlyphs(), 1);
    b->SetNumGlyphs(9);
    EXPECT_EQ(b->NumGlyphs(), 4);
}

TEST(ButtonGlyphs, EachStateHasItsPicture) {
    TBitmap strip(6, 2);  // three pictures of 2 x 2
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 2; ++y) strip.SetPixels(x, y, x < 2 ? clRed : x < 4 ? clGreen : clBlue);
    }
    strip.SetPixels(0, 1, clOlive);  // the transparent corner of the first picture
    TButtonGlyph g;
    g.SetGlyph(&strip);
    ASSERT_EQ(g.NumGlyphs(), 3);
    TBitmap out;
    struct Case {
        TButtonState state;
        TColor color;
    } cases[] = {{TButtonState::bsUp, clRed}, {TButtonState::bsDisabled, clGreen}, {TButtonState::bsDown, clBlue},
                 {TButtonState::bsExclusive, clBlue}};
    for (const Case& c : cases) {
        g.GetStateBitmap(c.state, &out);
        EXPECT_EQ(out.Width(), 2);
        EXPECT_EQ(out.Pixels(1, 0), c.color) << static_cast<int>(c.state);
    }
    // One picture only: the disabled one is drawn from it in the shadow colour, less the
    // transparent colour.
    g.SetNumGlyphs(1);
    g.SetGlyph(nullptr);
    TBitmap single(2, 2);
    single.SetPixels(0, 0, clRed);
    single.SetPixels(0, 1, clOlive);
    g.SetGlyph(&single);
    g.GetStateBitmap(TButtonState::bsDisabled, &out);
    EXPECT_EQ(static_cast<uint32_t>(out.Pixels(0, 0)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(out.Pixels(0, 1), clOlive);
}

TEST(ButtonLayouts, GlyphAndCaptionArePlacedAsTheClassLibraryDoes) {
    TFont font;  // 12 pixels high: "OK" is 12 x 12
    const TRect client{0, 0, 100, 30};
    struct Case {
        const char* name;
        std::string caption;
        TButtonLayout layout;
        int margin, spacing;
        TPoint glyph;
        TRect text;
    } cases[] = {
        {"left, centred", "OK", TButtonLayout::blGlyphLeft, -1, 4, {34, 7}, {54, 9, 66, 21}},
        {"right with a margin", "OK", TButtonLayout::blGlyphRight, 5, 4, {79, 7}, {63, 9, 75, 21}},
        {"top, spread", "OK", TButtonLayout::blGlyphTop, -1, -1, {42, 0}, {44, 16, 56, 28}},
        {"bottom with a margin", "OK", TButtonLayout::blGlyphBottom, 2, 3, {42, 12}, {44, -3, 56, 9}},
        {"accelerator mark not measured", "&OK", TButtonLayout::blGlyphLeft, -1, 4, {34, 7}, {54, 9, 66, 21}},
        {"no caption: no spacing", "", TButtonLayout::blGlyphLeft, -1, 4, {42, 7}, {58, 15, 58, 15}},
        {"margin given, spacing spread", "OK", TButtonLayout::blGlyphLeft, 10, -1, {10, 7}, {57, 9, 69, 21}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPoint glyph;
        TRect text;
        CalcButtonLayout(font, client, TPoint{}, c.caption, 16, 16, c.layout, c.margin, c.spacing, glyph, text);
        EXPECT_EQ(glyph, c.glyph);
        EXPECT_EQ(text, c.text);
    }
    // A pressed speed button moves its face one pixel; the frame takes two pixels (one flat).
    TSpeedButton* b = new TSpeedButton(nullptr);
    b->SetGroupIndex(1);
    TPoint up, down;
    TRect text;
    b->GetLayout(up, text);
    b->SetDown(true);
    b->GetLayout(down, text);
    EXPECT_EQ(down.X - up.X, 1);
    EXPECT_EQ(down.Y - up.Y, 1);
    b->Free();
}

TEST(BitButtons, KindSetsCaptionResultDefaultAndCancel) {
    struct Case {
        const char* kind;
        const char* caption;
        int result;
        bool isDefault, isCancel;
    } cases[] = {
        {"bkOK", "OK", mrOk, true, false},          {"bkCancel", "Cancel", mrCancel, false, true},
        {"bkYes", "&Yes", mrYes, true, false},      {"bkNo", "&No", mrNo, false, true},
        {"bkHelp", "&Help", mrNone, false, false},  {"bkClose", "&Close", mrNone, false, false},
        {"bkAbort", "Abort", mrAbort, false, false}, {"bkRetry", "&Retry", mrRetry, false, false},
        {"bkIgnore", "&Ignore", mrIgnore, false, false}, {"bkAll", "&All", mrAll, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        TBitBtn* b = new TBitBtn(nullptr);
        b->SetCaption("mine");
        SetPropText(b, "Kind", c.kind);
        EXPECT_EQ(GetPropText(b, "Kind"), c.kind);
        EXPECT_EQ(b->Caption(), c.caption);
        EXPECT_EQ(b->ModalResult(), c.result);
        EXPECT_EQ(b->Default(), c.isDefault);
        EXPECT_EQ(b->Cancel(), c.isCancel);
        EXPECT_EQ(b->NumGlyphs(), 2);
        EXPECT_EQ(b->Glyph()->Width(), 36);
        EXPECT_EQ(b->Glyph()->Height(), 18);
        EXPECT_NE(b->Glyph()->Pixels(9, 9), b->Glyph()->Pixels(27, 9));  // normal and disabled differ
        b->Free();
    }
    // A change of what the kind set makes the button a custom one again; the caption does not.
    TBitBtn* b = new TBitBtn(nullptr);
    b->SetKind(TBitBtnKind::bkOK);
    b->SetCaption("确定");
    EXPECT_EQ(b->Kind(), TBitBtnKind::bkOK);
    b->SetModalResult(mrYes);
    EXPECT_EQ(b->Kind(), TBitBtnKind::bkCustom);
    b->SetKind(TBitBtnKind::bkCancel);
    b->SetDefault(true);
    EXPECT_EQ(b->Kind(), TBitBtnKind::bkCustom);
    b->SetKind(TBitBtnKind::bkNo);
    TBitmap glyph(16, 16);
    b->SetGlyph(&glyph);
    EXPECT_EQ(b->Kind(), TBitBtnKind::bkCustom);
    EXPECT_EQ(b->NumGlyphs(), 1);
    b->Free();
}

TEST(BitButtons, ACloseButtonClosesItsForm) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* close = new TBitBtn(form);
    close->SetParent(form);
    close->SetKind(TBitBtnKind::bkClose);
    auto* ok = new TBitBtn(form);
    ok->SetParent(form);
    ok->SetKind(TBitBtnKind::bkOK);
    int clicks = 0;
    close->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    form->Show();
    close->Click();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(clicks, 0);  // closing replaces the click
    ok->Click();
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(clicks, 1);
    form->Free();
}
