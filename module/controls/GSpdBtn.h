// TGSpeedButton: a speed button whose picture is a numbered glyph of the suite's resource
// library "CvResD5.dll", and the binding of that library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/os/DynLibs.h"
#include "platform/ui/Buttons.h"

// The resource library, bound by name. Its calling interface is in docs/glyphs.md.
class TGlyphLibrary {
public:
    using GetMaxBmpIDFn = int32_t (*)();
    using LoadBmpFn = int32_t (*)(uint8_t* buffer, int32_t capacity, int32_t number);

    // Loads the library of that name ("CvResD5.dll" is the file CvResD5.so).
    explicit TGlyphLibrary(std::string_view libraryName);
    // A library given by its two entry points (either may be null).
    TGlyphLibrary(GetMaxBmpIDFn getMaxBmpID, LoadBmpFn loadBmp);
    TGlyphLibrary(const TGlyphLibrary&) = delete;
    TGlyphLibrary& operator=(const TGlyphLibrary&) = delete;

    // Both entry points are there.
    bool Bound() const noexcept { return getMax_ && load_; }
    // The highest glyph number the library holds; 0 without the library.
    int GetMaxBmpID() const;
    // Fills the bitmap with glyph `number`; false when the library holds no such glyph (the
    // bitmap is then left as it was). Raises ui::EInvalidGraphic when the library hands over
    // something that is no bitmap.
    bool LoadBmp(ui::TBitmap* bitmap, int number) const;

private:
    os::DynLib lib_;
    GetMaxBmpIDFn getMax_ = nullptr;
    LoadBmpFn load_ = nullptr;
};

// The library the glyph buttons use: "CvResD5.dll", bound at first use and kept for the life of
// the process.
TGlyphLibrary& GlyphLibrary();
// Puts another library in its place (nullptr: the bound one again); answers the one used before.
TGlyphLibrary* SetGlyphLibrary(TGlyphLibrary* library);

class TGSpeedButton : public ui::TSpeedButton {
public:
    explicit TGSpeedButton(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int GlyphIndex() const noexcept { return glyphIndex_; }
    // Loads glyph n; the caption shows n while there is no picture. A failure to read the glyph
    // is shown in the error dialog "读取 BMP 发生错误".
    void SetGlyphIndex(int n);
    int HintIndex() const noexcept { return hintIndex_; }
    void SetHintIndex(int v) { hintIndex_ = v; }

private:
    int glyphIndex_ = 0;
    int hintIndex_ = 0;
};
