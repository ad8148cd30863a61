#include "Mask.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "Forms.h"
#include "platform/rtl/CodePages.h"

namespace ui {

namespace {

// The mask rules work on characters at 1-based mask offsets, as the class library's do.
enum class MaskCharType { mcNone, mcLiteral, mcIntlLiteral, mcDirective, mcMask, mcMaskOpt, mcFieldSeparator, mcField };

enum : unsigned { mdReverseDir = 1, mdUpperCase = 2, mdLowerCase = 4, mdLiteralChar = 8 };

constexpr char32_t kDirReverse = U'!';
constexpr char32_t kDirUpperCase = U'>';
constexpr char32_t kDirLowerCase = U'<';
constexpr char32_t kDirLiteral = U'\\';
constexpr char32_t kFieldSeparator = U';';
constexpr char32_t kNoSave = U'0';
constexpr char32_t kDefaultBlank = U'_';

constexpr uint16_t kVkEnd = 0x23;
constexpr uint16_t kVkHome = 0x24;

const char* const kMaskEditError = "Invalid input value.  Use escape key to abandon changes";

std::u32string U32(std::string_view s) {
    std::u32string r;
    const std::u16string w = rtl::Utf8ToWideLenient(s);
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
        }
        r.push_back(c);
    }
    return r;
}

std::string U8(const std::u32string& s) {
    std::string r;
    for (char32_t c : s) rtl::AppendUtf8(r, c);
    return r;
}

int Len(const std::u32string& s) { return static_cast<int>(s.size()); }

// The character at a 1-based offset; 0 outside (as reading past a string's end gives its
// terminating zero).
char32_t At(const std::u32string& s, int offset) { return offset >= 1 && offset <= Len(s) ? s[static_cast<size_t>(offset - 1)] : 0; }

std::u32string Copy(const std::u32string& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || index > Len(s)) return {};
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

MaskCharType CharType(const std::u32string& mask, int offset) {
    const int len = Len(mask);
    if (offset < 1 || offset > len) return MaskCharType::mcNone;
    const char32_t c = At(mask, offset);
    if (offset > 1 && At(mask, offset - 1) == kDirLiteral && !(offset > 2 && At(mask, offset - 2) == kDirLiteral)) {
        return MaskCharType::mcLiteral;
    }
    if (c == kFieldSeparator && len >= 4 && offset > len - 4) return MaskCharType::mcFieldSeparator;
    if (len >= 4 && offset > len - 4 && offset > 1 && At(mask, offset - 1) == kFieldSeparator &&
        !(offset > 2 && At(mask, offset - 2) == kDirLiteral)) {
        return MaskCharType::mcField;
    }
    switch (c) {
        case U':':
        case U'/': return MaskCharType::mcIntlLiteral;
        case kDirReverse:
        case kDirUpperCase:
        case kDirLowerCase:
        case kDirLiteral: return MaskCharType::mcDirective;
        case U'l':
        case U'a':
        case U'c':
        case U'#':
        case U'9': return MaskCharType::mcMaskOpt;
        case U'L':
        case U'A':
        case U'C':
        case U'0': return MaskCharType::mcMask;
        default: return MaskCharType::mcLiteral;
    }
}

bool IsLiteralType(MaskCharType t) { return t == MaskCharType::mcLiteral || t == MaskCharType::mcIntlLiteral; }
bool IsMaskType(MaskCharType t) { return t == MaskCharType::mcMask || t == MaskCharType::mcMaskOpt; }

unsigned CurrentDirectives(const std::u32string& mask, int offset) {
    unsigned r = 0;
    for (int i = 1; i <= Len(mask); ++i) {
        const char32_t c = At(mask, i);
        if (c == kDirReverse) {
            r |= mdReverseDir;
        } else if (c == kDirUpperCase && i < offset) {
            r &= ~mdLowerCase;
            // "<>" ends the case switching.
            if (!(i > 1 && At(mask, i - 1) == kDirLowerCase)) r |= mdUpperCase;
        } else if (c == kDirLowerCase && i < offset) {
            r &= ~mdUpperCase;
            r |= mdLowerCase;
        }
    }
    if (CharType(mask, offset) == MaskCharType::mcLiteral) r |= mdLiteralChar;
    return r;
}

