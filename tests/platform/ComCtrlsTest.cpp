// Page controls, list views, tool bars and status bars.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

using namespace ui;

namespace {

class Owned : public ::testing::Test {
protected:
    TPanel* root = nullptr;
    std::vector<std::string> log;
    void SetUp() override { root = new TPanel(nullptr); }
    void TearDown() override { root->Free(); }
    template <typename T>
    T* Make(TWinControl* parent, const char* name = nullptr) {
        T* c = new T(root);
        if (name) c->SetName(name);
        if (parent) c->SetParent(parent);
        return c;
    }
};

using PageControls = Owned;
using ListViews = Owned;
using ToolBars = Owned;

const char* ChangeName(TItemChange c) {
    switch (c) {
        case TItemChange::ctText: return "text";
        case TItemChange::ctImage: return "image";
        case TItemChange::ctState: return "state";
    }
    return "?";
}

}  // namespace

// ---- Page controls -----------------------------------------------------------------------------

TEST_F(PageControls, SheetsFillTheDisplayRectangle) {
    TPageControl* pc = Make<TPageControl>(root);
    pc->SetBounds(0, 0, 300, 200);
    pc->Font()->SetHeight(-13);  // tab rows of 13 + 5
    TTabSheet* ts1 = Make<TTabSheet>(nullptr, "ts1");
    ts1->SetPageControl(pc);
    ts1->SetCaption("基本选项");
    TTabSheet* ts2 = Make<TTabSheet>(pc, "ts2");  // parenting makes it a page too
    ts2->SetCaption("系统选项");
    TPanel* inner = Make<TPanel>(ts1);
    inner->SetAlign(TAlign::alClient);
    inner->SetBevelOuter(TBevelCut::bvNone);

    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(ts2->PageControl(), pc);
    EXPECT_EQ(pc->ActivePage(), nullptr);
    EXPECT_EQ(pc->ActivePageIndex(), -1);
    EXPECT_FALSE(ts1->Visible());
    pc->SetActivePageIndex(0);
    EXPECT_TRUE(ts1->Visible());
    EXPECT_FALSE(ts2->Visible());
    EXPECT_EQ(pc->TabIndex(), 0);
    EXPECT_EQ(ts1->BoundsRect(), (TRect{4, 24, 296, 196}));
    EXPECT_EQ(inner->BoundsRect(), (TRect{0, 0, 292, 172}));
    EXPECT_EQ(pc->TabRect(0), (TRect{2, 2, 66, 20}));  // four wide characters + 12
    EXPECT_EQ(pc->TabRect(1), (TRect{66, 2, 130, 20}));

    struct Case {
        const char* name;
        TTabPosition position;
        TTabStyle style;
        bool multiLine;
        int width;
        TRect page;
    } cases[] = {
        {"tabs below", TTabPosition::tpBottom, TTabStyle::tsTabs, false, 300, {4, 4, 296, 176}},
        {"tabs left", TTabPosition::tpLeft, TTabStyle::tsTabs, false, 300, {24, 4, 296, 196}},
        {"buttons", TTabPosition::tpTop, TTabStyle::tsButtons, false, 300, {0, 21, 300, 200}},
        {"two rows", TTabPosition::tpTop, TTabStyle::tsTabs, true, 100, {4, 42, 96, 196}},
        {"one row when not multi-line", TTabPosition::tpTop, TTabStyle::tsTabs, false, 100, {4, 24, 96, 196}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pc->SetTabPosition(c.position);
        pc->SetStyle(c.style);
        pc->SetMultiLine(c.multiLine);
        pc->SetWidth(c.width);
        EXPECT_EQ(ts1->BoundsRect(), c.page);
    }
    pc->SetMultiLine(true);
    EXPECT_EQ(pc->RowCount(), 2);
    EXPECT_EQ(pc->TabRect(1), (TRect{2, 20, 66, 38}));
    pc->SetTabHeight(30);
    EXPECT_EQ(ts1->Top(), 4 + 2 * 30 + 2);
}

TEST_F(PageControls, TheUsersChoiceAsksAndTells) {
    TPageControl* pc = Make<TPageControl>(root);
    TTabSheet* pages[3];
    const char* names[] = {"ts1", "ts2", "ts3"};
    for (int i = 0; i < 3; ++i) {
        pages[i] = Make<TTabSheet>(pc, names[i]);
        TTabSheet* p = pages[i];
        p->OnShow = TNotifyEvent::Lambda([this, p](TObject*) { log.push_back("show " + p->Name()); });
        p->OnHide = TNotifyEvent::Lambda([this, p](TObject*) { log.push_back("hide " + p->Name()); });
    }
    bool allow = true;
    pc->OnChanging = TTabChangingEvent::Lambda([&](TObject*, bool& ok) {
        log.push_back("changing");
        ok = allow;
    });
    pc->OnChange = TNotifyEvent::Lambda([&](TObject*) { log.push_back("change"); });
    pc->SetActivePage(pages[0]);
    EXPECT_EQ(log, std::vector<std::string>{"show ts1"});  // in code: no asking

    log.clear();
    EXPECT_TRUE(pc->SelectPage(pages[1]));
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "show ts2", "hide ts1", "change"}));
    EXPECT_EQ(GetPropText(pc, "ActivePage"), "ts2");

    log.clear();
    allow = false;
    EXPECT_FALSE(pc->SelectPage(pages[0]));
    EXPECT_EQ(log, std::vector<std::string>{"changing"});
    EXPECT_EQ(pc->ActivePage(), pages[1]);
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), pages[1]);
    allow = true;

    log.clear();
    EXPECT_FALSE(pc->SelectPage(pages[1]));  // already active
    pages[2]->SetTabVisible(false);
    EXPECT_FALSE(pc->SelectPage(pages[2]));  // no tab to click
    EXPECT_TRUE(log.empty());
    pc->SelectNextPage(true);  // past the hidden tab, round to the first
    EXPECT_EQ(pc->ActivePage(), pages[0]);
    pc->SelectNextPage(false);
    EXPECT_EQ(pc->ActivePage(), pages[1]);
    pc->SelectNextPage(true, false);
    EXPECT_EQ(pc->ActivePage(), pages[2]);
    EXPECT_EQ(pc->TabIndex(), -1);
    EXPECT_TRUE(pc->SelectTab(0));
    EXPECT_EQ(pc->ActivePage(), pages[0]);
    pc->SetEnabled(false);
    EXPECT_FALSE(pc->SelectPage(pages[1]));

    log.clear();
    pc->Free();  // the pages go with it, without events
    EXPECT_TRUE(log.empty());
}

