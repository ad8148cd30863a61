#include "Graphics.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>

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

namespace {
// The characters of a text, as the font model counts them.
std::u32string CodePoints(std::string_view text) {
    const std::u16string w = rtl::Utf8ToWideLenient(text);
    std::u32string r;
    r.reserve(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
        }
        r.push_back(c);
    }
    return r;
}

int CellWidth(int h, bool bold, char32_t c) {
    const int ea = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_EAST_ASIAN_WIDTH);
    const bool wide = ea == U_EA_WIDE || ea == U_EA_FULLWIDTH;
    return (wide ? h : (h + 1) / 2) + (bold ? 1 : 0);
}

int WidthOf(const TFont& font, const std::u32string& text) {
    const int h = PixelHeight(font);
    const bool bold = font.HasStyle(fsBold);
    int width = 0;
    for (char32_t c : text) width += CellWidth(h, bold, c);
    return width;
}

// The built-in 5 x 7 font for "!" to "~": five columns per character, bit 0 the top row.
constexpr uint8_t kFont5x7[94][5] = {
    {0x00, 0x00, 0x5F, 0x00, 0x00}, {0x00, 0x07, 0x00, 0x07, 0x00}, {0x14, 0x7F, 0x14, 0x7F, 0x14},  // ! " #
    {0x24, 0x2A, 0x7F, 0x2A, 0x12}, {0x23, 0x13, 0x08, 0x64, 0x62}, {0x36, 0x49, 0x55, 0x22, 0x50},  // $ % &
    {0x00, 0x05, 0x03, 0x00, 0x00}, {0x00, 0x1C, 0x22, 0x41, 0x00}, {0x00, 0x41, 0x22, 0x1C, 0x00},  // ' ( )
    {0x08, 0x2A, 0x1C, 0x2A, 0x08}, {0x08, 0x08, 0x3E, 0x08, 0x08}, {0x00, 0x50, 0x30, 0x00, 0x00},  // * + ,
    {0x08, 0x08, 0x08, 0x08, 0x08}, {0x00, 0x60, 0x60, 0x00, 0x00}, {0x20, 0x10, 0x08, 0x04, 0x02},  // - . /
    {0x3E, 0x51, 0x49, 0x45, 0x3E}, {0x00, 0x42, 0x7F, 0x40, 0x00}, {0x42, 0x61, 0x51, 0x49, 0x46},  // 0 1 2
    {0x21, 0x41, 0x45, 0x4B, 0x31}, {0x18, 0x14, 0x12, 0x7F, 0x10}, {0x27, 0x45, 0x45, 0x45, 0x39},  // 3 4 5
    {0x3C, 0x4A, 0x49, 0x49, 0x30}, {0x01, 0x71, 0x09, 0x05, 0x03}, {0x36, 0x49, 0x49, 0x49, 0x36},  // 6 7 8
    {0x06, 0x49, 0x49, 0x29, 0x1E}, {0x00, 0x36, 0x36, 0x00, 0x00}, {0x00, 0x56, 0x36, 0x00, 0x00},  // 9 : ;
    {0x08, 0x14, 0x22, 0x41, 0x00}, {0x14, 0x14, 0x14, 0x14, 0x14}, {0x00, 0x41, 0x22, 0x14, 0x08},  // < = >
    {0x02, 0x01, 0x51, 0x09, 0x06}, {0x32, 0x49, 0x79, 0x41, 0x3E}, {0x7E, 0x11, 0x11, 0x11, 0x7E},  // ? @ A
    {0x7F, 0x49, 0x49, 0x49, 0x36}, {0x3E, 0x41, 0x41, 0x41, 0x22}, {0x7F, 0x41, 0x41, 0x22, 0x1C},  // B C D
    {0x7F, 0x49, 0x49, 0x49, 0x41}, {0x7F, 0x09, 0x09, 0x09, 0x01}, {0x3E, 0x41, 0x49, 0x49, 0x7A},  // E F G
    {0x7F, 0x08, 0x08, 0x08, 0x7F}, {0x00, 0x41, 0x7F, 0x41, 0x00}, {0x20, 0x40, 0x41, 0x3F, 0x01},  // H I J
    {0x7F, 0x08, 0x14, 0x22, 0x41}, {0x7F, 0x40, 0x40, 0x40, 0x40}, {0x7F, 0x02, 0x0C, 0x02, 0x7F},  // K L M
    {0x7F, 0x04, 0x08, 0x10, 0x7F}, {0x3E, 0x41, 0x41, 0x41, 0x3E}, {0x7F, 0x09, 0x09, 0x09, 0x06},  // N O P
    {0x3E, 0x41, 0x51, 0x21, 0x5E}, {0x7F, 0x09, 0x19, 0x29, 0x46}, {0x46, 0x49, 0x49, 0x49, 0x31},  // Q R S
    {0x01, 0x01, 0x7F, 0x01, 0x01}, {0x3F, 0x40, 0x40, 0x40, 0x3F}, {0x1F, 0x20, 0x40, 0x20, 0x1F},  // T U V
    {0x3F, 0x40, 0x38, 0x40, 0x3F}, {0x63, 0x14, 0x08, 0x14, 0x63}, {0x07, 0x08, 0x70, 0x08, 0x07},  // W X Y
    {0x61, 0x51, 0x49, 0x45, 0x43}, {0x00, 0x7F, 0x41, 0x41, 0x00}, {0x02, 0x04, 0x08, 0x10, 0x20},  // Z [ backslash
    {0x00, 0x41, 0x41, 0x7F, 0x00}, {0x04, 0x02, 0x01, 0x02, 0x04}, {0x40, 0x40, 0x40, 0x40, 0x40},  // ] ^ _
    {0x00, 0x01, 0x02, 0x04, 0x00}, {0x20, 0x54, 0x54, 0x54, 0x78}, {0x7F, 0x48, 0x44, 0x44, 0x38},  // ` a b
    {0x38, 0x44, 0x44, 0x44, 0x20}, {0x38, 0x44, 0x44, 0x48, 0x7F}, {0x38, 0x54, 0x54, 0x54, 0x18},  // c d e
    {0x08, 0x7E, 0x09, 0x01, 0x02}, {0x0C, 0x52, 0x52, 0x52, 0x3E}, {0x7F, 0x08, 0x04, 0x04, 0x78},  // f g h
    {0x00, 0x44, 0x7D, 0x40, 0x00}, {0x20, 0x40, 0x44, 0x3D, 0x00}, {0x7F, 0x10, 0x28, 0x44, 0x00},  // i j k
    {0x00, 0x41, 0x7F, 0x40, 0x00}, {0x7C, 0x04, 0x18, 0x04, 0x78}, {0x7C, 0x08, 0x04, 0x04, 0x78},  // l m n
    {0x38, 0x44, 0x44, 0x44, 0x38}, {0x7C, 0x14, 0x14, 0x14, 0x08}, {0x08, 0x14, 0x14, 0x18, 0x7C},  // o p q
    {0x7C, 0x08, 0x04, 0x04, 0x08}, {0x48, 0x54, 0x54, 0x54, 0x20}, {0x04, 0x3F, 0x44, 0x40, 0x20},  // r s t
    {0x3C, 0x40, 0x40, 0x20, 0x7C}, {0x1C, 0x20, 0x40, 0x20, 0x1C}, {0x3C, 0x40, 0x30, 0x40, 0x3C},  // u v w
    {0x44, 0x28, 0x10, 0x28, 0x44}, {0x0C, 0x50, 0x50, 0x50, 0x3C}, {0x44, 0x64, 0x54, 0x4C, 0x44},  // x y z
    {0x00, 0x08, 0x36, 0x41, 0x00}, {0x00, 0x00, 0x7F, 0x00, 0x00}, {0x00, 0x41, 0x36, 0x08, 0x00},  // { | }
    {0x08, 0x04, 0x08, 0x10, 0x08},                                                                  // ~
};

