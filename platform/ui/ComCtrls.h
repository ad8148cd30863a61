// Common controls: page controls and tab sheets, list views, tool bars and status bars, and the
// collections their columns and panels live in.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace ui {

// ---- Collections -------------------------------------------------------------------------------

class TCollection;

// An item of a collection; made by the collection's Add, owned and freed by the collection.
class TCollectionItem : public TObject {
public:
    TCollectionItem() = default;
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TCollection* Collection() const noexcept { return collection_; }
    int Index() const;
    void SetIndex(int v);
    int ID() const noexcept { return id_; }

protected:
    // Tells the collection that this item (or, with allItems, every item) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TObject {
public:
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside the collection.
    TCollectionItem* Item(int i) const;
    void Delete(int i);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }

protected:
    TCollection() = default;
    // Takes the item in at the end.
    void InsertItem(TCollectionItem* item);
    // Told after a change of one item, or of many (nullptr); not while updating.
    virtual void Update(TCollectionItem*) {}
    void Changed(TCollectionItem* item);

private:
    friend class TCollectionItem;
    void RemoveItem(TCollectionItem* item);
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    int nextId_ = 0;
    bool clearing_ = false;
};

// ---- Tab controls and page controls ------------------------------------------------------------

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
const EnumInfo& TabPositionEnum();
const EnumInfo& TabStyleEnum();

class TCustomTabControl;
using TTabChangingEvent = TEvent<TObject*, bool&>;
using TDrawTabEvent = TEvent<TCustomTabControl*, int, const TRect&, bool>;
using TTabGetImageEvent = TEvent<TObject*, int, int&>;

// The tab geometry of the headless window system. A tab row is as high as the font's text
// height + 5 (TabHeight when set; at least an image's height + 3 with Images); a tab is as wide
// as its caption + 12 (TabWidth when set; plus an image's width + 3). Tabs start 2 pixels in from
// the edge; MultiLine wraps them into rows of the control's length less 4, else there is one row.
// With tsTabs the pages (DisplayRect) take the control less 4 pixels on each side and less the
// rows + 2 on the tab side: tabs on top, a 13-pixel font and one row give (4, 24, W - 4, H - 4).
// The button styles have no frame: the pages take all but the rows, each row 3 pixels higher.
class TCustomTabControl : public TWinControl {
public:
    explicit TCustomTabControl(TComponent* owner);
    ~TCustomTabControl() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool HotTrack() const noexcept { return hotTrack_; }
    void SetHotTrack(bool v) { hotTrack_ = v; }
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* v);
    bool MultiLine() const noexcept { return multiLine_; }
    void SetMultiLine(bool v);
    bool OwnerDraw() const noexcept { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    bool RaggedRight() const noexcept { return raggedRight_; }
    void SetRaggedRight(bool v) { raggedRight_ = v; }
    bool ScrollOpposite() const noexcept { return scrollOpposite_; }
    void SetScrollOpposite(bool v) { scrollOpposite_ = v; }
    TTabStyle Style() const noexcept { return style_; }
    void SetStyle(TTabStyle v);
    int TabHeight() const noexcept { return tabHeight_; }
    void SetTabHeight(int v);
    int TabWidth() const noexcept { return tabWidth_; }
    void SetTabWidth(int v);
    TTabPosition TabPosition() const noexcept { return tabPosition_; }
    void SetTabPosition(TTabPosition v);

    // The tabs shown, in order (none here; a page control shows its pages').
    virtual int TabCount() const { return 0; }
    virtual std::string TabCaption(int) const { return {}; }
    virtual int TabImageIndex(int index) const;
    // The selected tab; -1 when none.
    virtual int TabIndex() const { return -1; }

    int TabItemHeight() const;
    int RowCount() const;
    TRect TabRect(int index) const;
    TRect DisplayRect() const { return AdjustClientRect(); }
    TRect AdjustClientRect() const override;

    // The surface the tabs are drawn on, as large as the control.
    TCanvas* Canvas();
    // Draws every tab (owner-drawn controls only), the selected one as active.
    void PaintTabs();
    // Draws one tab: OnDrawTab when assigned, else fills the rectangle with the brush.
    virtual void DrawTab(int tabIndex, const TRect& rect, bool active);

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;
    TTabGetImageEvent OnGetImageIndex;

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;
    void FontChanged() override { Realign(); }
    // OnChanging: whether the selection may move.
    virtual bool CanChange();
    virtual void Change() { OnChange(this); }

private:
    int TabLength(int index) const;
    // The row and the offset along it of each tab.
    std::vector<std::pair<int, int>> Arrange(int& rows) const;
    bool hotTrack_ = false;
    TCustomImageList* images_ = nullptr;
    bool multiLine_ = false;
    bool ownerDraw_ = false;
    bool raggedRight_ = false;
    bool scrollOpposite_ = false;
    TTabStyle style_ = TTabStyle::tsTabs;
    int tabHeight_ = 0;
    int tabWidth_ = 0;
    TTabPosition tabPosition_ = TTabPosition::tpTop;
    std::unique_ptr<TBitmap> surface_;
};

