#include "ComCtrls.h"

#include <algorithm>

#include "Forms.h"

namespace ui {

namespace {

[[noreturn]] void IndexError(int i) { throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i})); }

}  // namespace

// ---- Collections -------------------------------------------------------------------------------

const ClassInfo& TCollectionItem::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCollectionItem>("TCollectionItem", &TObject::StaticClassInfo()).Build();
    return info;
}

TCollectionItem::~TCollectionItem() {
    if (collection_) collection_->RemoveItem(this);
}

int TCollectionItem::Index() const {
    if (!collection_) return -1;
    const auto& items = collection_->items_;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int v) {
    const int cur = Index();
    if (cur < 0 || v == cur) return;
    auto& items = collection_->items_;
    v = std::clamp(v, 0, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + cur);
    items.insert(items.begin() + v, this);
    Changed(true);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_) collection_->Changed(allItems ? nullptr : this);
}

const ClassInfo& TCollection::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCollection>("TCollection", &TObject::StaticClassInfo()).Build();
    return info;
}

TCollection::~TCollection() {
    for (TCollectionItem* item : items_) {
        item->collection_ = nullptr;
        delete item;
    }
}

TCollectionItem* TCollection::Item(int i) const {
    if (i < 0 || i >= Count()) IndexError(i);
    return items_[static_cast<size_t>(i)];
}

void TCollection::InsertItem(TCollectionItem* item) {
    item->collection_ = this;
    item->id_ = nextId_++;
    items_.push_back(item);
    Changed(nullptr);
}

void TCollection::RemoveItem(TCollectionItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
}

void TCollection::Delete(int i) {
    TCollectionItem* item = Item(i);
    RemoveItem(item);
    delete item;
    Changed(nullptr);
}

void TCollection::Clear() {
    if (items_.empty()) return;
    std::vector<TCollectionItem*> items;
    items.swap(items_);
    for (TCollectionItem* item : items) {
        item->collection_ = nullptr;
        delete item;
    }
    Changed(nullptr);
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed(nullptr);
}

void TCollection::Changed(TCollectionItem* item) {
    if (updateCount_ == 0) Update(item);
}

// ---- TCustomTabControl -------------------------------------------------------------------------

const EnumInfo& TabPositionEnum() {
    static const EnumInfo info{"TTabPosition", {"tpTop", "tpBottom", "tpLeft", "tpRight"}};
    return info;
}

const EnumInfo& TabStyleEnum() {
    static const EnumInfo info{"TTabStyle", {"tsTabs", "tsButtons", "tsFlatButtons"}};
    return info;
}

const ClassInfo& TCustomTabControl::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomTabControl>("TCustomTabControl", &TWinControl::StaticClassInfo())
            .Bool("HotTrack", &TCustomTabControl::HotTrack, &TCustomTabControl::SetHotTrack, false)
            .Object<TCustomImageList>("Images", &TCustomTabControl::Images, &TCustomTabControl::SetImages)
            .Bool("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine, false)
            .Bool("OwnerDraw", &TCustomTabControl::OwnerDraw, &TCustomTabControl::SetOwnerDraw, false)
            .Bool("RaggedRight", &TCustomTabControl::RaggedRight, &TCustomTabControl::SetRaggedRight, false)
            .Bool("ScrollOpposite", &TCustomTabControl::ScrollOpposite, &TCustomTabControl::SetScrollOpposite, false)
            .Enum("Style", TabStyleEnum(), &TCustomTabControl::Style, &TCustomTabControl::SetStyle, 0)
            .Int("TabHeight", &TCustomTabControl::TabHeight, &TCustomTabControl::SetTabHeight, 0)
            .Enum("TabPosition", TabPositionEnum(), &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition, 0)
            .Int("TabWidth", &TCustomTabControl::TabWidth, &TCustomTabControl::SetTabWidth, 0)
            .Event("OnChange", &TCustomTabControl::OnChange)
            .Event("OnChanging", &TCustomTabControl::OnChanging)
            .Event("OnDrawTab", &TCustomTabControl::OnDrawTab)
            .Event("OnGetImageIndex", &TCustomTabControl::OnGetImageIndex)
            .Build();
    return info;
}

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
    SetBoundsDirect(0, 0, 289, 193);
    SetTabStop(true);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::Destroy() {
    if (images_) images_->RemoveFreeNotification(this);
    images_ = nullptr;
    TWinControl::Destroy();
}

void TCustomTabControl::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) {
        images_ = nullptr;
        Realign();
    }
}