TEST_F(PageControls, PageOrderAndTabVisibility) {
    TPageControl* pc = Make<TPageControl>(root);
    TTabSheet* a = Make<TTabSheet>(pc, "a");
    TTabSheet* b = Make<TTabSheet>(pc, "b");
    TTabSheet* c = Make<TTabSheet>(pc, "c");
    c->SetPageIndex(0);
    EXPECT_EQ(pc->Pages(0), c);
    EXPECT_EQ(a->PageIndex(), 1);
    EXPECT_EQ(GetPropText(b, "PageIndex"), "2");
    try {
        a->SetPageIndex(5);
        FAIL() << "no error";
    } catch (const rtl::EListError& e) {
        EXPECT_STREQ(e.what(), "5 is an invalid PageIndex value.  PageIndex must be between 0 and 2");
    }
    EXPECT_THROW(pc->Pages(3), rtl::EListError);

    // Pages c, a, b. Hiding the active page's tab moves to the tab in its place.
    pc->SetActivePage(a);
    a->SetTabVisible(false);
    EXPECT_EQ(a->TabIndex(), -1);
    EXPECT_EQ(b->TabIndex(), 1);
    EXPECT_EQ(pc->ActivePage(), b);
    b->SetTabVisible(false);  // the last tab: the one before takes over
    EXPECT_EQ(pc->ActivePage(), c);
    c->SetTabVisible(false);  // no tab left: the page stays
    EXPECT_EQ(pc->ActivePage(), c);
    EXPECT_EQ(pc->TabCount(), 0);
    for (TTabSheet* p : {a, b, c}) p->SetTabVisible(true);

    // Losing the active page selects the next one; losing another page keeps the selection.
    pc->SetActivePage(a);
    a->Free();
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_TRUE(b->Visible());
    c->Free();
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_EQ(pc->PageCount(), 1);
    b->SetParent(root);  // moved off the page control
    EXPECT_EQ(pc->PageCount(), 0);
    EXPECT_EQ(pc->ActivePage(), nullptr);
    EXPECT_EQ(b->PageControl(), nullptr);
}