char32_t IntlLiteralToChar(char32_t c) {
    if (c == U':') return static_cast<unsigned char>(rtl::FormatSettings().TimeSeparator);
    if (c == U'/') return static_cast<unsigned char>(rtl::FormatSettings().DateSeparator);
    return c;
}

// The literals put in between the characters of the value, blanks added for missing positions
// (at the end, or at the start with "!").
std::u32string DoFormatText(const std::u32string& mask, const std::u32string& value, char32_t blank) {
    std::u32string r = value;
    if (!(CurrentDirectives(mask, 1) & mdReverseDir)) {
        int offset = 1;
        for (int mo = 1; mo <= Len(mask); ++mo) {
            const MaskCharType t = CharType(mask, mo);
            if (IsLiteralType(t)) {
                r = Copy(r, 1, offset - 1) + IntlLiteralToChar(At(mask, mo)) + Copy(r, offset, Len(r) - offset + 1);
                ++offset;
            } else if (IsMaskType(t)) {
                if (offset > Len(r)) r.push_back(blank);
                ++offset;
            }
        }
    } else {
        int offset = Len(r);
        for (int i = 0; i < Len(mask); ++i) {
            const int mo = Len(mask) - i;
            const MaskCharType t = CharType(mask, mo);
            if (IsLiteralType(t)) {
                r = Copy(r, 1, offset) + IntlLiteralToChar(At(mask, mo)) + Copy(r, offset + 1, Len(r) - offset);
            } else if (IsMaskType(t)) {
                if (offset < 1) {
                    r.insert(r.begin(), blank);
                } else {
                    --offset;
                }
            }
        }
    }
    return r;
}

bool GetMaskSave(const std::u32string& mask) {
    const int len = Len(mask);
    if (len < 4) return true;
    int sep1 = -1, sep2 = -1;
    int i = len;
    while (sep2 < 0) {
        if (CharType(mask, i) == MaskCharType::mcFieldSeparator) {
            if (sep1 < 0) {
                sep1 = i;
            } else {
                sep2 = i;
            }
        }
        --i;
        if (i <= 0 || i < len - 4) break;
    }
    if (sep2 < 0) sep2 = sep1;
    if (sep2 > 0 && sep2 != len) return At(mask, sep2 + 1) != kNoSave;
    return true;
}

char32_t GetMaskBlank(const std::u32string& mask) {
    const int len = Len(mask);
    // The blank field counts only together with a save field.
    if (len >= 4 && CharType(mask, len - 1) == MaskCharType::mcFieldSeparator &&
        (CharType(mask, len - 2) == MaskCharType::mcField || CharType(mask, len - 3) == MaskCharType::mcFieldSeparator)) {
        return At(mask, len);
    }
    return kDefaultBlank;
}

// The 0-based text offset after the mask character at a mask offset (its count of positions).
int MaskOffsetToOffset(const std::u32string& mask, int maskOffset) {
    int r = 0;
    for (int i = 1; i <= maskOffset; ++i) {
        const MaskCharType t = CharType(mask, i);
        if (t != MaskCharType::mcDirective && t != MaskCharType::mcField && t != MaskCharType::mcFieldSeparator) ++r;
    }
    return r;
}

// The mask offset of a 0-based text offset; -1 beyond the mask's positions.
int OffsetToMaskOffset(const std::u32string& mask, int offset) {
    if (offset > MaskOffsetToOffset(mask, Len(mask))) return -1;
    int r = 0;
    int count = offset;
    for (int i = 1; i <= Len(mask); ++i) {
        ++r;
        if (CharType(mask, i) != MaskCharType::mcDirective) {
            if (--count < 0) return r;
        }
    }
    return r;
}

bool IsLiteralChar(const std::u32string& mask, int offset) {
    const int mo = OffsetToMaskOffset(mask, offset);
    return mo >= 0 && IsLiteralType(CharType(mask, mo));
}

std::u32string PadSubField(const std::u32string& mask, const std::u32string& value, int startFld, int stopFld, int len,
                           char32_t blank) {
    const bool reverse = CurrentDirectives(mask, 1) & mdReverseDir;
    if (stopFld - startFld < len) {
        const int startPad = reverse ? startFld - 1 : stopFld - 1;
        std::u32string r = Copy(value, 1, startPad);
        r.append(static_cast<size_t>(len - (stopFld - startFld)), blank);
        return r + Copy(value, startPad + 1, Len(value));
    }
    if (stopFld - startFld > len) {
        if (reverse) return Copy(value, 1, startFld - 1) + Copy(value, stopFld - len, Len(value));
        return Copy(value, 1, startFld + len - 1) + Copy(value, stopFld, Len(value));
    }
    return value;
}

