// Datasets and fields. TDataSet is the in-memory record engine that the platform's datasets
// share: cursor, edit buffer, index order, filter, locate and the change log. A derived dataset
// only says where the rows come from (InternalOpen). Also the field and index definitions, the
// data source and the base of connections.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Classes.h"

namespace data {

class EDatabaseError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EDatabaseError"; }
};

// Raises EDatabaseError; the message is prefixed with "Name: " when the component has a name,
// as the class library reports dataset errors.
[[noreturn]] void DatabaseError(const std::string& message, const ui::TComponent* component = nullptr);

// The class library's field types, in its order. The value kinds stored: text (ftString,
// ftFixedChar, ftWideString, ftMemo, ftFmtMemo), integer (ftSmallint, ftInteger, ftWord,
// ftAutoInc, ftLargeint), ftBoolean, float (ftFloat, ftCurrency, ftBCD) and date-time (ftDate,
// ftTime, ftDateTime). The other types cannot be stored.
enum class TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
    ftInterface, ftIDispatch, ftGuid
};
const ui::EnumInfo& FieldTypeEnum();

// Sets are bit masks: bit n is value n.
enum TFieldAttribute { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };
using TFieldAttributes = uint8_t;
const ui::EnumInfo& FieldAttributeEnum();

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
const ui::EnumInfo& DataSetStateEnum();

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = uint8_t;

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = uint8_t;
const ui::EnumInfo& FilterOptionEnum();

enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = uint8_t;
const ui::EnumInfo& IndexOptionEnum();

enum class TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
// The ordinals travel in the delta of ApplyUpdates (docs/data.md).
enum class TUpdateKind { ukModify, ukInsert, ukDelete };

class TDataSet;
class TField;

// ---- Definitions -------------------------------------------------------------------------------

class TFieldDef : public ui::TObject {
public:
    TFieldDef(std::string name, TFieldType type, int size, bool required);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& Name() const noexcept { return name_; }
    void SetName(const std::string& v) { name_ = v; }
    TFieldType DataType() const noexcept { return type_; }
    void SetDataType(TFieldType v) { type_ = v; }
    // Metadata only: texts are not cut to it.
    int Size() const noexcept { return size_; }
    void SetSize(int v) { size_ = v; }
    TFieldAttributes Attributes() const noexcept { return attributes_; }
    void SetAttributes(TFieldAttributes v) { attributes_ = v; }
    bool Required() const noexcept { return (attributes_ >> faRequired) & 1; }
    void SetRequired(bool v);

private:
    std::string name_;
    TFieldType type_;
    int size_;
    TFieldAttributes attributes_ = 0;
};

class TFieldDefs : public ui::TObject {
public:
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // Raises EDatabaseError "Duplicate field name 'X'" for a name already defined (any case).
    TFieldDef* Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TFieldDef* Items(int i) const;
    int IndexOf(std::string_view name) const;  // -1 when none
    TFieldDef* Find(std::string_view name) const;  // raises "Field 'X' not found"
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TFieldDef>> items_;
};

class TIndexDef : public ui::TObject {
public:
    TIndexDef(std::string name, std::string fields, TIndexOptions options);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& Name() const noexcept { return name_; }
    void SetName(const std::string& v) { name_ = v; }
    // Field names separated by ";".
    const std::string& Fields() const noexcept { return fields_; }
    void SetFields(const std::string& v) { fields_ = v; }
    TIndexOptions Options() const noexcept { return options_; }
    void SetOptions(TIndexOptions v) { options_ = v; }

private:
    std::string name_;
    std::string fields_;
    TIndexOptions options_;
};

class TIndexDefs : public ui::TObject {
public:
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // Raises EDatabaseError "Duplicate index name 'X'".
    TIndexDef* Add(const std::string& name, const std::string& fields, TIndexOptions options = 0);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TIndexDef* Items(int i) const;
    int IndexOf(std::string_view name) const;
    TIndexDef* Find(std::string_view name) const;  // raises "Index 'X' not found"
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TIndexDef>> items_;
};