TEST(PageControlFocus, TheFocusMovesToTheNewPageUnlessAnExitKeepsIt) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* pc = new TPageControl(form);
    pc->SetParent(form);
    pc->SetAlign(TAlign::alClient);
    auto* ts1 = new TTabSheet(form);
    ts1->SetPageControl(pc);
    auto* ts2 = new TTabSheet(form);
    ts2->SetPageControl(pc);
    auto* e1 = new TEdit(form);
    e1->SetParent(ts1);
    auto* e2 = new TEdit(form);
    e2->SetParent(ts2);
    pc->SetActivePage(ts1);
    form->Show();
    EXPECT_EQ(form->ActiveControl(), pc);  // first in tab order
    e1->SetFocus();

    int changes = 0;
    pc->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    pc->SelectPage(ts2);
    EXPECT_EQ(pc->ActivePage(), ts2);
    EXPECT_EQ(form->ActiveControl(), e2);

    // An exit handler that keeps the focus keeps the page; OnChange is told all the same.
    e2->OnExit = TNotifyEvent::Lambda([&](TObject*) { e2->SetFocus(); });
    pc->SelectPage(ts1);
    EXPECT_EQ(pc->ActivePage(), ts2);
    EXPECT_EQ(form->ActiveControl(), e2);
    EXPECT_EQ(changes, 2);
    e2->OnExit.Clear();
    form->Free();
}

// ---- List views --------------------------------------------------------------------------------

TEST_F(ListViews, SelectionEventsComeInTheWindowSystemsOrder) {
    TListView* lv = Make<TListView>(root);
    for (const char* c : {"a", "b", "c"}) lv->Items()->Add()->SetCaption(c);
    lv->OnChange = TLVChangeEvent::Lambda(
        [this](TObject*, TListItem* i, TItemChange c) { log.push_back("change " + i->Caption() + " " + ChangeName(c)); });
    lv->OnSelectItem = TLVSelectItemEvent::Lambda(
        [this](TObject*, TListItem* i, bool on) { log.push_back((on ? "select " : "deselect ") + i->Caption()); });
    lv->OnClick = TNotifyEvent::Lambda([this](TObject*) { log.push_back("click"); });
    TListItem* a = lv->Items()->Item(0);
    TListItem* b = lv->Items()->Item(1);
    TListItem* c = lv->Items()->Item(2);

    lv->SelectItem(0);
    EXPECT_EQ(log, (std::vector<std::string>{"change a state", "select a", "click"}));
    log.clear();
    lv->SelectItem(2);
    EXPECT_EQ(log, (std::vector<std::string>{"change a state", "change a state", "deselect a", "change c state", "select c",
                                             "click"}));
    EXPECT_EQ(lv->ItemFocused(), c);
    log.clear();
    lv->SelectItem(2);  // nothing changes: only the click
    EXPECT_EQ(log, std::vector<std::string>{"click"});

    log.clear();
    b->SetSelected(true);  // in code: the other goes first, the focus stays
    EXPECT_EQ(log, (std::vector<std::string>{"change c state", "deselect c", "change b state", "select b"}));
    EXPECT_EQ(lv->ItemFocused(), c);
    EXPECT_EQ(lv->Selected(), b);
    EXPECT_EQ(lv->ItemIndex(), 1);

    log.clear();
    lv->OnChanging = TLVChangingEvent::Lambda([&](TObject*, TListItem* i, TItemChange, bool& allow) { allow = i != a; });
    a->SetSelected(true);
    EXPECT_EQ(log, (std::vector<std::string>{"change b state", "deselect b"}));
    EXPECT_FALSE(a->Selected());
    EXPECT_EQ(lv->Selected(), nullptr);
    lv->OnChanging.Clear();

    log.clear();
    lv->SelectItem(-1);  // beside the items
    EXPECT_EQ(log, std::vector<std::string>{"click"});
    a->SetCaption("A");
    EXPECT_EQ(log.back(), "change A text");
    a->SetImageIndex(3);
    EXPECT_EQ(log.back(), "change A image");
}