class TPageControl;

// A page of a page control: owned by the form, parented to the page control, aligned to its
// client area (the display rectangle), visible only while it is the active page.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TPageControl* PageControl() const noexcept { return pageControl_; }
    void SetPageControl(TPageControl* v);
    // Parenting a sheet to a page control makes it one of its pages, as a stored form does.
    void SetParent(TWinControl* parent) override;
    // The position among the pages; -1 without a page control. Raises EListError out of range.
    int PageIndex() const;
    void SetPageIndex(int v);
    // The position among the visible tabs; -1 when the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const noexcept { return tabVisible_; }
    void SetTabVisible(bool v);
    bool Highlighted() const noexcept { return highlighted_; }
    void SetHighlighted(bool v) { highlighted_ = v; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }

    // OnShow when the sheet becomes the active page (shown), OnHide when it stops being it.
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void Destroy() override;
    void VisibleChanged() override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    bool highlighted_ = false;
    int imageIndex_ = 0;
};

// Pages with tabs. Setting ActivePage (or ActivePageIndex) in code shows the page without
// events; the user's choice (SelectPage, a click on a tab) and SelectNextPage ask OnChanging
// first and tell OnChange afterwards. The new page's OnShow comes before the old page's OnHide.
class TPageControl : public TCustomTabControl {
public:
    explicit TPageControl(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int PageCount() const noexcept { return static_cast<int>(pages_.size()); }
    // Raises EListError for an index outside the pages.
    TTabSheet* Pages(int i) const;
    TTabSheet* ActivePage() const noexcept { return activePage_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward, bool checkTabVisible = true);
    // A click of the user on the tab of `page`: nothing for the active page, a hidden tab or a
    // disabled control; else OnChanging may refuse, and the page is shown and OnChange told.
    // Answers whether the change was allowed.
    bool SelectPage(TTabSheet* page);
    // The tab at that index selected as the user does.
    bool SelectTab(int tabIndex);

    int TabCount() const override;
    std::string TabCaption(int index) const override;
    int TabImageIndex(int index) const override;
    int TabIndex() const override;
    void SetTabIndex(int v);

protected:
    void Destroy() override;
    void Change() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ChangeActivePage(TTabSheet* page);
    TTabSheet* TabPage(int tabIndex) const;
    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
};

// ---- List views --------------------------------------------------------------------------------

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class TItemChange { ctText, ctImage, ctState };
enum class TSortType { stNone, stData, stText, stBoth };
const EnumInfo& ViewStyleEnum();
const EnumInfo& SortTypeEnum();

class TCustomListView;
class TListItems;

// Width values that size a column to its content: the widest text, or the widest of the texts
// and the header (the last column then also fills the client width).
inline constexpr int ColumnTextWidth = -1;
inline constexpr int ColumnHeaderWidth = -2;

class TListColumn : public TCollectionItem {
public:
    TListColumn() = default;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v);
    // An auto-size column shares the report's client width left by the other columns.
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool v);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& v);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int v);
    int MaxWidth() const noexcept { return maxWidth_; }
    void SetMaxWidth(int v);
    int MinWidth() const noexcept { return minWidth_; }
    void SetMinWidth(int v);
    int Tag() const noexcept { return tag_; }
    void SetTag(int v) { tag_ = v; }
    int Width() const noexcept { return width_; }
    // ColumnTextWidth and ColumnHeaderWidth size the column at once (see those).
    void SetWidth(int v);
    int WidthType() const noexcept { return widthType_; }

private:
    friend class TCustomListView;
    TCustomListView* ListView() const;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoSize_ = false;
    std::string caption_;
    int imageIndex_ = -1;
    int maxWidth_ = 0;
    int minWidth_ = 0;
    int tag_ = 0;
    int width_ = 50;
    int widthType_ = 50;
};

