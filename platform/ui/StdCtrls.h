// Standard controls: labels, edits, buttons, check and radio buttons, group boxes, memos, combo
// boxes and list boxes.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Controls.h"
#include "platform/rtl/Classes.h"

namespace ui {

enum class TTextLayout { tlTop, tlCenter, tlBottom };
const EnumInfo& TextLayoutEnum();

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v) { alignment_ = v; }
    TTextLayout Layout() const noexcept { return layout_; }
    void SetLayout(TTextLayout v) { layout_ = v; }
    TWinControl* FocusControl() const noexcept { return focusControl_; }
    void SetFocusControl(TWinControl* c);
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; }
    bool ShowAccelChar() const noexcept { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    // The caption as shown: "&&" is "&", a single "&" marks the accelerator and is not shown.
    std::string DisplayText() const;

protected:
    void AdjustSize() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Destroy() override;

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    TWinControl* focusControl_ = nullptr;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int v) { maxLength_ = v; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    char PasswordChar() const noexcept { return passwordChar_; }
    void SetPasswordChar(char v) { passwordChar_ = v; }
    bool AutoSelect() const noexcept { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    int SelStart() const noexcept { return selStart_; }
    void SetSelStart(int v);
    int SelLength() const noexcept { return selLength_; }
    void SetSelLength(int v);
    void SelectAll();
    void Clear() { SetText(""); }

    // Typing as a user does: each character goes through the key events and, unless consumed,
    // replaces the selection (MaxLength and ReadOnly respected).
    virtual void TypeText(const std::string& text);

    TNotifyEvent OnChange;

protected:
    void TextChanged() override;
    virtual void Change() { OnChange(this); }
    virtual void InsertChar(char c);

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    bool autoSelect_ = true;
    int selStart_ = 0;
    int selLength_ = 0;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool Default() const noexcept { return default_; }
    void SetDefault(bool v) { default_ = v; }
    bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    // Gives the form the button's modal result, then runs OnClick.
    void Click() override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

// ---- Shared enumerations ------------------------------------------------------------------------

// The border of a control: none or a single line (sunken and two pixels wide with Ctl3D).
enum class TBorderStyle { bsNone, bsSingle };
const EnumInfo& ControlBorderStyleEnum();
enum class TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese, imSHanguel, imHanguel };
const EnumInfo& ImeModeEnum();
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
const EnumInfo& ScrollStyleEnum();
// Alignment restricted to left and right (check boxes, radio buttons).
const EnumInfo& LeftRightEnum();

// Texts compared as the user's locale sorts them (pinyin for the Simplified Chinese code page,
// strokes for the Traditional one): the order of sorted lists.
int CompareLocaleText(std::string_view a, std::string_view b, bool ignoreCase = true);

// ---- String lists of controls ------------------------------------------------------------------

enum class TStringsChange { Inserted, Deleted, Replaced, Cleared, Reset };

// The lines of a control (memo lines, combo and list box items, list view sub-items), held in an
// rtl::TStringList. The owning control watches every change through Observer; OnChange is told
// once per change, or once at the end of an update.
class TStrings : public TObject {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int Count() const noexcept { return list_.Count(); }
    const std::string& operator[](int i) const { return list_[i]; }  // raises EListError out of range
    const std::string& Strings(int i) const { return list_[i]; }
    void Put(int i, const std::string& s);
    void* Objects(int i) const { return list_.Objects(i); }
    void PutObject(int i, void* o) { list_.PutObject(i, o); }
    // Appends, or puts the line in order when the list is sorted; the answer is its index.
    int Add(const std::string& s, void* object = nullptr);
    void Insert(int i, const std::string& s, void* object = nullptr);
    void Delete(int i);
    void Clear();
    void Move(int curIndex, int newIndex);
    void Exchange(int a, int b);
    // Compared without regard to case, as the class library's lists do.
    int IndexOf(std::string_view s) const;
    // Each line followed by a line break; setting splits at CR LF, LF or CR.
    std::string Text() const { return list_.Text(); }
    void SetText(std::string_view text);
    std::string Values(std::string_view name) const { return list_.Values(name); }
    std::string Names(int i) const { return list_.Names(i); }
    void Assign(const TStrings* other);
    void AddStrings(const TStrings* other);
    void Sort();
    bool Sorted() const noexcept { return sorted_; }
    void SetSorted(bool v);
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    const rtl::TStringList& List() const noexcept { return list_; }
    std::vector<std::string> ToVector() const { return list_.ToVector(); }

    TNotifyEvent OnChange;
    std::function<void(TStringsChange, int)> Observer;

private:
    void Changed(TStringsChange change, int index);
    rtl::TStringList list_;
    bool sorted_ = false;
    int updateCount_ = 0;
    bool changed_ = false;
};

// ---- Check boxes and radio buttons -------------------------------------------------------------

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
const EnumInfo& CheckBoxStateEnum();

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v) { alignment_ = v; }
    bool AllowGrayed() const noexcept { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    TCheckBoxState State() const noexcept { return state_; }
    // A new state runs the click (OnClick) unless clicks are disabled, also when set in code.
    void SetState(TCheckBoxState v);
    bool Checked() const noexcept { return state_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool v) { SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }

    // The next state: unchecked becomes grayed when allowed, else checked; checked becomes
    // unchecked; grayed becomes checked.
    virtual void Toggle();
    // A click of the user: the box takes the focus when it can, then toggles (one OnClick).
    void UserClick();
    bool KeyUp(uint16_t& key, TShiftState shift) override;

protected:
    bool ClicksDisabled() const noexcept { return clicksDisabled_; }
    void SetClicksDisabled(bool v) noexcept { clicksDisabled_ = v; }

private:
    TAlignment alignment_ = TAlignment::taRightJustify;
    bool allowGrayed_ = false;
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
    bool clicksDisabled_ = false;
};