// The text as drawn without DT_NOPREFIX: "&&" is "&", a single "&" underlines the next
// character (the last one marked wins, as the window system does) and is not drawn.
std::u32string ResolvePrefix(const std::u32string& text, int& underlined) {
    std::u32string r;
    underlined = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'&') {
            if (i + 1 < text.size() && text[i + 1] == U'&') {
                r.push_back(U'&');
                ++i;
            } else if (i + 1 < text.size()) {
                underlined = static_cast<int>(r.size());
            }
            continue;
        }
        r.push_back(text[i]);
    }
    return r;
}
}  // namespace

int TextWidth(const TFont& font, std::string_view text) { return WidthOf(font, CodePoints(text)); }

int TextHeight(const TFont& font) { return PixelHeight(font); }

// ---- Brushes, pens, canvases -------------------------------------------------------------------

const EnumInfo& BrushStyleEnum() {
    static const EnumInfo info{"TBrushStyle",
                               {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross",
                                "bsDiagCross"}};
    return info;
}

const EnumInfo& PenStyleEnum() {
    static const EnumInfo info{"TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}};
    return info;
}

const EnumInfo& TransparentModeEnum() {
    static const EnumInfo info{"TTransparentMode", {"tmAuto", "tmFixed"}};
    return info;
}

const ClassInfo& TBrush::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TBrush>("TBrush", &TObject::StaticClassInfo())
                                      .Int("Color", &TBrush::Color, &TBrush::SetColor, clWhite, &ColorIdents())
                                      .Enum("Style", BrushStyleEnum(), &TBrush::Style, &TBrush::SetStyle, 0)
                                      .Build();
    return info;
}