void TCustomTabControl::SetImages(TCustomImageList* v) {
    if (v == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = v;
    if (v) v->FreeNotification(this);
    Realign();
}

void TCustomTabControl::SetMultiLine(bool v) {
    if (v == multiLine_) return;
    multiLine_ = v;
    Realign();
}

void TCustomTabControl::SetStyle(TTabStyle v) {
    if (v == style_) return;
    style_ = v;
    Realign();
}

void TCustomTabControl::SetTabHeight(int v) {
    v = std::max(v, 0);
    if (v == tabHeight_) return;
    tabHeight_ = v;
    Realign();
}

void TCustomTabControl::SetTabWidth(int v) {
    v = std::max(v, 0);
    if (v == tabWidth_) return;
    tabWidth_ = v;
    Realign();
}

void TCustomTabControl::SetTabPosition(TTabPosition v) {
    if (v == tabPosition_) return;
    tabPosition_ = v;
    Realign();
}

int TCustomTabControl::TabImageIndex(int index) const {
    int result = index;
    OnGetImageIndex(const_cast<TCustomTabControl*>(this), index, result);
    return result;
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

int TCustomTabControl::TabItemHeight() const {
    if (tabHeight_ > 0) return tabHeight_;
    int h = TextHeight(*Font()) + 5;
    if (images_) h = std::max(h, images_->Height() + 3);
    return h;
}

int TCustomTabControl::TabLength(int index) const {
    if (tabWidth_ > 0) return tabWidth_;
    int w = TextWidth(*Font(), StripAccelChars(TabCaption(index))) + 12;
    if (images_ && TabImageIndex(index) >= 0) w += images_->Width() + 3;
    return w;
}

std::vector<std::pair<int, int>> TCustomTabControl::Arrange(int& rows) const {
    const bool across = tabPosition_ == TTabPosition::tpTop || tabPosition_ == TTabPosition::tpBottom;
    const int room = (across ? Width() : Height()) - 4;
    std::vector<std::pair<int, int>> places;
    rows = 1;
    int pos = 0;
    for (int i = 0; i < TabCount(); ++i) {
        const int len = TabLength(i);
        if (multiLine_ && pos > 0 && pos + len > room) {
            ++rows;
            pos = 0;
        }
        places.emplace_back(rows - 1, pos);
        pos += len;
    }
    return places;
}

int TCustomTabControl::RowCount() const {
    int rows = 1;
    Arrange(rows);
    return rows;
}

TRect TCustomTabControl::TabRect(int index) const {
    int rows = 1;
    const auto places = Arrange(rows);
    if (index < 0 || index >= static_cast<int>(places.size())) return TRect{};
    const int h = TabItemHeight();
    const int step = style_ == TTabStyle::tsTabs ? h : h + 3;
    const int row = places[static_cast<size_t>(index)].first;
    const int from = 2 + places[static_cast<size_t>(index)].second;
    const int to = from + TabLength(index);
    switch (tabPosition_) {
        case TTabPosition::tpTop: return TRect{from, 2 + row * step, to, 2 + row * step + h};
        case TTabPosition::tpBottom: return TRect{from, Height() - 2 - row * step - h, to, Height() - 2 - row * step};
        case TTabPosition::tpLeft: return TRect{2 + row * step, from, 2 + row * step + h, to};
        case TTabPosition::tpRight: return TRect{Width() - 2 - row * step - h, from, Width() - 2 - row * step, to};
    }
    return TRect{};
}

TRect TCustomTabControl::AdjustClientRect() const {
    const int rows = RowCount();
    const int h = TabItemHeight();
    const int w = ClientWidth(), ht = ClientHeight();
    TRect r;
    if (style_ == TTabStyle::tsTabs) {
        const int band = rows * h + 2;
        r = TRect{4, 4, w - 4, ht - 4};
        switch (tabPosition_) {
            case TTabPosition::tpTop: r.Top += band; break;
            case TTabPosition::tpBottom: r.Bottom -= band; break;
            case TTabPosition::tpLeft: r.Left += band; break;
            case TTabPosition::tpRight: r.Right -= band; break;
        }
    } else {
        const int band = rows * (h + 3);
        r = TRect{0, 0, w, ht};
        switch (tabPosition_) {
            case TTabPosition::tpTop: r.Top += band; break;
            case TTabPosition::tpBottom: r.Bottom -= band; break;
            case TTabPosition::tpLeft: r.Left += band; break;
            case TTabPosition::tpRight: r.Right -= band; break;
        }
    }
    r.Right = std::max(r.Right, r.Left);
    r.Bottom = std::max(r.Bottom, r.Top);
    return r;
}

TCanvas* TCustomTabControl::Canvas() {
    if (!surface_) surface_ = std::make_unique<TBitmap>();
    surface_->SetSize(Width(), Height());
    return surface_->Canvas();
}

void TCustomTabControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
    if (OnDrawTab) {
        OnDrawTab(this, tabIndex, rect, active);
    } else {
        Canvas()->FillRect(rect);
    }
}

void TCustomTabControl::PaintTabs() {
    if (!ownerDraw_) return;
    Canvas();
    const int selected = TabIndex();
    for (int i = 0; i < TabCount(); ++i) DrawTab(i, TabRect(i), i == selected);
}

// ---- TTabSheet ---------------------------------------------------------------------------------

const ClassInfo& TTabSheet::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TTabSheet>("TTabSheet", &TWinControl::StaticClassInfo())
                                      .Str("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption)
                                      .Bool("Highlighted", &TTabSheet::Highlighted, &TTabSheet::SetHighlighted, false)
                                      .Int("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, 0)
                                      .Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex)
                                      .Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible, true)
                                      .Event("OnHide", &TTabSheet::OnHide)
                                      .Event("OnShow", &TTabSheet::OnShow)
                                      .Build();
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    InitVisible(false);
    TControl::SetAlign(TAlign::alClient);
}

void TTabSheet::Destroy() {
    if (pageControl_) pageControl_->RemovePage(this);
    TWinControl::Destroy();
}

void TTabSheet::SetPageControl(TPageControl* v) {
    if (v == pageControl_) {
        if (v && Parent() != v) TWinControl::SetParent(v);
        return;
    }
    if (pageControl_) pageControl_->RemovePage(this);
    TWinControl::SetParent(v);
    if (v) v->InsertPage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (auto* pc = dynamic_cast<TPageControl*>(parent)) {
        SetPageControl(pc);
        return;
    }
    if (pageControl_) pageControl_->RemovePage(this);
    TWinControl::SetParent(parent);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
    if (!pageControl_) return;
    auto& pages = pageControl_->pages_;
    const int max = static_cast<int>(pages.size()) - 1;
    if (v > max) {
        throw rtl::EListError(
            rtl::Format("%d is an invalid PageIndex value.  PageIndex must be between 0 and %d", {v, max}));
    }
    if (v < 0) IndexError(v);
    const int cur = PageIndex();
    if (cur == v) return;
    pages.erase(pages.begin() + cur);
    pages.insert(pages.begin() + v, this);
    pageControl_->Realign();
}

int TTabSheet::TabIndex() const {
    if (!pageControl_ || !tabVisible_) return -1;
    int n = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this) return n;
        if (p->tabVisible_) ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == tabVisible_) return;
    const int oldTab = TabIndex();
    tabVisible_ = v;
    if (!pageControl_) return;
    // Hiding the active page's tab selects the tab that takes its place (or the last one); with
    // no tab left the page stays.
    if (!v && pageControl_->activePage_ == this) {
        const int count = pageControl_->TabCount();
        if (count > 0) pageControl_->SetActivePage(pageControl_->TabPage(std::min(oldTab, count - 1)));
    }
    pageControl_->Realign();
}

void TTabSheet::VisibleChanged() {
    TWinControl::VisibleChanged();
    if (Visible()) {
        OnShow(this);
    } else {
        OnHide(this);
    }
}

// ---- TPageControl ------------------------------------------------------------------------------

const ClassInfo& TPageControl::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TPageControl>("TPageControl", &TCustomTabControl::StaticClassInfo())
                                      .Object<TTabSheet>("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
                                      .Build();
    return info;
}

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

void TPageControl::Destroy() {
    // The pages go with the control as its children; they no longer belong to it.
    for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
    pages_.clear();
    activePage_ = nullptr;
    TCustomTabControl::Destroy();
}

TTabSheet* TPageControl::Pages(int i) const {
    if (i < 0 || i >= PageCount()) IndexError(i);
    return pages_[static_cast<size_t>(i)];
}

