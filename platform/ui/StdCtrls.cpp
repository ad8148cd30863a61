#include "StdCtrls.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <map>

#include "Forms.h"
#include "platform/os/Environment.h"

namespace ui {

const EnumInfo& TextLayoutEnum() {
    static const EnumInfo info{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
    return info;
}

// ---- Labels ----------------------------------------------------------------------------------

const ClassInfo& TCustomLabel::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomLabel>("TCustomLabel", &TGraphicControl::StaticClassInfo())
            .Str("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption)
            .Enum("Alignment", AlignmentEnum(), &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, 0)
            .Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true)
            .Object<TWinControl>("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)
            .Enum("Layout", TextLayoutEnum(), &TCustomLabel::Layout, &TCustomLabel::SetLayout, 0)
            .Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true)
            .Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false)
            .Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false)
            .Build();
    return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBoundsDirect(0, 0, 65, 17);
    autoSize_ = true;
}

void TCustomLabel::Destroy() {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = nullptr;
    TGraphicControl::Destroy();
}

void TCustomLabel::SetFocusControl(TWinControl* c) {
    if (c == focusControl_) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = c;
    if (c) c->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::SetWordWrap(bool v) {
    wordWrap_ = v;
    if (autoSize_) AdjustSize();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    showAccelChar_ = v;
    if (autoSize_) AdjustSize();
}

std::string TCustomLabel::DisplayText() const {
    const std::string t = GetText();
    return showAccelChar_ ? StripAccelChars(t) : t;
}

void TCustomLabel::AdjustSize() {
    if (!autoSize_ || IsLoading()) return;
    const std::string text = DisplayText();
    const int h = TextHeight(*Font());
    if (wordWrap_) {
        SetBounds(Left(), Top(), Width(), h);
    } else {
        SetBounds(Left(), Top(), TextWidth(*Font(), text), h);
    }
}

const ClassInfo& TLabel::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TLabel>("TLabel", &TCustomLabel::StaticClassInfo()).Build();
    return info;
}

// ---- Edits -----------------------------------------------------------------------------------

const ClassInfo& TCustomEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCustomEdit>("TCustomEdit", &TWinControl::StaticClassInfo())
                                      .Str("Text", &TCustomEdit::Text, &TCustomEdit::SetTextProp)
                                      .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true)
                                      .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0)
                                      .Char("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar, '\0')
                                      .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false)
                                      .Event("OnChange", &TCustomEdit::OnChange)
                                      .Build();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetBoundsDirect(0, 0, 121, 21);
    SetColor(clWindow);
    SetTabStop(true);
}

void TCustomEdit::TextChanged() {
    const int len = static_cast<int>(text_.size());
    selStart_ = std::min(selStart_, len);
    selLength_ = std::min(selLength_, len - selStart_);
    Change();
}

void TCustomEdit::SetSelStart(int v) {
    selStart_ = std::clamp(v, 0, static_cast<int>(text_.size()));
    selLength_ = 0;
}

void TCustomEdit::SetSelLength(int v) { selLength_ = std::clamp(v, 0, static_cast<int>(text_.size()) - selStart_); }

void TCustomEdit::SelectAll() {
    selStart_ = 0;
    selLength_ = static_cast<int>(text_.size());
}

void TCustomEdit::InsertChar(char c) {
    if (readOnly_) return;
    std::string t = text_;
    const size_t start = static_cast<size_t>(std::min(selStart_, static_cast<int>(t.size())));
    if (c == '\b') {
        if (selLength_ > 0) {
            t.erase(start, static_cast<size_t>(selLength_));
            selLength_ = 0;
            selStart_ = static_cast<int>(start);
        } else if (start > 0) {
            // Back over one whole character, however many bytes it takes.
            size_t p = start - 1;
            while (p > 0 && (static_cast<unsigned char>(t[p]) & 0xC0) == 0x80) --p;
            t.erase(p, start - p);
            selStart_ = static_cast<int>(p);
        }
    } else {
        t.erase(start, static_cast<size_t>(selLength_));
        if (maxLength_ > 0 && static_cast<int>(t.size()) >= maxLength_) return;
        t.insert(start, 1, c);
        selStart_ = static_cast<int>(start) + 1;
        selLength_ = 0;
    }
    const int caret = selStart_;
    SetText(t);
    selStart_ = std::min(caret, static_cast<int>(text_.size()));
}