void TBrush::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    OnChange(this);
}

void TBrush::SetStyle(TBrushStyle v) {
    if (v == style_) return;
    style_ = v;
    OnChange(this);
}

void TBrush::Assign(const TBrush& other) {
    color_ = other.color_;
    style_ = other.style_;
    OnChange(this);
}

const ClassInfo& TPen::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TPen>("TPen", &TObject::StaticClassInfo())
                                      .Int("Color", &TPen::Color, &TPen::SetColor, clBlack, &ColorIdents())
                                      .Enum("Style", PenStyleEnum(), &TPen::Style, &TPen::SetStyle, 0)
                                      .Int("Width", &TPen::Width, &TPen::SetWidth, 1)
                                      .Build();
    return info;
}

void TPen::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    OnChange(this);
}

void TPen::SetWidth(int v) {
    if (v < 1) v = 1;
    if (v == width_) return;
    width_ = v;
    OnChange(this);
}

void TPen::SetStyle(TPenStyle v) {
    if (v == style_) return;
    style_ = v;
    OnChange(this);
}

void TPen::Assign(const TPen& other) {
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    OnChange(this);
}

const ClassInfo& TCanvas::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCanvas>("TCanvas", &TObject::StaticClassInfo())
                                      .Object<TBrush>("Brush", &TCanvas::Brush, &TCanvas::SetBrush)
                                      .Object<TFont>("Font", &TCanvas::Font, &TCanvas::SetFont)
                                      .Object<TPen>("Pen", &TCanvas::Pen, &TCanvas::SetPen)
                                      .Build();
    return info;
}

TCanvas::TCanvas(TBitmap* bitmap)
    : bitmap_(bitmap), font_(std::make_unique<TFont>()), brush_(std::make_unique<TBrush>()), pen_(std::make_unique<TPen>()) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetFont(TFont* f) {
    if (f) font_->Assign(*f);
}

void TCanvas::SetBrush(TBrush* b) {
    if (b) brush_->Assign(*b);
}

void TCanvas::SetPen(TPen* p) {
    if (p) pen_->Assign(*p);
}

void TCanvas::Changed() {
    OnChange(this);
    if (bitmap_) bitmap_->Changed();
}

void TCanvas::Plot(int x, int y, uint32_t rgb) {
    if (!bitmap_ || x < 0 || y < 0 || x >= bitmap_->width_ || y >= bitmap_->height_) return;
    uint8_t* p = bitmap_->pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(bitmap_->stride_) + static_cast<size_t>(x) * 3;
    p[0] = static_cast<uint8_t>(rgb >> 16);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb);
}

TColor TCanvas::Pixels(int x, int y) const { return bitmap_ ? bitmap_->Pixels(x, y) : clInvalid; }

void TCanvas::SetPixels(int x, int y, TColor c) {
    if (!bitmap_) return;
    Plot(x, y, ColorToRGB(c));
    Changed();
}

