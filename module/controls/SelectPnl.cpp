#include "SelectPnl.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <map>
#include <utility>

#include "lib/LibStrs.h"
#include "platform/os/Environment.h"
#include "platform/rtl/CodePages.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/WindowSystem.h"

using namespace ui;

// ---- Enumerations ------------------------------------------------------------------------------

const EnumInfo& SelectStyleEnum() {
    static const EnumInfo info{"TSelectStyle", {"sp_Range", "sp_Discrete", "sp_UserChoice"}};
    return info;
}

const EnumInfo& ValueTypeEnum() {
    static const EnumInfo info{"TValueType", {"vt_String", "vt_Number", "vt_Date", "vt_Time", "vt_Float", "vt_OtherMask"}};
    return info;
}

const EnumInfo& DateTypeEnum() {
    static const EnumInfo info{"TDateType",
                               {"dt_NoneCare", "dt_YYYYMMDD", "dt_MMDDYYYY", "dt_DDMMYYYY", "dt_YYMMDD", "dt_YYYMMDD"}};
    return info;
}

const EnumInfo& CheckDuplicateEnum() {
    static const EnumInfo info{"TCheckDuplicate", {"cd_None", "cd_CheckCase", "cd_CaseInsensitive"}};
    return info;
}

// ---- The range ---------------------------------------------------------------------------------

namespace {

int CountOf(std::string_view text, std::string_view part) {
    int n = 0;
    for (size_t p = text.find(part); p != std::string_view::npos; p = text.find(part, p + part.size())) ++n;
    return n;
}

// The character a mask shows for an empty position, when it is one byte.
char MaskBlankChar(std::string_view mask) {
    if (mask.empty()) return ' ';
    const char32_t blank = MaskGetMaskBlank(mask);
    return blank < 0x80 ? static_cast<char>(blank) : ' ';
}

int64_t IntegerOr0(std::string_view text) {
    int64_t v = 0;
    return rtl::TryStrToInt64(text, v) ? v : 0;
}

}  // namespace

rtl::TDateTime ReadDateText(std::string_view text, TDateType type, std::string_view dateSign, std::string_view blankText) {
    std::string t = rtl::Trim(text);
    if (t.empty() || t == rtl::Trim(blankText) || dateSign.empty()) return 0;
    const std::string sign(dateSign);
    const int signs = CountOf(t, sign);
    if (signs == 1) {
        // A month without its day: the first of the month.
        switch (type) {
            case dt_YYYYMMDD:
            case dt_YYMMDD:
            case dt_YYYMMDD: t += sign + "01"; break;
            case dt_MMDDYYYY: {
                const size_t p = t.find(sign);
                t = t.substr(0, p) + sign + "01" + t.substr(p);
                break;
            }
            case dt_DDMMYYYY: t = "01" + sign + t; break;
            case dt_NoneCare: return 0;
        }
    } else if (signs != 2) {
        return 0;
    }
    if (type == dt_NoneCare) return 0;
    int part[3];
    std::string rest = t;
    for (int& p : part) {
        if (!rtl::TryStrToInt(rtl::Trim(CutField(rest, sign)), p)) return 0;
    }
    int year = 0, month = 0, day = 0;
    switch (type) {
        case dt_YYYYMMDD: year = part[0], month = part[1], day = part[2]; break;
        case dt_MMDDYYYY: year = part[2], month = part[0], day = part[1]; break;
        case dt_DDMMYYYY: year = part[2], month = part[1], day = part[0]; break;
        case dt_YYMMDD:
        case dt_YYYMMDD: year = part[0] + 1911, month = part[1], day = part[2]; break;
        case dt_NoneCare: return 0;
    }
    rtl::TDateTime date = 0;
    return rtl::TryEncodeDate(year, month, day, date) ? date : 0;
}

std::string PlainDecimalText(std::string_view text, char maskBlank) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != maskBlank) s += c;
    }
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    std::string whole, fraction;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            (point ? fraction : whole) += c;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::string(text);
        }
    }
    if (whole.empty() && fraction.empty()) return std::string(text);
    std::string r = negative ? "-" : "";
    r += whole.empty() ? "0" : whole;
    if (!fraction.empty()) r += "." + fraction;
    return r;
}

namespace {
// Texts compare as the system's byte strings do: in the bytes of its code page (GBK for 936,
// Big5 for 950), so that a range reads in the order the user's suite gives it.
bool AnsiGreater(const std::string& a, const std::string& b) {
    const int acp = os::GetACP();
    if ((acp != 936 && acp != 950) || (rtl::IsValidUtf8(a) && rtl::IsValidUtf8(b) &&
                                       std::all_of(a.begin(), a.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }) &&
                                       std::all_of(b.begin(), b.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))) {
        return a > b;
    }
    return rtl::EncodeCodePage(rtl::Utf8ToWideLenient(a), acp) > rtl::EncodeCodePage(rtl::Utf8ToWideLenient(b), acp);
}
}  // namespace

bool OrderRange(const TRangeRules& rules, std::string& beginText, std::string& endText) {
    if (rules.EditMask.empty() || rules.EditMask[0] != '!') {
        beginText = rtl::Trim(beginText);
        endText = rtl::Trim(endText);
    }
    if (beginText.empty() || endText.empty()) return false;
    // A blank edit, or the text that stands for any value, keeps its place.
    const auto held = [&] {
        if (beginText == rules.BlankText || endText == rules.BlankText) return true;
        return rules.UseDiscard && (rtl::Trim(beginText) == rules.Discard || rtl::Trim(endText) == rules.Discard);
    };
    bool exchange = false;
    switch (rules.ValueType) {
        case vt_Number: exchange = IntegerOr0(beginText) > IntegerOr0(endText); break;
        case vt_String:
        case vt_Time: exchange = !held() && AnsiGreater(beginText, endText); break;
        case vt_Date:
            if (!rules.AutoChangeDateSite || held()) break;
            if (rules.DateType == dt_NoneCare) {
                exchange = beginText > endText;
            } else {
                // A text that reads as no date cannot be said to come first: the two stay.
                const rtl::TDateTime b = ReadDateText(beginText, rules.DateType, rules.DateSign, rules.BlankText);
                const rtl::TDateTime e = ReadDateText(endText, rules.DateType, rules.DateSign, rules.BlankText);
                exchange = b != 0 && e != 0 && b > e;
            }
            break;
        case vt_Float: {
            const char blank = MaskBlankChar(rules.EditMask);
            beginText = PlainDecimalText(beginText, blank);
            endText = PlainDecimalText(endText, blank);
            exchange = rtl::StrToFloatDef(endText, 0) < rtl::StrToFloatDef(beginText, 0);
            break;
        }
        case vt_OtherMask: break;
    }
    if (exchange) std::swap(beginText, endText);
    return exchange;
}

// ---- The value list ----------------------------------------------------------------------------

namespace {

// One collator per code page and thread, built as CompareLocaleText builds its own (the user's
// locale, secondary strength: case does not count), so that the keys order texts as it does.
const icu::Collator* LocaleCollator(int acp) {
    thread_local std::map<int, std::unique_ptr<icu::Collator>> collators;
    auto it = collators.find(acp);
    if (it != collators.end()) return it->second.get();
    const char* locale = acp == 936 ? "zh_CN" : acp == 950 ? "zh_TW" : "en_US";
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale(locale), status));
    if (U_FAILURE(status)) collator.reset();
    if (collator) collator->setStrength(icu::Collator::SECONDARY);
    return collators.emplace(acp, std::move(collator)).first->second.get();
}

// Never empty: an empty key means "not made yet".
std::string CollationKey(const icu::Collator* collator, std::string_view text) {
    if (!collator) {
        std::string key = rtl::AnsiUpperCase(text);
        key.push_back('\0');
        return key;
    }
    const icu::UnicodeString u = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    uint8_t buffer[256];
    const int32_t n = collator->getSortKey(u, buffer, static_cast<int32_t>(sizeof buffer));
    if (n <= static_cast<int32_t>(sizeof buffer)) return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
    std::string key(static_cast<size_t>(n), '\0');
    collator->getSortKey(u, reinterpret_cast<uint8_t*>(key.data()), n);
    return key;
}

}  // namespace