TEST_F(ListViews, MultiSelectionWithCtrlAndShift) {
    TListView* lv = Make<TListView>(root);
    lv->SetMultiSelect(true);
    for (const char* c : {"a", "b", "c", "d"}) lv->Items()->Add()->SetCaption(c);
    auto selected = [&] {
        std::string s;
        for (int i = 0; i < lv->Items()->Count(); ++i) s += lv->Items()->Item(i)->Selected() ? '1' : '0';
        return s;
    };
    lv->SelectItem(0);
    lv->SelectItem(2, ssCtrl);
    EXPECT_EQ(selected(), "1010");
    EXPECT_EQ(lv->SelCount(), 2);
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(0));
    lv->SelectItem(3, ssShift);  // from the last Ctrl-clicked item
    EXPECT_EQ(selected(), "0011");
    EXPECT_EQ(lv->ItemFocused(), lv->Items()->Item(3));
    lv->SelectItem(2, ssCtrl);
    EXPECT_EQ(selected(), "0001");
    lv->SelectItem(1);
    EXPECT_EQ(selected(), "0100");
    lv->SelectAll();
    EXPECT_EQ(lv->SelCount(), 4);
    lv->SetItemIndex(-1);
    EXPECT_EQ(lv->SelCount(), 0);
    lv->SetItemIndex(2);
    EXPECT_EQ(selected(), "0010");
    EXPECT_THROW(lv->SetItemIndex(4), rtl::EListError);
}

TEST_F(ListViews, ReportColumnsShareTheClientWidth) {
    TListView* lv = Make<TListView>(root);
    lv->SetBounds(0, 0, 300, 100);  // client 296 inside the border
    lv->SetViewStyle(TViewStyle::vsReport);
    TListColumn* c0 = lv->Columns()->Add();
    c0->SetWidth(100);
    TListColumn* c1 = lv->Columns()->Add();
    c1->SetAutoSize(true);
    TListColumn* c2 = lv->Columns()->Add();
    c2->SetAutoSize(true);
    auto widths = [&] { return std::vector<int>{c0->Width(), c1->Width(), c2->Width()}; };
    EXPECT_EQ(widths(), (std::vector<int>{100, 98, 98}));
    c1->SetMinWidth(120);
    EXPECT_EQ(widths(), (std::vector<int>{100, 120, 76}));
    lv->SetWidth(401);
    EXPECT_EQ(widths(), (std::vector<int>{100, 148, 149}));
    c2->SetMaxWidth(100);
    EXPECT_EQ(widths(), (std::vector<int>{100, 197, 100}));
    lv->SetViewStyle(TViewStyle::vsList);
    lv->SetWidth(600);
    EXPECT_EQ(widths(), (std::vector<int>{100, 197, 100}));  // only a report sizes its columns
    lv->SetViewStyle(TViewStyle::vsReport);
    EXPECT_EQ(widths(), (std::vector<int>{100, 396, 100}));

    lv->Items()->Add()->SetCaption("a");
    lv->Items()->Add()->SetCaption("bbbb");
    c0->SetCaption("标题名称");
    c0->SetWidth(ColumnTextWidth);  // the widest text + 12
    EXPECT_EQ(c0->Width(), 24 + 12);
    c0->SetWidth(ColumnHeaderWidth);  // or the header's
    EXPECT_EQ(c0->Width(), 48 + 12);
    EXPECT_EQ(c0->WidthType(), ColumnHeaderWidth);

    std::vector<int> clicked;
    lv->OnColumnClick = TLVColumnClickEvent::Lambda([&](TObject*, TListColumn* col) { clicked.push_back(col->Index()); });
    lv->ClickColumn(1);
    lv->SetColumnClick(false);
    lv->ClickColumn(2);
    EXPECT_EQ(clicked, std::vector<int>{1});
    EXPECT_EQ(GetObjectProp(lv, "Columns"), lv->Columns());
    EXPECT_EQ(GetPropText(c1, "AutoSize"), "True");
    SetPropText(c1, "Alignment", "taRightJustify");
    EXPECT_EQ(c1->Alignment(), TAlignment::taRightJustify);
}

