// Mask edits: edits with the class library's edit masks.
//
// A mask is "mask;save-literals;blank". Mask characters: "!" drops blanks at the start instead of
// the end, ">" and "<" switch the letters that follow to upper or lower case ("<>" switches back),
// "\" makes the next character a literal, "L" a letter, "l" an optional letter, "A" a letter or
// digit, "a" an optional one, "C" any character, "c" an optional one, "0" a digit, "9" an
// optional digit, "#" an optional digit, blank, "+" or "-"; ":" and "/" stand for the time and
// date separators; anything else is a literal. The two fields are recognised only within the last
// four characters of the mask: a save field "0" means the program's Text leaves the literals out;
// the blank field is the character shown for an empty position ("_" when not given).
//
// EditText is the text as shown (literals in place, blanks for empty positions); Text is what
// the program reads: the edit text with blanks turned into spaces, trailing (with "!" leading)
// blanks dropped, and the literals laid out again when they are saved. Setting Text lays it out
// with the mask. An edit whose text was emptied (Clear) shows nothing, and its Text reads as the
// blank layout. Positions count characters: a Chinese character takes one position.
//
// Typing goes position by position as the class library's mask edit does: a character that
// does not fit its position is refused, literals are skipped, and typing the next literal
// moves the caret behind it. The check on leaving (ValidateEdit) refuses a changed text whose
// required position ("L", "A", "C", "0") is blank.
#pragma once

#include <string>
#include <string_view>

#include "StdCtrls.h"

namespace ui {

class EDBEditError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EDBEditError"; }
};

// The text laid out with the mask, blanks as spaces: with saved literals each part between two
// literals is padded (or cut) to its length, else the literals are put in between the characters.
std::string FormatMaskText(std::string_view editMask, std::string_view value);
// Whether the mask keeps its literals in the program's text (its save field is not "0").
bool MaskGetMaskSave(std::string_view editMask);
// The blank character of a mask ("_" when the mask names none).
char32_t MaskGetMaskBlank(std::string_view editMask);
// The number of positions of the text a mask lays out.
int MaskMaxChars(std::string_view editMask);

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& EditMask() const noexcept { return editMask_; }
    // Keeps the text: it is read with the old mask and laid out again with the new one.
    virtual void SetEditMask(const std::string& v);
    bool IsMasked() const noexcept { return !editMask_.empty(); }
    int MaxChars() const noexcept { return maxChars_; }
    char32_t MaskBlank() const noexcept { return maskBlank_; }

    // The text as shown in the box.
    virtual std::string GetEditText() const { return TCustomEdit::GetText(); }
    // Sets the shown text as it stands (no layout); the edit counts as unchanged afterwards.
    virtual void SetEditText(const std::string& v);
    std::string EditText() const { return GetEditText(); }
    // The text as read by the program (see the top of this file); unmasked, the edit text.
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    // Empties the shown text, as the class library's edit does; Text then reads as the blank
    // layout of the mask.
    void Clear() { SetEditText(""); }

    // Whether the user changed the text since it was last set in code or on entering.
    bool Modified() const noexcept { return modified_; }
    void SetModified(bool v) noexcept { modified_ = v; }
    // Takes back what the user typed since entering (Escape does this).
    void Reset();
    // Checks a changed text against the mask; raises EDBEditError "Invalid input value.  Use
    // escape key to abandon changes" with the caret on the first blank required position.
    virtual void ValidateEdit();

    void TypeText(const std::string& text) override;
    bool KeyDown(uint16_t& key, TShiftState shift) override;
    void WndProc(TMessage& m) override;

    TImeMode ImeMode() const noexcept { return imeMode_; }
    void SetImeMode(TImeMode v) { imeMode_ = v; }
    const std::string& ImeName() const noexcept { return imeName_; }
    void SetImeName(const std::string& v) { imeName_ = v; }

protected:
    // Whether the text fits the mask; pos is the first position that does not.
    virtual bool Validate(const std::string& value, int& pos) const;
    [[noreturn]] virtual void ValidateError();
    virtual bool EditCanModify() { return true; }
    void InsertChar(char c) override;

private:
    std::u32string Edit32() const;
    void WriteTyped(const std::u32string& text);
    void GetSel(int& start, int& stop) const;
    void SetSel(int start, int stop);
    void SetCursor(int pos);
    void CheckCursor();
    void CursorInc(int pos, int incr);
    void CursorDec(int pos);
    int GetNextEditChar(int offset) const;
    int GetPriorEditChar(int offset) const;
    void CharKey(char32_t c);
    bool TypeChar(char32_t c);
    bool InputChar(char32_t& c, int offset);
    bool DoInputChar(char32_t& c, int maskOffset) const;
    int FindLiteralChar(int maskOffset, char32_t c) const;
    void DeleteKeys(uint16_t key);
    void ArrowKeys(uint16_t key, TShiftState shift);
    std::u32string RemoveEditFormat(const std::u32string& value) const;

    std::string editMask_;
    std::u32string mask_;
    char32_t maskBlank_ = U'_';
    int maxChars_ = 0;
    bool maskSave_ = true;
    bool reEnter_ = false;
    bool modified_ = false;
    std::string oldValue_;
    TImeMode imeMode_ = TImeMode::imDontCare;
    std::string imeName_;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace ui