void TCanvas::FillRect(int left, int top, int right, int bottom) {
    if (!bitmap_ || brush_->Style() == TBrushStyle::bsClear) return;
    const uint32_t rgb = ColorToRGB(brush_->Color());
    const int l = std::max(left, 0), t = std::max(top, 0);
    const int r = std::min(right, bitmap_->width_), b = std::min(bottom, bitmap_->height_);
    for (int y = t; y < b; ++y) {
        for (int x = l; x < r; ++x) Plot(x, y, rgb);
    }
    Changed();
}

void TCanvas::FrameRect(int left, int top, int right, int bottom) {
    if (!bitmap_ || right <= left || bottom <= top) return;
    const uint32_t rgb = ColorToRGB(brush_->Color());
    for (int x = left; x < right; ++x) {
        Plot(x, top, rgb);
        Plot(x, bottom - 1, rgb);
    }
    for (int y = top; y < bottom; ++y) {
        Plot(left, y, rgb);
        Plot(right - 1, y, rgb);
    }
    Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (!bitmap_ || right <= left || bottom <= top) return;
    if (pen_->Style() == TPenStyle::psClear) {
        // Without a pen the fill covers one pixel less on the right and at the bottom.
        FillRect(left, top, right - 1, bottom - 1);
        return;
    }
    if (brush_->Style() != TBrushStyle::bsClear) {
        const uint32_t fill = ColorToRGB(brush_->Color());
        for (int y = top + 1; y < bottom - 1; ++y) {
            for (int x = left + 1; x < right - 1; ++x) Plot(x, y, fill);
        }
    }
    const uint32_t rgb = ColorToRGB(pen_->Color());
    for (int x = left; x < right; ++x) {
        Plot(x, top, rgb);
        Plot(x, bottom - 1, rgb);
    }
    for (int y = top; y < bottom; ++y) {
        Plot(left, y, rgb);
        Plot(right - 1, y, rgb);
    }
    Changed();
}

void TCanvas::LineTo(int x, int y) {
    const TPoint from = penPos_;
    penPos_ = TPoint{x, y};
    if (!bitmap_ || pen_->Style() == TPenStyle::psClear) return;
    const uint32_t rgb = ColorToRGB(pen_->Color());
    const int w = pen_->Width();
    auto dot = [&](int px, int py) {
        // A wide pen is a square around the line.
        for (int dy = 0; dy < w; ++dy) {
            for (int dx = 0; dx < w; ++dx) Plot(px - w / 2 + dx, py - w / 2 + dy, rgb);
        }
    };
    int x0 = from.X, y0 = from.Y;
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        dot(x0, y0);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    Changed();
}

void TCanvas::Draw(int x, int y, const TBitmap* source) {
    if (!bitmap_ || !source || source->Empty()) return;
    const bool transparent = source->Transparent();
    const uint32_t key = transparent ? static_cast<uint32_t>(source->TransparentColor()) & 0xFFFFFF : 0;
    for (int sy = 0; sy < source->height_; ++sy) {
        const uint8_t* row = source->ScanLine(sy);
        for (int sx = 0; sx < source->width_; ++sx) {
            const uint8_t* p = row + sx * 3;
            const uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
            if (transparent && rgb == key) continue;
            Plot(x + sx, y + sy, rgb);
        }
    }
    Changed();
}

void TCanvas::Draw(int x, int y, const TBitmap* source, int srcX, int srcY, int width, int height) {
    if (!bitmap_ || !source || source->Empty()) return;
    const int x0 = std::max(srcX, 0), y0 = std::max(srcY, 0);
    const int x1 = std::min(srcX + width, source->width_), y1 = std::min(srcY + height, source->height_);
    const bool transparent = source->Transparent();
    const uint32_t key = transparent ? static_cast<uint32_t>(source->TransparentColor()) & 0xFFFFFF : 0;
    for (int sy = y0; sy < y1; ++sy) {
        const uint8_t* row = source->ScanLine(sy);
        for (int sx = x0; sx < x1; ++sx) {
            const uint8_t* p = row + sx * 3;
            const uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
            if (transparent && rgb == key) continue;
            Plot(x + sx - srcX, y + sy - srcY, rgb);
        }
    }
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    MoveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (!bitmap_ || right <= left || bottom <= top) return;
    // Scan line by line: a pixel belongs to the ellipse when its centre lies inside it; the
    // outline is every inside pixel with an outside neighbour.
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    auto inside = [&](int x, int y) {
        if (x < left || x >= right || y < top || y >= bottom) return false;
        const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
    const bool pen = pen_->Style() != TPenStyle::psClear;
    const bool fill = brush_->Style() != TBrushStyle::bsClear;
    const uint32_t penRgb = ColorToRGB(pen_->Color()), fillRgb = ColorToRGB(brush_->Color());
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge && pen) {
                Plot(x, y, penRgb);
            } else if (fill) {
                Plot(x, y, fillRgb);
            }
        }
    }
    Changed();
}