class TListColumns : public TCollection {
public:
    explicit TListColumns(TCustomListView* owner) : owner_(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    TListColumn* Add();
    TListColumn* Items(int i) const { return static_cast<TListColumn*>(Item(i)); }
    TCustomListView* Owner() const noexcept { return owner_; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TCustomListView* owner_;
};

class TListItem : public TObject {
public:
    explicit TListItem(TListItems* owner);
    ~TListItem() override;
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& Caption() const noexcept { return caption_; }
    // Tells OnChanging/OnChange (ctText); a list sorted by text sorts again.
    void SetCaption(const std::string& v);
    TStrings* SubItems() const noexcept { return subItems_.get(); }
    void SetSubItems(TStrings* v) { subItems_->Assign(v); }
    bool Selected() const noexcept { return selected_; }
    // Without MultiSelect, selecting deselects the selected item first. Tells OnChanging,
    // OnChange (ctState) and OnSelectItem for every item whose selection changes.
    void SetSelected(bool v);
    bool Focused() const noexcept { return focused_; }
    void SetFocused(bool v);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int v);
    int StateIndex() const noexcept { return stateIndex_; }
    void SetStateIndex(int v) { stateIndex_ = v; }
    int OverlayIndex() const noexcept { return overlayIndex_; }
    void SetOverlayIndex(int v) { overlayIndex_ = v; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    void* Data() const noexcept { return data_; }
    void SetData(void* v) { data_ = v; }
    int Index() const;
    TListItems* Owner() const noexcept { return owner_; }
    TCustomListView* ListView() const;
    void Delete();
    void MakeVisible(bool) {}

private:
    friend class TCustomListView;
    friend class TListItems;
    TListItems* owner_;
    std::string caption_;
    std::unique_ptr<TStrings> subItems_;
    bool selected_ = false;
    bool focused_ = false;
    int imageIndex_ = 0;
    int stateIndex_ = -1;
    int overlayIndex_ = -1;
    bool checked_ = false;
    void* data_ = nullptr;
};

class TListItems : public TObject {
public:
    explicit TListItems(TCustomListView* owner) : owner_(owner) {}
    ~TListItems() override;
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside the list.
    TListItem* Item(int i) const;
    TListItem* operator[](int i) const { return Item(i); }
    // A new item at the end (OnInsert).
    TListItem* Add();
    TListItem* Insert(int index);
    // OnDeletion, then the item goes.
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() {
        if (updateCount_ > 0) --updateCount_;
    }
    int IndexOf(const TListItem* item) const;
    TCustomListView* Owner() const noexcept { return owner_; }

private:
    friend class TCustomListView;
    TCustomListView* owner_;
    std::vector<TListItem*> items_;
    int updateCount_ = 0;
};

using TLVSelectItemEvent = TEvent<TObject*, TListItem*, bool>;
using TLVChangeEvent = TEvent<TObject*, TListItem*, TItemChange>;
using TLVChangingEvent = TEvent<TObject*, TListItem*, TItemChange, bool&>;
using TLVDeletedEvent = TEvent<TObject*, TListItem*>;
using TLVColumnClickEvent = TEvent<TObject*, TListColumn*>;
using TLVEditedEvent = TEvent<TObject*, TListItem*, std::string&>;
using TLVEditingEvent = TEvent<TObject*, TListItem*, bool&>;
using TLVCompareEvent = TEvent<TObject*, TListItem*, TListItem*, int, int&>;

// A list view. Selection changes, whether made in code or by the user, go through OnChanging
// (which may refuse), OnChange (ctState) and, when the selection itself changes, OnSelectItem,
// one item at a time in the order the window system changes them. The client area is the
// control less a two-pixel border (bsSingle).
class TCustomListView : public TWinControl {
public:
    explicit TCustomListView(TComponent* owner);
    ~TCustomListView() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TListColumns* Columns() const noexcept { return columns_.get(); }
    void SetColumns(TListColumns*) {}
    TListColumn* Column(int i) const { return columns_->Items(i); }
    TListItems* Items() const noexcept { return items_.get(); }
    void SetItems(TListItems*) {}

    TViewStyle ViewStyle() const noexcept { return viewStyle_; }
    void SetViewStyle(TViewStyle v);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool RowSelect() const noexcept { return rowSelect_; }
    void SetRowSelect(bool v) { rowSelect_ = v; }
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool v) { hideSelection_ = v; }
    bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool GridLines() const noexcept { return gridLines_; }
    void SetGridLines(bool v) { gridLines_ = v; }
    bool ColumnClick() const noexcept { return columnClick_; }
    void SetColumnClick(bool v) { columnClick_ = v; }
    bool ShowColumnHeaders() const noexcept { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool v) { showColumnHeaders_ = v; }
    bool Checkboxes() const noexcept { return checkboxes_; }
    void SetCheckboxes(bool v) { checkboxes_ = v; }
    bool HotTrack() const noexcept { return hotTrack_; }
    void SetHotTrack(bool v) { hotTrack_ = v; }
    bool FlatScrollBars() const noexcept { return flatScrollBars_; }
    void SetFlatScrollBars(bool v) { flatScrollBars_ = v; }
    bool FullDrag() const noexcept { return fullDrag_; }
    void SetFullDrag(bool v) { fullDrag_ = v; }
    bool OwnerDraw() const noexcept { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    int AllocBy() const noexcept { return allocBy_; }
    void SetAllocBy(int v) { allocBy_ = v; }
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    TSortType SortType() const noexcept { return sortType_; }
    void SetSortType(TSortType v);
    TCustomImageList* SmallImages() const noexcept { return smallImages_; }
    void SetSmallImages(TCustomImageList* v);
    TCustomImageList* LargeImages() const noexcept { return largeImages_; }
    void SetLargeImages(TCustomImageList* v);
    TCustomImageList* StateImages() const noexcept { return stateImages_; }
    void SetStateImages(TCustomImageList* v);

    int ClientWidth() const override;
    int ClientHeight() const override;

    // The first selected item by index; setting nullptr deselects all.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    TListItem* ItemFocused() const noexcept { return focused_; }
    void SetItemFocused(TListItem* item);
    int ItemIndex() const;
    // -1 deselects all; raises EListError outside the list.
    void SetItemIndex(int v);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    // The item whose caption equals (Partial: begins with) the value, compared without regard to
    // case, searching after StartIndex (from it with Inclusive) and, with Wrap, round from the
    // top; nullptr when none.
    TListItem* FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive, bool wrap) const;
    // Sorts by OnCompare, else by caption as the locale orders them.
    bool AlphaSort();

    // A click of the user on item `index` (-1: on no item): the list takes the focus when it
    // can, the selection and focus change as the window system changes them (Ctrl toggles and
    // Shift extends with MultiSelect), then OnClick.
    void SelectItem(int index, TShiftState shift = 0);
    // A double click on an item: the click above, then OnDblClick.
    void DblClickItem(int index);
    // A click on a column header: OnColumnClick when ColumnClick is on.
    void ClickColumn(int index);
    // The user edits an item's caption in place and confirms `text`: refused when ReadOnly or
    // by OnEditing; else OnEdited may change the text, which becomes the caption.
    bool EditItemCaption(TListItem* item, const std::string& text);

    TLVChangeEvent OnChange;
    TLVChangingEvent OnChanging;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVCompareEvent OnCompare;
    TLVDeletedEvent OnDeletion;
    TLVDeletedEvent OnInsert;
    TLVEditedEvent OnEdited;
    TLVEditingEvent OnEditing;

    void AlignControls(TControl* moved) override;

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    friend class TListColumns;
    // One state change of one item; false when OnChanging refuses it.
    bool ChangeState(TListItem* item, bool selected, bool focused);
    bool ChangeText(TListItem* item, const std::string& text);
    bool ChangeImage(TListItem* item, int imageIndex);
    void SelectOne(TListItem* item, bool selected);
    void FocusOne(TListItem* item, bool focused);
    void ItemRemoved(TListItem* item);
    void ColumnsChanged();
    void ResizeColumns();
    int ContentWidth(int column, bool withHeader) const;
    void SetImageList(TCustomImageList*& slot, TCustomImageList* v);
    std::unique_ptr<TListColumns> columns_;
    std::unique_ptr<TListItems> items_;
    TListItem* focused_ = nullptr;
    int anchor_ = -1;
    TViewStyle viewStyle_ = TViewStyle::vsIcon;
    bool readOnly_ = false;
    bool rowSelect_ = false;
    bool hideSelection_ = true;
    bool multiSelect_ = false;
    bool gridLines_ = false;
    bool columnClick_ = true;
    bool showColumnHeaders_ = true;
    bool checkboxes_ = false;
    bool hotTrack_ = false;
    bool flatScrollBars_ = false;
    bool fullDrag_ = false;
    bool ownerDraw_ = false;
    int allocBy_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TSortType sortType_ = TSortType::stNone;
    TCustomImageList* smallImages_ = nullptr;
    TCustomImageList* largeImages_ = nullptr;
    TCustomImageList* stateImages_ = nullptr;
    bool resizing_ = false;
};

class TListView : public TCustomListView {
public:
    explicit TListView(TComponent* owner) : TCustomListView(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// ---- Tool bars ---------------------------------------------------------------------------------

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = uint8_t;  // bit n: border n
enum class TEdgeStyle { esNone, esRaised, esLowered };
const EnumInfo& ToolButtonStyleEnum();
const EnumInfo& EdgeBorderEnum();
const EnumInfo& EdgeStyleEnum();

class TToolButton;

// A tool bar. Its buttons are laid out left to right from Indent, 2 pixels below the top of the
// client area, each ButtonWidth x ButtonHeight (separators and dividers keep their own width,
// 8 when made so); with Wrapable a button that would pass the client width starts a new row
// ButtonHeight lower, as does the button after one marked Wrap. Invisible buttons take no room.
// ShowCaptions widens all buttons to the widest caption + 8 and makes them as high as the text
// and an image (Images' height, else 16) + 8, unless ButtonWidth/ButtonHeight are larger. Each
// edge in EdgeBorders takes 1 pixel per EdgeInner/EdgeOuter that is not esNone from the client
// area. AutoSize makes the bar as high as its rows + 4 + the edges.
// A button given the bar as its parent takes its place by its position (a button at the left
// goes first), except while loading, when it is added at the end.
class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* owner);
    ~TToolBar() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
    // Raises EListError for an index outside the buttons.
    TToolButton* Buttons(int i) const;
    int ButtonWidth() const noexcept { return buttonWidth_; }
    void SetButtonWidth(int v);
    int ButtonHeight() const noexcept { return buttonHeight_; }
    void SetButtonHeight(int v);
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* v);
    TCustomImageList* DisabledImages() const noexcept { return disabledImages_; }
    void SetDisabledImages(TCustomImageList* v);
    TCustomImageList* HotImages() const noexcept { return hotImages_; }
    void SetHotImages(TCustomImageList* v);
    int Indent() const noexcept { return indent_; }
    void SetIndent(int v);
    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool v) { flat_ = v; }
    bool List() const noexcept { return list_; }
    void SetList(bool v);
    bool ShowCaptions() const noexcept { return showCaptions_; }
    void SetShowCaptions(bool v);
    bool Wrapable() const noexcept { return wrapable_; }
    void SetWrapable(bool v);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; }
    TEdgeBorders EdgeBorders() const noexcept { return edgeBorders_; }
    void SetEdgeBorders(TEdgeBorders v);
    TEdgeStyle EdgeInner() const noexcept { return edgeInner_; }
    void SetEdgeInner(TEdgeStyle v);
    TEdgeStyle EdgeOuter() const noexcept { return edgeOuter_; }
    void SetEdgeOuter(TEdgeStyle v);

    int ClientWidth() const override;
    int ClientHeight() const override;
    int RowCount() const noexcept { return rows_; }
    // The size every button has now (ShowCaptions may make it larger than the properties).
    int EffectiveButtonWidth() const;
    int EffectiveButtonHeight() const;

    void AlignControls(TControl* moved) override;

