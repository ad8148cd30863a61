// Edits with their own caption label (TTgEdit, TTgDBEdit) and the data-aware edit with its own
// lookup button (TTgBtnDBEdit).
#pragma once

#include <cstdint>
#include <string>

#include "GSpdBtn.h"
#include "platform/data/DB.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"

enum class TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
const ui::EnumInfo& LabelPositionEnum();

// The class library's data-aware edit: it shows the field DataField of its data source's current
// record and writes what is typed (or set in code) back into that field when the edit is left.
// Typing puts the dataset into edit mode when the data source allows it (AutoEdit); an edit that
// cannot modify the field takes no typing. Without a data source it is a plain mask edit.
class TDBEdit : public ui::TCustomMaskEdit {
public:
    explicit TDBEdit(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    data::TDataSource* DataSource() const noexcept { return dataSource_; }
    void SetDataSource(data::TDataSource* v);
    const std::string& DataField() const noexcept { return dataField_; }
    void SetDataField(const std::string& v);
    // The bound field while the data source is active; nullptr otherwise.
    data::TField* Field() const;
    // A text not yet written into the field.
    bool DataModified() const noexcept { return dataModified_ || Modified(); }
    // Shows the field again, dropping a text not yet written.
    void DataChange();
    // Writes the pending text into the field, first putting the dataset into edit mode when the
    // data source allows it. Raises the dataset's error when the field cannot take the text.
    void UpdateRecord();

    // While nothing is pending, the field's text as it is now: its text when the edit has the
    // focus and may modify it, else its display text.
    std::string GetEditText() const override;
    void SetEditText(const std::string& v) override;
    void TypeText(const std::string& text) override;
    void WndProc(ui::TMessage& m) override;

protected:
    bool EditCanModify() override;
    void Destroy() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    bool Bound() const noexcept { return dataSource_ && !dataField_.empty(); }
    bool CanModify() const;
    bool StartEditing();
    std::string LiveText() const;
    // Puts a text into the edit as it stands, without counting it as a change.
    void ShowStored(const std::string& v);
    data::TDataSource* dataSource_ = nullptr;
    std::string dataField_;
    bool dataModified_ = false;
};

// An edit with its own caption label ("EditLabel"), placed beside the edit and following its
// parent, Enabled and Visible. The label may be freed by someone else: the edit then forgets it.
template <typename Edit>
class TTgLabeledEdit : public Edit {
public:
    explicit TTgLabeledEdit(ui::TComponent* owner);

    ui::TLabel* EditLabel() const noexcept { return label_; }
    // The label's text; empty when the label is gone.
    std::string Caption() const { return label_ ? label_->Caption() : std::string(); }
    void SetCaption(const std::string& v);
    TLabelPosition LabelPosition() const noexcept { return labelPosition_; }
    void SetLabelPosition(TLabelPosition v);
    int LabelSpacing() const noexcept { return labelSpacing_; }
    // A negative spacing is refused.
    void SetLabelSpacing(int v);
    // Puts the label at its place beside the edit.
    void PlaceLabel();

    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(ui::TWinControl* parent) override;
    void SetEnabled(bool v) override;

protected:
    void VisibleChanged() override;
    void Loaded() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    ui::TLabel* label_ = nullptr;
    TLabelPosition labelPosition_ = TLabelPosition::lpLeft;
    int labelSpacing_ = 4;
};

extern template class TTgLabeledEdit<ui::TEdit>;
extern template class TTgLabeledEdit<TDBEdit>;

class TTgEdit : public TTgLabeledEdit<ui::TEdit> {
public:
    explicit TTgEdit(ui::TComponent* owner) : TTgLabeledEdit<ui::TEdit>(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TTgDBEdit : public TTgLabeledEdit<TDBEdit> {
public:
    explicit TTgDBEdit(ui::TComponent* owner) : TTgLabeledEdit<TDBEdit>(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// A labelled data-aware edit with its own lookup button ("F2Button") to its right. The button
// follows the edit's bounds, parent, Enabled and Visible; a click raises OnDialog when assigned,
// else asks the form for the lookup window (WM_OPENLOOKUP), as the F2 key does.
class TTgBtnDBEdit : public TTgDBEdit {
public:
    explicit TTgBtnDBEdit(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TGSpeedButton* Button() const noexcept { return button_; }
    int ButtonSpacing() const noexcept { return buttonSpacing_; }
    void SetButtonSpacing(int v);
    int GlyphIndex() const noexcept { return glyphIndex_; }
    void SetGlyphIndex(int v);
    std::string ButtonHint() const { return button_ ? button_->Hint() : std::string(); }
    void SetButtonHint(const std::string& v);
    // Square, as high as the edit, ButtonSpacing pixels to its right.
    void PlaceButton();
    // What a click on the button does.
    void ButtonClick(ui::TObject* sender);

    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(ui::TWinControl* parent) override;
    void SetEnabled(bool v) override;

    ui::TNotifyEvent OnDialog;

protected:
    void VisibleChanged() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    TGSpeedButton* button_ = nullptr;
    int buttonSpacing_ = 2;
    int glyphIndex_ = 8;
};