TEST_F(ListViews, ItemsSortFindEditAndGo) {
    TListView* lv = Make<TListView>(root);
    lv->SetSortType(TSortType::stText);
    int inserted = 0;
    std::vector<std::string> deleted;
    lv->OnInsert = TLVDeletedEvent::Lambda([&](TObject*, TListItem*) { ++inserted; });
    lv->OnDeletion = TLVDeletedEvent::Lambda([&](TObject*, TListItem* i) { deleted.push_back(i->Caption()); });
    int data = 7;
    for (const char* c : {"b", "c", "a"}) {
        TListItem* item = lv->Items()->Add();
        item->SetCaption(c);
        item->SetData(&data);
        item->SubItems()->Add(std::string(c) + "1");
    }
    auto captions = [&] {
        std::string s;
        for (int i = 0; i < lv->Items()->Count(); ++i) s += lv->Items()->Item(i)->Caption() + ",";
        return s;
    };
    EXPECT_EQ(captions(), "a,b,c,");
    EXPECT_EQ(inserted, 3);
    EXPECT_EQ(lv->Items()->Item(0)->ImageIndex(), 0);
    EXPECT_EQ((*lv->Items()->Item(2)->SubItems())[0], "c1");

    struct Find {
        int start;
        const char* value;
        bool partial, inclusive, wrap;
        const char* found;
    } finds[] = {
        {0, "A", false, true, false, "a"},  {0, "a", false, false, false, nullptr}, {0, "a", false, false, true, "a"},
        {-1, "", true, false, false, "a"}, {1, "C", true, false, false, "c"},       {2, "x", true, true, true, nullptr},
    };
    for (const Find& f : finds) {
        const TListItem* item = lv->FindCaption(f.start, f.value, f.partial, f.inclusive, f.wrap);
        if (f.found) {
            ASSERT_NE(item, nullptr) << f.value;
            EXPECT_EQ(item->Caption(), f.found);
        } else {
            EXPECT_EQ(item, nullptr) << f.value;
        }
    }

    TListItem* b = lv->Items()->Item(1);
    lv->OnEdited = TLVEditedEvent::Lambda([](TObject*, TListItem*, std::string& s) { s = "Z" + s; });
    EXPECT_TRUE(lv->EditItemCaption(b, "x"));
    EXPECT_EQ(b->Caption(), "Zx");
    EXPECT_EQ(captions(), "a,c,Zx,");  // sorted again
    lv->OnEditing = TLVEditingEvent::Lambda([](TObject*, TListItem*, bool& allow) { allow = false; });
    EXPECT_FALSE(lv->EditItemCaption(b, "y"));
    lv->OnEditing.Clear();
    lv->SetReadOnly(true);
    EXPECT_FALSE(lv->EditItemCaption(b, "y"));
    EXPECT_EQ(b->Caption(), "Zx");

    lv->Items()->Item(0)->SetSelected(true);
    lv->Items()->Delete(0);
    EXPECT_EQ(lv->Selected(), nullptr);
    b->Delete();
    EXPECT_EQ(deleted, (std::vector<std::string>{"a", "Zx"}));
    lv->Items()->Add()->SetCaption("d");
    lv->Items()->Clear();
    EXPECT_EQ(deleted, (std::vector<std::string>{"a", "Zx", "c", "d"}));
    EXPECT_EQ(lv->Items()->Count(), 0);
}

TEST_F(ListViews, ImageListsAreForgottenWhenFreed) {
    TListView* lv = Make<TListView>(root);
    auto* small = new TImageList(root);
    small->SetName("ImageList1");
    lv->SetSmallImages(small);
    lv->SetLargeImages(small);
    EXPECT_EQ(GetPropText(lv, "SmallImages"), "ImageList1");
    small->Free();
    EXPECT_EQ(lv->SmallImages(), nullptr);
    EXPECT_EQ(lv->LargeImages(), nullptr);
}

// ---- Tool bars ---------------------------------------------------------------------------------