void TCustomEdit::TypeText(const std::string& text) {
    for (char c : text) {
        char ch = c;
        const bool consumed = [&] {
            TCustomForm* form = GetParentForm(this);
            if (form && form->KeyPreview() && form->KeyPress(ch)) return true;
            return KeyPress(ch);
        }();
        if (!consumed) InsertChar(ch);
    }
}

const ClassInfo& TEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TEdit>("TEdit", &TCustomEdit::StaticClassInfo()).Build();
    return info;
}

// ---- Buttons ---------------------------------------------------------------------------------

const ClassInfo& TButtonControl::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TButtonControl>("TButtonControl", &TWinControl::StaticClassInfo()).Build();
    return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

const ClassInfo& TButton::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TButton>("TButton", &TButtonControl::StaticClassInfo())
                                      .Str("Caption", &TButton::Caption, &TButton::SetCaption)
                                      .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
                                      .Bool("Default", &TButton::Default, &TButton::SetDefault, false)
                                      .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0)
                                      .Build();
    return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBoundsDirect(0, 0, 75, 25); }

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

// ---- Shared enumerations ------------------------------------------------------------------------

const EnumInfo& ControlBorderStyleEnum() {
    static const EnumInfo info{"TBorderStyle", {"bsNone", "bsSingle"}};
    return info;
}

const EnumInfo& ImeModeEnum() {
    static const EnumInfo info{"TImeMode",
                               {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira", "imSKata",
                                "imKata", "imChinese", "imSHanguel", "imHanguel"}};
    return info;
}

const EnumInfo& ScrollStyleEnum() {
    static const EnumInfo info{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
    return info;
}

const EnumInfo& LeftRightEnum() {
    static const EnumInfo info{"TLeftRight", {"taLeftJustify", "taRightJustify"}};
    return info;
}

int CompareLocaleText(std::string_view a, std::string_view b, bool ignoreCase) {
    // One collator per code page and strength and thread; building one takes a while.
    thread_local std::map<std::pair<int, bool>, std::unique_ptr<icu::Collator>> collators;
    const int acp = os::GetACP();
    auto& slot = collators[{acp, ignoreCase}];
    if (!slot) {
        const char* locale = acp == 936 ? "zh_CN" : acp == 950 ? "zh_TW" : "en_US";
        UErrorCode status = U_ZERO_ERROR;
        slot.reset(icu::Collator::createInstance(icu::Locale(locale), status));
        if (U_FAILURE(status) || !slot) {
            slot.reset();
            const int c = ignoreCase ? rtl::CompareText(a, b) : a.compare(b);
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        slot->setStrength(ignoreCase ? icu::Collator::SECONDARY : icu::Collator::TERTIARY);
    }
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = slot->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                                                 icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    if (U_FAILURE(status)) return a < b ? -1 : (a == b ? 0 : 1);
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

// ---- TStrings ----------------------------------------------------------------------------------

const ClassInfo& TStrings::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TStrings>("TStrings", &TObject::StaticClassInfo()).Build();
    return info;
}

void TStrings::Changed(TStringsChange change, int index) {
    if (Observer) Observer(change, index);
    if (updateCount_ > 0) {
        changed_ = true;
        return;
    }
    OnChange(this);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && changed_) {
        changed_ = false;
        OnChange(this);
    }
}

void TStrings::Put(int i, const std::string& s) {
    list_.Put(i, s);
    Changed(TStringsChange::Replaced, i);
}

int TStrings::Add(const std::string& s, void* object) {
    int i = Count();
    if (sorted_) {
        // After the equal ones, as a sorted list box adds.
        int lo = 0, hi = Count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (CompareLocaleText(list_[mid], s) <= 0) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        i = lo;
    }
    list_.Insert(i, s, object);
    Changed(TStringsChange::Inserted, i);
    return i;
}

void TStrings::Insert(int i, const std::string& s, void* object) {
    list_.Insert(i, s, object);
    Changed(TStringsChange::Inserted, i);
}

void TStrings::Delete(int i) {
    list_.Delete(i);
    Changed(TStringsChange::Deleted, i);
}

void TStrings::Clear() {
    if (list_.Count() == 0) return;
    list_.Clear();
    Changed(TStringsChange::Cleared, -1);
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    const std::string s = list_[curIndex];
    void* o = list_.Objects(curIndex);
    if (newIndex < 0 || newIndex >= Count()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {newIndex}));
    list_.Delete(curIndex);
    list_.Insert(newIndex, s, o);
    Changed(TStringsChange::Reset, -1);
}