struct TSelectRows::Row {
    std::vector<std::string> cells;
    mutable std::vector<std::string> keys;  // by column, made when first compared
    std::string dupKey;
    void* tag = nullptr;
};

TSelectRows::TSelectRows() = default;

TSelectRows::~TSelectRows() { FreeRows(); }

void TSelectRows::FreeRows() noexcept {
    for (Row* r : rows_) delete r;
    rows_.clear();
}

const std::vector<std::string>& TSelectRows::Cells(int row) const {
    if (row < 0 || row >= Count()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {row}));
    return rows_[static_cast<size_t>(row)]->cells;
}

const std::string& TSelectRows::Cell(int row, int column) const {
    static const std::string empty;
    const auto& cells = Cells(row);
    return column >= 0 && column < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(column)] : empty;
}

void* TSelectRows::Tag(int row) const {
    Cells(row);
    return rows_[static_cast<size_t>(row)]->tag;
}

void TSelectRows::SetTag(int row, void* tag) {
    Cells(row);
    rows_[static_cast<size_t>(row)]->tag = tag;
}

void TSelectRows::SetCheckDuplicate(TCheckDuplicate v) {
    if (v == check_) return;
    check_ = v;
    index_.clear();
    indexed_ = v != cd_None && rows_.empty();
}

void TSelectRows::SetSorted(bool v) {
    sorted_ = v;
    if (v) Sort();
}

void TSelectRows::SetSortOrder(int column, bool ascending) {
    sortColumn_ = std::max(column, 0);
    ascending_ = ascending;
}

void TSelectRows::CheckLocale() const {
    const int acp = os::GetACP();
    if (acp == keyAcp_ && !emptyKey_.empty()) return;
    keyAcp_ = acp;
    for (const Row* r : rows_) r->keys.clear();
    emptyKey_ = CollationKey(LocaleCollator(acp), "");
}

const std::string& TSelectRows::KeyOf(const Row& row, int column) const {
    if (column < 0 || column >= static_cast<int>(row.cells.size())) return emptyKey_;
    if (row.keys.size() < row.cells.size()) row.keys.resize(row.cells.size());
    std::string& key = row.keys[static_cast<size_t>(column)];
    if (key.empty()) key = CollationKey(LocaleCollator(keyAcp_), row.cells[static_cast<size_t>(column)]);
    return key;
}

int TSelectRows::CompareRows(const Row& a, const Row& b) const {
    const int order[3] = {sortColumn_, 0, 1};
    for (int i = 0; i < 3; ++i) {
        const int column = order[i];
        if ((i >= 1 && column == order[0]) || (i == 2 && column == order[1])) continue;
        const int r = KeyOf(a, column).compare(KeyOf(b, column));
        if (r != 0) {
            const int sign = r < 0 ? -1 : 1;
            return ascending_ ? sign : -sign;
        }
    }
    return 0;
}

int TSelectRows::Compare(int a, int b) const {
    Cells(a);
    Cells(b);
    CheckLocale();
    return CompareRows(*rows_[static_cast<size_t>(a)], *rows_[static_cast<size_t>(b)]);
}