// Each part of the value between two literals padded or cut to the part's length in the mask.
std::u32string PadInputLiterals(const std::u32string& mask, const std::u32string& value, char32_t blank) {
    int lastLiteral = 0;
    std::u32string r = value;
    for (int mo = 1; mo <= Len(mask); ++mo) {
        if (!IsLiteralType(CharType(mask, mo))) continue;
        const char32_t lit = IntlLiteralToChar(At(mask, mo));
        const int offset = MaskOffsetToOffset(mask, mo);
        int endSubFld = Len(r) + 1;
        for (int j = lastLiteral + 1; j <= Len(r); ++j) {
            if (At(r, j) == lit) {
                endSubFld = j;
                break;
            }
        }
        if (endSubFld > Len(r)) r.push_back(lit);
        r = PadSubField(mask, r, lastLiteral + 1, endSubFld, offset - (lastLiteral + 1), blank);
        lastLiteral = offset;
    }
    const int maxChars = MaskOffsetToOffset(mask, Len(mask));
    if (Len(r) > maxChars) r = Copy(r, 1, maxChars);
    while (Len(r) < maxChars) r.push_back(blank);
    return r;
}

}  // namespace

std::string FormatMaskText(std::string_view editMask, std::string_view value) {
    const std::u32string mask = U32(editMask);
    if (GetMaskSave(mask)) return U8(PadInputLiterals(mask, U32(value), U' '));
    return U8(DoFormatText(mask, U32(value), U' '));
}

bool MaskGetMaskSave(std::string_view editMask) { return GetMaskSave(U32(editMask)); }

char32_t MaskGetMaskBlank(std::string_view editMask) { return GetMaskBlank(U32(editMask)); }

int MaskMaxChars(std::string_view editMask) {
    const std::u32string mask = U32(editMask);
    return MaskOffsetToOffset(mask, Len(mask));
}

// ---- TCustomMaskEdit -----------------------------------------------------------------------------