// ---- Fields ------------------------------------------------------------------------------------

using TFieldNotifyEvent = ui::TEvent<TField*>;
// (field, text to fill, display text wanted)
using TFieldGetTextEvent = ui::TEvent<TField*, std::string&, bool>;
using TFieldSetTextEvent = ui::TEvent<TField*, const std::string&>;

// A field of a dataset. The dataset owns its fields for its whole life: a field keeps its
// handlers and display label across Close and Open as long as the name stays in the structure,
// so pointers to fields stay valid while the dataset exists.
//
// Reading a field without a current record gives null (AsString ""); writing needs the dataset
// in edit or insert mode. The typed accessors convert as the class library's field classes do
// and raise "Cannot access field 'X' as type T" where those classes have no conversion.
class TField : public ui::TObject {
public:
    TField(TDataSet* dataSet, std::string name, TFieldType type, int size);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TDataSet* DataSet() const noexcept { return dataSet_; }
    const std::string& FieldName() const noexcept { return name_; }
    TFieldType DataType() const noexcept { return type_; }
    int Size() const noexcept { return size_; }
    int Index() const noexcept { return slot_; }  // position in the dataset's Fields; -1 when detached

    // The field name when no label was set.
    std::string DisplayLabel() const { return label_.empty() ? name_ : label_; }
    void SetDisplayLabel(const std::string& v) { label_ = v; }
    std::string DisplayName() const { return DisplayLabel(); }
    bool Required() const noexcept { return required_; }
    void SetRequired(bool v) { required_ = v; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool v) { visible_ = v; }

    bool IsNull() const;
    rtl::Variant AsVariant() const;  // Null when null
    void SetAsVariant(const rtl::Variant& v);  // Null or Empty clears
    rtl::Variant Value() const { return AsVariant(); }
    void SetValue(const rtl::Variant& v) { SetAsVariant(v); }
    std::string AsString() const;
    // For a text field an empty text stores null, as the class library's string fields do.
    void SetAsString(const std::string& v);
    int AsInteger() const;
    void SetAsInteger(int v);
    int64_t AsLargeInt() const;
    void SetAsLargeInt(int64_t v);
    double AsFloat() const;
    void SetAsFloat(double v);
    rtl::TDateTime AsDateTime() const;
    void SetAsDateTime(rtl::TDateTime v);
    bool AsBoolean() const;
    void SetAsBoolean(bool v);
    void Clear();

    // Text through OnGetText / OnSetText when assigned, else AsString / SetAsString.
    std::string Text() const { return GetText(false); }
    void SetText(const std::string& v);
    std::string DisplayText() const { return GetText(true); }

    TFieldNotifyEvent OnChange;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;  // before a value is stored; raising refuses it

private:
    friend class TDataSet;
    const rtl::Variant& Current() const;
    void Store(rtl::Variant v);
    std::string GetText(bool display) const;
    [[noreturn]] void AccessError(const char* typeName) const;

    TDataSet* dataSet_;
    std::string name_;
    TFieldType type_;
    int size_;
    int slot_ = -1;
    std::string label_;
    bool required_ = false;
    bool readOnly_ = false;
    bool visible_ = true;
};

// Converts a value to what a field of `type` stores: Null for Null or Empty; texts for the text
// types; 64-bit integers; doubles; dates; Booleans. Raises EConvertError with the class
// library's texts when a text does not read as the type, EDatabaseError for types that cannot
// be stored.
rtl::Variant CoerceFieldValue(TFieldType type, const rtl::Variant& v, std::string_view fieldName);

// Reads a date, time or date and time in the order of the short date format with its
// separators (rtl::FormatSettings), e.g. "2024/3/9 14:05:00" on a Chinese workstation.
bool TryStrToDateTime(std::string_view s, rtl::TDateTime& out);

// ---- Datasets ----------------------------------------------------------------------------------

using TDataSetNotifyEvent = ui::TEvent<TDataSet*>;
using TFilterRecordEvent = ui::TEvent<TDataSet*, bool&>;

namespace detail {
class FilterExpression;
}

