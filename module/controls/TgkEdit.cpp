#include "TgkEdit.h"

#include "F2Button.h"

using namespace ui;

const EnumInfo& LabelPositionEnum() {
    static const EnumInfo info{"TLabelPosition", {"lpAbove", "lpBelow", "lpLeft", "lpRight"}};
    return info;
}

// ---- TDBEdit ------------------------------------------------------------------------------------

const ClassInfo& TDBEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TDBEdit>("TDBEdit", &TCustomMaskEdit::StaticClassInfo())
                                      .Str("DataField", &TDBEdit::DataField, &TDBEdit::SetDataField)
                                      .Object<data::TDataSource>("DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource)
                                      .Build();
    return info;
}

TDBEdit::TDBEdit(TComponent* owner) : TCustomMaskEdit(owner) {}

void TDBEdit::Destroy() {
    if (dataSource_) dataSource_->RemoveFreeNotification(this);
    dataSource_ = nullptr;
    TCustomMaskEdit::Destroy();
}

void TDBEdit::Notification(TComponent* component, TOperation operation) {
    TCustomMaskEdit::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dataSource_) {
        // Without its source the edit has no record to show.
        dataSource_ = nullptr;
        dataModified_ = false;
        SetModified(false);
        if (!IsDestroying()) ShowStored("");
    }
}

void TDBEdit::SetDataSource(data::TDataSource* v) {
    if (v == dataSource_) return;
    if (dataSource_) dataSource_->RemoveFreeNotification(this);
    dataSource_ = v;
    if (v) v->FreeNotification(this);
    DataChange();
}

void TDBEdit::SetDataField(const std::string& v) {
    if (v == dataField_) return;
    dataField_ = v;
    DataChange();
}

data::TField* TDBEdit::Field() const {
    if (!Bound() || dataSource_->State() == data::TDataSetState::dsInactive) return nullptr;
    return dataSource_->DataSet()->FindField(dataField_);
}

bool TDBEdit::CanModify() const {
    data::TField* f = Field();
    return f && !ReadOnly() && !f->ReadOnly() && f->DataSet()->CanModify();
}

bool TDBEdit::StartEditing() {
    if (!CanModify()) return false;
    data::TDataSet* ds = Field()->DataSet();
    const auto editing = [ds] {
        return ds->State() == data::TDataSetState::dsEdit || ds->State() == data::TDataSetState::dsInsert;
    };
    if (editing()) return true;
    if (!dataSource_->AutoEdit()) return false;
    ds->Edit();
    return editing();
}

bool TDBEdit::EditCanModify() { return !Bound() || StartEditing(); }

std::string TDBEdit::LiveText() const {
    const data::TField* f = Field();
    if (!f) return std::string();
    if (Focused() && CanModify()) return IsMasked() ? FormatMaskText(EditMask(), f->Text()) : f->Text();
    return f->DisplayText();
}

std::string TDBEdit::GetEditText() const {
    if (Bound() && !DataModified()) return LiveText();
    return TCustomMaskEdit::GetEditText();
}

void TDBEdit::ShowStored(const std::string& v) {
    if (TCustomMaskEdit::GetEditText() != v) TControl::SetText(v);
}

void TDBEdit::SetEditText(const std::string& v) {
    // Compared with the field before the base class stores it: a text equal to the field's is
    // no change.
    const bool differs = Bound() && v != LiveText();
    TCustomMaskEdit::SetEditText(v);
    if (Bound()) {
        dataModified_ = differs;
        ShowStored(v);
    }
}

void TDBEdit::DataChange() {
    dataModified_ = false;
    SetModified(false);
    ShowStored(GetEditText());
}

void TDBEdit::TypeText(const std::string& text) {
    if (Bound()) {
        if (!StartEditing()) return;
        // Typing starts from what the field holds now.
        if (!DataModified()) ShowStored(LiveText());
    }
    TCustomMaskEdit::TypeText(text);
}

void TDBEdit::UpdateRecord() {
    if (!DataModified()) return;
    data::TField* f = Field();
    if (!f) return;
    ValidateEdit();
    const std::string text = TCustomMaskEdit::GetText();
    // When editing cannot start, the field refuses the text with the dataset's own error.
    StartEditing();
    f->SetText(text);
    DataChange();
}