int TPageControl::TabCount() const {
    return static_cast<int>(std::count_if(pages_.begin(), pages_.end(), [](const TTabSheet* p) { return p->tabVisible_; }));
}

TTabSheet* TPageControl::TabPage(int tabIndex) const {
    int n = 0;
    for (TTabSheet* p : pages_) {
        if (!p->tabVisible_) continue;
        if (n++ == tabIndex) return p;
    }
    return nullptr;
}

std::string TPageControl::TabCaption(int index) const {
    const TTabSheet* p = TabPage(index);
    return p ? p->Caption() : std::string();
}

int TPageControl::TabImageIndex(int index) const {
    const TTabSheet* p = TabPage(index);
    int result = p ? p->ImageIndex() : -1;
    OnGetImageIndex(const_cast<TPageControl*>(this), index, result);
    return result;
}

int TPageControl::TabIndex() const { return activePage_ ? activePage_->TabIndex() : -1; }

void TPageControl::SetTabIndex(int v) {
    if (TTabSheet* p = TabPage(v)) SetActivePage(p);
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    Realign();
}

void TPageControl::RemovePage(TTabSheet* page) {
    TTabSheet* next = FindNextPage(page, true, true);
    if (next == page) next = nullptr;
    page->pageControl_ = nullptr;
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    // Only the loss of the active page moves the selection.
    if (page == activePage_) SetActivePage(next);
    if (!IsDestroying()) Realign();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    return NextInRing(pages_, current, goForward, [&](TTabSheet* p) { return !checkTabVisible || p->tabVisible_; });
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) return;
    ChangeActivePage(page);
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
    SetActivePage(v > -1 && v < PageCount() ? pages_[static_cast<size_t>(v)] : nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* page) {
    if (activePage_ == page) return;
    TCustomForm* form = GetParentForm(this);
    // The focus leaves the old page first; when an exit handler keeps it there, the page stays.
    if (form && activePage_ && activePage_->ContainsControl(form->ActiveControl()) && activePage_->CanFocus()) {
        form->SetActiveControl(activePage_);
        if (form->ActiveControl() != activePage_) return;
    }
    TTabSheet* old = activePage_;
    if (page) {
        page->BringToFront();
        page->SetVisible(true);
        if (form && old && form->ActiveControl() == old) {
            if (page->CanFocus()) {
                form->SetActiveControl(page);
            } else if (CanFocus()) {
                form->SetActiveControl(this);
            }
        }
    }
    if (old) old->SetVisible(false);
    activePage_ = page;
    if (form && page && form->ActiveControl() == page) {
        // The first control of the new page in tab order takes the focus.
        TWinControl* c = page->FindNextControl(nullptr, true, true, false);
        if (!c) c = page->FindNextControl(nullptr, true, false, false);
        if (c) form->SetActiveControl(c);
    }
}

void TPageControl::Change() { TCustomTabControl::Change(); }

bool TPageControl::SelectPage(TTabSheet* page) {
    if (!Enabled() || !page || page->pageControl_ != this || !page->tabVisible_ || page == activePage_) return false;
    if (!CanChange()) return false;
    SetActivePage(page);
    Change();
    return true;
}

bool TPageControl::SelectTab(int tabIndex) { return SelectPage(TabPage(tabIndex)); }

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
    if (page && page != activePage_ && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

// ---- List columns and items --------------------------------------------------------------------

const EnumInfo& ViewStyleEnum() {
    static const EnumInfo info{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
    return info;
}

const EnumInfo& SortTypeEnum() {
    static const EnumInfo info{"TSortType", {"stNone", "stData", "stText", "stBoth"}};
    return info;
}

const ClassInfo& TListColumn::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TListColumn>("TListColumn", &TCollectionItem::StaticClassInfo())
                                      .Enum("Alignment", AlignmentEnum(), &TListColumn::Alignment, &TListColumn::SetAlignment, 0)
                                      .Bool("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize, false)
                                      .Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
                                      .Int("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex, -1)
                                      .Int("MaxWidth", &TListColumn::MaxWidth, &TListColumn::SetMaxWidth, 0)
                                      .Int("MinWidth", &TListColumn::MinWidth, &TListColumn::SetMinWidth, 0)
                                      .Int("Tag", &TListColumn::Tag, &TListColumn::SetTag, 0)
                                      .Int("Width", &TListColumn::Width, &TListColumn::SetWidth, 50)
                                      .Build();
    return info;
}

TCustomListView* TListColumn::ListView() const {
    auto* columns = static_cast<TListColumns*>(Collection());
    return columns ? columns->Owner() : nullptr;
}

void TListColumn::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Changed(false);
}

void TListColumn::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    Changed(false);
}

void TListColumn::SetCaption(const std::string& v) {
    if (v == caption_) return;
    caption_ = v;
    Changed(false);
}

void TListColumn::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    Changed(false);
}

void TListColumn::SetMaxWidth(int v) {
    if (v == maxWidth_) return;
    maxWidth_ = std::max(v, 0);
    Changed(false);
}

void TListColumn::SetMinWidth(int v) {
    if (v == minWidth_) return;
    minWidth_ = std::max(v, 0);
    Changed(false);
}

void TListColumn::SetWidth(int v) {
    widthType_ = v;
    if (v == ColumnTextWidth || v == ColumnHeaderWidth) {
        TCustomListView* lv = ListView();
        if (!lv) return;
        const int index = Index();
        int w = lv->ContentWidth(index, v == ColumnHeaderWidth);
        if (v == ColumnHeaderWidth && index == Collection()->Count() - 1) {
            int used = 0;
            for (int i = 0; i < index; ++i) used += static_cast<TListColumn*>(Collection()->Item(i))->width_;
            w = std::max(w, lv->ClientWidth() - used);
        }
        v = w;
    }
    if (v == width_) return;
    width_ = v;
    Changed(false);
}

const ClassInfo& TListColumns::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TListColumns>("TListColumns", &TCollection::StaticClassInfo()).Build();
    return info;
}

TListColumn* TListColumns::Add() {
    auto* c = new TListColumn();
    InsertItem(c);
    return c;
}

void TListColumns::Update(TCollectionItem*) { owner_->ColumnsChanged(); }

const ClassInfo& TListItem::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TListItem>("TListItem", &TObject::StaticClassInfo()).Build();
    return info;
}

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(std::make_unique<TStrings>()) {}

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const { return owner_ ? owner_->Owner() : nullptr; }