void TCanvas::DrawFocusRect(int left, int top, int right, int bottom) {
    if (!bitmap_ || right <= left || bottom <= top) return;
    auto invert = [&](int x, int y) {
        if ((x + y) % 2 != 0) return;
        const TColor c = bitmap_->Pixels(x, y);
        if (c == clInvalid) return;
        Plot(x, y, ~static_cast<uint32_t>(c) & 0xFFFFFF);
    };
    for (int x = left; x < right; ++x) {
        invert(x, top);
        if (bottom - 1 != top) invert(x, bottom - 1);
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        invert(left, y);
        if (right - 1 != left) invert(right - 1, y);
    }
    Changed();
}

void TCanvas::DrawTextLine(int x, int y, const std::u32string& text, int underlined, const Clip& clip) {
    if (!bitmap_) return;
    const int h = PixelHeight(*font_);
    const bool bold = font_->HasStyle(fsBold);
    const int s = std::max(1, h / 12);
    const int glyphTop = (h - 7 * s) / 2;
    const uint32_t ink = ColorToRGB(font_->Color());
    const bool opaque = brush_->Style() != TBrushStyle::bsClear;
    const uint32_t paper = ColorToRGB(brush_->Color());
    const int cl = std::max(clip.left, 0), ct = std::max(clip.top, 0);
    const int cr = std::min(clip.right, bitmap_->width_), cb = std::min(clip.bottom, bitmap_->height_);
    auto put = [&](int px, int py, uint32_t rgb, int cellRight) {
        if (px < cl || px >= cr || px >= cellRight || py < ct || py >= cb) return;
        Plot(px, py, rgb);
    };
    auto line = [&](int cellX, int w, int row) {
        row = std::clamp(row, 0, h - 1);
        for (int px = cellX; px < cellX + w; ++px) put(px, y + row, ink, cellX + w);
    };
    int cx = x;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        const int w = CellWidth(h, bold, c);
        if (opaque) {
            for (int py = y; py < y + h; ++py) {
                for (int px = cx; px < cx + w; ++px) put(px, py, paper, cx + w);
            }
        }
        if (c >= U'!' && c <= U'~') {
            const uint8_t* columns = kFont5x7[c - U'!'];
            for (int col = 0; col < 5; ++col) {
                for (int row = 0; row < 7; ++row) {
                    if (!((columns[col] >> row) & 1)) continue;
                    for (int dy = 0; dy < s; ++dy) {
                        for (int dx = 0; dx < s + (bold ? 1 : 0); ++dx) {
                            put(cx + col * s + dx, y + glyphTop + row * s + dy, ink, cx + w);
                        }
                    }
                }
            }
        } else if (c != U' ') {
            // Any other character: the outline of its cell less the last column.
            const int right = cx + w - 1;
            for (int px = cx; px < right; ++px) {
                put(px, y, ink, right);
                put(px, y + h - 1, ink, right);
            }
            for (int py = y; py < y + h; ++py) {
                put(cx, py, ink, right);
                put(right - 1, py, ink, right);
            }
        }
        if (font_->HasStyle(fsUnderline) || static_cast<int>(i) == underlined) line(cx, w, glyphTop + 8 * s);
        if (font_->HasStyle(fsStrikeOut)) line(cx, w, glyphTop + 3 * s);
        cx += w;
    }
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    const std::u32string t = CodePoints(text);
    DrawTextLine(x, y, t, -1, Clip{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2});
    MoveTo(x + WidthOf(*font_, t), y);
    Changed();
}