const ClassInfo& TCustomMaskEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCustomMaskEdit>("TCustomMaskEdit", &TCustomEdit::StaticClassInfo())
                                      .Str("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask)
                                      .Enum("ImeMode", ImeModeEnum(), &TCustomMaskEdit::ImeMode, &TCustomMaskEdit::SetImeMode, 3)
                                      .Str("ImeName", &TCustomMaskEdit::ImeName, &TCustomMaskEdit::SetImeName)
                                      .Build();
    return info;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

std::u32string TCustomMaskEdit::Edit32() const { return U32(GetEditText()); }

void TCustomMaskEdit::SetEditMask(const std::string& v) {
    if (v == editMask_) return;
    const bool designing = (ComponentState() & csDesigning) && !v.empty() && !IsLoading();
    const std::string saveText = designing ? EditText() : Text();
    editMask_ = v;
    mask_ = U32(v);
    maxChars_ = 0;
    maskBlank_ = kDefaultBlank;
    maskSave_ = true;
    if (!v.empty()) {
        maskBlank_ = GetMaskBlank(mask_);
        maskSave_ = GetMaskSave(mask_);
        maxChars_ = MaskOffsetToOffset(mask_, Len(mask_));
    }
    SetMaxLength(maxChars_);
    if (designing) {
        SetEditText(saveText);
    } else {
        SetText(saveText);
    }
}

void TCustomMaskEdit::SetEditText(const std::string& v) {
    if (GetEditText() != v) TCustomEdit::SetText(v);
    // Text set in code: the edit is unchanged and the caret goes to the first position.
    modified_ = false;
    oldValue_ = GetEditText();
    if (IsMasked()) {
        SetSel(0, 0);
        SetCursor(GetNextEditChar(0));
    }
}

std::u32string TCustomMaskEdit::RemoveEditFormat(const std::u32string& value) const {
    int offset = 1;
    std::u32string r = value;
    for (int mo = 1; mo <= Len(mask_); ++mo) {
        const MaskCharType t = CharType(mask_, mo);
        if (IsLiteralType(t)) r = Copy(r, 1, offset - 1) + Copy(r, offset + 1, Len(r) - offset);
        if (IsMaskType(t)) ++offset;
    }
    if (CurrentDirectives(mask_, 1) & mdReverseDir) {
        size_t first = 0;
        while (first < r.size() && r[first] == maskBlank_) ++first;
        r.erase(0, first);
    } else {
        while (!r.empty() && r.back() == maskBlank_) r.pop_back();
    }
    if (maskBlank_ != U' ') std::replace(r.begin(), r.end(), maskBlank_, U' ');
    return r;
}

std::string TCustomMaskEdit::GetText() const {
    if (!IsMasked()) return GetEditText();
    std::u32string r = RemoveEditFormat(Edit32());
    if (maskSave_) r = DoFormatText(mask_, r, U' ');
    return U8(r);
}

void TCustomMaskEdit::SetText(const std::string& v) {
    if (!IsMasked()) {
        SetEditText(v);
        return;
    }
    std::u32string t = U32(v);
    t = maskSave_ ? PadInputLiterals(mask_, t, maskBlank_) : DoFormatText(mask_, t, maskBlank_);
    if ((ComponentState() & csDesigning) && !IsLoading()) {
        int pos = 0;
        if (!Validate(U8(t), pos)) throw EDBEditError("Invalid input value");
    }
    SetEditText(U8(t));
}

void TCustomMaskEdit::Reset() {
    if (!modified_) return;
    SetEditText(oldValue_);
    modified_ = false;
}

bool TCustomMaskEdit::Validate(const std::string& value, int& pos) const {
    const std::u32string v = U32(value);
    int offset = 1;
    for (int mo = 1; mo <= Len(mask_); ++mo) {
        const MaskCharType t = CharType(mask_, mo);
        if (IsLiteralType(t) || t == MaskCharType::mcMaskOpt) {
            ++offset;
        } else if (t == MaskCharType::mcMask && !v.empty()) {
            // An emptied edit passes: only a laid-out text has positions to check.
            const char32_t c = At(v, offset);
            if (c == maskBlank_ || (c == U' ' && At(mask_, mo) != U'C')) {
                pos = offset - 1;
                return false;
            }
            ++offset;
        }
    }
    return true;
}

void TCustomMaskEdit::ValidateError() { throw EDBEditError(kMaskEditError); }

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked() || !modified_) return;
    int pos = 0;
    if (Validate(GetEditText(), pos)) return;
    if (!(ComponentState() & csDesigning)) {
        // Back into the edit without running its enter event again.
        TCustomForm* form = GetParentForm(this);
        if (form && CanFocus()) {
            reEnter_ = form->Visible();
            SetFocus();
        }
    }
    SetCursor(pos);
    ValidateError();
}

// ---- Caret -------------------------------------------------------------------------------------

void TCustomMaskEdit::GetSel(int& start, int& stop) const {
    // The base edit keeps the selection in bytes; the mask counts characters.
    const std::string t = GetEditText();
    auto chars = [&](int bytes) {
        bytes = std::clamp(bytes, 0, static_cast<int>(t.size()));
        int n = 0;
        for (int i = 0; i < bytes; ++i) {
            if ((static_cast<unsigned char>(t[static_cast<size_t>(i)]) & 0xC0) != 0x80) ++n;
        }
        return n;
    };
    start = chars(SelStart());
    stop = chars(SelStart() + SelLength());
}

void TCustomMaskEdit::SetSel(int start, int stop) {
    const std::u32string t = Edit32();
    start = std::clamp(start, 0, Len(t));
    stop = std::clamp(stop, start, Len(t));
    const int b0 = static_cast<int>(U8(t.substr(0, static_cast<size_t>(start))).size());
    const int b1 = static_cast<int>(U8(t.substr(0, static_cast<size_t>(stop))).size());
    SetSelStart(b0);
    SetSelLength(b1 - b0);
}

void TCustomMaskEdit::SetCursor(int pos) {
    if (!IsMasked()) {
        SetSel(pos, pos);
        return;
    }
    int start = std::max(pos, 0);
    int stop = start + 1;
    if (start >= maxChars_) start = stop = maxChars_;
    SetSel(start, stop);
}

void TCustomMaskEdit::CheckCursor() {
    if (!IsMasked()) return;
    int start = 0, stop = 0;
    GetSel(start, stop);
    if (start == stop) SetCursor(start);
}

int TCustomMaskEdit::GetNextEditChar(int offset) const {
    while (offset < maxChars_ && IsLiteralChar(mask_, offset)) ++offset;
    return offset;
}