void TDBEdit::WndProc(TMessage& m) {
    if (m.Msg == CM_ENTER && Bound()) {
        // Editing starts from the field as it is now (or from what is pending), all selected.
        if (!DataModified()) ShowStored(LiveText());
        if (AutoSelect()) SelectAll();
    }
    if (m.Msg == CM_EXIT && Bound()) {
        try {
            UpdateRecord();
        } catch (...) {
            // The text stays for correction, and so does the focus.
            SelectAll();
            if (CanFocus()) SetFocus();
            throw;
        }
    }
    TCustomMaskEdit::WndProc(m);
}

// ---- The labelled edits ---------------------------------------------------------------------------

template <typename Edit>
TTgLabeledEdit<Edit>::TTgLabeledEdit(TComponent* owner) : Edit(owner) {
    label_ = new TLabel(this);
    label_->SetName("EditLabel");
    label_->SetFocusControl(this);
    PlaceLabel();
}

template <typename Edit>
void TTgLabeledEdit<Edit>::Notification(TComponent* component, TOperation operation) {
    Edit::Notification(component, operation);
    if (operation == TOperation::opRemove && component == label_) label_ = nullptr;
}

template <typename Edit>
void TTgLabeledEdit<Edit>::SetCaption(const std::string& v) {
    if (!label_) return;
    label_->SetCaption(v);
    PlaceLabel();
}

template <typename Edit>
void TTgLabeledEdit<Edit>::SetLabelPosition(TLabelPosition v) {
    labelPosition_ = v;
    PlaceLabel();
}

template <typename Edit>
void TTgLabeledEdit<Edit>::SetLabelSpacing(int v) {
    if (v < 0) return;
    labelSpacing_ = v;
    PlaceLabel();
}

template <typename Edit>
void TTgLabeledEdit<Edit>::PlaceLabel() {
    if (!label_) return;
    const int l = this->Left(), t = this->Top(), w = this->Width(), h = this->Height();
    const int lw = label_->Width(), lh = label_->Height(), s = labelSpacing_;
    int x = 0, y = 0;
    switch (labelPosition_) {
        case TLabelPosition::lpAbove: x = l, y = t - lh - s; break;
        case TLabelPosition::lpBelow: x = l, y = t + h + s; break;
        case TLabelPosition::lpLeft: x = l - lw - s, y = t + (h - lh) / 2; break;
        case TLabelPosition::lpRight: x = l + w + s, y = t + (h - lh) / 2; break;
    }
    label_->SetBounds(x, y, lw, lh);
}

template <typename Edit>
void TTgLabeledEdit<Edit>::SetBounds(int left, int top, int width, int height) {
    Edit::SetBounds(left, top, width, height);
    PlaceLabel();
}

template <typename Edit>
void TTgLabeledEdit<Edit>::SetParent(TWinControl* parent) {
    Edit::SetParent(parent);
    if (label_) label_->SetParent(parent);
}

template <typename Edit>
void TTgLabeledEdit<Edit>::SetEnabled(bool v) {
    Edit::SetEnabled(v);
    if (label_) label_->SetEnabled(v);
}

template <typename Edit>
void TTgLabeledEdit<Edit>::VisibleChanged() {
    Edit::VisibleChanged();
    if (label_) label_->SetVisible(this->Visible());
}

template <typename Edit>
void TTgLabeledEdit<Edit>::Loaded() {
    Edit::Loaded();
    if (label_ && label_->AutoSize()) {
        // A label loaded with its caption has not measured it yet.
        label_->SetAutoSize(false);
        label_->SetAutoSize(true);
    }
    PlaceLabel();
}

template class TTgLabeledEdit<TEdit>;
template class TTgLabeledEdit<TDBEdit>;

