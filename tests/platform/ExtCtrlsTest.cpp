// Panels, splitters, bevels and images: geometry as the class library computes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

using namespace ui;

namespace {

// Components without an owner, freed at the end of a test.
class Owned : public ::testing::Test {
protected:
    TPanel* root = nullptr;
    void SetUp() override {
        root = new TPanel(nullptr);
        root->SetBevelOuter(TBevelCut::bvNone);
        root->SetBounds(0, 0, 400, 200);
    }
    void TearDown() override { root->Free(); }
    template <typename T>
    T* Make(TWinControl* parent) {
        T* c = new T(root);
        c->SetParent(parent);
        return c;
    }
};

using Panels = Owned;
using Splitters = Owned;

}  // namespace

TEST_F(Panels, ChildrenAreAlignedInsideBorderAndBevels) {
    struct Case {
        const char* name;
        TBorderStyle border;
        bool ctl3D;
        int borderWidth;
        TBevelCut outer, inner;
        int bevelWidth;
        TRect child;  // of an alClient child in a 200 x 100 panel
    } cases[] = {
        {"defaults: raised outer bevel", TBorderStyle::bsNone, true, 0, TBevelCut::bvRaised, TBevelCut::bvNone, 1, {1, 1, 199, 99}},
        {"no bevels", TBorderStyle::bsNone, true, 0, TBevelCut::bvNone, TBevelCut::bvNone, 1, {0, 0, 200, 100}},
        {"single border, 3D", TBorderStyle::bsSingle, true, 0, TBevelCut::bvRaised, TBevelCut::bvNone, 1, {1, 1, 195, 95}},
        {"single border, flat", TBorderStyle::bsSingle, false, 0, TBevelCut::bvRaised, TBevelCut::bvNone, 1, {1, 1, 197, 97}},
        {"border width and both bevels", TBorderStyle::bsNone, true, 3, TBevelCut::bvLowered, TBevelCut::bvSpace, 2, {7, 7, 193, 93}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPanel* p = Make<TPanel>(root);
        p->SetBounds(0, 0, 200, 100);
        TPanel* child = Make<TPanel>(p);
        child->SetAlign(TAlign::alClient);
        // Set after the child is in place: the panel aligns again.
        p->SetBorderStyle(c.border);
        p->SetCtl3D(c.ctl3D);
        p->SetBorderWidth(c.borderWidth);
        p->SetBevelOuter(c.outer);
        p->SetBevelInner(c.inner);
        p->SetBevelWidth(c.bevelWidth);
        EXPECT_EQ(child->BoundsRect(), c.child);
        p->Free();
    }
}

TEST_F(Panels, AlignedChildrenShareTheClientArea) {
    TPanel* p = Make<TPanel>(root);
    p->SetBounds(0, 0, 200, 100);
    TPanel* top = Make<TPanel>(p);
    top->SetHeight(20);
    top->SetAlign(TAlign::alTop);
    TPanel* left = Make<TPanel>(p);
    left->SetWidth(30);
    left->SetAlign(TAlign::alLeft);
    TPanel* rest = Make<TPanel>(p);
    rest->SetAlign(TAlign::alClient);
    EXPECT_EQ(top->BoundsRect(), (TRect{1, 1, 199, 21}));
    EXPECT_EQ(left->BoundsRect(), (TRect{1, 21, 31, 99}));
    EXPECT_EQ(rest->BoundsRect(), (TRect{31, 21, 199, 99}));
    p->SetWidth(300);
    EXPECT_EQ(rest->BoundsRect(), (TRect{31, 21, 299, 99}));
    EXPECT_EQ(p->Caption(), "");
    EXPECT_EQ(p->Alignment(), TAlignment::taCenter);
}

TEST_F(Splitters, ADragResizesTheNeighbour) {
    TPanel* left = Make<TPanel>(root);
    left->SetWidth(100);
    left->SetAlign(TAlign::alLeft);
    TSplitter* split = Make<TSplitter>(root);
    split->SetLeft(100);  // after the panel
    EXPECT_EQ(split->Align(), TAlign::alLeft);
    TPanel* rest = Make<TPanel>(root);
    rest->SetAlign(TAlign::alClient);
    ASSERT_EQ(split->BoundsRect(), (TRect{100, 0, 103, 200}));
    std::vector<int> moved;
    split->OnMoved = TNotifyEvent::Lambda([&](TObject*) { moved.push_back(left->Width()); });

    EXPECT_TRUE(split->MoveTo(150));
    EXPECT_EQ(left->Width(), 150);
    EXPECT_EQ(split->Left(), 150);
    EXPECT_EQ(rest->BoundsRect(), (TRect{153, 0, 400, 200}));
    EXPECT_EQ(moved, std::vector<int>{150});

    // At most what leaves MinSize to the rest: 400 - 30 - (150 + 3) + 150.
    split->MoveTo(390);
    EXPECT_EQ(left->Width(), 367);
    split->MoveTo(150);

    // OnCanResize may change the size or refuse it.
    split->OnCanResize = TCanResizeEvent::Lambda([](TObject*, int& size, bool&) { size = 120; });
    split->MoveTo(200);
    EXPECT_EQ(left->Width(), 120);
    split->OnCanResize = TCanResizeEvent::Lambda([](TObject*, int&, bool& accept) { accept = false; });
    moved.clear();
    split->MoveTo(60);
    EXPECT_EQ(left->Width(), 120);
    EXPECT_TRUE(moved.empty());
    split->OnCanResize.Clear();

    // Down to MinSize the neighbour collapses (AutoSnap), else it keeps MinSize.
    split->MoveTo(10);
    EXPECT_EQ(left->Width(), 0);
    EXPECT_EQ(split->Left(), 0);
    split->SetAutoSnap(false);
    split->MoveTo(80);
    EXPECT_EQ(left->Width(), 80);
    split->MoveTo(5);
    EXPECT_EQ(left->Width(), 30);
}

TEST_F(Splitters, RightAndBottomSplittersGrowTheirNeighbourTheOtherWay) {
    TPanel* right = Make<TPanel>(root);
    right->SetWidth(100);
    right->SetAlign(TAlign::alRight);
    TSplitter* split = Make<TSplitter>(root);
    split->SetLeft(290);
    split->SetAlign(TAlign::alRight);
    ASSERT_EQ(split->Left(), 297);
    EXPECT_TRUE(split->MoveTo(250));
    EXPECT_EQ(right->BoundsRect(), (TRect{253, 0, 400, 200}));
    EXPECT_EQ(split->Left(), 250);

    TPanel* bottom = Make<TPanel>(root);
    bottom->SetHeight(50);
    bottom->SetAlign(TAlign::alBottom);
    TSplitter* hsplit = Make<TSplitter>(root);
    hsplit->SetAlign(TAlign::alNone);
    hsplit->SetBounds(0, 140, 10, 3);
    hsplit->SetAlign(TAlign::alBottom);
    EXPECT_EQ(hsplit->Cursor(), -15);  // crVSplit
    EXPECT_EQ(GetPropText(hsplit, "Cursor"), "crVSplit");
    ASSERT_EQ(hsplit->Top(), 147);
    hsplit->MoveTo(127);
    EXPECT_EQ(bottom->Height(), 70);
    EXPECT_EQ(bottom->Top(), 130);
}

TEST_F(Splitters, WithoutANeighbourNothingMoves) {
    TSplitter* split = Make<TSplitter>(root);
    split->SetAlign(TAlign::alNone);
    split->SetLeft(50);
    EXPECT_FALSE(split->MoveTo(80));
    EXPECT_EQ(split->Left(), 50);
}

TEST(Images, DestRectFollowsStretchCenterAndProportional) {
    TImage* image = new TImage(nullptr);
    image->SetBounds(0, 0, 100, 100);
    image->Picture()->SetSize(40, 20);
    struct Case {
        bool stretch, center, proportional;
        TRect dest;
    } cases[] = {
        {false, false, false, {0, 0, 40, 20}},  {false, true, false, {30, 40, 70, 60}},
        {true, false, false, {0, 0, 100, 100}}, {true, false, true, {0, 0, 100, 50}},
        {true, true, true, {0, 25, 100, 75}},   {false, false, true, {0, 0, 40, 20}},
    };
    for (const Case& c : cases) {
        image->SetStretch(c.stretch);
        image->SetCenter(c.center);
        image->SetProportional(c.proportional);
        EXPECT_EQ(image->DestRect(), c.dest) << c.stretch << c.center << c.proportional;
    }
    // A picture larger than the control shrinks with Proportional alone.
    image->SetStretch(false);
    image->SetCenter(false);
    image->Picture()->SetSize(50, 200);
    EXPECT_EQ(image->DestRect(), (TRect{0, 0, 25, 100}));
    image->Free();
}

TEST(Images, AutoSizeAndTransparencyFollowThePicture) {
    TImage* image = new TImage(nullptr);
    EXPECT_EQ(image->Width(), 105);
    image->SetAutoSize(true);
    image->Picture()->SetSize(40, 20);
    EXPECT_EQ(image->Width(), 40);
    EXPECT_EQ(image->Height(), 20);
    TBitmap bigger(64, 32);
    image->SetPicture(&bigger);
    EXPECT_EQ(image->Width(), 64);
    EXPECT_FALSE(image->Picture()->Transparent());
    image->SetTransparent(true);
    EXPECT_TRUE(image->Picture()->Transparent());
    image->SetPicture(&bigger);  // a new picture takes the image's transparency
    EXPECT_TRUE(image->Picture()->Transparent());
    image->Canvas()->Brush()->SetColor(clRed);
    image->Canvas()->FillRect(0, 0, 1, 1);
    EXPECT_EQ(image->Picture()->Pixels(0, 0), clRed);
    image->Free();
}