void TStrings::Exchange(int a, int b) {
    const std::string sa = list_[a], sb = list_[b];
    void* oa = list_.Objects(a);
    void* ob = list_.Objects(b);
    list_.Put(a, sb);
    list_.PutObject(a, ob);
    list_.Put(b, sa);
    list_.PutObject(b, oa);
    Changed(TStringsChange::Reset, -1);
}

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i) {
        if (rtl::AnsiSameText(list_[i], s)) return i;
    }
    return -1;
}

void TStrings::SetText(std::string_view text) {
    rtl::TStringList lines;
    lines.SetText(text);
    list_.Clear();
    for (int i = 0; i < lines.Count(); ++i) list_.Add(lines[i]);
    if (sorted_) list_.CustomSort([](const rtl::TStringList& l, int a, int b) { return CompareLocaleText(l[a], l[b]); });
    Changed(TStringsChange::Reset, -1);
}

void TStrings::Assign(const TStrings* other) {
    if (other == this) return;
    list_.Clear();
    if (other) {
        for (int i = 0; i < other->Count(); ++i) list_.Add(other->list_[i], other->list_.Objects(i));
    }
    if (sorted_) list_.CustomSort([](const rtl::TStringList& l, int a, int b) { return CompareLocaleText(l[a], l[b]); });
    Changed(TStringsChange::Reset, -1);
}

void TStrings::AddStrings(const TStrings* other) {
    if (!other || other == this) return;
    BeginUpdate();
    for (int i = 0; i < other->Count(); ++i) Add(other->list_[i], other->list_.Objects(i));
    EndUpdate();
}

void TStrings::Sort() {
    list_.CustomSort([](const rtl::TStringList& l, int a, int b) { return CompareLocaleText(l[a], l[b]); });
    Changed(TStringsChange::Reset, -1);
}

void TStrings::SetSorted(bool v) {
    if (v == sorted_) return;
    sorted_ = v;
    if (v) Sort();
}

// ---- Check boxes -------------------------------------------------------------------------------

const EnumInfo& CheckBoxStateEnum() {
    static const EnumInfo info{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
    return info;
}

const ClassInfo& TCustomCheckBox::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomCheckBox>("TCustomCheckBox", &TButtonControl::StaticClassInfo())
            .Enum("Alignment", LeftRightEnum(), &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment, 1)
            .Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed, false)
            .Str("Caption", &TCustomCheckBox::Caption, &TCustomCheckBox::SetCaption)
            .Bool("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked, false)
            .Enum("State", CheckBoxStateEnum(), &TCustomCheckBox::State, &TCustomCheckBox::SetState, 0)
            .Build();
    return info;
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetBoundsDirect(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (v == state_) return;
    state_ = v;
    if (!clicksDisabled_) Click();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
        case TCheckBoxState::cbUnchecked:
            SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
        case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
    }
}

void TCustomCheckBox::UserClick() {
    if (!Enabled()) return;
    if (GetParentForm(this) && CanFocus()) SetFocus();
    Toggle();
}

bool TCustomCheckBox::KeyUp(uint16_t& key, TShiftState shift) {
    if (TButtonControl::KeyUp(key, shift)) return true;
    if (key == VK_SPACE && Enabled()) Toggle();
    return false;
}

const ClassInfo& TCheckBox::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCheckBox>("TCheckBox", &TCustomCheckBox::StaticClassInfo()).Build();
    return info;
}

// ---- Radio buttons -----------------------------------------------------------------------------

const ClassInfo& TRadioButton::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TRadioButton>("TRadioButton", &TButtonControl::StaticClassInfo())
            .Enum("Alignment", LeftRightEnum(), &TRadioButton::Alignment, &TRadioButton::SetAlignment, 1)
            .Str("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption)
            .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false)
            .Build();
    return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
    SetBoundsDirect(0, 0, 113, 17);
    SetTabStop(false);  // the checked button of a group holds the group's tab stop
}

void TRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    SetTabStop(v);
    if (!v) return;
    if (TWinControl* p = Parent()) {
        // A copy: a sibling's click handler may change the parent's children.
        const std::vector<TControl*> siblings = p->ControlList();
        for (TControl* c : siblings) {
            if (auto* r = dynamic_cast<TRadioButton*>(c); r && r != this) r->SetChecked(false);
        }
    }
    Click();
}