// The cursor follows the class library: after Open and First the dataset is at its first
// record with Bof set; Next on the last record sets Eof and stays there; navigation first posts
// a modified edit (or cancels an unmodified one). Records are kept in the order they were
// added (Insert puts a record before the current one) unless an index orders them.
class TDataSet : public ui::TComponent {
public:
    explicit TDataSet(ui::TComponent* owner);
    ~TDataSet() override;
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // ---- Opening
    bool Active() const noexcept { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool v);  // while loading, applied in Loaded
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const noexcept { return state_; }

    // ---- Structure
    TFieldDefs* FieldDefs() const noexcept { return fieldDefs_.get(); }
    int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
    TField* Fields(int i) const;
    TField* FindField(std::string_view name) const;      // nullptr when none
    TField* FieldByName(std::string_view name) const;    // raises "Field 'X' not found"

    // ---- Navigation (all raise "Cannot perform this operation on a closed dataset" when closed)
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);  // answers how far it moved
    bool Eof() const noexcept { return eof_; }
    bool Bof() const noexcept { return bof_; }
    bool IsEmpty() const noexcept { return view_.empty(); }
    int RecordCount() const;
    int RecNo() const;  // 1-based; -1 when there is no current record or one is being inserted
    void SetRecNo(int recNo);  // out of range: stays

    // ---- Editing
    void Edit();    // on an empty dataset: Insert
    void Insert();  // a new record before the current one
    void Append();  // a new record after the last one
    void Post();    // raises "Dataset not in edit or insert mode" outside edit and insert
    void Cancel();
    void Delete();  // raises "Cannot perform this operation on an empty dataset"
    bool Modified() const noexcept { return modified_; }
    void CheckBrowseMode();
    bool CanModify() const noexcept { return !readOnly_; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v);

    // ---- Searching. Field lists are names separated by ";". Keys are a single value for one
    // field, else an array with one value per field; a Null key matches a null field.
    bool Locate(std::string_view keyFields, const rtl::Variant& keyValues, TLocateOptions options = 0);
    // The values of resultFields (one value, or an array for several) of the first matching
    // record, without moving; Null when none matches.
    rtl::Variant Lookup(std::string_view keyFields, const rtl::Variant& keyValues, std::string_view resultFields);
    // The first record whose leading index fields equal the keys, under the active index.
    bool FindKey(const std::vector<rtl::Variant>& keyValues);

    // ---- Order
    TIndexDefs* IndexDefs() const noexcept { return indexDefs_.get(); }
    const std::string& IndexName() const noexcept { return indexName_; }
    void SetIndexName(const std::string& v);  // clears IndexFieldNames
    const std::string& IndexFieldNames() const noexcept { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& v);  // clears IndexName
    // The fields of the active order (empty for the order of addition).
    std::vector<TField*> IndexFields() const;

    // ---- Filter: "FIELD = 'value' and (N > 2 or not X is null)" (docs/data.md)
    const std::string& Filter() const noexcept { return filterText_; }
    void SetFilter(const std::string& v);
    bool Filtered() const noexcept { return filtered_; }
    void SetFiltered(bool v);
    TFilterOptions FilterOptions() const noexcept { return filterOptions_; }
    void SetFilterOptions(TFilterOptions v);

    // ---- Data-aware controls
    void DisableControls() noexcept { ++disableCount_; }
    void EnableControls() noexcept { if (disableCount_ > 0) --disableCount_; }
    bool ControlsDisabled() const noexcept { return disableCount_ > 0; }

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord;
    TFilterRecordEvent OnFilterRecord;  // the fields read the record being judged

