// TSelectPanel: the control for one condition of a job, entered as a range (a begin and an end
// value), as a list of chosen values, or as the user's choice between the two.
//
// The value logic lives in parts that need no window: the range rules (OrderRange, ReadDateText),
// the value list (TSelectRows) and the panel value text (PanelValueText, ReadPanelValueText).
// The panel and its inner controls hold them and show them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "BtChkBox.h"
#include "F2Button.h"
#include "GSpdBtn.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"

// The names and the order of these values are part of the panel value text and of stored forms.
enum TSelectStyle : uint8_t { sp_Range, sp_Discrete, sp_UserChoice };
enum TValueType : uint8_t { vt_String, vt_Number, vt_Date, vt_Time, vt_Float, vt_OtherMask };
enum TDateType : uint8_t { dt_NoneCare, dt_YYYYMMDD, dt_MMDDYYYY, dt_DDMMYYYY, dt_YYMMDD, dt_YYYMMDD };
enum TCheckDuplicate : uint8_t { cd_None, cd_CheckCase, cd_CaseInsensitive };

const ui::EnumInfo& SelectStyleEnum();
const ui::EnumInfo& ValueTypeEnum();
const ui::EnumInfo& DateTypeEnum();
const ui::EnumInfo& CheckDuplicateEnum();

// ---- The range ---------------------------------------------------------------------------------

// What decides whether the two ends of a range are put in order.
struct TRangeRules {
    TValueType ValueType = vt_String;
    TDateType DateType = dt_NoneCare;
    std::string DateSign = "/";
    bool AutoChangeDateSite = true;
    bool UseDiscard = false;
    std::string Discard;
    // What the begin edit shows with its mask and no input.
    std::string BlankText;
    // The edits' mask: one beginning with "!" keeps the blanks around the texts.
    std::string EditMask;
};

// A date text read by the date type: 0 for a text that is no date (empty, the blank text, parts
// that are no numbers, no valid day). A text with one separator lacks its day, which reads as 1.
rtl::TDateTime ReadDateText(std::string_view text, TDateType type, std::string_view dateSign,
                            std::string_view blankText = {});

// A decimal text from a masked edit (blanks, or the mask's blank character, around and inside the
// integer and fraction parts) written plainly: sign, digits, and the fraction after "." when it
// has digits. A text that is no decimal number comes back as it is.
std::string PlainDecimalText(std::string_view text, char maskBlank = ' ');

// Puts the begin and end texts in order as the panel does when the focus leaves it; the texts may
// also be trimmed or, for decimals, rewritten. Answers whether the two were exchanged.
bool OrderRange(const TRangeRules& rules, std::string& beginText, std::string& endText);

// ---- The value list ----------------------------------------------------------------------------

// The rows of the panel's list: cells of text, every row with the same number of cells, kept
// free of repeated captions (CheckDuplicate) and in order (Sorted) as the panel asks. Texts are
// compared as the user's locale sorts them, without regard to case; each text's collation key is
// made once and kept, so keeping a large list sorted costs a binary search per row.
//
// Every change is told to Observer (the list view showing the rows mirrors it): Inserted and
// Deleted with the row's index, Padded when every row got more cells, Reordered after a sort
// (Tag tells which row went where) and Reset when everything may have changed.
class TSelectRows {
public:
    enum class TChange { Inserted, Deleted, Padded, Reordered, Reset };

    TSelectRows();
    ~TSelectRows();
    TSelectRows(const TSelectRows&) = delete;
    TSelectRows& operator=(const TSelectRows&) = delete;

    std::function<void(TChange, int)> Observer;

    int Count() const noexcept { return static_cast<int>(rows_.size()); }
    // The number of cells of every row (0 for an empty list).
    int CellCount() const noexcept { return cellCount_; }
    const std::vector<std::string>& Cells(int row) const;
    // A cell; empty past the row's cells. Raises rtl::EListError for a row outside the list.
    const std::string& Cell(int row, int column) const;
    // A value the observer keeps with each row (the list view's item).
    void* Tag(int row) const;
    void SetTag(int row, void* tag);