void TRadioButton::UserClick() {
    if (!Enabled()) return;
    if (GetParentForm(this) && CanFocus()) SetFocus();
    SetChecked(true);
}

bool TRadioButton::KeyUp(uint16_t& key, TShiftState shift) {
    if (TButtonControl::KeyUp(key, shift)) return true;
    if (key == VK_SPACE && Enabled()) SetChecked(true);
    return false;
}

// ---- Group boxes -------------------------------------------------------------------------------

const ClassInfo& TCustomGroupBox::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCustomGroupBox>("TCustomGroupBox", &TWinControl::StaticClassInfo())
                                      .Str("Caption", &TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption)
                                      .Bool("Ctl3D", &TCustomGroupBox::Ctl3D, &TCustomGroupBox::SetCtl3D, true)
                                      .Build();
    return info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TWinControl(owner) { SetBoundsDirect(0, 0, 185, 105); }

void TCustomGroupBox::SetCtl3D(bool v) {
    if (v == ctl3D_) return;
    ctl3D_ = v;
    Realign();
}

TRect TCustomGroupBox::AdjustClientRect() const {
    TRect r = ClientRect();
    r.Top += TextHeight(*Font());
    const int frame = ctl3D_ ? 2 : 1;
    r.Left += frame;
    r.Top += frame;
    r.Right -= frame;
    r.Bottom -= frame;
    return r;
}

const ClassInfo& TGroupBox::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TGroupBox>("TGroupBox", &TCustomGroupBox::StaticClassInfo()).Build();
    return info;
}

// ---- Memos -------------------------------------------------------------------------------------

const ClassInfo& TCustomMemo::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomMemo>("TCustomMemo", &TCustomEdit::StaticClassInfo())
            .Enum("Alignment", AlignmentEnum(), &TCustomMemo::Alignment, &TCustomMemo::SetAlignment, 0)
            .Enum("ImeMode", ImeModeEnum(), &TCustomMemo::ImeMode, &TCustomMemo::SetImeMode, 3)
            .Str("ImeName", &TCustomMemo::ImeName, &TCustomMemo::SetImeName)
            .Object<TStrings>("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines)
            .Enum("ScrollBars", ScrollStyleEnum(), &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, 0)
            .Bool("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns, true)
            .Bool("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs, false)
            .Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, true)
            .Build();
    return info;
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TStrings>()) {
    SetBoundsDirect(0, 0, 185, 89);
    lines_->Observer = [this](TStringsChange, int) { LinesChanged(); };
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* v) { lines_->Assign(v); }

void TCustomMemo::LinesChanged() {
    if (syncing_) return;
    std::string text;
    for (int i = 0; i < lines_->Count(); ++i) text.append((*lines_)[i]).append("\r\n");
    syncing_ = true;
    try {
        SetText(text);
    } catch (...) {
        syncing_ = false;
        throw;
    }
    syncing_ = false;
}

void TCustomMemo::TextChanged() {
    if (!syncing_) {
        syncing_ = true;
        try {
            lines_->SetText(text_);
        } catch (...) {
            syncing_ = false;
            throw;
        }
        syncing_ = false;
    }
    TCustomEdit::TextChanged();
}

bool TCustomMemo::KeyDown(uint16_t& key, TShiftState shift) {
    if (TCustomEdit::KeyDown(key, shift)) return true;
    if (key == VK_RETURN && wantReturns_) return true;
    if (key == VK_TAB && wantTabs_) return true;
    return false;
}

void TCustomMemo::InsertChar(char c) {
    if (c == '\r' || c == '\n') {
        // Enter breaks the line with CR LF; without WantReturns it belongs to the form.
        if (!wantReturns_ || ReadOnly()) return;
        std::string t = Text();
        const size_t start = static_cast<size_t>(std::min(SelStart(), static_cast<int>(t.size())));
        t.erase(start, static_cast<size_t>(SelLength()));
        if (MaxLength() > 0 && static_cast<int>(t.size()) + 2 > MaxLength()) return;
        t.insert(start, "\r\n");
        SetText(t);
        SetSelStart(static_cast<int>(start) + 2);
        return;
    }
    if (c == '\t' && !wantTabs_) return;
    TCustomEdit::InsertChar(c);
}

const ClassInfo& TMemo::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TMemo>("TMemo", &TCustomMemo::StaticClassInfo()).Build();
    return info;
}

