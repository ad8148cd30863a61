// Colours, fonts and text metrics. Without a window system, text is measured with a small
// deterministic font model (see TextWidth): a character of the East Asian wide classes is as
// wide as the font's pixel height, any other character half of it, rounded up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "TypInfo.h"

namespace ui {

using TColor = int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clWindow = static_cast<TColor>(0x80000005);
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
inline constexpr TColor clBtnShadow = static_cast<TColor>(0x80000010);
inline constexpr TColor clGrayText = static_cast<TColor>(0x80000011);
inline constexpr TColor clBtnText = static_cast<TColor>(0x80000012);
inline constexpr TColor clBtnHighlight = static_cast<TColor>(0x80000014);
inline constexpr TColor clHighlight = static_cast<TColor>(0x8000000D);
inline constexpr TColor clHighlightText = static_cast<TColor>(0x8000000E);
inline constexpr TColor clInfoBk = static_cast<TColor>(0x80000018);

// The RGB value of a colour, system colours resolved with a classic desktop scheme.
uint32_t ColorToRGB(TColor c);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;  // bit n: style n
const EnumInfo& FontStyleEnum();
const EnumInfo& FontPitchEnum();
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

inline constexpr uint8_t ANSI_CHARSET = 0;
inline constexpr uint8_t DEFAULT_CHARSET = 1;
inline constexpr uint8_t GB2312_CHARSET = 134;
inline constexpr uint8_t CHINESEBIG5_CHARSET = 136;

inline constexpr int kPixelsPerInch = 96;

class TFont : public TObject {
public:
    TFont();
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& Name() const noexcept { return name_; }
    void SetName(const std::string& v);
    int Height() const noexcept { return height_; }
    void SetHeight(int v);
    int Size() const;  // points, from the height at 96 pixels per inch
    void SetSize(int points);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor v);
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles v);
    bool HasStyle(TFontStyle s) const noexcept { return (style_ >> s) & 1; }
    int Charset() const noexcept { return charset_; }
    void SetCharset(int v);
    TFontPitch Pitch() const noexcept { return pitch_; }
    void SetPitch(TFontPitch v);

    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    TNotifyEvent OnChange;

private:
    void Changed();
    std::string name_ = "宋体";
    int height_ = -12;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    int charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = TFontPitch::fpDefault;
};

// The headless font model.
int TextWidth(const TFont& font, std::string_view text);
int TextHeight(const TFont& font);

}  // namespace ui