class TCheckBox : public TCustomCheckBox {
public:
    explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v) { alignment_ = v; }
    bool Checked() const noexcept { return checked_; }
    // Checking takes the tab stop, unchecks the radio buttons beside it (same parent) without
    // their clicks, then runs the click; unchecking runs none.
    void SetChecked(bool v);
    // A click of the user: the button takes the focus when it can and is checked.
    void UserClick();
    bool KeyUp(uint16_t& key, TShiftState shift) override;

private:
    TAlignment alignment_ = TAlignment::taRightJustify;
    bool checked_ = false;
};

// ---- Group boxes -------------------------------------------------------------------------------

class TCustomGroupBox : public TWinControl {
public:
    explicit TCustomGroupBox(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    bool Ctl3D() const noexcept { return ctl3D_; }
    void SetCtl3D(bool v);
    // Below the caption's line (the font's text height) and inside the frame: one pixel, two
    // with Ctl3D.
    TRect AdjustClientRect() const override;

protected:
    void FontChanged() override { Realign(); }

private:
    bool ctl3D_ = true;
};

class TGroupBox : public TCustomGroupBox {
public:
    explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// ---- Memos -------------------------------------------------------------------------------------

// A multi-line edit. Text and Lines are one value: setting Text splits it into Lines; editing
// Lines writes the text back with every line followed by CR LF, as the edit control holds it.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TStrings* Lines() const noexcept { return lines_.get(); }
    void SetLines(TStrings* v);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v) { alignment_ = v; }
    TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
    void SetScrollBars(TScrollStyle v) { scrollBars_ = v; }
    bool WantReturns() const noexcept { return wantReturns_; }
    void SetWantReturns(bool v) { wantReturns_ = v; }
    bool WantTabs() const noexcept { return wantTabs_; }
    void SetWantTabs(bool v) { wantTabs_ = v; }
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    TImeMode ImeMode() const noexcept { return imeMode_; }
    void SetImeMode(TImeMode v) { imeMode_ = v; }
    const std::string& ImeName() const noexcept { return imeName_; }
    void SetImeName(const std::string& v) { imeName_ = v; }