// ---- Combo boxes -------------------------------------------------------------------------------

const EnumInfo& ComboBoxStyleEnum() {
    static const EnumInfo info{"TComboBoxStyle",
                               {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};
    return info;
}

const ClassInfo& TCustomComboBox::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomComboBox>("TCustomComboBox", &TWinControl::StaticClassInfo())
            .Enum("Style", ComboBoxStyleEnum(), &TCustomComboBox::Style, &TCustomComboBox::SetStyle, 0)
            .Bool("AutoComplete", &TCustomComboBox::AutoComplete, &TCustomComboBox::SetAutoComplete, true)
            .Bool("AutoDropDown", &TCustomComboBox::AutoDropDown, &TCustomComboBox::SetAutoDropDown, false)
            .Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount, 8)
            .Enum("ImeMode", ImeModeEnum(), &TCustomComboBox::ImeMode, &TCustomComboBox::SetImeMode, 3)
            .Str("ImeName", &TCustomComboBox::ImeName, &TCustomComboBox::SetImeName)
            .Int("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight, 16)
            .Int("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex, -1)
            .Int("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength, 0)
            .Bool("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted, false)
            .Str("Text", &TCustomComboBox::Text, &TCustomComboBox::SetTextProp)
            .Event("OnChange", &TCustomComboBox::OnChange)
            .Event("OnCloseUp", &TCustomComboBox::OnCloseUp)
            .Event("OnDropDown", &TCustomComboBox::OnDropDown)
            .Event("OnSelect", &TCustomComboBox::OnSelect)
            .Object<TStrings>("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems)
            .Build();
    return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TStrings>()) {
    SetBoundsDirect(0, 0, 145, 21);
    SetColor(clWindow);
    SetTabStop(true);
    items_->Observer = [this](TStringsChange change, int index) { ItemsChanged(change, index); };
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::SetItems(TStrings* v) { items_->Assign(v); }

void TCustomComboBox::ShowSelection() {
    // The edit shows the selected item; the selection itself stays.
    TControl::SetText(itemIndex_ >= 0 ? (*items_)[itemIndex_] : std::string());
}

void TCustomComboBox::ItemsChanged(TStringsChange change, int index) {
    const int old = itemIndex_;
    switch (change) {
        case TStringsChange::Inserted:
            if (itemIndex_ >= 0 && index <= itemIndex_) ++itemIndex_;
            break;
        case TStringsChange::Deleted:
        case TStringsChange::Replaced:
            if (index == itemIndex_) {
                itemIndex_ = -1;
            } else if (change == TStringsChange::Deleted && itemIndex_ > index) {
                --itemIndex_;
            }
            break;
        case TStringsChange::Cleared:
        case TStringsChange::Reset: itemIndex_ = -1; break;
    }
    // A list without a choice shows no text; an edit keeps what it holds.
    if (old != itemIndex_ && style_ == TComboBoxStyle::csDropDownList) ShowSelection();
}

std::string TCustomComboBox::GetText() const {
    if (style_ == TComboBoxStyle::csDropDownList) return itemIndex_ >= 0 ? (*items_)[itemIndex_] : std::string();
    return TWinControl::GetText();
}

void TCustomComboBox::SetText(const std::string& v) {
    if (style_ == TComboBoxStyle::csDropDownList) {
        const int i = items_->IndexOf(v);
        if (i < 0) return;
        itemIndex_ = i;
        ShowSelection();
        return;
    }
    if (v == TWinControl::GetText()) return;
    // A new text in the edit clears the list's choice while the list is closed; while it is
    // open the list follows the first item that begins with the text.
    int match = -1;
    if (droppedDown_ && !v.empty()) {
        for (int i = 0; i < items_->Count(); ++i) {
            if (rtl::AnsiLowerCase((*items_)[i]).rfind(rtl::AnsiLowerCase(v), 0) == 0) {
                match = i;
                break;
            }
        }
    }
    itemIndex_ = match;
    TWinControl::SetText(v);
}

void TCustomComboBox::SetItemIndex(int v) {
    if (v == itemIndex_) return;
    itemIndex_ = v >= 0 && v < items_->Count() ? v : -1;
    ShowSelection();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
    if (v == style_) return;
    const std::string shown = GetText();
    style_ = v;
    if (v != TComboBoxStyle::csDropDownList) TControl::SetText(shown);
}

void TCustomComboBox::SetSorted(bool v) {
    if (v == items_->Sorted()) return;
    // Rebuilt as the window is: the same index is selected again, whatever item now stands there.
    const int keep = itemIndex_;
    items_->SetSorted(v);
    if (keep >= 0) SetItemIndex(keep);
}

void TCustomComboBox::SetDroppedDown(bool v) {
    if (v == droppedDown_) return;
    droppedDown_ = v;
    if (v) {
        OnDropDown(this);
    } else {
        OnCloseUp(this);
    }
}

void TCustomComboBox::Select() {
    if (OnSelect) {
        OnSelect(this);
    } else {
        Change();
    }
}

void TCustomComboBox::SelectItem(int index) {
    if (!Enabled() || index < 0 || index >= items_->Count()) return;
    if (GetParentForm(this) && CanFocus() && !Focused()) SetFocus();
    itemIndex_ = index;
    ShowSelection();
    Click();
    Select();
}

void TCustomComboBox::TypeText(const std::string& text) {
    for (char c : text) {
        char ch = c;
        TCustomForm* form = GetParentForm(this);
        if (form && form->KeyPreview() && form->KeyPress(ch)) continue;
        if (KeyPress(ch)) continue;
        if (style_ == TComboBoxStyle::csDropDownList) {
            // The next item that begins with the character, after the selected one, wrapping.
            const int count = items_->Count();
            const std::string key = rtl::AnsiLowerCase(std::string(1, ch));
            for (int k = 1; k <= count; ++k) {
                const int i = (itemIndex_ + k + count) % count;
                if (rtl::AnsiLowerCase((*items_)[i]).rfind(key, 0) == 0) {
                    if (i != itemIndex_) SelectItem(i);
                    break;
                }
            }
            continue;
        }
        std::string t = TWinControl::GetText();
        if (ch == '\b') {
            if (t.empty()) continue;
            size_t p = t.size() - 1;
            while (p > 0 && (static_cast<unsigned char>(t[p]) & 0xC0) == 0x80) --p;
            t.erase(p);
        } else if (static_cast<unsigned char>(ch) >= 0x20 || (ch & 0x80)) {
            if (maxLength_ > 0 && static_cast<int>(t.size()) >= maxLength_) continue;
            t.push_back(ch);
        } else {
            continue;
        }
        itemIndex_ = -1;
        TControl::SetText(t);
        Change();
    }
}

const ClassInfo& TComboBox::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TComboBox>("TComboBox", &TCustomComboBox::StaticClassInfo()).Build();
    return info;
}

// ---- List boxes --------------------------------------------------------------------------------

const EnumInfo& ListBoxStyleEnum() {
    static const EnumInfo info{"TListBoxStyle",
                               {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual", "lbVirtualOwnerDraw"}};
    return info;
}

const ClassInfo& TCustomListBox::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomListBox>("TCustomListBox", &TWinControl::StaticClassInfo())
            .Enum("Style", ListBoxStyleEnum(), &TCustomListBox::Style, &TCustomListBox::SetStyle, 0)
            .Bool("AutoComplete", &TCustomListBox::AutoComplete, &TCustomListBox::SetAutoComplete, true)
            .Enum("BorderStyle", ControlBorderStyleEnum(), &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle, 1)
            .Int("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns, 0)
            .Bool("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect, true)
            .Enum("ImeMode", ImeModeEnum(), &TCustomListBox::ImeMode, &TCustomListBox::SetImeMode, 3)
            .Str("ImeName", &TCustomListBox::ImeName, &TCustomListBox::SetImeName)
            .Bool("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight, false)
            .Int("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight, 16)
            .Object<TStrings>("Items", &TCustomListBox::Items, &TCustomListBox::SetItems)
            .Bool("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect, false)
            .Int("ScrollWidth", &TCustomListBox::ScrollWidth, &TCustomListBox::SetScrollWidth, 0)
            .Bool("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted, false)
            .Int("TabWidth", &TCustomListBox::TabWidth, &TCustomListBox::SetTabWidth, 0)
            .Build();
    return info;
}

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TStrings>()) {
    SetBoundsDirect(0, 0, 121, 97);
    SetColor(clWindow);
    SetTabStop(true);
    items_->Observer = [this](TStringsChange change, int index) { ItemsChanged(change, index); };
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::SetItems(TStrings* v) { items_->Assign(v); }

void TCustomListBox::ItemsChanged(TStringsChange change, int index) {
    switch (change) {
        case TStringsChange::Inserted:
            selected_.insert(selected_.begin() + index, false);
            if (itemIndex_ >= 0 && index <= itemIndex_) ++itemIndex_;
            if (anchor_ >= 0 && index <= anchor_) ++anchor_;
            break;
        case TStringsChange::Deleted:
            selected_.erase(selected_.begin() + index);
            if (index == itemIndex_) {
                itemIndex_ = -1;
            } else if (itemIndex_ > index) {
                --itemIndex_;
            }
            if (index == anchor_) {
                anchor_ = -1;
            } else if (anchor_ > index) {
                --anchor_;
            }
            break;
        case TStringsChange::Replaced:
            // Replaced as deleted and inserted again: the item loses its selection.
            selected_[static_cast<size_t>(index)] = false;
            if (index == itemIndex_ && !multiSelect_) itemIndex_ = -1;
            break;
        case TStringsChange::Cleared:
        case TStringsChange::Reset:
            selected_.assign(static_cast<size_t>(items_->Count()), false);
            itemIndex_ = -1;
            anchor_ = -1;
            break;
    }
}

void TCustomListBox::SetItemIndex(int v) {
    if (v < 0 || v >= items_->Count()) v = -1;
    if (!multiSelect_ || v >= 0) itemIndex_ = v;
}

void TCustomListBox::SetMultiSelect(bool v) {
    if (v == multiSelect_) return;
    multiSelect_ = v;
    selected_.assign(static_cast<size_t>(items_->Count()), false);
    if (!v) itemIndex_ = -1;
}

bool TCustomListBox::Selected(int i) const {
    if (i < 0 || i >= items_->Count()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i}));
    return multiSelect_ ? static_cast<bool>(selected_[static_cast<size_t>(i)]) : i == itemIndex_;
}

void TCustomListBox::SetSelected(int i, bool v) {
    if (i < 0 || i >= items_->Count()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i}));
    if (multiSelect_) {
        selected_[static_cast<size_t>(i)] = v;
    } else if (v) {
        itemIndex_ = i;
    } else if (itemIndex_ == i) {
        itemIndex_ = -1;
    }
}

int TCustomListBox::SelCount() const {
    if (!multiSelect_) return -1;
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::ClearSelection() {
    if (multiSelect_) {
        selected_.assign(static_cast<size_t>(items_->Count()), false);
    } else {
        itemIndex_ = -1;
    }
}

void TCustomListBox::SelectAll() {
    if (multiSelect_) selected_.assign(static_cast<size_t>(items_->Count()), true);
}

void TCustomListBox::SetSorted(bool v) {
    if (v == items_->Sorted()) return;
    items_->SetSorted(v);
}

void TCustomListBox::SelectItem(int index, TShiftState shift) {
    if (!Enabled() || index < 0 || index >= items_->Count()) return;
    if (GetParentForm(this) && CanFocus() && !Focused()) SetFocus();
    if (!multiSelect_) {
        itemIndex_ = index;
    } else if (!extendedSelect_) {
        selected_[static_cast<size_t>(index)] = !selected_[static_cast<size_t>(index)];
        itemIndex_ = index;
    } else if (shift & ssShift) {
        const int from = anchor_ >= 0 ? anchor_ : index;
        if (!(shift & ssCtrl)) selected_.assign(selected_.size(), false);
        for (int i = std::min(from, index); i <= std::max(from, index); ++i) selected_[static_cast<size_t>(i)] = true;
        itemIndex_ = index;
    } else if (shift & ssCtrl) {
        selected_[static_cast<size_t>(index)] = !selected_[static_cast<size_t>(index)];
        itemIndex_ = anchor_ = index;
    } else {
        selected_.assign(selected_.size(), false);
        selected_[static_cast<size_t>(index)] = true;
        itemIndex_ = anchor_ = index;
    }
    Click();
}

const ClassInfo& TListBox::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TListBox>("TListBox", &TCustomListBox::StaticClassInfo()).Build();
    return info;
}

}  // namespace ui