    TCheckDuplicate CheckDuplicate() const noexcept { return check_; }
    // Only records the rule; RemoveDuplicates applies it to the rows there are.
    void SetCheckDuplicate(TCheckDuplicate v);
    bool Sorted() const noexcept { return sorted_; }
    // On: sorts the rows now and keeps them sorted.
    void SetSorted(bool v);
    int SortColumn() const noexcept { return sortColumn_; }
    bool SortAscending() const noexcept { return ascending_; }
    // The comparison of later sorts; the rows are not moved.
    void SetSortOrder(int column, bool ascending);

    // Rows a and b compared: the sort column, then column 0, then column 1, each once, without
    // regard to case under the user's locale; negated when descending.
    int Compare(int a, int b) const;

    // Adds a row as the list's AddRow does: padded to the cell count of the list (or every row
    // padded to its own), at its sorted place when sorted, then the duplicate check. False for a
    // row without cells.
    bool Add(std::vector<std::string> cells);
    // Many rows with the same outcome as adding them one by one, sorted and checked once. False
    // when a row had no cells (the others are added).
    bool AddRows(std::vector<std::vector<std::string>> rows);
    // Takes the rows as they are: no sorting, no duplicate check.
    void Assign(std::vector<std::vector<std::string>> rows);
    void Delete(int row);
    void Clear();
    // Sorts once by the comparison (stable).
    void Sort();
    // Of the rows sharing a caption (exactly, or upper-cased for cd_CaseInsensitive) the first in
    // the list stays; nothing for cd_None.
    void RemoveDuplicates();

    // The longest text of a column in characters of the system's code page (a character outside
    // ASCII counts two), over every row.
    int MaxCellLength(int column) const;

    // Every row's cells joined by character 1, each row followed by character 4.
    std::string ListText() const;
    // Clears the list and adds the rows of a list text; false when a row could not be added.
    bool LoadListText(std::string_view text);
    // The rows of a list text: split at character 4, empty pieces skipped, cells split at 1.
    static std::vector<std::vector<std::string>> SplitListText(std::string_view text);
    // A text's length in the system's code page: one per ASCII character, two per other one.
    static int TextLength(std::string_view text);

private:
    struct Row;
    // Owned; plain pointers so that inserting in the middle moves them as one block.
    using RowList = std::vector<Row*>;

    void Notify(TChange change, int index) {
        if (Observer) Observer(change, index);
    }
    void CheckLocale() const;
    const std::string& KeyOf(const Row& row, int column) const;
    int CompareRows(const Row& a, const Row& b) const;
    int UpperBound(const Row& row) const;
    int IndexOfRow(const Row* row) const;
    std::string DupKeyOf(const std::string& caption) const;
    void PadTo(int cells);
    void Track(const Row& row, int delta);
    void FreeRows() noexcept;
    // Drops the repeated rows without telling; answers their former indices, ascending.
    std::vector<int> DropDuplicates();

    RowList rows_;
    int cellCount_ = 0;
    TCheckDuplicate check_ = cd_None;
    bool sorted_ = false;
    int sortColumn_ = 0;
    bool ascending_ = true;
    // While set, no two rows share a duplicate key and index_ holds every row by its key.
    bool indexed_ = false;
    std::unordered_map<std::string_view, Row*> index_;
    mutable int keyAcp_ = 0;
    mutable std::string emptyKey_;
    // Per column: how many rows have a cell of each length (lengths above 0).
    std::vector<std::vector<int>> lengthCounts_;
    std::vector<int> maxLength_;
};

// ---- The panel value text ----------------------------------------------------------------------

inline constexpr char kPanelFieldSep = '\x03';
inline constexpr char kListCellSep = '\x01';
inline constexpr char kListRowEnd = '\x04';

// What a panel value text holds.
struct TPanelValue {
    TSelectStyle Style = sp_Range;
    bool UserChoice = true;  // sp_UserChoice: true = the range is chosen, false = the list
    std::string BeginText;
    std::string EndText;
    std::string ListText;
};

std::string PanelValueText(const TPanelValue& value);
// False when the style word, or for sp_UserChoice the choice word, is none of the names.
bool ReadPanelValueText(std::string_view text, TPanelValue& value);