int TCustomMaskEdit::GetPriorEditChar(int offset) const {
    while (offset >= 0 && IsLiteralChar(mask_, offset)) --offset;
    if (offset < 0) offset = GetNextEditChar(offset);
    return offset;
}

void TCustomMaskEdit::CursorInc(int pos, int incr) {
    int nu = GetNextEditChar(pos + incr);
    if (IsLiteralChar(mask_, nu)) nu = pos;
    SetCursor(nu);
}

void TCustomMaskEdit::CursorDec(int pos) { SetCursor(GetPriorEditChar(pos - 1)); }

// ---- Typing ------------------------------------------------------------------------------------

void TCustomMaskEdit::WriteTyped(const std::u32string& text) {
    TCustomEdit::SetText(U8(text));
    modified_ = true;
}

void TCustomMaskEdit::InsertChar(char c) {
    // Unmasked typing: a plain edit's, remembered as a change of the user.
    TCustomEdit::InsertChar(c);
    if (!ReadOnly()) modified_ = true;
}

void TCustomMaskEdit::TypeText(const std::string& text) {
    if (!IsMasked()) {
        TCustomEdit::TypeText(text);
        return;
    }
    size_t i = 0;
    while (i < text.size()) {
        size_t n = rtl::Utf8SequenceLength(text, i);
        if (n == 0) n = 1;
        if (n == 1) {
            char ch = text[i];
            TCustomForm* form = GetParentForm(this);
            const bool consumed = (form && form->KeyPreview() && form->KeyPress(ch)) || KeyPress(ch);
            if (!consumed) CharKey(static_cast<unsigned char>(ch));
        } else {
            const std::u32string cp = U32(std::string_view(text).substr(i, n));
            if (!cp.empty()) CharKey(cp[0]);
        }
        i += n;
    }
}

void TCustomMaskEdit::CharKey(char32_t c) {
    if (c == 0x1B) {
        Reset();
        return;
    }
    if (!EditCanModify() || ReadOnly()) return;
    if (c == U'\b') {
        DeleteKeys(VK_BACK);
        return;
    }
    if (c < 0x20) return;
    const bool emptied = GetEditText().empty() && maxChars_ > 0;
    if (emptied) {
        // An emptied edit takes up its blank layout with the first character typed, written
        // together with the character as one change.
        const std::u32string blank = maskSave_ ? PadInputLiterals(mask_, U"", maskBlank_) : DoFormatText(mask_, U"", maskBlank_);
        text_ = U8(blank);
        SetCursor(GetNextEditChar(0));
    }
    if (!TypeChar(c) && emptied) {
        text_.clear();
        SetSel(0, 0);
    }
}

bool TCustomMaskEdit::TypeChar(char32_t c) {
    int start = 0, stop = 0;
    GetSel(start, stop);
    if (stop - start > 1) {
        DeleteKeys(VK_DELETE);
        SetCursor(GetNextEditChar(start));
        GetSel(start, stop);
    }
    char32_t ch = c;
    if (!InputChar(ch, start)) return false;
    std::u32string t = Edit32();
    start = std::min(start, Len(t));
    stop = std::clamp(stop, start, Len(t));
    // The edit holds at most the mask's positions: a character that would make it longer stays out.
    if (stop == start && Len(t) >= maxChars_) return false;
    t = t.substr(0, static_cast<size_t>(start)) + ch + t.substr(static_cast<size_t>(stop));
    WriteTyped(t);
    CursorInc(start + 1, 0);
    return true;
}

bool TCustomMaskEdit::InputChar(char32_t& c, int offset) {
    const int mo = OffsetToMaskOffset(mask_, offset);
    if (mo < 0) return false;
    const MaskCharType t = CharType(mask_, mo);
    const char32_t typed = c;
    if (DoInputChar(c, mo)) return true;
    if (IsMaskType(t)) {
        // Typing the next literal moves behind it.
        const int lit = FindLiteralChar(mo, typed);
        if (lit > 0) SetCursor(MaskOffsetToOffset(mask_, lit));
    }
    return false;
}