int TSelectRows::UpperBound(const Row& row) const {
    // After the rows it equals, as a sorted list adds.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareRows(row, *rows_[static_cast<size_t>(mid)]) < 0) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

int TSelectRows::IndexOfRow(const Row* row) const {
    if (sorted_) {
        int lo = 0, hi = Count();
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (CompareRows(*rows_[static_cast<size_t>(mid)], *row) < 0) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        for (int i = lo; i < Count() && CompareRows(*rows_[static_cast<size_t>(i)], *row) == 0; ++i) {
            if (rows_[static_cast<size_t>(i)] == row) return i;
        }
    }
    for (int i = 0; i < Count(); ++i) {
        if (rows_[static_cast<size_t>(i)] == row) return i;
    }
    return -1;
}

std::string TSelectRows::DupKeyOf(const std::string& caption) const {
    return check_ == cd_CaseInsensitive ? rtl::AnsiUpperCase(caption) : caption;
}

void TSelectRows::PadTo(int cells) {
    for (Row* r : rows_) r->cells.resize(static_cast<size_t>(cells));
    cellCount_ = cells;
}

void TSelectRows::Track(const Row& row, int delta) {
    for (size_t k = 0; k < row.cells.size(); ++k) {
        const int len = TextLength(row.cells[k]);
        if (len == 0) continue;
        if (lengthCounts_.size() <= k) {
            lengthCounts_.resize(k + 1);
            maxLength_.resize(k + 1, 0);
        }
        auto& counts = lengthCounts_[k];
        if (counts.size() <= static_cast<size_t>(len)) counts.resize(static_cast<size_t>(len) + 1, 0);
        counts[static_cast<size_t>(len)] += delta;
        int& most = maxLength_[k];
        if (delta > 0) {
            most = std::max(most, len);
        } else {
            while (most > 0 && counts[static_cast<size_t>(most)] == 0) --most;
        }
    }
}

bool TSelectRows::Add(std::vector<std::string> cells) {
    if (cells.empty()) return false;
    CheckLocale();
    auto row = std::make_unique<Row>();
    row->cells = std::move(cells);
    const int n = static_cast<int>(row->cells.size());
    if (n > cellCount_) {
        const bool padded = !rows_.empty();
        PadTo(n);
        if (padded) Notify(TChange::Padded, -1);
    } else {
        row->cells.resize(static_cast<size_t>(cellCount_));
    }
    Track(*row, +1);
    Row* added = row.get();
    if (check_ != cd_None) added->dupKey = DupKeyOf(added->cells[0]);
    const int pos = sorted_ ? UpperBound(*added) : Count();
    if (check_ != cd_None && indexed_) {
        auto it = index_.find(added->dupKey);
        if (it != index_.end()) {
            Row* existing = it->second;
            // Of two rows with one caption the first in the list stays.
            if (!sorted_ || CompareRows(*added, *existing) >= 0) {
                Track(*added, -1);
                return true;
            }
            index_.erase(it);
            rows_.insert(rows_.begin() + pos, added);
            row.release();
            index_.emplace(added->dupKey, added);
            Notify(TChange::Inserted, pos);
            const int old = IndexOfRow(existing);
            if (old >= 0) {
                Track(*existing, -1);
                rows_.erase(rows_.begin() + old);
                delete existing;
                Notify(TChange::Deleted, old);
            }
            return true;
        }
        rows_.insert(rows_.begin() + pos, added);
        row.release();
        index_.emplace(added->dupKey, added);
        Notify(TChange::Inserted, pos);
        return true;
    }
    rows_.insert(rows_.begin() + pos, added);
    row.release();
    Notify(TChange::Inserted, pos);
    if (check_ != cd_None) RemoveDuplicates();
    return true;
}

bool TSelectRows::AddRows(std::vector<std::vector<std::string>> rows) {
    CheckLocale();
    bool ok = true;
    int most = cellCount_;
    for (const auto& r : rows) {
        if (r.empty()) ok = false;
        most = std::max(most, static_cast<int>(r.size()));
    }
    PadTo(most);
    rows_.reserve(rows_.size() + rows.size());
    for (auto& r : rows) {
        if (r.empty()) continue;
        auto row = std::make_unique<Row>();
        row->cells = std::move(r);
        row->cells.resize(static_cast<size_t>(cellCount_));
        Track(*row, +1);
        rows_.push_back(row.get());
        row.release();
    }
    // Added one by one each would go after the rows it equals, and the first of a caption would
    // stay: a stable sort and one check give the same list.
    if (sorted_) std::stable_sort(rows_.begin(), rows_.end(), [this](const Row* a, const Row* b) { return CompareRows(*a, *b) < 0; });
    if (check_ != cd_None) DropDuplicates();
    Notify(TChange::Reset, -1);
    return ok;
}

void TSelectRows::Assign(std::vector<std::vector<std::string>> rows) {
    FreeRows();
    index_.clear();
    lengthCounts_.clear();
    maxLength_.clear();
    cellCount_ = 0;
    for (const auto& r : rows) cellCount_ = std::max(cellCount_, static_cast<int>(r.size()));
    for (auto& r : rows) {
        if (r.empty()) continue;
        auto row = std::make_unique<Row>();
        row->cells = std::move(r);
        row->cells.resize(static_cast<size_t>(cellCount_));
        Track(*row, +1);
        rows_.push_back(row.get());
        row.release();
    }
    if (rows_.empty()) cellCount_ = 0;
    indexed_ = check_ != cd_None && rows_.empty();
    Notify(TChange::Reset, -1);
}

void TSelectRows::Delete(int row) {
    Cells(row);
    Row* r = rows_[static_cast<size_t>(row)];
    if (indexed_) {
        auto it = index_.find(r->dupKey);
        if (it != index_.end() && it->second == r) index_.erase(it);
    }
    Track(*r, -1);
    rows_.erase(rows_.begin() + row);
    delete r;
    if (rows_.empty()) {
        cellCount_ = 0;
        indexed_ = check_ != cd_None;
    }
    Notify(TChange::Deleted, row);
}

void TSelectRows::Clear() {
    FreeRows();
    index_.clear();
    indexed_ = check_ != cd_None;
    cellCount_ = 0;
    lengthCounts_.clear();
    maxLength_.clear();
    Notify(TChange::Reset, -1);
}

void TSelectRows::Sort() {
    CheckLocale();
    std::stable_sort(rows_.begin(), rows_.end(), [this](const Row* a, const Row* b) { return CompareRows(*a, *b) < 0; });
    Notify(TChange::Reordered, -1);
}

std::vector<int> TSelectRows::DropDuplicates() {
    std::vector<int> dropped;
    index_.clear();
    if (check_ == cd_None) {
        indexed_ = false;
        return dropped;
    }
    index_.reserve(rows_.size());
    RowList kept;
    kept.reserve(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        Row* r = rows_[i];
        r->dupKey = DupKeyOf(r->cells[0]);
        if (index_.find(r->dupKey) != index_.end()) {
            dropped.push_back(static_cast<int>(i));
            Track(*r, -1);
            delete r;
        } else {
            index_.emplace(r->dupKey, r);
            kept.push_back(r);
        }
    }
    rows_.swap(kept);
    if (rows_.empty()) cellCount_ = 0;
    indexed_ = true;
    return dropped;
}

void TSelectRows::RemoveDuplicates() {
    const std::vector<int> dropped = DropDuplicates();
    // From the last, so that every index still names the row it named before.
    for (size_t i = dropped.size(); i-- > 0;) Notify(TChange::Deleted, dropped[i]);
}

int TSelectRows::MaxCellLength(int column) const {
    return column >= 0 && column < static_cast<int>(maxLength_.size()) ? maxLength_[static_cast<size_t>(column)] : 0;
}

std::string TSelectRows::ListText() const {
    size_t size = 0;
    for (const Row* r : rows_) {
        for (const auto& c : r->cells) size += c.size() + 1;
    }
    std::string out;
    out.reserve(size);
    for (const Row* r : rows_) {
        for (size_t k = 0; k < r->cells.size(); ++k) {
            if (k > 0) out += kListCellSep;
            out += r->cells[k];
        }
        out += kListRowEnd;
    }
    return out;
}

bool TSelectRows::LoadListText(std::string_view text) {
    Clear();
    if (text.empty()) return true;
    return AddRows(SplitListText(text));
}

std::vector<std::vector<std::string>> TSelectRows::SplitListText(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(kListRowEnd, start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view piece = text.substr(start, end - start);
        if (!piece.empty()) {
            std::vector<std::string> cells;
            size_t from = 0;
            for (;;) {
                const size_t sep = piece.find(kListCellSep, from);
                if (sep == std::string_view::npos) {
                    cells.emplace_back(piece.substr(from));
                    break;
                }
                cells.emplace_back(piece.substr(from, sep - from));
                from = sep + 1;
            }
            rows.push_back(std::move(cells));
        }
        start = end + 1;
    }
    return rows;
}

int TSelectRows::TextLength(std::string_view text) {
    int n = 0;
    for (unsigned char c : text) {
        if (c < 0x80) {
            ++n;
        } else if ((c & 0xC0) != 0x80) {
            n += 2;  // a lead byte: one character of two bytes in the system's code page
        }
    }
    return n;
}

// ---- The panel value text ----------------------------------------------------------------------

std::string PanelValueText(const TPanelValue& value) {
    std::string s = SelectStyleEnum().NameOf(value.Style);
    const auto add = [&s](std::string_view field) {
        s += kPanelFieldSep;
        s += field;
    };
    switch (value.Style) {
        case sp_Range:
            add(value.BeginText);
            add(value.EndText);
            break;
        case sp_Discrete: add(value.ListText); break;
        case sp_UserChoice:
            add(BooleanEnum().NameOf(value.UserChoice ? 1 : 0));
            if (value.UserChoice) {
                add(value.BeginText);
                add(value.EndText);
            } else {
                add(value.ListText);
            }
            break;
    }
    return s;
}

bool ReadPanelValueText(std::string_view text, TPanelValue& value) {
    const std::string_view sep(&kPanelFieldSep, 1);
    const int style = SelectStyleEnum().ValueOf(GetField(text, sep, 1));
    if (style < 0) return false;
    TPanelValue v;
    v.Style = static_cast<TSelectStyle>(style);
    switch (v.Style) {
        case sp_Range:
            v.BeginText = GetField(text, sep, 2);
            v.EndText = GetField(text, sep, 3);
            break;
        case sp_Discrete: v.ListText = GetField(text, sep, 2); break;
        case sp_UserChoice: {
            const int choice = BooleanEnum().ValueOf(GetField(text, sep, 2));
            if (choice < 0) return false;
            v.UserChoice = choice == 1;
            if (v.UserChoice) {
                v.BeginText = GetField(text, sep, 3);
                v.EndText = GetField(text, sep, 4);
            } else {
                v.ListText = GetField(text, sep, 3);
            }
            break;
        }
    }
    value = std::move(v);
    return true;
}

// ---- Inner controls ----------------------------------------------------------------------------

const ClassInfo& TVelMaskEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TVelMaskEdit>("TVelMaskEdit", &TMaskEdit::StaticClassInfo()).Build();
    return info;
}

void TVelMaskEdit::Change() {
    if (!suppressChange_) TMaskEdit::Change();
}

const ClassInfo& TVelCheckBox::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TVelCheckBox>("TVelCheckBox", &TBitCheckBox::StaticClassInfo()).Build();
    return info;
}

const ClassInfo& TVelListView::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TVelListView>("TVelListView", &TListView::StaticClassInfo())
                                      .Bool("ColumnsAutoSize", &TVelListView::ColumnsAutoSize, &TVelListView::SetColumnsAutoSize, true)
                                      .Build();
    return info;
}

TVelListView::TVelListView(TComponent* owner) : TListView(owner) {
    rows_.Observer = [this](TSelectRows::TChange change, int index) { RowsChanged(change, index); };
}

TVelListView::~TVelListView() { rows_.Observer = nullptr; }

void TVelListView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        if (!Focused()) return;
    }
    TListView::MouseDown(button, shift, x, y);
}

void TVelListView::FillItem(TListItem* item, int row) {
    const auto& cells = rows_.Cells(row);
    item->SetCaption(cells[0]);
    TStrings* sub = item->SubItems();
    sub->BeginUpdate();
    for (size_t k = 1; k < cells.size(); ++k) sub->Add(cells[k]);
    sub->EndUpdate();
}