protected:
    void Destroy() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void FontChanged() override { LayoutButtons(); }
    void AdjustSize() override { LayoutButtons(); }

private:
    friend class TToolButton;
    void InsertButton(TToolButton* button);
    void RemoveButton(TToolButton* button);
    void MoveButton(TToolButton* button, int left, int top);
    int PositionFor(const TToolButton* button, int left, int top) const;
    void LayoutButtons();
    int EdgeSize(TEdgeBorder side) const;
    void SetImageList(TCustomImageList*& slot, TCustomImageList* v);
    std::vector<TToolButton*> buttons_;
    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    TCustomImageList* images_ = nullptr;
    TCustomImageList* disabledImages_ = nullptr;
    TCustomImageList* hotImages_ = nullptr;
    int indent_ = 0;
    bool flat_ = false;
    bool list_ = false;
    bool showCaptions_ = false;
    bool wrapable_ = true;
    bool transparent_ = false;
    TEdgeBorders edgeBorders_ = 1 << ebTop;
    TEdgeStyle edgeInner_ = TEdgeStyle::esRaised;
    TEdgeStyle edgeOuter_ = TEdgeStyle::esLowered;
    int rows_ = 0;
    bool laying_ = false;
};

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TToolBar* ToolBar() const noexcept { return toolBar_; }
    // The position among the bar's buttons; -1 on no bar.
    int Index() const;
    void SetParent(TWinControl* parent) override;
    // On a bar the bar decides the size; moving a button moves it among the others, and a
    // separator keeps a new width.
    void SetBounds(int left, int top, int width, int height) override;

    bool AllowAllUp() const noexcept { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    bool Down() const noexcept { return down_; }
    // A grouped check button set down sets the others of its group up.
    void SetDown(bool v);
    bool Grouped() const noexcept { return grouped_; }
    void SetGrouped(bool v) { grouped_ = v; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    bool Indeterminate() const noexcept { return indeterminate_; }
    void SetIndeterminate(bool v) { indeterminate_ = v; }
    bool Marked() const noexcept { return marked_; }
    void SetMarked(bool v) { marked_ = v; }
    TToolButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TToolButtonStyle v);
    bool Wrap() const noexcept { return wrap_; }
    void SetWrap(bool v);
    TPopupMenu* DropdownMenu() const noexcept { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* v);

    // A click of the user: a check button toggles (a grouped one goes down and the others of its
    // group up; down again it goes up only with AllowAllUp), then OnClick. Separators, dividers
    // and disabled buttons take no click.
    void UserClick();

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;
    void VisibleChanged() override;
    void TextChanged() override;

private:
    friend class TToolBar;
    bool IsSeparator() const { return style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider; }
    void Place(int left, int top, int width, int height) { SetBoundsDirect(left, top, width, height); }
    TToolBar* toolBar_ = nullptr;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool grouped_ = false;
    int imageIndex_ = -1;
    bool indeterminate_ = false;
    bool marked_ = false;
    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
    bool wrap_ = false;
    TPopupMenu* dropdownMenu_ = nullptr;
};