TEST_F(ToolBars, ButtonsAreLaidOutLeftToRightAndWrap) {
    TToolBar* bar = Make<TToolBar>(root);
    bar->SetAlign(TAlign::alNone);
    bar->SetBounds(0, 0, 200, 29);
    EXPECT_EQ(bar->ClientHeight(), 27);  // the top edge takes two pixels
    TToolButton* b1 = Make<TToolButton>(bar, "b1");
    TToolButton* b2 = Make<TToolButton>(bar, "b2");  // at the left too: it goes first
    EXPECT_EQ(bar->Buttons(0), b2);
    EXPECT_EQ(b1->Index(), 1);
    auto last = [&](const char* name) {
        auto* b = new TToolButton(root);
        b->SetName(name);
        b->SetLeft(1000);  // right of the others: added at the end
        b->SetParent(bar);
        return b;
    };
    TToolButton* b3 = last("b3");
    TToolButton* sep = last("sep");
    sep->SetStyle(TToolButtonStyle::tbsSeparator);
    TToolButton* b5 = last("b5");
    auto bounds = [&] {
        std::vector<TRect> r;
        for (int i = 0; i < bar->ButtonCount(); ++i) r.push_back(bar->Buttons(i)->BoundsRect());
        return r;
    };
    EXPECT_EQ(bounds(), (std::vector<TRect>{{0, 2, 23, 24}, {23, 2, 46, 24}, {46, 2, 69, 24}, {69, 2, 77, 24}, {77, 2, 100, 24}}));
    EXPECT_EQ(bar->RowCount(), 1);

    bar->SetWidth(60);
    EXPECT_EQ(bounds(), (std::vector<TRect>{{0, 2, 23, 24}, {23, 2, 46, 24}, {0, 24, 23, 46}, {23, 24, 31, 46}, {31, 24, 54, 46}}));
    EXPECT_EQ(bar->RowCount(), 2);
    b1->Hide();  // takes no room
    EXPECT_EQ(b3->BoundsRect(), (TRect{23, 2, 46, 24}));
    EXPECT_EQ(b5->BoundsRect(), (TRect{0, 24, 23, 46}));
    b1->Show();
    bar->SetWrapable(false);
    EXPECT_EQ(b5->BoundsRect(), (TRect{77, 2, 100, 24}));
    b2->SetWrap(true);
    EXPECT_EQ(b1->BoundsRect(), (TRect{0, 24, 23, 46}));
    b2->SetWrap(false);

    bar->SetButtonWidth(30);
    bar->SetIndent(5);
    EXPECT_EQ(b1->BoundsRect(), (TRect{35, 2, 65, 24}));
    b5->SetLeft(0);  // moved to the front
    EXPECT_EQ(bar->Buttons(0), b5);
    bar->SetAutoSize(true);
    EXPECT_EQ(bar->Height(), 2 + 4 + 22);
    bar->SetWrapable(true);  // one 30-pixel button a row in 60 pixels, the separator beside the last
    EXPECT_EQ(bar->RowCount(), 4);
    EXPECT_EQ(bar->Height(), 2 + 4 + 4 * 22);
    SetPropText(bar, "EdgeBorders", "[ebLeft,ebBottom]");
    EXPECT_EQ(bar->ClientWidth(), 58);
    EXPECT_EQ(GetPropText(bar, "EdgeBorders"), "[ebLeft,ebBottom]");

    b3->Free();
    EXPECT_EQ(bar->ButtonCount(), 4);
    b2->SetParent(root);
    EXPECT_EQ(bar->ButtonCount(), 3);
    EXPECT_EQ(b2->ToolBar(), nullptr);
}

namespace {
// A form built the way a stored one is loaded: buttons keep the order they were made in.
class TBarForm : public TForm {
public:
    explicit TBarForm(TComponent* owner) : TForm(owner) {
        bar = new TToolBar(this);
        bar->SetParent(this);
        for (int i = 0; i < 3; ++i) {
            buttons[i] = new TToolButton(this);
            buttons[i]->SetParent(bar);
        }
    }
    TToolBar* bar;
    TToolButton* buttons[3];
};
}  // namespace