bool TCustomMaskEdit::DoInputChar(char32_t& c, int maskOffset) const {
    const MaskCharType t = CharType(mask_, maskOffset);
    if (IsLiteralType(t)) {
        c = IntlLiteralToChar(At(mask_, maskOffset));
        return true;
    }
    const unsigned dir = CurrentDirectives(mask_, maskOffset);
    auto cased = [&](char32_t x) {
        if (dir & mdUpperCase) return static_cast<char32_t>(u_toupper(static_cast<UChar32>(x)));
        if (dir & mdLowerCase) return static_cast<char32_t>(u_tolower(static_cast<UChar32>(x)));
        return x;
    };
    const bool alpha = u_isalpha(static_cast<UChar32>(c));
    switch (At(mask_, maskOffset)) {
        case U'0':
        case U'9': return c >= U'0' && c <= U'9';
        case U'#': return (c >= U'0' && c <= U'9') || c == U' ' || c == U'+' || c == U'-';
        case U'C':
        case U'c':
            if (alpha) c = cased(c);
            return true;
        case U'L':
        case U'l':
        case U'A':
        case U'a': {
            const char32_t m = At(mask_, maskOffset);
            if (!alpha) return (m == U'A' || m == U'a') && u_isalnum(static_cast<UChar32>(c));
            c = cased(c);
            return true;
        }
        default: return true;
    }
}

int TCustomMaskEdit::FindLiteralChar(int maskOffset, char32_t c) const {
    while (maskOffset < Len(mask_)) {
        ++maskOffset;
        const MaskCharType t = CharType(mask_, maskOffset);
        if (IsLiteralType(t)) {
            return IntlLiteralToChar(At(mask_, maskOffset)) == c ? maskOffset : -1;
        }
    }
    return -1;
}

void TCustomMaskEdit::DeleteKeys(uint16_t key) {
    if (ReadOnly()) return;
    int start = 0, stop = 0;
    GetSel(start, stop);
    if (stop - start <= 1 && key == VK_BACK) {
        const int was = start;
        CursorDec(start);
        GetSel(start, stop);
        if (start == was) return;
    }
    if (stop - start < 1) return;
    std::u32string t = Edit32();
    for (int i = start; i < stop && i < Len(t); ++i) {
        if (!IsLiteralChar(mask_, i)) t[static_cast<size_t>(i)] = maskBlank_;
    }
    WriteTyped(t);
    SetCursor(stop - start != 1 ? GetNextEditChar(start) : start);
}

void TCustomMaskEdit::ArrowKeys(uint16_t key, TShiftState shift) {
    if (shift & (ssCtrl | ssShift)) return;
    int start = 0, stop = 0;
    GetSel(start, stop);
    if (key == VK_LEFT) {
        CursorDec(start);
    } else if (stop == start) {
        SetCursor(start);
    } else {
        CursorInc(start, 1);
    }
}

bool TCustomMaskEdit::KeyDown(uint16_t& key, TShiftState shift) {
    if (TCustomEdit::KeyDown(key, shift)) return true;
    if (!IsMasked() || key == 0 || (shift & ssAlt)) return false;
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
            ArrowKeys(key, shift);
            if (shift & (ssShift | ssCtrl)) return false;
            key = 0;
            return true;
        case VK_UP:
        case VK_DOWN: key = 0; return true;
        case kVkHome:
        case kVkEnd:
            SetCursor(key == kVkHome ? GetNextEditChar(0) : maxChars_);
            key = 0;
            return true;
        case VK_DELETE:
        case VK_BACK:
            if (key == VK_DELETE && (shift & ssShift)) break;
            if (EditCanModify()) DeleteKeys(key);
            key = 0;
            return true;
        case VK_ESCAPE:
            // A changed edit keeps Escape for itself (the form's cancel button does not get it)
            // and takes the change back.
            if (!modified_) break;
            Reset();
            return true;
        default: break;
    }
    CheckCursor();
    return false;
}

void TCustomMaskEdit::WndProc(TMessage& m) {
    if (IsMasked() && !(ComponentState() & csDesigning)) {
        if (m.Msg == CM_ENTER) {
            if (!reEnter_) {
                oldValue_ = GetEditText();
                TCustomEdit::WndProc(m);
            }
            reEnter_ = false;
            CheckCursor();
            return;
        }
        if (m.Msg == CM_EXIT) {
            // A text that does not fit keeps the focus; the exit event does not run.
            ValidateEdit();
            CheckCursor();
        }
    }
    TCustomEdit::WndProc(m);
}

const ClassInfo& TMaskEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TMaskEdit>("TMaskEdit", &TCustomMaskEdit::StaticClassInfo()).Build();
    return info;
}

}  // namespace ui