protected:
    struct Record {
        std::vector<rtl::Variant> values;
        std::vector<rtl::Variant> original;  // as loaded or last merged; empty for an inserted record
        TUpdateStatus status = TUpdateStatus::usUnmodified;
        uint64_t changeSeq = 0;  // order of the last change
    };
    struct Change {
        const Record* record;
        TUpdateKind kind;
        const std::vector<rtl::Variant>* original;  // nullptr for an insert
        const std::vector<rtl::Variant>* current;   // nullptr for a delete
    };

    // Fills FieldDefs, calls BindFields and adds the rows with LoadRecord. A failure leaves the
    // dataset closed.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() {}
    void BindFields();
    void LoadRecord(const std::vector<rtl::Variant>& values);  // converted to the field types

    void CheckActive() const;
    void CheckInactive() const;

    // The change log, in the order of the changes.
    int ChangeCount() const;
    std::vector<Change> Changes() const;
    // Makes the changes of these records (all when `records` is null) part of the data.
    void MergeChanges(const std::vector<const Record*>* records);
    void CancelChanges();
    TUpdateStatus CurrentUpdateStatus() const;

    void Destroy() override;
    void Loaded() override;

private:
    void ChangeIndex(const std::string& name, const std::string& fields);
    friend class TField;
    const std::vector<rtl::Variant>* ActiveValues() const;
    void WriteField(TField& field, rtl::Variant value);
    void ClearData();
    void RebuildView(const Record* keep);
    bool Accepts(const Record& r);
    int Compare(const Record& a, const Record& b) const;
    void ResolveIndex();
    void ResolveFilter();
    void CheckUnique(const std::vector<rtl::Variant>& values, const Record* self) const;
    std::vector<int> FieldSlots(std::string_view names) const;
    const Record* FindMatch(const std::vector<int>& slots, const rtl::Variant& keys, TLocateOptions options) const;
    void Scrolled() { AfterScroll(this); }
    void BeginInsert(bool append);
    void OpenCursor();

    TDataSetState state_ = TDataSetState::dsInactive;
    std::unique_ptr<TFieldDefs> fieldDefs_;
    std::unique_ptr<TIndexDefs> indexDefs_;
    std::vector<std::unique_ptr<TField>> fieldPool_;  // every field ever made, by name
    std::vector<TField*> fields_;                     // the current structure
    std::vector<std::unique_ptr<Record>> data_;       // order of addition; deleted ones flagged
    std::vector<Record*> view_;                       // visible records in index order
    int cur_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    std::vector<rtl::Variant> buffer_;  // the record being edited or inserted
    const Record* insertBefore_ = nullptr;
    bool appending_ = false;
    bool modified_ = false;
    const Record* judging_ = nullptr;  // the record OnFilterRecord is looking at
    uint64_t changeSeq_ = 0;
    bool readOnly_ = false;
    bool streamedActive_ = false;
    int disableCount_ = 0;

    std::string indexName_;
    std::string indexFieldNames_;
    struct IndexKey {
        int slot;
        bool descending;
        bool caseInsensitive;
    };
    std::vector<IndexKey> indexKeys_;

    std::string filterText_;
    bool filtered_ = false;
    TFilterOptions filterOptions_ = 0;
    std::unique_ptr<detail::FilterExpression> filter_;
};

// ---- Data source -------------------------------------------------------------------------------

class TDataSource : public ui::TComponent {
public:
    explicit TDataSource(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TDataSet* DataSet() const noexcept { return dataSet_; }
    void SetDataSet(TDataSet* v);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool AutoEdit() const noexcept { return autoEdit_; }
    void SetAutoEdit(bool v) { autoEdit_ = v; }
    // The dataset's state; dsInactive without a dataset or when disabled.
    TDataSetState State() const;

protected:
    void Destroy() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
};

// ---- Connections -------------------------------------------------------------------------------

// The base of connections: Connected drives DoConnect / DoDisconnect with the four events
// around them. Setting Connected while the component loads is applied in Loaded.
class TCustomConnection : public ui::TComponent {
public:
    explicit TCustomConnection(ui::TComponent* owner) : ui::TComponent(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool Connected() const { return GetConnected(); }
    void SetConnected(bool v);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    ui::TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

protected:
    virtual bool GetConnected() const = 0;
    virtual void DoConnect() = 0;
    virtual void DoDisconnect() = 0;
    void Loaded() override;

private:
    bool streamedConnected_ = false;
};

}  // namespace data