// ---- Inner controls ----------------------------------------------------------------------------

// A mask edit that can be kept from telling its changes.
class TVelMaskEdit : public ui::TMaskEdit {
public:
    explicit TVelMaskEdit(ui::TComponent* owner) : ui::TMaskEdit(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool SuppressChange() const noexcept { return suppressChange_; }
    void SetSuppressChange(bool v) noexcept { suppressChange_ = v; }

protected:
    void Change() override;

private:
    bool suppressChange_ = false;
};

// The panel's type check box: a bit check box without additions.
class TVelCheckBox : public TBitCheckBox {
public:
    explicit TVelCheckBox(ui::TComponent* owner) : TBitCheckBox(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// The panel's report list. Its rows are kept in a TSelectRows that the list mirrors; change them
// through AddRow, ClearRows and the other row operations here (the list resynchronises when it
// finds its items counted differently). A left mouse press first moves the focus into the list
// and goes on only when the list then has it.
class TVelListView : public ui::TListView {
public:
    explicit TVelListView(ui::TComponent* owner);
    ~TVelListView() override;
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool ColumnsAutoSize() const noexcept { return columnsAutoSize_; }
    void SetColumnsAutoSize(bool v) { columnsAutoSize_ = v; }
    const TSelectRows& Rows() const noexcept { return rows_; }

    // Adds a row of cells: columns "Data1", "Data2" … for cells beyond the columns, padding, the
    // duplicate check, the sorted place, then the column widths. False for no cells or a failure.
    bool AddRow(const std::vector<std::string>& cells);
    void ClearRows();
    // Deletes the selected rows, from the first.
    void DeleteSelectedRows();
    // Column k as wide as "W" times the longest of its caption and its cells, in characters.
    void AutoSizeColumns();
    // The list text of the rows in display order, and loading one (the list is cleared first).
    std::string ListText();
    bool LoadListText(std::string_view text);

    void SetCheckDuplicate(TCheckDuplicate v);
    void RemoveDuplicateRows();
    void SetRowsSorted(bool v);
    void SetSortOrder(int column, bool ascending);
    void SortRows();

protected:
    void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;

private:
    void RowsChanged(TSelectRows::TChange change, int index);
    void FillItem(ui::TListItem* item, int row);
    void PadItems();
    void Rebuild();
    void Reorder();
    void EnsureSync();
    void AddColumnsFor(size_t cells);

    TSelectRows rows_;
    bool columnsAutoSize_ = true;
    bool muted_ = false;
};

// ---- The panel ---------------------------------------------------------------------------------

using TOpenWinClickEvent = ui::TEvent<ui::TObject*, ui::TObject*>;
using TDeleteClickEvent = ui::TEvent<ui::TObject*, bool&>;
using TStyleChangingEvent = ui::TEvent<ui::TObject*, TSelectStyle, TSelectStyle, bool&>;
using TStyleChangeEvent = ui::TEvent<ui::TObject*, TSelectStyle, TSelectStyle>;
using TItemSelectEvent = ui::TEvent<ui::TObject*, ui::TListItem*, int, bool>;

class TSelectPanel : public ui::TCustomGroupBox {
public:
    explicit TSelectPanel(ui::TComponent* owner);
    ~TSelectPanel() override;
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // The inner controls, named as these fields.
    TVelCheckBox* TypeCheck = nullptr;
    ui::TPanel* RangePanel = nullptr;
    ui::TLabel* BeginLabel = nullptr;
    TVelMaskEdit* edBegin = nullptr;
    TF2Button* BeginButton = nullptr;
    ui::TLabel* FinalLabel = nullptr;
    TVelMaskEdit* edFinal = nullptr;
    TF2Button* FinalButton = nullptr;
    ui::TPanel* ListPanel = nullptr;
    TVelListView* ListBox = nullptr;
    TF2Button* ListButton = nullptr;
    TGSpeedButton* DeleteButton = nullptr;
    TGSpeedButton* ClearButton = nullptr;

    // ---- Published properties
    bool AutoChangeDateSite() const noexcept { return rules_.AutoChangeDateSite; }
    void SetAutoChangeDateSite(bool v) { rules_.AutoChangeDateSite = v; }
    ui::TStrings* BeginWords() const noexcept { return beginWords_.get(); }
    void SetBeginWords(ui::TStrings* v);
    bool ColumnsAutoSize() const;
    void SetColumnsAutoSize(bool v);
    bool CanOpenWin() const noexcept { return canOpenWin_; }
    void SetCanOpenWin(bool v);
    TCheckDuplicate CheckDuplicate() const noexcept { return checkDuplicate_; }
    void SetCheckDuplicate(TCheckDuplicate v);
    ui::TStrings* ChildHints() const noexcept { return childHints_.get(); }
    void SetChildHints(ui::TStrings* v);
    // Reading lists the list's column captions; setting (or changing the list) makes one column
    // per entry.
    ui::TStrings* ColumnCaptions() const;
    void SetColumnCaptions(ui::TStrings* v);
    ui::TListColumns* Columns() const;
    void SetColumns(ui::TListColumns*) {}
    TDateType DateType() const noexcept { return rules_.DateType; }
    void SetDateType(TDateType v) { rules_.DateType = v; }
    const std::string& DateSign() const noexcept { return rules_.DateSign; }
    void SetDateSign(const std::string& v) { rules_.DateSign = v; }
    const std::string& Discard() const noexcept { return rules_.Discard; }
    void SetDiscard(const std::string& v) { rules_.Discard = v; }
    const std::string& EditMask() const noexcept { return editMask_; }
    void SetEditMask(const std::string& v);
    ui::TStrings* FinalWords() const noexcept { return finalWords_.get(); }
    void SetFinalWords(ui::TStrings* v);
    int GlyphIndex() const noexcept { return glyphIndex_; }
    void SetGlyphIndex(int v);
    const std::string& HintWord() const noexcept { return hintWord_; }
    void SetHintWord(const std::string& v);
    bool HideSelection() const;
    void SetHideSelection(bool v);
    ui::TListItems* Items() const;
    void SetItems(ui::TListItems*) {}
    int OtherHeight() const noexcept { return otherHeight_; }
    void SetOtherHeight(int v) { otherHeight_ = v; }
    int OtherWidth() const noexcept { return otherWidth_; }
    void SetOtherWidth(int v) { otherWidth_ = v; }
    bool ShowColumnHeader() const;
    void SetShowColumnHeader(bool v);
    bool SortListBox() const noexcept { return sortListBox_; }
    void SetSortListBox(bool v);
    TSelectStyle Style() const noexcept { return style_; }
    // Asks OnStyleChanging, shows the inner panels of the style, swaps the size with
    // OtherWidth/OtherHeight between the range and a list style (unless vertical or loading),
    // lays out and tells OnStyleChange; also when the style does not change.
    void SetStyle(TSelectStyle v);
    bool UseDiscard() const noexcept { return rules_.UseDiscard; }
    void SetUseDiscard(bool v) { rules_.UseDiscard = v; }
    bool UserChoice() const noexcept { return userChoice_; }
    // Only in sp_UserChoice: checks TypeCheck and shows the chosen panel.
    void SetUserChoice(bool v);
    bool UseVertical() const noexcept { return useVertical_; }
    // Only in sp_Range.
    void SetUseVertical(bool v);
    TValueType ValueType() const noexcept { return rules_.ValueType; }
    void SetValueType(TValueType v) { rules_.ValueType = v; }

    // ---- State and operations
    // The range is chosen: sp_Range, or sp_UserChoice with TypeCheck checked.
    bool IsRangeActive() const;
    // What the begin edit shows with the mask and no input.
    const std::string& BlankText() const noexcept { return blankText_; }
    int SortColumn() const noexcept { return sortColumn_; }
    bool SortAscending() const noexcept { return sortAscending_; }
    // The rules the range is put in order by.
    TRangeRules RangeRules() const;
    // Puts the range in order as on leaving the panel, without OnExit.
    void OrderRangeTexts();

    // The panel value text of the current state, and reading one: the style (through SetStyle),
    // the choice, then the range texts or the list. False for a text of no known style, a style
    // change refused by OnStyleChanging, or a list that could not be loaded.
    std::string ValueText() const;
    bool SetValueText(std::string_view text);

    // Enables or disables the panel and every inner control.
    void SetEnabled(bool v) override;
    bool EnabledSet() const noexcept { return enabledSet_; }
    // Focuses the panel; the list when the list is chosen.
    void SetFocus() override;

    void AlignControls(ui::TControl* moved) override;
    void WndProc(ui::TMessage& m) override;

    TOpenWinClickEvent OnOpenWinClick;
    ui::TNotifyEvent OnClearClick;
    TDeleteClickEvent OnDeleteClick;
    ui::TNotifyEvent OnTypeClick;
    TStyleChangingEvent OnStyleChanging;
    TStyleChangeEvent OnStyleChange;
    TItemSelectEvent OnItemSelect;
    ui::TLVChangeEvent OnItemChange;
    ui::TLVChangingEvent OnItemChanging;

protected:
    void Destroy() override;
    void Loaded() override;
    void FontChanged() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    void AssignWords(ui::TStrings& words, const ui::TStrings* v);
    bool Live() const;
    bool Complete() const;
    void Layout();
    void LayoutFor(TSelectStyle style);
    void ShowFor(TSelectStyle style);
    void SwapSize();
    void PlacePanels(ui::TControl* front, ui::TControl* back);
    void PlaceUserChoice();
    void LayoutHorizontal();
    void LayoutVertical();
    void LayoutList();
    void ApplyHints();
    void ApplyColumnCaptions();
    void ChoiceChanged();
    void SyncInnerFonts();
    void SendLookup(ui::TWinControl* target);

    void WordsChanged(ui::TObject* sender);
    void HintsChanged(ui::TObject* sender);
    void CaptionsChanged(ui::TObject* sender);
    void TypeCheckClick(ui::TObject* sender);
    void LookupClick(ui::TObject* sender);
    void DeleteClick(ui::TObject* sender);
    void ClearClick(ui::TObject* sender);
    void ColumnClick(ui::TObject* sender, ui::TListColumn* column);
    void InnerClick(ui::TObject* sender);
    void InnerDblClick(ui::TObject* sender);
    void InnerMouseDown(ui::TObject* sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void InnerMouseUp(ui::TObject* sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void InnerKeyDown(ui::TObject* sender, uint16_t& key, ui::TShiftState shift);
    void InnerKeyUp(ui::TObject* sender, uint16_t& key, ui::TShiftState shift);
    void InnerKeyPress(ui::TObject* sender, char& key);
    void ListSelectItem(ui::TObject* sender, ui::TListItem* item, bool selected);
    void ListChange(ui::TObject* sender, ui::TListItem* item, ui::TItemChange change);
    void ListChanging(ui::TObject* sender, ui::TListItem* item, ui::TItemChange change, bool& allow);
    // An edit or the list stays the sender of its clicks and mouse events; any other inner
    // control's come from the panel, in its coordinates.
    bool KeepsSender(const ui::TObject* sender) const;
    ui::TObject* ClickSender(ui::TObject* sender);
    void ToPanel(ui::TObject* sender, int& x, int& y) const;

    TRangeRules rules_;
    std::unique_ptr<ui::TStrings> beginWords_;
    std::unique_ptr<ui::TStrings> finalWords_;
    std::unique_ptr<ui::TStrings> childHints_;
    std::unique_ptr<ui::TStrings> columnCaptions_;
    bool canOpenWin_ = true;
    TCheckDuplicate checkDuplicate_ = cd_None;
    std::string editMask_;
    int glyphIndex_ = 8;
    std::string hintWord_ = "区间选择";
    int otherHeight_ = 105;
    int otherWidth_ = 200;
    bool sortListBox_ = false;
    TSelectStyle style_ = sp_Range;
    bool userChoice_ = true;
    bool useVertical_ = false;
    std::string blankText_;
    int sortColumn_ = 0;
    bool sortAscending_ = true;
    bool enabledSet_ = true;
    bool built_ = false;
    int layoutLock_ = 0;
    bool settingChoice_ = false;
    bool settingWords_ = false;
    mutable bool readingCaptions_ = false;
};