void TCanvas::TextRect(int left, int top, int right, int bottom, int x, int y, std::string_view text) {
    if (right <= left || bottom <= top) return;
    FillRect(left, top, right, bottom);  // nothing with a clear brush
    DrawTextLine(x, y, CodePoints(text), -1, Clip{left, top, right, bottom});
    Changed();
}

int TCanvas::DrawText(std::string_view text, int& left, int& top, int& right, int& bottom, uint32_t format) {
    const int h = PixelHeight(*font_);
    // The lines to draw: one with DT_SINGLELINE (line breaks then show as characters), else
    // the text broken at CR LF, LF or CR.
    std::vector<std::u32string> lines;
    const std::u32string all = CodePoints(text);
    if (format & DT_SINGLELINE) {
        lines.push_back(all);
    } else {
        std::u32string cur;
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i] == U'\r' || all[i] == U'\n') {
                lines.push_back(cur);
                cur.clear();
                if (all[i] == U'\r' && i + 1 < all.size() && all[i + 1] == U'\n') ++i;
                continue;
            }
            cur.push_back(all[i]);
        }
        lines.push_back(cur);
    }
    std::vector<int> marks(lines.size(), -1);
    if (!(format & DT_NOPREFIX)) {
        for (size_t i = 0; i < lines.size(); ++i) lines[i] = ResolvePrefix(lines[i], marks[i]);
    }
    const int total = h * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const auto& l : lines) widest = std::max(widest, WidthOf(*font_, l));
        right = left + widest;
        bottom = top + total;
        return total;
    }
    int y = top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            y = top + (bottom - top - h) / 2;
        } else if (format & DT_BOTTOM) {
            y = bottom - h;
        }
    }
    const Clip clip = (format & DT_NOCLIP) ? Clip{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2}
                                           : Clip{left, top, right, bottom};
    for (size_t i = 0; i < lines.size(); ++i, y += h) {
        const int w = WidthOf(*font_, lines[i]);
        int x = left;
        if (format & DT_CENTER) {
            x = left + (right - left - w) / 2;
        } else if (format & DT_RIGHT) {
            x = right - w;
        }
        DrawTextLine(x, y, lines[i], marks[i], clip);
    }
    Changed();
    return total;
}

// ---- TBitmap -----------------------------------------------------------------------------------

namespace {

constexpr int kMaxBitmapSide = 32767;
// A file may not make us hold more than this many pixels (about 200 MB).
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;
const char* const kInvalidBitmap = "Bitmap image is not valid";

uint32_t Rd16(const uint8_t* p) { return uint32_t{p[0]} | (uint32_t{p[1]} << 8); }
uint32_t Rd32(const uint8_t* p) { return Rd16(p) | (Rd16(p + 2) << 16); }
void Wr16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Wr32(std::string& s, uint32_t v) {
    Wr16(s, v & 0xFFFF);
    Wr16(s, v >> 16);
}

int StrideOf(int width, int bits) { return static_cast<int>(((static_cast<int64_t>(width) * bits + 31) / 32) * 4); }

// Position and width of a colour mask, to scale its value to eight bits.
struct MaskField {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit MaskField(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
    }
    uint8_t Value(uint32_t pixel) const {
        if (!bits) return 0;
        const uint32_t v = (pixel & mask) >> shift;
        const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        return static_cast<uint8_t>((static_cast<uint64_t>(v) * 255 + max / 2) / max);
    }
};

}  // namespace

const ClassInfo& TBitmap::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TBitmap>("TBitmap", &TObject::StaticClassInfo())
            .Int("Height", &TBitmap::Height, &TBitmap::SetHeight)
            .Int("Width", &TBitmap::Width, &TBitmap::SetWidth)
            .Bool("Transparent", &TBitmap::Transparent, &TBitmap::SetTransparent, false)
            .Int("TransparentColor", &TBitmap::TransparentColor, &TBitmap::SetTransparentColor, std::nullopt, &ColorIdents())
            .Enum("TransparentMode", TransparentModeEnum(), &TBitmap::TransparentMode, &TBitmap::SetTransparentMode, 0)
            .Event("OnChange", &TBitmap::OnChange)
            .Build();
    return info;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() = default;

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(this);
    return canvas_.get();
}

void TBitmap::Changed() { OnChange(this); }