void TVelListView::PadItems() {
    const int subCells = rows_.CellCount() - 1;
    for (int i = 0; i < Items()->Count(); ++i) {
        TStrings* sub = Items()->Item(i)->SubItems();
        if (sub->Count() >= subCells) continue;
        sub->BeginUpdate();
        while (sub->Count() < subCells) sub->Add("");
        sub->EndUpdate();
    }
}

void TVelListView::Rebuild() {
    Items()->BeginUpdate();
    Items()->Clear();
    for (int i = 0; i < rows_.Count(); ++i) {
        TListItem* item = Items()->Add();
        rows_.SetTag(i, item);
        FillItem(item, i);
    }
    Items()->EndUpdate();
}

void TVelListView::Reorder() {
    // The items take the places their rows took: the list's own sort, ranked by the rows.
    std::unordered_map<const TListItem*, int> rank;
    rank.reserve(static_cast<size_t>(rows_.Count()));
    for (int i = 0; i < rows_.Count(); ++i) rank.emplace(static_cast<const TListItem*>(rows_.Tag(i)), i);
    const auto rankOf = [&rank](const TListItem* item) {
        auto it = rank.find(item);
        return it == rank.end() ? -1 : it->second;
    };
    const TLVCompareEvent saved = OnCompare;
    OnCompare = TLVCompareEvent::Lambda(
        [&rankOf](TObject*, TListItem* a, TListItem* b, int, int& result) { result = rankOf(a) - rankOf(b); }, this);
    try {
        AlphaSort();
    } catch (...) {
        OnCompare = saved;
        throw;
    }
    OnCompare = saved;
}

void TVelListView::RowsChanged(TSelectRows::TChange change, int index) {
    if (muted_) return;
    switch (change) {
        case TSelectRows::TChange::Inserted: {
            TListItem* item = Items()->Insert(index);
            rows_.SetTag(index, item);
            FillItem(item, index);
            break;
        }
        case TSelectRows::TChange::Deleted: Items()->Delete(index); break;
        case TSelectRows::TChange::Padded: PadItems(); break;
        case TSelectRows::TChange::Reordered: Reorder(); break;
        case TSelectRows::TChange::Reset: Rebuild(); break;
    }
}

void TVelListView::EnsureSync() {
    if (Items()->Count() == rows_.Count()) return;
    // Someone changed the items directly: take the rows from them as they stand.
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<size_t>(Items()->Count()));
    for (int i = 0; i < Items()->Count(); ++i) {
        const TListItem* item = Items()->Item(i);
        std::vector<std::string> cells{item->Caption()};
        for (int k = 0; k < item->SubItems()->Count(); ++k) cells.push_back((*item->SubItems())[k]);
        rows.push_back(std::move(cells));
    }
    muted_ = true;
    rows_.Assign(std::move(rows));
    muted_ = false;
    for (int i = 0; i < rows_.Count(); ++i) rows_.SetTag(i, Items()->Item(i));
}

void TVelListView::AddColumnsFor(size_t cells) {
    while (static_cast<int>(cells) > Columns()->Count()) {
        TListColumn* column = Columns()->Add();
        column->SetCaption("Data" + rtl::IntToStr(Columns()->Count()));
    }
}