const ClassInfo& TTgEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TTgEdit>("TTgEdit", &TEdit::StaticClassInfo())
                                      .Str("Caption", &TTgEdit::Caption, &TTgEdit::SetCaption)
                                      .Enum("LabelPosition", LabelPositionEnum(), &TTgEdit::LabelPosition,
                                            &TTgEdit::SetLabelPosition, static_cast<int>(TLabelPosition::lpLeft))
                                      .Int("LabelSpacing", &TTgEdit::LabelSpacing, &TTgEdit::SetLabelSpacing, 4)
                                      .Build();
    return info;
}

const ClassInfo& TTgDBEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TTgDBEdit>("TTgDBEdit", &TDBEdit::StaticClassInfo())
                                      .Str("Caption", &TTgDBEdit::Caption, &TTgDBEdit::SetCaption)
                                      .Str("DataField", &TTgDBEdit::DataField, &TTgDBEdit::SetDataField)
                                      .Enum("LabelPosition", LabelPositionEnum(), &TTgDBEdit::LabelPosition,
                                            &TTgDBEdit::SetLabelPosition, static_cast<int>(TLabelPosition::lpLeft))
                                      .Int("LabelSpacing", &TTgDBEdit::LabelSpacing, &TTgDBEdit::SetLabelSpacing, 4)
                                      .Build();
    return info;
}

// ---- TTgBtnDBEdit -------------------------------------------------------------------------------

const ClassInfo& TTgBtnDBEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TTgBtnDBEdit>("TTgBtnDBEdit", &TTgDBEdit::StaticClassInfo())
                                      .Int("ButtonSpacing", &TTgBtnDBEdit::ButtonSpacing, &TTgBtnDBEdit::SetButtonSpacing, 2)
                                      .Int("GlyphIndex", &TTgBtnDBEdit::GlyphIndex, &TTgBtnDBEdit::SetGlyphIndex, 8)
                                      .Str("ButtonHint", &TTgBtnDBEdit::ButtonHint, &TTgBtnDBEdit::SetButtonHint)
                                      .Event("OnDialog", &TTgBtnDBEdit::OnDialog)
                                      .Build();
    return info;
}

TTgBtnDBEdit::TTgBtnDBEdit(TComponent* owner) : TTgDBEdit(owner) {
    button_ = new TGSpeedButton(this);
    button_->SetName("F2Button");
    button_->SetFlat(true);
    button_->SetGlyphIndex(glyphIndex_);
    button_->OnClick = TNotifyEvent(this, &TTgBtnDBEdit::ButtonClick);
    PlaceButton();
}

void TTgBtnDBEdit::Notification(TComponent* component, TOperation operation) {
    TTgDBEdit::Notification(component, operation);
    if (operation == TOperation::opRemove && component == button_) button_ = nullptr;
}

void TTgBtnDBEdit::SetButtonSpacing(int v) {
    buttonSpacing_ = v;
    PlaceButton();
}

void TTgBtnDBEdit::SetGlyphIndex(int v) {
    if (button_) button_->SetGlyphIndex(v);
    glyphIndex_ = v;
}

void TTgBtnDBEdit::SetButtonHint(const std::string& v) {
    if (button_) button_->SetHint(v);
}

void TTgBtnDBEdit::PlaceButton() {
    if (!button_) return;
    button_->SetBounds(Left() + Width() + buttonSpacing_, Top(), Height(), Height());
}

void TTgBtnDBEdit::ButtonClick(TObject*) {
    if (OnDialog) {
        OnDialog(this);
        return;
    }
    if (CanFocus()) SetFocus();
    if (Focused()) SendLookupRequest(this);
}

void TTgBtnDBEdit::SetBounds(int left, int top, int width, int height) {
    TTgDBEdit::SetBounds(left, top, width, height);
    PlaceButton();
}

void TTgBtnDBEdit::SetParent(TWinControl* parent) {
    TTgDBEdit::SetParent(parent);
    if (button_) button_->SetParent(parent);
}

void TTgBtnDBEdit::SetEnabled(bool v) {
    TTgDBEdit::SetEnabled(v);
    if (button_) button_->SetEnabled(v);
}

void TTgBtnDBEdit::VisibleChanged() {
    TTgDBEdit::VisibleChanged();
    if (button_) button_->SetVisible(Visible());
}