void TBitmap::Resize(int width, int height, uint32_t fill) {
    const int stride = StrideOf(width, 24);
    std::vector<uint8_t> px(static_cast<size_t>(stride) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = px.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < width; ++x) {
            uint8_t* p = row + x * 3;
            if (x < width_ && y < height_) {
                std::copy_n(pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_) + static_cast<size_t>(x) * 3, 3, p);
            } else {
                p[0] = static_cast<uint8_t>(fill >> 16);
                p[1] = static_cast<uint8_t>(fill >> 8);
                p[2] = static_cast<uint8_t>(fill);
            }
        }
    }
    pixels_ = std::move(px);
    width_ = width;
    height_ = height;
    stride_ = stride;
}

void TBitmap::SetSize(int width, int height) {
    width = std::clamp(width, 0, kMaxBitmapSide);
    height = std::clamp(height, 0, kMaxBitmapSide);
    if (width == width_ && height == height_) return;
    const TColor brush = canvas_ ? canvas_->Brush()->Color() : clWhite;
    Resize(width, height, ColorToRGB(brush));
    Changed();
}

TColor TBitmap::Pixels(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return clInvalid;
    const uint8_t* p = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_) + static_cast<size_t>(x) * 3;
    return static_cast<TColor>(uint32_t{p[2]} | (uint32_t{p[1]} << 8) | (uint32_t{p[0]} << 16));
}

void TBitmap::SetPixels(int x, int y, TColor c) { Canvas()->SetPixels(x, y, c); }

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_);
}

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

void TBitmap::Assign(const TBitmap* source) {
    if (source == this) return;
    if (!source) {
        pixels_.clear();
        width_ = height_ = stride_ = 0;
    } else {
        pixels_ = source->pixels_;
        width_ = source->width_;
        height_ = source->height_;
        stride_ = source->stride_;
        transparent_ = source->transparent_;
        transparentColor_ = source->transparentColor_;
        transparentMode_ = source->transparentMode_;
    }
    Changed();
}

void TBitmap::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (transparentColor_ == clDefault) return Empty() ? clWhite : Pixels(0, height_ - 1);
    return static_cast<TColor>(ColorToRGB(transparentColor_));
}

void TBitmap::SetTransparentColor(TColor v) {
    if (v == transparentColor_) return;
    transparentColor_ = v;
    transparentMode_ = v == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
    if (v == transparentMode_) return;
    if (v == TTransparentMode::tmAuto) {
        SetTransparentColor(clDefault);
    } else {
        SetTransparentColor(TransparentColor());
    }
}