bool TVelListView::AddRow(const std::vector<std::string>& cells) {
    if (cells.empty()) return false;
    try {
        EnsureSync();
        AddColumnsFor(cells.size());
        rows_.Add(cells);
        if (columnsAutoSize_) AutoSizeColumns();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TVelListView::ClearRows() { rows_.Clear(); }

void TVelListView::DeleteSelectedRows() {
    EnsureSync();
    int i = 0;
    while (i < Items()->Count()) {
        if (Items()->Item(i)->Selected()) {
            rows_.Delete(i);
        } else {
            ++i;
        }
    }
}

void TVelListView::AutoSizeColumns() {
    const int letter = TextWidth(*Font(), "W");
    for (int k = 0; k < Columns()->Count(); ++k) {
        TListColumn* column = Columns()->Items(k);
        const int longest = std::max(TSelectRows::TextLength(column->Caption()), rows_.MaxCellLength(k));
        column->SetWidth(letter * longest);
    }
}

std::string TVelListView::ListText() {
    EnsureSync();
    return rows_.ListText();
}

bool TVelListView::LoadListText(std::string_view text) {
    try {
        EnsureSync();
        rows_.Clear();
        if (text.empty()) return true;
        auto rows = TSelectRows::SplitListText(text);
        size_t most = 0;
        for (const auto& r : rows) most = std::max(most, r.size());
        AddColumnsFor(most);
        const bool ok = rows_.AddRows(std::move(rows));
        if (columnsAutoSize_) AutoSizeColumns();
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}

void TVelListView::SetCheckDuplicate(TCheckDuplicate v) {
    EnsureSync();
    rows_.SetCheckDuplicate(v);
}

void TVelListView::RemoveDuplicateRows() {
    EnsureSync();
    rows_.RemoveDuplicates();
}

void TVelListView::SetRowsSorted(bool v) {
    EnsureSync();
    rows_.SetSorted(v);
}

void TVelListView::SetSortOrder(int column, bool ascending) { rows_.SetSortOrder(column, ascending); }

void TVelListView::SortRows() {
    EnsureSync();
    rows_.Sort();
}

// ---- The panel ---------------------------------------------------------------------------------

namespace {

// The entry a layout reads; a list of one entry serves both layouts.
std::string WordOf(const TStrings& words, int index) {
    if (index < words.Count()) return words[index];
    return words.Count() > 0 ? words[0] : std::string();
}

// A label sized to its text, as its auto-size does (which waits while the form loads).
void FitLabel(TLabel* label, const std::string& text, int left, int top) {
    label->SetCaption(text);
    label->SetBounds(left, top, TextWidth(*label->Font(), label->DisplayText()), TextHeight(*label->Font()));
}

void SetTreeEnabled(TWinControl* parent, bool v) {
    for (TControl* c : parent->ControlList()) {
        c->SetEnabled(v);
        if (auto* w = dynamic_cast<TWinControl*>(c)) SetTreeEnabled(w, v);
    }
}

int Right(const TControl* c) { return c->Left() + c->Width(); }

}  // namespace

const ClassInfo& TSelectPanel::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TSelectPanel>("TSelectPanel", &TCustomGroupBox::StaticClassInfo())
            .Bool("AutoChangeDateSite", &TSelectPanel::AutoChangeDateSite, &TSelectPanel::SetAutoChangeDateSite, true)
            .Object<TStrings>("BeginWords", &TSelectPanel::BeginWords, &TSelectPanel::SetBeginWords)
            .Bool("ColumnsAutoSize", &TSelectPanel::ColumnsAutoSize, &TSelectPanel::SetColumnsAutoSize, true)
            .Bool("CanOpenWin", &TSelectPanel::CanOpenWin, &TSelectPanel::SetCanOpenWin, true)
            .Enum("CheckDuplicate", CheckDuplicateEnum(), &TSelectPanel::CheckDuplicate, &TSelectPanel::SetCheckDuplicate, cd_None)
            .Object<TStrings>("ChildHints", &TSelectPanel::ChildHints, &TSelectPanel::SetChildHints)
            .Object<TStrings>("ColumnCaptions", &TSelectPanel::ColumnCaptions, &TSelectPanel::SetColumnCaptions)
            .Object<TListColumns>("Columns", &TSelectPanel::Columns, &TSelectPanel::SetColumns)
            .Enum("DateType", DateTypeEnum(), &TSelectPanel::DateType, &TSelectPanel::SetDateType, dt_NoneCare)
            .Str("DateSign", &TSelectPanel::DateSign, &TSelectPanel::SetDateSign)
            .Str("Discard", &TSelectPanel::Discard, &TSelectPanel::SetDiscard)
            .Str("EditMask", &TSelectPanel::EditMask, &TSelectPanel::SetEditMask)
            .Object<TStrings>("FinalWords", &TSelectPanel::FinalWords, &TSelectPanel::SetFinalWords)
            .Int("GlyphIndex", &TSelectPanel::GlyphIndex, &TSelectPanel::SetGlyphIndex, 8)
            .Str("HintWord", &TSelectPanel::HintWord, &TSelectPanel::SetHintWord)
            .Bool("HideSelection", &TSelectPanel::HideSelection, &TSelectPanel::SetHideSelection, false)
            .Object<TListItems>("Items", &TSelectPanel::Items, &TSelectPanel::SetItems)
            .Int("OtherHeight", &TSelectPanel::OtherHeight, &TSelectPanel::SetOtherHeight, 105)
            .Int("OtherWidth", &TSelectPanel::OtherWidth, &TSelectPanel::SetOtherWidth, 200)
            .Bool("ShowColumnHeader", &TSelectPanel::ShowColumnHeader, &TSelectPanel::SetShowColumnHeader, false)
            .Bool("SortListBox", &TSelectPanel::SortListBox, &TSelectPanel::SetSortListBox, false)
            .Enum("Style", SelectStyleEnum(), &TSelectPanel::Style, &TSelectPanel::SetStyle, sp_Range)
            .Bool("UseDiscard", &TSelectPanel::UseDiscard, &TSelectPanel::SetUseDiscard, false)
            .Bool("UserChoice", &TSelectPanel::UserChoice, &TSelectPanel::SetUserChoice, true)
            .Bool("UseVertical", &TSelectPanel::UseVertical, &TSelectPanel::SetUseVertical, false)
            .Enum("ValueType", ValueTypeEnum(), &TSelectPanel::ValueType, &TSelectPanel::SetValueType, vt_String)
            .Event("OnOpenWinClick", &TSelectPanel::OnOpenWinClick)
            .Event("OnClearClick", &TSelectPanel::OnClearClick)
            .Event("OnDeleteClick", &TSelectPanel::OnDeleteClick)
            .Event("OnTypeClick", &TSelectPanel::OnTypeClick)
            .Event("OnStyleChanging", &TSelectPanel::OnStyleChanging)
            .Event("OnStyleChange", &TSelectPanel::OnStyleChange)
            .Event("OnItemSelect", &TSelectPanel::OnItemSelect)
            .Event("OnItemChange", &TSelectPanel::OnItemChange)
            .Event("OnItemChanging", &TSelectPanel::OnItemChanging)
            .Build();
    return info;
}

TSelectPanel::TSelectPanel(TComponent* owner)
    : TCustomGroupBox(owner),
      beginWords_(std::make_unique<TStrings>()),
      finalWords_(std::make_unique<TStrings>()),
      childHints_(std::make_unique<TStrings>()),
      columnCaptions_(std::make_unique<TStrings>()) {
    SetBoundsDirect(0, 0, 353, 45);
    beginWords_->Add("起");
    beginWords_->Add("起");
    finalWords_->Add("止");
    finalWords_->Add("止");
    for (const char* hint : {"用户自定输入方式", "区间选择-起始信息", "区间选择-起始信息开窗", "区间选择-截止信息",
                             "区间选择-截止信息开窗", "多选-己选择的信息", "多选-信息开窗", "多选-删除一笔信息",
                             "多选-删除己选信息"}) {
        childHints_->Add(hint);
    }

    const auto named = [](auto* control, const char* name, TWinControl* parent) {
        control->SetName(name);
        control->SetParent(parent);
        return control;
    };
    const auto plainPanel = [](TPanel* p) {
        p->SetBevelOuter(TBevelCut::bvNone);
        p->SetBevelInner(TBevelCut::bvNone);
        p->SetBorderStyle(TBorderStyle::bsNone);
        p->SetCaption(" ");
    };
    const auto flatButton = [](TGSpeedButton* b, int glyph, int images) {
        b->SetFlat(true);
        b->SetBounds(0, 0, 23, 23);
        b->SetGlyphIndex(glyph);
        b->SetNumGlyphs(images);
    };

    TypeCheck = named(new TVelCheckBox(this), "TypeCheck", this);
    TypeCheck->SetCaption(hintWord_);
    TypeCheck->SetChecked(true);
    TypeCheck->SetVisible(false);

    RangePanel = named(new TPanel(this), "RangePanel", this);
    plainPanel(RangePanel);
    BeginLabel = named(new TLabel(this), "BeginLabel", RangePanel);
    edBegin = named(new TVelMaskEdit(this), "edBegin", RangePanel);
    edBegin->SetHeight(24);
    BeginButton = named(new TF2Button(this), "BeginButton", RangePanel);
    flatButton(BeginButton, glyphIndex_, 1);
    BeginButton->SetAutoAlign(true);
    FinalLabel = named(new TLabel(this), "FinalLabel", RangePanel);
    edFinal = named(new TVelMaskEdit(this), "edFinal", RangePanel);
    edFinal->SetHeight(edBegin->Height());
    FinalButton = named(new TF2Button(this), "FinalButton", RangePanel);
    flatButton(FinalButton, glyphIndex_, 1);
    FinalButton->SetAutoAlign(true);

    ListPanel = named(new TPanel(this), "ListPanel", this);
    plainPanel(ListPanel);
    ListBox = named(new TVelListView(this), "ListBox", ListPanel);
    ListBox->SetViewStyle(TViewStyle::vsReport);
    ListBox->SetMultiSelect(true);
    ListBox->SetRowSelect(true);
    ListBox->SetReadOnly(true);
    ListBox->SetSortType(TSortType::stNone);
    ListBox->SetShowColumnHeaders(false);
    ListBox->SetHideSelection(false);
    ListBox->SetCursor(crHandPoint);
    ListButton = named(new TF2Button(this), "ListButton", ListPanel);
    flatButton(ListButton, glyphIndex_, 1);
    ListButton->SetAutoAlign(false);
    DeleteButton = named(new TGSpeedButton(this), "DeleteButton", ListPanel);
    flatButton(DeleteButton, 47, 1);
    ClearButton = named(new TGSpeedButton(this), "ClearButton", ListPanel);
    flatButton(ClearButton, 4, 2);

    // The panel handles its buttons itself and speaks for its inner controls.
    TypeCheck->OnClick = TNotifyEvent(this, &TSelectPanel::TypeCheckClick);
    for (TControl* b : std::initializer_list<TControl*>{BeginButton, FinalButton, ListButton}) {
        b->OnClick = TNotifyEvent(this, &TSelectPanel::LookupClick);
    }
    DeleteButton->OnClick = TNotifyEvent(this, &TSelectPanel::DeleteClick);
    ClearButton->OnClick = TNotifyEvent(this, &TSelectPanel::ClearClick);
    for (TControl* c : std::initializer_list<TControl*>{RangePanel, ListPanel, BeginLabel, FinalLabel, edBegin, edFinal, ListBox}) {
        c->OnClick = TNotifyEvent(this, &TSelectPanel::InnerClick);
    }
    for (TControl* c :
         std::initializer_list<TControl*>{TypeCheck, RangePanel, ListPanel, BeginLabel, FinalLabel, edBegin, edFinal, ListBox}) {
        c->OnDblClick = TNotifyEvent(this, &TSelectPanel::InnerDblClick);
    }
    for (TControl* c : std::initializer_list<TControl*>{TypeCheck, RangePanel, ListPanel, BeginLabel, FinalLabel, edBegin, edFinal,
                                                        ListBox, BeginButton, FinalButton, ListButton, DeleteButton, ClearButton}) {
        c->OnMouseDown = TMouseEvent(this, &TSelectPanel::InnerMouseDown);
        c->OnMouseUp = TMouseEvent(this, &TSelectPanel::InnerMouseUp);
    }
    for (TWinControl* w : std::initializer_list<TWinControl*>{TypeCheck, edBegin, edFinal, ListBox}) {
        w->OnKeyDown = TKeyEvent(this, &TSelectPanel::InnerKeyDown);
        w->OnKeyUp = TKeyEvent(this, &TSelectPanel::InnerKeyUp);
        w->OnKeyPress = TKeyPressEvent(this, &TSelectPanel::InnerKeyPress);
    }
    ListBox->OnSelectItem = TLVSelectItemEvent(this, &TSelectPanel::ListSelectItem);
    ListBox->OnChange = TLVChangeEvent(this, &TSelectPanel::ListChange);
    ListBox->OnChanging = TLVChangingEvent(this, &TSelectPanel::ListChanging);
    ListBox->OnColumnClick = TLVColumnClickEvent(this, &TSelectPanel::ColumnClick);

    beginWords_->OnChange = TNotifyEvent(this, &TSelectPanel::WordsChanged);
    finalWords_->OnChange = TNotifyEvent(this, &TSelectPanel::WordsChanged);
    childHints_->OnChange = TNotifyEvent(this, &TSelectPanel::HintsChanged);
    columnCaptions_->OnChange = TNotifyEvent(this, &TSelectPanel::CaptionsChanged);

    ApplyHints();
    built_ = true;
    ShowFor(style_);
    Layout();
}

TSelectPanel::~TSelectPanel() = default;

void TSelectPanel::Destroy() {
    built_ = false;
    TCustomGroupBox::Destroy();
}

void TSelectPanel::Loaded() {
    TCustomGroupBox::Loaded();
    Layout();
}

void TSelectPanel::Notification(TComponent* component, TOperation operation) {
    TCustomGroupBox::Notification(component, operation);
    if (operation != TOperation::opRemove || !component) return;
    const auto forget = [component](auto*& p) {
        if (p && static_cast<TComponent*>(p) == component) p = nullptr;
    };
    forget(TypeCheck);
    forget(RangePanel);
    forget(BeginLabel);
    forget(edBegin);
    forget(BeginButton);
    forget(FinalLabel);
    forget(edFinal);
    forget(FinalButton);
    forget(ListPanel);
    forget(ListBox);
    forget(ListButton);
    forget(DeleteButton);
    forget(ClearButton);
}

bool TSelectPanel::Live() const {
    return built_ && !IsDestroying() && !IsLoading() && (ComponentState() & csDesigning) == 0;
}

bool TSelectPanel::Complete() const {
    return TypeCheck && RangePanel && BeginLabel && edBegin && BeginButton && FinalLabel && edFinal && FinalButton &&
           ListPanel && ListBox && ListButton && DeleteButton && ClearButton;
}

// ---- Properties ----------------------------------------------------------------------------------

void TSelectPanel::SetBeginWords(TStrings* v) { AssignWords(*beginWords_, v); }

void TSelectPanel::SetFinalWords(TStrings* v) { AssignWords(*finalWords_, v); }

// A words list keeps its first two entries; the layout follows once.
void TSelectPanel::AssignWords(TStrings& words, const TStrings* v) {
    std::vector<std::string> entries;
    for (int i = 0; v && i < v->Count() && i < 2; ++i) entries.push_back((*v)[i]);
    settingWords_ = true;
    words.BeginUpdate();
    words.Clear();
    for (const auto& e : entries) words.Add(e);
    words.EndUpdate();
    settingWords_ = false;
    Layout();
}

void TSelectPanel::WordsChanged(TObject* sender) {
    if (settingWords_) return;
    const auto* words = dynamic_cast<const TStrings*>(sender);
    if (words && words->Count() >= 2) Layout();
}

void TSelectPanel::SetChildHints(TStrings* v) {
    if (v != childHints_.get()) childHints_->Assign(v);
    ApplyHints();
}

void TSelectPanel::HintsChanged(TObject*) { ApplyHints(); }

void TSelectPanel::ApplyHints() {
    TControl* const targets[] = {TypeCheck, edBegin, BeginButton, edFinal, FinalButton, ListBox, ListButton, DeleteButton, ClearButton};
    const int count = std::min(childHints_->Count(), static_cast<int>(std::size(targets)));
    for (int i = 0; i < count; ++i) {
        if (targets[i]) targets[i]->SetHint((*childHints_)[i]);
    }
}

bool TSelectPanel::ColumnsAutoSize() const { return ListBox ? ListBox->ColumnsAutoSize() : true; }

void TSelectPanel::SetColumnsAutoSize(bool v) {
    if (ListBox) ListBox->SetColumnsAutoSize(v);
}

TStrings* TSelectPanel::ColumnCaptions() const {
    readingCaptions_ = true;
    columnCaptions_->BeginUpdate();
    columnCaptions_->Clear();
    if (ListBox) {
        for (int i = 0; i < ListBox->Columns()->Count(); ++i) columnCaptions_->Add(ListBox->Column(i)->Caption());
    }
    columnCaptions_->EndUpdate();
    readingCaptions_ = false;
    return columnCaptions_.get();
}

void TSelectPanel::SetColumnCaptions(TStrings* v) {
    if (v != columnCaptions_.get()) {
        readingCaptions_ = true;
        columnCaptions_->Assign(v);
        readingCaptions_ = false;
    }
    ApplyColumnCaptions();
}

void TSelectPanel::CaptionsChanged(TObject*) {
    if (!readingCaptions_) ApplyColumnCaptions();
}

void TSelectPanel::ApplyColumnCaptions() {
    if (!ListBox) return;
    TListColumns* columns = ListBox->Columns();
    columns->BeginUpdate();
    columns->Clear();
    for (int i = 0; i < columnCaptions_->Count(); ++i) {
        TListColumn* column = columns->Add();
        column->SetCaption((*columnCaptions_)[i]);
        column->SetWidth(ColumnHeaderWidth);
    }
    columns->EndUpdate();
}

TListColumns* TSelectPanel::Columns() const { return ListBox ? ListBox->Columns() : nullptr; }

TListItems* TSelectPanel::Items() const { return ListBox ? ListBox->Items() : nullptr; }

bool TSelectPanel::HideSelection() const { return ListBox ? ListBox->HideSelection() : false; }

void TSelectPanel::SetHideSelection(bool v) {
    if (ListBox) ListBox->SetHideSelection(v);
}

bool TSelectPanel::ShowColumnHeader() const { return ListBox ? ListBox->ShowColumnHeaders() : false; }

void TSelectPanel::SetShowColumnHeader(bool v) {
    if (ListBox) ListBox->SetShowColumnHeaders(v);
}

void TSelectPanel::SetCanOpenWin(bool v) {
    if (v == canOpenWin_) return;
    canOpenWin_ = v;
    for (TControl* b : std::initializer_list<TControl*>{BeginButton, FinalButton, ListButton}) {
        if (b) b->SetVisible(v);
    }
    Layout();
}

void TSelectPanel::SetCheckDuplicate(TCheckDuplicate v) {
    checkDuplicate_ = v;
    if (!ListBox) return;
    ListBox->SetCheckDuplicate(v);
    if (v == cd_None) return;
    // Duplicates are found among neighbours only: the list must be sorted.
    SetSortListBox(true);
    if (!IsRangeActive()) ListBox->RemoveDuplicateRows();
}

void TSelectPanel::SetSortListBox(bool v) {
    sortListBox_ = v;
    if (ListBox) ListBox->SetRowsSorted(v);
}

void TSelectPanel::SetEditMask(const std::string& v) {
    editMask_ = v;
    if (!edBegin || !edFinal) return;
    edBegin->SetSuppressChange(true);
    try {
        const std::string kept = edBegin->Text();
        edBegin->SetText("");
        edBegin->SetEditMask(v);
        edFinal->SetEditMask(v);
        blankText_ = edBegin->Text();
        edBegin->SetText(kept);
    } catch (...) {
        edBegin->SetSuppressChange(false);
        throw;
    }
    edBegin->SetSuppressChange(false);
}

void TSelectPanel::SetGlyphIndex(int v) {
    if (v == glyphIndex_ || !BeginButton || !FinalButton || !ListButton) return;
    try {
        BeginButton->SetGlyphIndex(v);
        const int held = BeginButton->GlyphIndex();
        FinalButton->SetGlyphIndex(held);
        ListButton->SetGlyphIndex(held);
        glyphIndex_ = v;
    } catch (const std::exception&) {
        for (TGSpeedButton* b : {static_cast<TGSpeedButton*>(BeginButton), static_cast<TGSpeedButton*>(FinalButton),
                                 static_cast<TGSpeedButton*>(ListButton)}) {
            try {
                b->SetGlyphIndex(0);
            } catch (const std::exception&) {
            }
        }
    }
}

void TSelectPanel::SetHintWord(const std::string& v) {
    hintWord_ = v;
    if (TypeCheck) TypeCheck->SetCaption(v);
    Layout();
}

bool TSelectPanel::IsRangeActive() const {
    return style_ == sp_Range || (style_ == sp_UserChoice && TypeCheck && TypeCheck->Checked());
}

void TSelectPanel::ShowFor(TSelectStyle style) {
    if (!Complete()) return;
    TypeCheck->SetVisible(style == sp_UserChoice);
    const bool range = style == sp_Range || (style == sp_UserChoice && TypeCheck->Checked());
    RangePanel->SetVisible(range);
    ListPanel->SetVisible(!range);
}

void TSelectPanel::SwapSize() {
    const int w = Width(), h = Height();
    ++layoutLock_;
    try {
        SetBounds(Left(), Top(), otherWidth_, otherHeight_);
    } catch (...) {
        --layoutLock_;
        throw;
    }
    --layoutLock_;
    otherWidth_ = w;
    otherHeight_ = h;
}

void TSelectPanel::SetStyle(TSelectStyle v) {
    if (!Complete()) {
        style_ = v;
        return;
    }
    bool accept = true;
    if (Live()) OnStyleChanging(this, style_, v, accept);
    if (!accept) return;
    ShowFor(v);
    if (v != style_ && (v == sp_Range || style_ == sp_Range) && !useVertical_ && !IsLoading()) SwapSize();
    LayoutFor(v);
    if (Live()) OnStyleChange(this, style_, v);
    style_ = v;
}

void TSelectPanel::SetUserChoice(bool v) {
    if (style_ != sp_UserChoice || !TypeCheck) return;
    settingChoice_ = true;
    try {
        TypeCheck->SetChecked(v);
    } catch (...) {
        settingChoice_ = false;
        throw;
    }
    settingChoice_ = false;
    ChoiceChanged();
}

void TSelectPanel::TypeCheckClick(TObject*) {
    if (settingChoice_ || !built_ || style_ != sp_UserChoice) return;
    ChoiceChanged();
}

void TSelectPanel::ChoiceChanged() {
    userChoice_ = TypeCheck->Checked();
    if (Complete() && layoutLock_ == 0) PlaceUserChoice();
    ShowFor(style_);
    if (Live()) OnTypeClick(this);
}

void TSelectPanel::SetUseVertical(bool v) {
    if (style_ != sp_Range || v == useVertical_) return;
    useVertical_ = v;
    if (!IsLoading()) SwapSize();
    Layout();
}

// ---- Layout --------------------------------------------------------------------------------------

void TSelectPanel::AlignControls(TControl* moved) {
    TCustomGroupBox::AlignControls(moved);
    Layout();
}

void TSelectPanel::FontChanged() {
    SyncInnerFonts();
    TCustomGroupBox::FontChanged();
}

void TSelectPanel::SyncInnerFonts() {
    // The inner controls take the new font only after this notification; the layout measures
    // their texts, so they take it first.
    for (TControl* c : ControlList()) {
        if (!c->ParentFont()) continue;
        c->SetParentFont(false);
        c->SetParentFont(true);
    }
}

void TSelectPanel::Layout() { LayoutFor(style_); }

void TSelectPanel::LayoutFor(TSelectStyle style) {
    if (!built_ || layoutLock_ > 0 || !Complete()) return;
    ++layoutLock_;
    try {
        const TFont& font = *TypeCheck->Font();
        TypeCheck->SetBounds(TypeCheck->Left(), TypeCheck->Top(), TextWidth(font, TypeCheck->Caption()) + 24, TextHeight(font) + 2);
        switch (style) {
            case sp_Range:
                TypeCheck->Hide();
                PlacePanels(RangePanel, ListPanel);
                if (useVertical_) {
                    LayoutVertical();
                } else {
                    LayoutHorizontal();
                }
                break;
            case sp_Discrete:
                TypeCheck->Hide();
                PlacePanels(ListPanel, RangePanel);
                LayoutList();
                break;
            case sp_UserChoice:
                TypeCheck->Show();
                PlaceUserChoice();
                LayoutVertical();
                LayoutList();
                break;
        }
    } catch (...) {
        --layoutLock_;
        throw;
    }
    --layoutLock_;
}

void TSelectPanel::PlacePanels(TControl* front, TControl* back) {
    front->BringToFront();
    TypeCheck->SendToBack();
    back->SendToBack();
    const int top = TextHeight(*Font()) + 3, left = 2;
    const int bevel = RangePanel->BevelWidth();
    const int width = std::max(0, Width() - left - bevel - 2), height = std::max(0, Height() - top - bevel - 2);
    front->SetBounds(left, top, width, height);
    back->SetBounds(left, top, width, height);
}

void TSelectPanel::PlaceUserChoice() {
    TypeCheck->BringToFront();
    TypeCheck->SetBounds(16, TextHeight(*Font()) + 1, TypeCheck->Width(), TypeCheck->Height());
    TControl* chosen = userChoice_ ? static_cast<TControl*>(RangePanel) : ListPanel;
    TControl* other = userChoice_ ? static_cast<TControl*>(ListPanel) : RangePanel;
    chosen->BringToFront();
    const int top = TypeCheck->Top() + TextHeight(*TypeCheck->Font()) + 2, left = 2;
    const int width = std::max(0, Width() - left - 2), height = std::max(0, Height() - top - 2);
    chosen->SetBounds(left, top, width, height);
    other->SendToBack();
    other->SetBounds(left, top, width, height);
}

void TSelectPanel::LayoutHorizontal() {
    const int pw = RangePanel->ClientWidth(), ph = RangePanel->ClientHeight();
    const int top = (ph - edBegin->Height()) / 2;
    FitLabel(BeginLabel, WordOf(*beginWords_, 0), 2, top);
    FitLabel(FinalLabel, WordOf(*finalWords_, 0), FinalLabel->Left(), top);
    const int fixed = pw - BeginLabel->Left() - BeginLabel->Width() - FinalLabel->Width();
    int finalLeft = 0;
    if (canOpenWin_) {
        const int w = (fixed - BeginButton->Width() - FinalButton->Width() - 8) / 2;
        edBegin->SetBounds(Right(BeginLabel) + 1, top, std::max(0, w), edBegin->Height());
        BeginButton->SetBounds(Right(edBegin) + 2, top, BeginButton->Width(), BeginButton->Height());
        finalLeft = Right(BeginButton) + 2;
    } else {
        const int w = (fixed - 4) / 2;
        edBegin->SetBounds(Right(BeginLabel) + 1, top, std::max(0, w), edBegin->Height());
        finalLeft = Right(edBegin) + 4;
    }
    FinalLabel->SetBounds(finalLeft, top, FinalLabel->Width(), FinalLabel->Height());
    edFinal->SetBounds(Right(FinalLabel) + 2, top, edBegin->Width(), edFinal->Height());
    FinalButton->SetBounds(Right(edFinal) + 2, top, FinalButton->Width(), FinalButton->Height());
}

void TSelectPanel::LayoutVertical() {
    const int pw = RangePanel->ClientWidth(), ph = RangePanel->ClientHeight();
    const int gap = (ph - edBegin->Height() - edFinal->Height()) / 3;
    FitLabel(BeginLabel, WordOf(*beginWords_, 1), 2, gap);
    const int fixed = pw - BeginLabel->Left() - BeginLabel->Width();
    const int w = canOpenWin_ ? fixed - BeginButton->Width() - 4 : fixed - 2;
    edBegin->SetBounds(Right(BeginLabel) + 2, gap, std::max(0, w), edBegin->Height());
    if (canOpenWin_) BeginButton->SetBounds(Right(edBegin) + 1, gap, BeginButton->Width(), BeginButton->Height());
    const int finalTop = gap + BeginLabel->Top() + edBegin->Height();
    FitLabel(FinalLabel, WordOf(*finalWords_, 1), BeginLabel->Left(), finalTop);
    edFinal->SetBounds(edBegin->Left(), finalTop, edBegin->Width(), edFinal->Height());
    FinalButton->SetBounds(BeginButton->Left(), finalTop, FinalButton->Width(), FinalButton->Height());
}

void TSelectPanel::LayoutList() {
    const int lw = ListPanel->ClientWidth(), lh = ListPanel->ClientHeight();
    ListBox->SetBounds(ListBox->Left(), 0, std::max(0, lw - ListBox->Left() - ListButton->Width() - 3), std::max(0, lh));
    ListButton->SetBounds(ListBox->Width() + 2, ListBox->Top(), ListButton->Width(), ListButton->Height());
    DeleteButton->SetBounds(ListButton->Left(), ListButton->Top() + ListButton->Height(), DeleteButton->Width(), DeleteButton->Height());
    ClearButton->SetBounds(ListButton->Left(), DeleteButton->Top() + DeleteButton->Height(), ClearButton->Width(), ClearButton->Height());
}

// ---- Range, value text, focus --------------------------------------------------------------------

TRangeRules TSelectPanel::RangeRules() const {
    TRangeRules r = rules_;
    r.BlankText = blankText_;
    r.EditMask = edBegin ? edBegin->EditMask() : editMask_;
    return r;
}

void TSelectPanel::OrderRangeTexts() {
    if (!edBegin || !edFinal) return;
    const std::string oldBegin = edBegin->Text(), oldEnd = edFinal->Text();
    std::string b = oldBegin, e = oldEnd;
    OrderRange(RangeRules(), b, e);
    if (b != oldBegin) edBegin->SetText(b);
    if (e != oldEnd) edFinal->SetText(e);
}

void TSelectPanel::WndProc(TMessage& m) {
    if (m.Msg == CM_EXIT) {
        if (built_ && !IsDestroying()) OrderRangeTexts();
        if (Live()) DoExit();
        return;
    }
    TCustomGroupBox::WndProc(m);
}

std::string TSelectPanel::ValueText() const {
    TPanelValue v;
    v.Style = style_;
    v.UserChoice = userChoice_;
    const bool range = style_ == sp_Range || (style_ == sp_UserChoice && userChoice_);
    if (range) {
        if (edBegin) v.BeginText = edBegin->Text();
        if (edFinal) v.EndText = edFinal->Text();
    } else if (ListBox) {
        v.ListText = ListBox->ListText();
    }
    return PanelValueText(v);
}

bool TSelectPanel::SetValueText(std::string_view text) {
    TPanelValue v;
    if (!ReadPanelValueText(text, v)) return false;
    SetStyle(v.Style);
    if (style_ != v.Style) return false;
    if (v.Style == sp_UserChoice) SetUserChoice(v.UserChoice);
    if (v.Style == sp_Range || (v.Style == sp_UserChoice && v.UserChoice)) {
        if (edBegin) edBegin->SetText(v.BeginText);
        if (edFinal) edFinal->SetText(v.EndText);
        return true;
    }
    return ListBox && ListBox->LoadListText(v.ListText);
}

void TSelectPanel::SetEnabled(bool v) {
    enabledSet_ = v;
    TCustomGroupBox::SetEnabled(v);
    if (built_) SetTreeEnabled(this, v);
}

void TSelectPanel::SetFocus() {
    if (ListBox && !IsRangeActive() && ListBox->CanFocus()) {
        ListBox->SetFocus();
        return;
    }
    TCustomGroupBox::SetFocus();
}

// ---- Buttons -------------------------------------------------------------------------------------

void TSelectPanel::SendLookup(TWinControl* target) {
    auto* window = dynamic_cast<TWinControl*>(Owner());
    if (!window) window = GetParentForm(this);
    if (!window) return;
    WindowSystem().SendMessage(window->Handle(), WM_OPENLOOKUP, 0, reinterpret_cast<intptr_t>(target));
}

void TSelectPanel::LookupClick(TObject* sender) {
    TWinControl* target = nullptr;
    if (sender == BeginButton) {
        target = edBegin;
    } else if (sender == FinalButton) {
        target = edFinal;
    } else if (sender == ListButton) {
        target = ListBox;
    }
    if (!target) return;
    if (target->CanFocus()) target->SetFocus();
    SendLookup(target);
    if (Live()) OnOpenWinClick(this, target);
}

void TSelectPanel::DeleteClick(TObject*) {
    bool accept = true;
    if (Live()) OnDeleteClick(DeleteButton, accept);
    if (accept && ListBox) ListBox->DeleteSelectedRows();
}

void TSelectPanel::ClearClick(TObject*) {
    if (!ListBox) return;
    ListBox->ClearRows();
    if (ListBox->CanFocus()) ListBox->SetFocus();
    if (Live()) OnClearClick(ClearButton);
}

void TSelectPanel::ColumnClick(TObject*, TListColumn* column) {
    // The headers take clicks only where they are shown.
    if (!column || !ListBox || !ListBox->ShowColumnHeaders()) return;
    const int index = column->Index();
    if (index == sortColumn_) {
        sortAscending_ = !sortAscending_;
    } else {
        sortColumn_ = index;
        sortAscending_ = true;
    }
    ListBox->SetSortOrder(sortColumn_, sortAscending_);
    ListBox->SortRows();
}

// ---- Events of the inner controls ----------------------------------------------------------------

bool TSelectPanel::KeepsSender(const TObject* sender) const {
    return sender && (sender == edBegin || sender == edFinal || sender == ListBox);
}

TObject* TSelectPanel::ClickSender(TObject* sender) { return KeepsSender(sender) ? sender : this; }

void TSelectPanel::ToPanel(TObject* sender, int& x, int& y) const {
    for (const TControl* c = dynamic_cast<const TControl*>(sender); c && c != this; c = c->Parent()) {
        x += c->Left();
        y += c->Top();
    }
}

void TSelectPanel::InnerClick(TObject* sender) {
    if (Live()) OnClick(ClickSender(sender));
}

void TSelectPanel::InnerDblClick(TObject* sender) {
    if (Live()) OnDblClick(ClickSender(sender));
}

void TSelectPanel::InnerMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    if (!Live()) return;
    if (!KeepsSender(sender)) ToPanel(sender, x, y);
    OnMouseDown(ClickSender(sender), button, shift, x, y);
}

void TSelectPanel::InnerMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    if (!Live()) return;
    if (!KeepsSender(sender)) ToPanel(sender, x, y);
    OnMouseUp(ClickSender(sender), button, shift, x, y);
}

void TSelectPanel::InnerKeyDown(TObject* sender, uint16_t& key, TShiftState shift) {
    if (Live()) OnKeyDown(sender, key, shift);
}

void TSelectPanel::InnerKeyUp(TObject* sender, uint16_t& key, TShiftState shift) {
    if (Live()) OnKeyUp(sender, key, shift);
}

void TSelectPanel::InnerKeyPress(TObject* sender, char& key) {
    if (Live()) OnKeyPress(sender, key);
}

void TSelectPanel::ListSelectItem(TObject* sender, TListItem* item, bool selected) {
    if (Live()) OnItemSelect(sender, item, item ? item->Index() : -1, selected);
}

void TSelectPanel::ListChange(TObject* sender, TListItem* item, TItemChange change) {
    if (Live()) OnItemChange(sender, item, change);
}

void TSelectPanel::ListChanging(TObject* sender, TListItem* item, TItemChange change, bool& allow) {
    if (Live()) OnItemChanging(sender, item, change, allow);
}