int TListItem::Index() const { return owner_ ? owner_->IndexOf(this) : -1; }

void TListItem::SetCaption(const std::string& v) {
    if (TCustomListView* lv = ListView()) {
        lv->ChangeText(this, v);
    } else {
        caption_ = v;
    }
}

void TListItem::SetImageIndex(int v) {
    if (TCustomListView* lv = ListView()) {
        lv->ChangeImage(this, v);
    } else {
        imageIndex_ = v;
    }
}

void TListItem::SetSelected(bool v) {
    if (TCustomListView* lv = ListView()) lv->SelectOne(this, v);
}

void TListItem::SetFocused(bool v) {
    if (TCustomListView* lv = ListView()) lv->FocusOne(this, v);
}

void TListItem::Delete() {
    if (owner_) owner_->Delete(Index());
}

const ClassInfo& TListItems::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TListItems>("TListItems", &TObject::StaticClassInfo()).Build();
    return info;
}

TListItems::~TListItems() {
    for (TListItem* item : items_) delete item;
}

TListItem* TListItems::Item(int i) const {
    if (i < 0 || i >= Count()) IndexError(i);
    return items_[static_cast<size_t>(i)];
}

int TListItems::IndexOf(const TListItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
    if (index < 0 || index > Count()) IndexError(index);
    auto* item = new TListItem(this);
    items_.insert(items_.begin() + index, item);
    owner_->OnInsert(owner_, item);
    return item;
}

void TListItems::Delete(int index) {
    TListItem* item = Item(index);
    owner_->OnDeletion(owner_, item);
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    owner_->ItemRemoved(item);
    delete item;
}

void TListItems::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    const std::vector<TListItem*> items = items_;
    for (TListItem* item : items) owner_->OnDeletion(owner_, item);
    items_.clear();
    for (TListItem* item : items) {
        owner_->ItemRemoved(item);
        delete item;
    }
    EndUpdate();
}

// ---- TCustomListView ---------------------------------------------------------------------------