void TBitmap::LoadFromData(std::string_view bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    auto need = [&](size_t end) {
        if (end > size) throw EInvalidGraphic(kInvalidBitmap);
    };
    size_t info = 0;          // where the information header starts
    size_t bitsOffset = 0;    // where the pixels start; 0 when they follow the palette
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        need(14);
        info = 14;
        bitsOffset = Rd32(data + 10);
    }
    need(info + 4);
    const uint32_t headerSize = Rd32(data + info);
    int64_t width = 0, height = 0;
    uint32_t bits = 0, compression = 0, colorsUsed = 0;
    bool core = false;
    if (headerSize == 12) {
        need(info + 12);
        core = true;
        width = Rd16(data + info + 4);
        height = Rd16(data + info + 6);
        bits = Rd16(data + info + 10);
    } else if (headerSize >= 40 && headerSize <= 1024) {
        need(info + headerSize);
        width = static_cast<int32_t>(Rd32(data + info + 4));
        height = static_cast<int32_t>(Rd32(data + info + 8));
        bits = Rd16(data + info + 14);
        compression = Rd32(data + info + 16);
        colorsUsed = Rd32(data + info + 32);
    } else {
        throw EInvalidGraphic(kInvalidBitmap);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide || width * height > kMaxBitmapPixels) {
        throw EInvalidGraphic(kInvalidBitmap);
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) throw EInvalidGraphic(kInvalidBitmap);
    constexpr uint32_t BI_RGB = 0, BI_BITFIELDS = 3;
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bits == 16 || bits == 32))) {
        throw EInvalidGraphic(kInvalidBitmap);
    }

    size_t pos = info + headerSize;
    // Colour masks: in the header from version 4 on, else right after a 40-byte header.
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    if (compression == BI_BITFIELDS) {
        const size_t at = headerSize >= 52 ? info + 40 : pos;
        need(at + 12);
        for (int i = 0; i < 3; ++i) masks[i] = Rd32(data + at + static_cast<size_t>(i) * 4);
        if (headerSize < 52) pos += 12;
    }
    std::vector<uint32_t> palette;
    if (bits <= 8) {
        const uint32_t maxColors = 1u << bits;
        uint32_t count = colorsUsed == 0 || colorsUsed > maxColors ? maxColors : colorsUsed;
        const size_t entry = core ? 3 : 4;
        // A file whose pixels start sooner holds a shorter palette.
        if (bitsOffset > pos) count = std::min<uint32_t>(count, static_cast<uint32_t>((bitsOffset - pos) / entry));
        need(pos + count * entry);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = data + pos + i * entry;
            palette.push_back((uint32_t{e[2]}) | (uint32_t{e[1]} << 8) | (uint32_t{e[0]} << 16));
        }
        pos += count * entry;
    }
    if (bitsOffset != 0) pos = bitsOffset;
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const size_t srcStride = static_cast<size_t>(StrideOf(w, static_cast<int>(bits)));
    need(pos + srcStride * static_cast<size_t>(h));

    const MaskField mr(masks[0]), mg(masks[1]), mb(masks[2]);
    const int stride = StrideOf(w, 24);
    std::vector<uint8_t> px(static_cast<size_t>(stride) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = data + pos + srcStride * static_cast<size_t>(topDown ? y : h - 1 - y);
        uint8_t* dst = px.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < w; ++x) {
            uint32_t rgb = 0;  // 0x00BBGGRR
            switch (bits) {
                case 24: rgb = uint32_t{src[x * 3 + 2]} | (uint32_t{src[x * 3 + 1]} << 8) | (uint32_t{src[x * 3]} << 16); break;
                case 32:
                case 16: {
                    const uint32_t v = bits == 32 ? Rd32(src + x * 4) : Rd16(src + x * 2);
                    rgb = uint32_t{mr.Value(v)} | (uint32_t{mg.Value(v)} << 8) | (uint32_t{mb.Value(v)} << 16);
                    break;
                }
                default: {
                    const int perByte = 8 / static_cast<int>(bits);
                    const uint8_t byte = src[x / perByte];
                    const int shift = 8 - static_cast<int>(bits) * (x % perByte + 1);
                    const uint32_t index = (byte >> shift) & ((1u << bits) - 1);
                    rgb = index < palette.size() ? palette[index] : 0;
                    break;
                }
            }
            dst[x * 3] = static_cast<uint8_t>(rgb >> 16);
            dst[x * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
            dst[x * 3 + 2] = static_cast<uint8_t>(rgb);
        }
    }
    pixels_ = std::move(px);
    width_ = w;
    height_ = h;
    stride_ = stride;
    Changed();
}

std::string TBitmap::SaveToData() const {
    const uint32_t imageSize = static_cast<uint32_t>(stride_) * static_cast<uint32_t>(height_);
    std::string s;
    s.reserve(54 + imageSize);
    s += "BM";
    Wr32(s, 54 + imageSize);
    Wr32(s, 0);
    Wr32(s, 54);
    Wr32(s, 40);
    Wr32(s, static_cast<uint32_t>(width_));
    Wr32(s, static_cast<uint32_t>(height_));
    Wr16(s, 1);
    Wr16(s, 24);
    Wr32(s, 0);  // uncompressed
    Wr32(s, imageSize);
    Wr32(s, 0);
    Wr32(s, 0);
    Wr32(s, 0);
    Wr32(s, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        const uint8_t* row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_);
        s.append(reinterpret_cast<const char*>(row), static_cast<size_t>(stride_));
    }
    return s;
}

void TBitmap::LoadFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EInvalidGraphic("Cannot open file \"" + path + "\"");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    LoadFromData(bytes.str());
}

void TBitmap::SaveToFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw EInvalidGraphic("Cannot create file \"" + path + "\"");
    const std::string data = SaveToData();
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) throw EInvalidGraphic("Cannot write file \"" + path + "\"");
}

}  // namespace ui