TEST(ToolBarLoading, ButtonsOfAStoredFormKeepTheirOrder) {
    auto* form = CreateForm<TBarForm>(nullptr);
    EXPECT_EQ(form->bar->Align(), TAlign::alTop);
    EXPECT_EQ(form->bar->Width(), form->ClientWidth());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form->bar->Buttons(i), form->buttons[i]);
        EXPECT_EQ(form->buttons[i]->Left(), 23 * i);
    }
    form->Free();
}

TEST_F(ToolBars, CheckButtonsAndGroups) {
    TToolBar* bar = Make<TToolBar>(root);
    bar->SetWidth(400);
    std::vector<TToolButton*> b;
    int clicks = 0;
    auto add = [&](TToolButtonStyle style, bool grouped) {
        auto* t = new TToolButton(root);
        t->SetLeft(1000);
        t->SetParent(bar);
        t->SetStyle(style);
        t->SetGrouped(grouped);
        t->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
        b.push_back(t);
    };
    add(TToolButtonStyle::tbsCheck, true);
    add(TToolButtonStyle::tbsCheck, true);
    add(TToolButtonStyle::tbsCheck, true);
    add(TToolButtonStyle::tbsSeparator, false);
    add(TToolButtonStyle::tbsCheck, true);
    add(TToolButtonStyle::tbsCheck, false);
    add(TToolButtonStyle::tbsButton, false);
    auto downs = [&] {
        std::string s;
        for (const TToolButton* t : b) s += t->Down() ? '1' : '0';
        return s;
    };
    b[0]->UserClick();
    b[1]->UserClick();
    EXPECT_EQ(downs(), "0100000");
    b[4]->UserClick();  // its own group behind the separator
    EXPECT_EQ(downs(), "0100100");
    b[1]->UserClick();  // stays down
    EXPECT_EQ(downs(), "0100100");
    b[1]->SetAllowAllUp(true);
    b[1]->UserClick();
    EXPECT_EQ(downs(), "0000100");
    b[5]->UserClick();
    b[6]->UserClick();
    EXPECT_EQ(downs(), "0000110");
    b[5]->UserClick();
    EXPECT_EQ(downs(), "0000100");
    b[3]->UserClick();  // a separator takes no click
    b[2]->SetDown(true);
    b[0]->SetDown(true);
    EXPECT_EQ(downs(), "1000100");
    EXPECT_EQ(clicks, 8);
    EXPECT_EQ(GetPropText(b[3], "Style"), "tbsSeparator");
    EXPECT_EQ(b[3]->Width(), 8);

    auto* images = new TImageList(root);
    bar->SetImages(images);
    images->Free();
    EXPECT_EQ(bar->Images(), nullptr);
}

// ---- Status bars -------------------------------------------------------------------------------

TEST(StatusBars, PanelsStandSideBySide) {
    TStatusBar* sb = new TStatusBar(nullptr);
    sb->SetBounds(0, 0, 300, 19);
    for (int w : {50, 80, 50}) sb->Panels()->Add()->SetWidth(w);
    sb->Panels()->Items(1)->SetText("就绪");
    EXPECT_EQ(sb->PanelRect(0), (TRect{0, 0, 50, 19}));
    EXPECT_EQ(sb->PanelRect(1), (TRect{50, 0, 130, 19}));
    EXPECT_EQ(sb->PanelRect(2), (TRect{130, 0, 300, 19}));  // the last reaches the edge
    EXPECT_THROW(sb->PanelRect(3), rtl::EListError);
    EXPECT_EQ(sb->Panels()->Items(1)->Text(), "就绪");
    EXPECT_EQ(GetPropText(sb->Panels()->Items(0), "Bevel"), "pbLowered");
    sb->SetSimplePanel(true);
    sb->SetSimpleText("x");
    EXPECT_EQ(sb->PanelRect(0), (TRect{0, 0, 300, 19}));
    sb->Panels()->Delete(0);
    EXPECT_EQ(sb->Panels()->Count(), 2);
    EXPECT_EQ(sb->Panels()->Items(0)->Width(), 80);
    EXPECT_EQ(sb->Align(), TAlign::alBottom);
    sb->Free();
}