const ClassInfo& TCustomListView::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomListView>("TCustomListView", &TWinControl::StaticClassInfo())
            .Int("AllocBy", &TCustomListView::AllocBy, &TCustomListView::SetAllocBy, 0)
            .Enum("BorderStyle", ControlBorderStyleEnum(), &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle, 1)
            .Bool("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes, false)
            .Object<TListColumns>("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns)
            .Bool("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick, true)
            .Bool("FlatScrollBars", &TCustomListView::FlatScrollBars, &TCustomListView::SetFlatScrollBars, false)
            .Bool("FullDrag", &TCustomListView::FullDrag, &TCustomListView::SetFullDrag, false)
            .Bool("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines, false)
            .Bool("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection, true)
            .Bool("HotTrack", &TCustomListView::HotTrack, &TCustomListView::SetHotTrack, false)
            .Object<TListItems>("Items", &TCustomListView::Items, &TCustomListView::SetItems)
            .Object<TCustomImageList>("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages)
            .Bool("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect, false)
            .Bool("OwnerDraw", &TCustomListView::OwnerDraw, &TCustomListView::SetOwnerDraw, false)
            .Bool("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly, false)
            .Bool("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect, false)
            .Bool("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders, &TCustomListView::SetShowColumnHeaders, true)
            .Object<TCustomImageList>("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages)
            .Enum("SortType", SortTypeEnum(), &TCustomListView::SortType, &TCustomListView::SetSortType, 0)
            .Object<TCustomImageList>("StateImages", &TCustomListView::StateImages, &TCustomListView::SetStateImages)
            .Enum("ViewStyle", ViewStyleEnum(), &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle, 0)
            .Event("OnChange", &TCustomListView::OnChange)
            .Event("OnChanging", &TCustomListView::OnChanging)
            .Event("OnColumnClick", &TCustomListView::OnColumnClick)
            .Event("OnCompare", &TCustomListView::OnCompare)
            .Event("OnDeletion", &TCustomListView::OnDeletion)
            .Event("OnEdited", &TCustomListView::OnEdited)
            .Event("OnEditing", &TCustomListView::OnEditing)
            .Event("OnInsert", &TCustomListView::OnInsert)
            .Event("OnSelectItem", &TCustomListView::OnSelectItem)
            .Build();
    return info;
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner), columns_(std::make_unique<TListColumns>(this)), items_(std::make_unique<TListItems>(this)) {
    SetBoundsDirect(0, 0, 250, 150);
    SetColor(clWindow);
    SetTabStop(true);
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::Destroy() {
    // The items go before the control, each told to OnDeletion, as the window's are.
    items_->Clear();
    for (TCustomImageList* list : {smallImages_, largeImages_, stateImages_}) {
        if (list) list->RemoveFreeNotification(this);
    }
    smallImages_ = largeImages_ = stateImages_ = nullptr;
    TWinControl::Destroy();
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == smallImages_) smallImages_ = nullptr;
    if (component == largeImages_) largeImages_ = nullptr;
    if (component == stateImages_) stateImages_ = nullptr;
}

void TCustomListView::SetImageList(TCustomImageList*& slot, TCustomImageList* v) {
    if (v == slot) return;
    TCustomImageList* old = slot;
    slot = v;
    // Another slot may still hold the old list.
    if (old && old != smallImages_ && old != largeImages_ && old != stateImages_) old->RemoveFreeNotification(this);
    if (v) v->FreeNotification(this);
}

void TCustomListView::SetSmallImages(TCustomImageList* v) { SetImageList(smallImages_, v); }
void TCustomListView::SetLargeImages(TCustomImageList* v) { SetImageList(largeImages_, v); }
void TCustomListView::SetStateImages(TCustomImageList* v) { SetImageList(stateImages_, v); }

int TCustomListView::ClientWidth() const {
    return std::max(0, Width() - (borderStyle_ == TBorderStyle::bsSingle ? 4 : 0));
}

int TCustomListView::ClientHeight() const {
    return std::max(0, Height() - (borderStyle_ == TBorderStyle::bsSingle ? 4 : 0));
}

void TCustomListView::SetBorderStyle(TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    Realign();
}

void TCustomListView::SetViewStyle(TViewStyle v) {
    if (v == viewStyle_) return;
    viewStyle_ = v;
    ResizeColumns();
}

void TCustomListView::SetMultiSelect(bool v) { multiSelect_ = v; }

void TCustomListView::SetSortType(TSortType v) {
    if (v == sortType_) return;
    sortType_ = v;
    if (v != TSortType::stNone) AlphaSort();
}

void TCustomListView::AlignControls(TControl* moved) {
    TWinControl::AlignControls(moved);
    ResizeColumns();
}

void TCustomListView::ColumnsChanged() { ResizeColumns(); }

int TCustomListView::ContentWidth(int column, bool withHeader) const {
    int widest = 0;
    for (const TListItem* item : items_->items_) {
        const std::string* text = nullptr;
        if (column == 0) {
            text = &item->caption_;
        } else if (column - 1 < item->subItems_->Count()) {
            text = &(*item->subItems_)[column - 1];
        }
        if (text) widest = std::max(widest, TextWidth(*Font(), *text));
    }
    if (withHeader && column >= 0 && column < columns_->Count()) {
        widest = std::max(widest, TextWidth(*Font(), columns_->Items(column)->Caption()));
    }
    return widest + 12;
}

void TCustomListView::ResizeColumns() {
    if (viewStyle_ != TViewStyle::vsReport || resizing_) return;
    std::vector<TListColumn*> pool;
    int work = ClientWidth();
    for (int i = 0; i < columns_->Count(); ++i) {
        TListColumn* c = columns_->Items(i);
        if (c->autoSize_) {
            pool.push_back(c);
        } else {
            work -= c->width_;
        }
    }
    if (pool.empty()) return;
    resizing_ = true;
    // Shared evenly, the last taking the remainder; a column held by its MinWidth or MaxWidth
    // leaves the share to the others.
    while (!pool.empty()) {
        const int n = static_cast<int>(pool.size());
        const int each = work / n, remain = work % n;
        bool held = false;
        for (int i = n - 1; i >= 0; --i) {
            TListColumn* c = pool[static_cast<size_t>(i)];
            const int w = each + (i == n - 1 ? remain : 0);
            int bounded = w;
            if (c->minWidth_ > 0 && w < c->minWidth_) bounded = c->minWidth_;
            if (c->maxWidth_ > 0 && w > c->maxWidth_) bounded = c->maxWidth_;
            if (bounded != w) {
                c->width_ = bounded;
                work -= bounded;
                pool.erase(pool.begin() + i);
                held = true;
                break;
            }
        }
        if (held) continue;
        for (int i = 0; i < n; ++i) pool[static_cast<size_t>(i)]->width_ = std::max(0, each + (i == n - 1 ? remain : 0));
        break;
    }
    resizing_ = false;
}

bool TCustomListView::ChangeState(TListItem* item, bool selected, bool focused) {
    if (item->selected_ == selected && item->focused_ == focused) return true;
    bool allow = true;
    OnChanging(this, item, TItemChange::ctState, allow);
    if (!allow) return false;
    const bool selectionChanged = item->selected_ != selected;
    item->selected_ = selected;
    item->focused_ = focused;
    if (focused) {
        focused_ = item;
    } else if (focused_ == item) {
        focused_ = nullptr;
    }
    OnChange(this, item, TItemChange::ctState);
    if (selectionChanged) OnSelectItem(this, item, selected);
    return true;
}

bool TCustomListView::ChangeText(TListItem* item, const std::string& text) {
    if (item->caption_ == text) return true;
    bool allow = true;
    OnChanging(this, item, TItemChange::ctText, allow);
    if (!allow) return false;
    item->caption_ = text;
    OnChange(this, item, TItemChange::ctText);
    if (sortType_ == TSortType::stText || sortType_ == TSortType::stBoth) AlphaSort();
    return true;
}

bool TCustomListView::ChangeImage(TListItem* item, int imageIndex) {
    if (item->imageIndex_ == imageIndex) return true;
    bool allow = true;
    OnChanging(this, item, TItemChange::ctImage, allow);
    if (!allow) return false;
    item->imageIndex_ = imageIndex;
    OnChange(this, item, TItemChange::ctImage);
    return true;
}

void TCustomListView::SelectOne(TListItem* item, bool selected) {
    if (selected && !multiSelect_) {
        // One selection at a time: the selected item goes first.
        const std::vector<TListItem*> all = items_->items_;
        for (TListItem* other : all) {
            if (other != item && other->selected_ && !ChangeState(other, false, other->focused_)) return;
        }
    }
    ChangeState(item, selected, item->focused_);
}

void TCustomListView::FocusOne(TListItem* item, bool focused) {
    if (focused && focused_ && focused_ != item && !ChangeState(focused_, focused_->selected_, false)) return;
    ChangeState(item, item->selected_, focused);
}

void TCustomListView::ItemRemoved(TListItem* item) {
    if (focused_ == item) focused_ = nullptr;
    anchor_ = -1;
    item->owner_ = nullptr;
}

TListItem* TCustomListView::Selected() const {
    for (TListItem* item : items_->items_) {
        if (item->selected_) return item;
    }
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
    if (item) {
        item->SetSelected(true);
    } else {
        ClearSelection();
    }
}

void TCustomListView::SetItemFocused(TListItem* item) {
    if (item) {
        item->SetFocused(true);
    } else if (focused_) {
        focused_->SetFocused(false);
    }
}

int TCustomListView::ItemIndex() const {
    const TListItem* item = Selected();
    return item ? items_->IndexOf(item) : -1;
}

void TCustomListView::SetItemIndex(int v) {
    if (v == -1) {
        ClearSelection();
        return;
    }
    items_->Item(v)->SetSelected(true);
}

int TCustomListView::SelCount() const {
    return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(), [](const TListItem* i) { return i->selected_; }));
}

void TCustomListView::ClearSelection() {
    const std::vector<TListItem*> all = items_->items_;
    for (TListItem* item : all) {
        if (item->selected_) ChangeState(item, false, item->focused_);
    }
}

void TCustomListView::SelectAll() {
    if (!multiSelect_) return;
    const std::vector<TListItem*> all = items_->items_;
    for (TListItem* item : all) {
        if (!item->selected_) ChangeState(item, true, item->focused_);
    }
}

TListItem* TCustomListView::FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive,
                                        bool wrap) const {
    const int count = items_->Count();
    if (count == 0) return nullptr;
    if (inclusive) --startIndex;
    const std::string key = rtl::AnsiLowerCase(value);
    auto matches = [&](const TListItem* item) {
        const std::string caption = rtl::AnsiLowerCase(item->caption_);
        return partial ? caption.rfind(key, 0) == 0 : caption == key;
    };
    int first = startIndex + 1;
    if (first < 0) first = 0;
    for (int i = first; i < count; ++i) {
        if (matches(items_->items_[static_cast<size_t>(i)])) return items_->items_[static_cast<size_t>(i)];
    }
    if (wrap) {
        for (int i = 0; i < std::min(first, count); ++i) {
            if (matches(items_->items_[static_cast<size_t>(i)])) return items_->items_[static_cast<size_t>(i)];
        }
    }
    return nullptr;
}

bool TCustomListView::AlphaSort() {
    auto& items = items_->items_;
    std::stable_sort(items.begin(), items.end(), [this](TListItem* a, TListItem* b) {
        if (OnCompare) {
            int result = 0;
            OnCompare(this, a, b, 0, result);
            return result < 0;
        }
        return CompareLocaleText(a->caption_, b->caption_, false) < 0;
    });
    anchor_ = -1;
    return true;
}

void TCustomListView::SelectItem(int index, TShiftState shift) {
    if (!Enabled()) return;
    if (GetParentForm(this) && CanFocus() && !Focused()) SetFocus();
    const std::vector<TListItem*> all = items_->items_;
    const int count = static_cast<int>(all.size());
    if (index < 0 || index >= count) {
        // A click beside the items clears the selection (Ctrl keeps it in a multi-select list).
        if (!(multiSelect_ && (shift & ssCtrl))) {
            for (TListItem* it : all) {
                if (it->selected_) ChangeState(it, false, it->focused_);
            }
        }
        Click();
        return;
    }
    TListItem* item = all[static_cast<size_t>(index)];
    TListItem* old = focused_ != item ? focused_ : nullptr;
    if (multiSelect_ && (shift & ssShift)) {
        const int from = anchor_ >= 0 && anchor_ < count ? anchor_ : index;
        const int lo = std::min(from, index), hi = std::max(from, index);
        for (int i = 0; i < count; ++i) {
            TListItem* it = all[static_cast<size_t>(i)];
            const bool inRange = i >= lo && i <= hi;
            if (it == item) continue;
            if (inRange && !it->selected_) ChangeState(it, true, it->focused_);
            if (!inRange && it->selected_ && !(shift & ssCtrl)) ChangeState(it, false, it->focused_);
        }
        if (old) ChangeState(old, old->selected_, false);
        ChangeState(item, true, true);
    } else if (multiSelect_ && (shift & ssCtrl)) {
        if (old) ChangeState(old, old->selected_, false);
        ChangeState(item, !item->selected_, true);
        anchor_ = index;
    } else {
        if (multiSelect_) {
            // The others are deselected first, then the old focus moves.
            for (TListItem* it : all) {
                if (it != item && it->selected_) ChangeState(it, false, it->focused_);
            }
            if (old) ChangeState(old, false, false);
        } else {
            // The old focus goes first; selecting the item then deselects the selected one.
            if (old) ChangeState(old, old->selected_, false);
            for (TListItem* it : all) {
                if (it != item && it->selected_) ChangeState(it, false, it->focused_);
            }
        }
        ChangeState(item, true, true);
        anchor_ = index;
    }
    Click();
}

void TCustomListView::DblClickItem(int index) {
    if (!Enabled()) return;
    SelectItem(index);
    DblClick();
}

void TCustomListView::ClickColumn(int index) {
    if (!Enabled() || !columnClick_ || index < 0 || index >= columns_->Count()) return;
    OnColumnClick(this, columns_->Items(index));
}

bool TCustomListView::EditItemCaption(TListItem* item, const std::string& text) {
    if (!item || item->ListView() != this || readOnly_ || !Enabled()) return false;
    bool allow = true;
    OnEditing(this, item, allow);
    if (!allow) return false;
    std::string s = text;
    OnEdited(this, item, s);
    // The handler may have deleted the item.
    if (items_->IndexOf(item) >= 0) item->SetCaption(s);
    return true;
}

const ClassInfo& TListView::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TListView>("TListView", &TCustomListView::StaticClassInfo()).Build();
    return info;
}

// ---- Tool bars ---------------------------------------------------------------------------------

const EnumInfo& ToolButtonStyleEnum() {
    static const EnumInfo info{"TToolButtonStyle", {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"}};
    return info;
}

const EnumInfo& EdgeBorderEnum() {
    static const EnumInfo info{"TEdgeBorder", {"ebLeft", "ebTop", "ebRight", "ebBottom"}};
    return info;
}

const EnumInfo& EdgeStyleEnum() {
    static const EnumInfo info{"TEdgeStyle", {"esNone", "esRaised", "esLowered"}};
    return info;
}

const ClassInfo& TToolBar::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TToolBar>("TToolBar", &TWinControl::StaticClassInfo())
            .Enum("Align", AlignEnum(), &TToolBar::Align, &TToolBar::SetAlign, static_cast<int>(TAlign::alTop))
            .Bool("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize, false)
            .Int("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight, 22)
            .Int("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth, 23)
            .Str("Caption", &TToolBar::Caption, &TToolBar::SetCaption)
            .Object<TCustomImageList>("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages)
            .Set("EdgeBorders", EdgeBorderEnum(), &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders)
            .Enum("EdgeInner", EdgeStyleEnum(), &TToolBar::EdgeInner, &TToolBar::SetEdgeInner, 1)
            .Enum("EdgeOuter", EdgeStyleEnum(), &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter, 2)
            .Bool("Flat", &TToolBar::Flat, &TToolBar::SetFlat, false)
            .Object<TCustomImageList>("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages)
            .Object<TCustomImageList>("Images", &TToolBar::Images, &TToolBar::SetImages)
            .Int("Indent", &TToolBar::Indent, &TToolBar::SetIndent, 0)
            .Bool("List", &TToolBar::List, &TToolBar::SetList, false)
            .Bool("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions, false)
            .Bool("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent)
            .Bool("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable, true)
            .Build();
    return info;
}

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
    SetBoundsDirect(0, 0, 150, 29);
    TControl::SetAlign(TAlign::alTop);
}

TToolBar::~TToolBar() = default;

void TToolBar::Destroy() {
    for (TCustomImageList* list : {images_, disabledImages_, hotImages_}) {
        if (list) list->RemoveFreeNotification(this);
    }
    images_ = disabledImages_ = hotImages_ = nullptr;
    // The buttons go with the bar as its children; they no longer belong to it.
    for (TToolButton* b : buttons_) b->toolBar_ = nullptr;
    buttons_.clear();
    TWinControl::Destroy();
}

void TToolBar::Loaded() {
    TWinControl::Loaded();
    LayoutButtons();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == images_) {
        images_ = nullptr;
        LayoutButtons();
    }
    if (component == disabledImages_) disabledImages_ = nullptr;
    if (component == hotImages_) hotImages_ = nullptr;
}

void TToolBar::SetImageList(TCustomImageList*& slot, TCustomImageList* v) {
    if (v == slot) return;
    TCustomImageList* old = slot;
    slot = v;
    if (old && old != images_ && old != disabledImages_ && old != hotImages_) old->RemoveFreeNotification(this);
    if (v) v->FreeNotification(this);
}

void TToolBar::SetImages(TCustomImageList* v) {
    SetImageList(images_, v);
    LayoutButtons();
}

void TToolBar::SetDisabledImages(TCustomImageList* v) { SetImageList(disabledImages_, v); }
void TToolBar::SetHotImages(TCustomImageList* v) { SetImageList(hotImages_, v); }

TToolButton* TToolBar::Buttons(int i) const {
    if (i < 0 || i >= ButtonCount()) IndexError(i);
    return buttons_[static_cast<size_t>(i)];
}

void TToolBar::SetButtonWidth(int v) {
    if (v == buttonWidth_ || v < 0) return;
    buttonWidth_ = v;
    LayoutButtons();
}

void TToolBar::SetButtonHeight(int v) {
    if (v == buttonHeight_ || v < 0) return;
    buttonHeight_ = v;
    LayoutButtons();
}

void TToolBar::SetIndent(int v) {
    if (v == indent_) return;
    indent_ = v;
    LayoutButtons();
}

void TToolBar::SetList(bool v) {
    if (v == list_) return;
    list_ = v;
    LayoutButtons();
}

void TToolBar::SetShowCaptions(bool v) {
    if (v == showCaptions_) return;
    showCaptions_ = v;
    LayoutButtons();
}

void TToolBar::SetWrapable(bool v) {
    if (v == wrapable_) return;
    wrapable_ = v;
    LayoutButtons();
}

void TToolBar::SetEdgeBorders(TEdgeBorders v) {
    if (v == edgeBorders_) return;
    edgeBorders_ = v;
    Realign();
}

void TToolBar::SetEdgeInner(TEdgeStyle v) {
    if (v == edgeInner_) return;
    edgeInner_ = v;
    Realign();
}

void TToolBar::SetEdgeOuter(TEdgeStyle v) {
    if (v == edgeOuter_) return;
    edgeOuter_ = v;
    Realign();
}

int TToolBar::EdgeSize(TEdgeBorder side) const {
    if (!(edgeBorders_ & (1u << side))) return 0;
    return (edgeInner_ != TEdgeStyle::esNone ? 1 : 0) + (edgeOuter_ != TEdgeStyle::esNone ? 1 : 0);
}

int TToolBar::ClientWidth() const { return std::max(0, Width() - EdgeSize(ebLeft) - EdgeSize(ebRight)); }
int TToolBar::ClientHeight() const { return std::max(0, Height() - EdgeSize(ebTop) - EdgeSize(ebBottom)); }

int TToolBar::EffectiveButtonWidth() const {
    if (!showCaptions_) return buttonWidth_;
    int widest = 0;
    for (const TToolButton* b : buttons_) {
        if (!b->IsSeparator()) widest = std::max(widest, TextWidth(*Font(), StripAccelChars(b->Caption())));
    }
    const int image = list_ ? (images_ ? images_->Width() : 16) : 0;
    return std::max(buttonWidth_, image + widest + 8);
}

int TToolBar::EffectiveButtonHeight() const {
    if (!showCaptions_) return buttonHeight_;
    const int image = images_ ? images_->Height() : 16;
    const int text = TextHeight(*Font());
    return std::max(buttonHeight_, (list_ ? std::max(image, text) : image + text) + 8);
}

int TToolBar::PositionFor(const TToolButton* button, int left, int top) const {
    // Before the first button that lies in a later row, or in the same row at or right of it.
    const int height = button->Height();
    int index = 0;
    for (const TToolButton* b : buttons_) {
        if (b == button) continue;
        if (b->Top() + b->Height() <= top) {
            ++index;
            continue;
        }
        if (top + height <= b->Top() || b->Left() >= left) break;
        ++index;
    }
    return index;
}

void TToolBar::InsertButton(TToolButton* button) {
    button->toolBar_ = this;
    if (button->IsLoading() || IsLoading()) {
        buttons_.push_back(button);
    } else {
        buttons_.insert(buttons_.begin() + PositionFor(button, button->Left(), button->Top()), button);
    }
    LayoutButtons();
}

void TToolBar::RemoveButton(TToolButton* button) {
    buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
    button->toolBar_ = nullptr;
    LayoutButtons();
}

void TToolBar::MoveButton(TToolButton* button, int left, int top) {
    buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
    buttons_.insert(buttons_.begin() + PositionFor(button, left, top), button);
    LayoutButtons();
}

void TToolBar::LayoutButtons() {
    if (laying_ || IsDestroying()) return;
    laying_ = true;
    const int bw = EffectiveButtonWidth(), bh = EffectiveButtonHeight();
    const int cw = ClientWidth();
    int x = indent_, y = 2, rows = 0;
    bool rowOpen = false;
    for (TToolButton* b : buttons_) {
        if (!b->Visible()) continue;
        const int w = b->IsSeparator() ? b->Width() : bw;
        if (!rowOpen) {
            ++rows;
            rowOpen = true;
        } else if (wrapable_ && x > indent_ && x + w > cw) {
            x = indent_;
            y += bh;
            ++rows;
        }
        b->Place(x, y, w, bh);
        x += w;
        if (b->Wrap()) {
            x = indent_;
            y += bh;
            rowOpen = false;
        }
    }
    rows_ = rows;
    if (autoSize_) {
        const int h = EdgeSize(ebTop) + EdgeSize(ebBottom) + 4 + std::max(rows, 1) * bh;
        if (h != Height()) SetHeight(h);
    }
    laying_ = false;
}

void TToolBar::AlignControls(TControl* moved) {
    LayoutButtons();
    TWinControl::AlignControls(moved);
}

const ClassInfo& TToolButton::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TToolButton>("TToolButton", &TGraphicControl::StaticClassInfo())
                                      .Bool("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp, false)
                                      .Str("Caption", &TToolButton::Caption, &TToolButton::SetCaption)
                                      .Bool("Down", &TToolButton::Down, &TToolButton::SetDown, false)
                                      .Object<TPopupMenu>("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu)
                                      .Bool("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped, false)
                                      .Int("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex, -1)
                                      .Bool("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate, false)
                                      .Bool("Marked", &TToolButton::Marked, &TToolButton::SetMarked, false)
                                      .Enum("Style", ToolButtonStyleEnum(), &TToolButton::Style, &TToolButton::SetStyle, 0)
                                      .Bool("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap, false)
                                      .Build();
    return info;
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBoundsDirect(0, 0, 23, 22); }

void TToolButton::Destroy() {
    if (toolBar_) toolBar_->RemoveButton(this);
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    dropdownMenu_ = nullptr;
    TGraphicControl::Destroy();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dropdownMenu_) dropdownMenu_ = nullptr;
}

int TToolButton::Index() const {
    if (!toolBar_) return -1;
    const auto& list = toolBar_->buttons_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TToolButton::SetParent(TWinControl* parent) {
    if (parent == Parent()) return;
    if (toolBar_) toolBar_->RemoveButton(this);
    TGraphicControl::SetParent(parent);
    if (auto* bar = dynamic_cast<TToolBar*>(parent)) bar->InsertButton(this);
}

void TToolButton::SetBounds(int left, int top, int width, int height) {
    if (!toolBar_ || IsLoading()) {
        TGraphicControl::SetBounds(left, top, width, height);
        return;
    }
    const bool moved = left != Left() || top != Top();
    if (IsSeparator() && width != Width()) SetBoundsDirect(Left(), Top(), width, Height());
    if (moved) {
        toolBar_->MoveButton(this, left, top);
    } else {
        toolBar_->LayoutButtons();
    }
}

void TToolButton::VisibleChanged() {
    TGraphicControl::VisibleChanged();
    if (toolBar_) toolBar_->LayoutButtons();
}

void TToolButton::TextChanged() {
    if (toolBar_ && toolBar_->ShowCaptions()) toolBar_->LayoutButtons();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
    if (v == style_) return;
    style_ = v;
    if (IsSeparator()) SetBoundsDirect(Left(), Top(), 8, Height());
    if (toolBar_) toolBar_->LayoutButtons();
}

void TToolButton::SetWrap(bool v) {
    if (v == wrap_) return;
    wrap_ = v;
    if (toolBar_) toolBar_->LayoutButtons();
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
    if (v == dropdownMenu_) return;
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    dropdownMenu_ = v;
    if (v) v->FreeNotification(this);
}

void TToolButton::SetDown(bool v) {
    if (v == down_) return;
    down_ = v;
    if (!v || style_ != TToolButtonStyle::tbsCheck || !grouped_ || !toolBar_) return;
    // The group: the run of grouped check buttons around this one.
    auto& list = toolBar_->buttons_;
    const int at = Index();
    auto inGroup = [](const TToolButton* b) { return b->style_ == TToolButtonStyle::tbsCheck && b->grouped_; };
    int first = at, last = at;
    while (first > 0 && inGroup(list[static_cast<size_t>(first - 1)])) --first;
    while (last + 1 < static_cast<int>(list.size()) && inGroup(list[static_cast<size_t>(last + 1)])) ++last;
    for (int i = first; i <= last; ++i) {
        if (list[static_cast<size_t>(i)] != this) list[static_cast<size_t>(i)]->down_ = false;
    }
}

void TToolButton::UserClick() {
    if (!Enabled() || IsSeparator()) return;
    if (style_ == TToolButtonStyle::tbsCheck) {
        if (!grouped_) {
            SetDown(!down_);
        } else if (!down_) {
            SetDown(true);
        } else if (allowAllUp_) {
            SetDown(false);
        }
    }
    Click();
}

// ---- Status bars -------------------------------------------------------------------------------

const EnumInfo& StatusPanelBevelEnum() {
    static const EnumInfo info{"TStatusPanelBevel", {"pbNone", "pbLowered", "pbRaised"}};
    return info;
}

const EnumInfo& StatusPanelStyleEnum() {
    static const EnumInfo info{"TStatusPanelStyle", {"psText", "psOwnerDraw"}};
    return info;
}

const ClassInfo& TStatusPanel::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TStatusPanel>("TStatusPanel", &TCollectionItem::StaticClassInfo())
            .Enum("Alignment", AlignmentEnum(), &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, 0)
            .Enum("Bevel", StatusPanelBevelEnum(), &TStatusPanel::Bevel, &TStatusPanel::SetBevel, 1)
            .Enum("Style", StatusPanelStyleEnum(), &TStatusPanel::Style, &TStatusPanel::SetStyle, 0)
            .Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
            .Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth, 50)
            .Build();
    return info;
}

void TStatusPanel::SetAlignment(TAlignment v) {
    alignment_ = v;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
    bevel_ = v;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
    style_ = v;
    Changed(false);
}

void TStatusPanel::SetText(const std::string& v) {
    text_ = v;
    Changed(false);
}

void TStatusPanel::SetWidth(int v) {
    width_ = v;
    Changed(true);
}

const ClassInfo& TStatusPanels::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TStatusPanels>("TStatusPanels", &TCollection::StaticClassInfo()).Build();
    return info;
}

TStatusPanel* TStatusPanels::Add() {
    auto* p = new TStatusPanel();
    InsertItem(p);
    return p;
}

const ClassInfo& TStatusBar::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TStatusBar>("TStatusBar", &TWinControl::StaticClassInfo())
            .Enum("Align", AlignEnum(), &TStatusBar::Align, &TStatusBar::SetAlign, static_cast<int>(TAlign::alBottom))
            .Bool("AutoHint", &TStatusBar::AutoHint, &TStatusBar::SetAutoHint, false)
            .Object<TStatusPanels>("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels)
            .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, false)
            .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
            .Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip, true)
            .Bool("UseSystemFont", &TStatusBar::UseSystemFont, &TStatusBar::SetUseSystemFont, true)
            .Build();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
    SetBoundsDirect(0, 0, 150, 19);
    TControl::SetAlign(TAlign::alBottom);
}

TRect TStatusBar::PanelRect(int index) const {
    if (simplePanel_) return TRect{0, 0, Width(), Height()};
    if (index < 0 || index >= panels_->Count()) IndexError(index);
    int left = 0;
    for (int i = 0; i < index; ++i) left += panels_->Items(i)->Width();
    const int right = index == panels_->Count() - 1 ? std::max(left, Width()) : left + panels_->Items(index)->Width();
    return TRect{left, 0, right, Height()};
}

}  // namespace ui