// ---- Status bars -------------------------------------------------------------------------------

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum class TStatusPanelStyle { psText, psOwnerDraw };
const EnumInfo& StatusPanelBevelEnum();
const EnumInfo& StatusPanelStyleEnum();

class TStatusPanel : public TCollectionItem {
public:
    TStatusPanel() = default;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v);
    TStatusPanelBevel Bevel() const noexcept { return bevel_; }
    void SetBevel(TStatusPanelBevel v);
    TStatusPanelStyle Style() const noexcept { return style_; }
    void SetStyle(TStatusPanelStyle v);
    const std::string& Text() const noexcept { return text_; }
    void SetText(const std::string& v);
    int Width() const noexcept { return width_; }
    void SetWidth(int v);

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TStatusPanelBevel bevel_ = TStatusPanelBevel::pbLowered;
    TStatusPanelStyle style_ = TStatusPanelStyle::psText;
    std::string text_;
    int width_ = 50;
};

class TStatusBar;

class TStatusPanels : public TCollection {
public:
    explicit TStatusPanels(TStatusBar* owner) : owner_(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    TStatusPanel* Add();
    TStatusPanel* Items(int i) const { return static_cast<TStatusPanel*>(Item(i)); }
    TStatusBar* Owner() const noexcept { return owner_; }

private:
    TStatusBar* owner_;
};

// A status bar: panels side by side, each as wide as its Width, the last one to the right edge;
// or, with SimplePanel, one panel showing SimpleText.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TStatusPanels* Panels() const noexcept { return panels_.get(); }
    void SetPanels(TStatusPanels*) {}
    bool SimplePanel() const noexcept { return simplePanel_; }
    void SetSimplePanel(bool v) { simplePanel_ = v; }
    const std::string& SimpleText() const noexcept { return simpleText_; }
    void SetSimpleText(const std::string& v) { simpleText_ = v; }
    bool SizeGrip() const noexcept { return sizeGrip_; }
    void SetSizeGrip(bool v) { sizeGrip_ = v; }
    bool AutoHint() const noexcept { return autoHint_; }
    void SetAutoHint(bool v) { autoHint_ = v; }
    bool UseSystemFont() const noexcept { return useSystemFont_; }
    void SetUseSystemFont(bool v) { useSystemFont_ = v; }
    // The rectangle of a panel (the whole bar with SimplePanel); raises EListError for an index
    // outside the panels.
    TRect PanelRect(int index) const;

private:
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
    bool autoHint_ = false;
    bool useSystemFont_ = true;
};

}  // namespace ui
