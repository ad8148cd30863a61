#include "Graphics.h"

#include <unicode/uchar.h>

#include <cmath>

#include "platform/rtl/CodePages.h"

namespace ui {

uint32_t ColorToRGB(TColor c) {
    if (c >= 0) return static_cast<uint32_t>(c) & 0xFFFFFF;
    static const uint32_t system[] = {
        0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000,
        0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0x000000,
        0xFFFFFF, 0x404040, 0xE3E3E3, 0x000000, 0xE1FFFF,
    };
    const uint32_t index = static_cast<uint32_t>(c) & 0xFF;
    return index < std::size(system) ? system[index] : 0;
}

const EnumInfo& FontStyleEnum() {
    static const EnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
    return info;
}

const EnumInfo& FontPitchEnum() {
    static const EnumInfo info{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
    return info;
}

const ClassInfo& TFont::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TFont>("TFont", &TObject::StaticClassInfo())
                                      .Int("Charset", &TFont::Charset, &TFont::SetCharset)
                                      .Int("Color", &TFont::Color, &TFont::SetColor, std::nullopt, &ColorIdents())
                                      .Int("Height", &TFont::Height, &TFont::SetHeight)
                                      .Str("Name", &TFont::Name, &TFont::SetName)
                                      .Enum("Pitch", FontPitchEnum(), &TFont::Pitch, &TFont::SetPitch, 0)
                                      .Int("Size", &TFont::Size, &TFont::SetSize)
                                      .Set("Style", FontStyleEnum(), &TFont::Style, &TFont::SetStyle)
                                      .Event("OnChange", &TFont::OnChange)
                                      .Build();
    return info;
}

TFont::TFont() = default;

void TFont::Changed() { OnChange(this); }

void TFont::SetName(const std::string& v) {
    if (v == name_) return;
    name_ = v;
    Changed();
}

void TFont::SetHeight(int v) {
    if (v == height_) return;
    height_ = v;
    Changed();
}

int TFont::Size() const {
    // -MulDiv(Height, 72, PixelsPerInch), rounded as MulDiv rounds.
    const double s = -static_cast<double>(height_) * 72.0 / kPixelsPerInch;
    return static_cast<int>(s < 0 ? -std::floor(-s + 0.5) : std::floor(s + 0.5));
}

void TFont::SetSize(int points) {
    const double h = static_cast<double>(points) * kPixelsPerInch / 72.0;
    SetHeight(-static_cast<int>(h < 0 ? -std::floor(-h + 0.5) : std::floor(h + 0.5)));
}

void TFont::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Changed();
}

void TFont::SetStyle(TFontStyles v) {
    if (v == style_) return;
    style_ = v;
    Changed();
}

void TFont::SetCharset(int v) {
    if (v == charset_) return;
    charset_ = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v) {
    if (v == pitch_) return;
    pitch_ = v;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (SameAs(other)) return;
    name_ = other.name_;
    height_ = other.height_;
    color_ = other.color_;
    style_ = other.style_;
    charset_ = other.charset_;
    pitch_ = other.pitch_;
    Changed();
}

bool TFont::SameAs(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
           charset_ == o.charset_ && pitch_ == o.pitch_;
}

namespace {
int PixelHeight(const TFont& font) {
    const int h = font.Height();
    return h < 0 ? -h : (h > 0 ? h * 4 / 5 : 12);  // a positive height includes the internal leading
}
}  // namespace

int TextWidth(const TFont& font, std::string_view text) {
    const int h = PixelHeight(font);
    const int narrow = (h + 1) / 2;
    const int extra = font.HasStyle(fsBold) ? 1 : 0;
    int width = 0;
    const std::u16string w = rtl::Utf8ToWideLenient(text);
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size()) c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
        const int ea = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_EAST_ASIAN_WIDTH);
        const bool wide = ea == U_EA_WIDE || ea == U_EA_FULLWIDTH;
        width += (wide ? h : narrow) + extra;
    }
    return width;
}

int TextHeight(const TFont& font) { return PixelHeight(font); }

}  // namespace ui