    // Enter (with WantReturns) and Tab (with WantTabs) stay in the memo instead of reaching the
    // form's dialog keys.
    bool KeyDown(uint16_t& key, TShiftState shift) override;

protected:
    void TextChanged() override;
    void InsertChar(char c) override;

private:
    void LinesChanged();
    std::unique_ptr<TStrings> lines_;
    bool syncing_ = false;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    bool wordWrap_ = true;
    TImeMode imeMode_ = TImeMode::imDontCare;
    std::string imeName_;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// ---- Combo boxes -------------------------------------------------------------------------------

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
const EnumInfo& ComboBoxStyleEnum();

// A combo box. With csDropDownList the text is always the selected item's (empty without a
// selection) and setting Text selects the item of that text, if any. With the edit styles the
// text is free; setting it to another text clears the selection, as the window system's combo
// box does while closed. Setting ItemIndex shows that item's text and runs no event.
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TStrings* Items() const noexcept { return items_.get(); }
    void SetItems(TStrings* v);
    int ItemIndex() const noexcept { return itemIndex_; }
    void SetItemIndex(int v);
    TComboBoxStyle Style() const noexcept { return style_; }
    void SetStyle(TComboBoxStyle v);
    int DropDownCount() const noexcept { return dropDownCount_; }
    void SetDropDownCount(int v) { dropDownCount_ = v; }
    bool Sorted() const noexcept { return items_->Sorted(); }
    void SetSorted(bool v);
    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int v) { maxLength_ = v; }
    int ItemHeight() const noexcept { return itemHeight_; }
    void SetItemHeight(int v) { itemHeight_ = v; }
    bool AutoComplete() const noexcept { return autoComplete_; }
    void SetAutoComplete(bool v) { autoComplete_ = v; }
    bool AutoDropDown() const noexcept { return autoDropDown_; }
    void SetAutoDropDown(bool v) { autoDropDown_ = v; }
    TImeMode ImeMode() const noexcept { return imeMode_; }
    void SetImeMode(TImeMode v) { imeMode_ = v; }
    const std::string& ImeName() const noexcept { return imeName_; }
    void SetImeName(const std::string& v) { imeName_ = v; }
    bool DroppedDown() const noexcept { return droppedDown_; }
    // Opening runs OnDropDown, closing OnCloseUp.
    void SetDroppedDown(bool v);

    std::string GetText() const override;
    void SetText(const std::string& v) override;

    // The user picks an item (from the list or with the arrow keys): the box takes the focus
    // when it can, the item is selected and its text shown, then OnClick, then OnSelect (or
    // OnChange when there is no OnSelect).
    void SelectItem(int index);
    // Typing as a user does: each character goes through the key events; with an edit style it
    // edits the text (Backspace removes the last character) and runs OnChange; with
    // csDropDownList it selects the next item beginning with that character.
    void TypeText(const std::string& text);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    virtual void Change() { OnChange(this); }
    virtual void Select();

private:
    void ItemsChanged(TStringsChange change, int index);
    void ShowSelection();
    std::unique_ptr<TStrings> items_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
    int itemHeight_ = 16;
    bool autoComplete_ = true;
    bool autoDropDown_ = false;
    bool droppedDown_ = false;
    TImeMode imeMode_ = TImeMode::imDontCare;
    std::string imeName_;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// ---- List boxes --------------------------------------------------------------------------------

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
const EnumInfo& ListBoxStyleEnum();

// A list box. ItemIndex is the selected item, or with MultiSelect the item with the focus
// rectangle. SelCount is -1 without MultiSelect, as the window system answers.
class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TStrings* Items() const noexcept { return items_.get(); }
    void SetItems(TStrings* v);
    int ItemIndex() const noexcept { return itemIndex_; }
    // An index outside the list selects nothing.
    void SetItemIndex(int v);
    bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool ExtendedSelect() const noexcept { return extendedSelect_; }
    void SetExtendedSelect(bool v) { extendedSelect_ = v; }
    // Raise EListError for an index outside the list.
    bool Selected(int i) const;
    void SetSelected(int i, bool v);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    bool Sorted() const noexcept { return items_->Sorted(); }
    void SetSorted(bool v);
    TListBoxStyle Style() const noexcept { return style_; }
    void SetStyle(TListBoxStyle v) { style_ = v; }
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v) { borderStyle_ = v; }
    int Columns() const noexcept { return columns_; }
    void SetColumns(int v) { columns_ = v; }
    int ItemHeight() const noexcept { return itemHeight_; }
    void SetItemHeight(int v) { itemHeight_ = v; }
    bool IntegralHeight() const noexcept { return integralHeight_; }
    void SetIntegralHeight(bool v) { integralHeight_ = v; }
    int TabWidth() const noexcept { return tabWidth_; }
    void SetTabWidth(int v) { tabWidth_ = v; }
    int ScrollWidth() const noexcept { return scrollWidth_; }
    void SetScrollWidth(int v) { scrollWidth_ = v; }
    bool AutoComplete() const noexcept { return autoComplete_; }
    void SetAutoComplete(bool v) { autoComplete_ = v; }
    TImeMode ImeMode() const noexcept { return imeMode_; }
    void SetImeMode(TImeMode v) { imeMode_ = v; }
    const std::string& ImeName() const noexcept { return imeName_; }
    void SetImeName(const std::string& v) { imeName_ = v; }

    // A click of the user on an item: the list takes the focus when it can and selects as the
    // window system does (Ctrl toggles and Shift extends with ExtendedSelect; without it a click
    // toggles in a multi-select list), then OnClick.
    void SelectItem(int index, TShiftState shift = 0);

private:
    void ItemsChanged(TStringsChange change, int index);
    std::unique_ptr<TStrings> items_;
    std::vector<bool> selected_;  // multi-select only
    int itemIndex_ = -1;
    int anchor_ = -1;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    int columns_ = 0;
    int itemHeight_ = 16;
    bool integralHeight_ = false;
    int tabWidth_ = 0;
    int scrollWidth_ = 0;
    bool autoComplete_ = true;
    TImeMode imeMode_ = TImeMode::imDontCare;
    std::string imeName_;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace ui
