// Colours, fonts, text metrics and drawing on bitmaps.
//
// The headless font model. Without a window system text is measured and drawn with a small,
// deterministic model instead of a real font:
// - Every character has a cell. The cell is as high as the font's pixel height h (the height
//   when negative; 4/5 of it, the internal leading taken off, when positive; 12 for 0). A
//   character of the East Asian wide classes (wide, fullwidth) is h wide, any other character
//   (h + 1) / 2; bold adds one pixel to every cell. TextWidth is the sum of the cells,
//   TextHeight is h.
// - Drawing (TCanvas::TextOut, TextRect, DrawText) puts the cells side by side from the text's
//   left edge, in the font colour:
//     * the printable ASCII characters "!" to "~" are a built-in 5 x 7 bitmap font: each font
//       pixel is an s x s block, s = max(1, h / 12), starting at the cell's left edge and
//       (h - 7s) / 2 rows below its top; bold draws every block once more one pixel right;
//     * the blank draws nothing;
//     * every other character (Chinese characters, control characters ...) is the one-pixel
//       outline of its cell less the cell's last column: columns 0 .. w - 2, rows 0 .. h - 1.
//   Underline is a line on row (h - 7s) / 2 + 8s of the cell (clamped to the cell), strike-out
//   one on row (h - 7s) / 2 + 3s, both across the whole cell.
// - The background: with a solid brush the cells are filled with the brush colour first (the
//   window system's opaque background mode); with a clear brush only the glyphs are drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TypInfo.h"

namespace ui {

using TColor = int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
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
inline constexpr TColor clScrollBar = static_cast<TColor>(0x80000000);
inline constexpr TColor clBackground = static_cast<TColor>(0x80000001);
inline constexpr TColor clActiveCaption = static_cast<TColor>(0x80000002);
inline constexpr TColor clInactiveCaption = static_cast<TColor>(0x80000003);
inline constexpr TColor clMenu = static_cast<TColor>(0x80000004);
inline constexpr TColor clWindowFrame = static_cast<TColor>(0x80000006);
inline constexpr TColor clMenuText = static_cast<TColor>(0x80000007);
inline constexpr TColor clCaptionText = static_cast<TColor>(0x80000009);
inline constexpr TColor clInactiveCaptionText = static_cast<TColor>(0x80000013);
inline constexpr TColor cl3DDkShadow = static_cast<TColor>(0x80000015);
inline constexpr TColor cl3DLight = static_cast<TColor>(0x80000016);
inline constexpr TColor clInfoText = static_cast<TColor>(0x80000017);
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

// The headless font model (see the top of this file).
int TextWidth(const TFont& font, std::string_view text);
int TextHeight(const TFont& font);

// DrawText's format flags, as the window system numbers them.
inline constexpr uint32_t DT_LEFT = 0x0000;
inline constexpr uint32_t DT_CENTER = 0x0001;
inline constexpr uint32_t DT_RIGHT = 0x0002;
inline constexpr uint32_t DT_VCENTER = 0x0004;
inline constexpr uint32_t DT_BOTTOM = 0x0008;
inline constexpr uint32_t DT_SINGLELINE = 0x0020;
inline constexpr uint32_t DT_NOCLIP = 0x0100;
inline constexpr uint32_t DT_CALCRECT = 0x0400;
inline constexpr uint32_t DT_NOPREFIX = 0x0800;

// ---- Pictures ---------------------------------------------------------------------------------

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0, cy = 0;
    bool operator==(const TSize&) const = default;
};

class EInvalidGraphic : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EInvalidGraphic"; }
};

class EInvalidGraphicOperation : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EInvalidGraphicOperation"; }
};

// What Pixels answers for a point outside the picture (the window system's CLR_INVALID).
inline constexpr TColor clInvalid = -1;

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TTransparentMode { tmAuto, tmFixed };
const EnumInfo& BrushStyleEnum();
const EnumInfo& PenStyleEnum();
const EnumInfo& TransparentModeEnum();

class TBrush : public TObject {
public:
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor v);
    TBrushStyle Style() const noexcept { return style_; }
    void SetStyle(TBrushStyle v);
    void Assign(const TBrush& other);
    TNotifyEvent OnChange;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
};

class TPen : public TObject {
public:
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor v);
    int Width() const noexcept { return width_; }
    void SetWidth(int v);
    TPenStyle Style() const noexcept { return style_; }
    void SetStyle(TPenStyle v);
    void Assign(const TPen& other);
    TNotifyEvent OnChange;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
};

class TBitmap;
class TCustomImageList;

// Drawing on a bitmap. Every drawing operation clips to the bitmap and tells the bitmap that it
// changed. Text is measured and drawn with the headless font model (top of this file).
class TCanvas : public TObject {
public:
    explicit TCanvas(TBitmap* bitmap);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TBitmap* Bitmap() const noexcept { return bitmap_; }
    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* f);
    TBrush* Brush() const noexcept { return brush_.get(); }
    void SetBrush(TBrush* b);
    TPen* Pen() const noexcept { return pen_.get(); }
    void SetPen(TPen* p);

    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor c);
    // Rectangles are given as left, top, right, bottom; right and bottom are outside.
    void FillRect(int left, int top, int right, int bottom);
    template <typename R>
    void FillRect(const R& r) { FillRect(r.Left, r.Top, r.Right, r.Bottom); }
    // A one-pixel frame in the brush colour.
    void FrameRect(int left, int top, int right, int bottom);
    template <typename R>
    void FrameRect(const R& r) { FrameRect(r.Left, r.Top, r.Right, r.Bottom); }
    // Framed with the pen, filled with the brush.
    void Rectangle(int left, int top, int right, int bottom);
    TPoint PenPos() const noexcept { return penPos_; }
    void MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }
    // A line with the pen from the pen position up to (not including) the point.
    void LineTo(int x, int y);
    // Lines with the pen through the points, the last point left out (as LineTo leaves it out);
    // the pen ends at the last point.
    void Polyline(const std::vector<TPoint>& points);
    // An ellipse inside the rectangle: filled with the brush, outlined with the pen.
    void Ellipse(int left, int top, int right, int bottom);
    template <typename R>
    void Ellipse(const R& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // The window system's focus rectangle: every other pixel of the frame inverted (those whose
    // x + y is even), so that drawing it twice takes it away.
    void DrawFocusRect(int left, int top, int right, int bottom);
    template <typename R>
    void DrawFocusRect(const R& r) { DrawFocusRect(r.Left, r.Top, r.Right, r.Bottom); }
    // Copies the bitmap with its top left corner at (x, y); a transparent bitmap leaves out its
    // transparent colour.
    void Draw(int x, int y, const TBitmap* source);
    // The same for the part (srcX, srcY, width, height) of the bitmap, e.g. one picture of a
    // strip; a transparent bitmap leaves out its own transparent colour.
    void Draw(int x, int y, const TBitmap* source, int srcX, int srcY, int width, int height);

    int TextWidth(std::string_view text) const { return ui::TextWidth(*font_, text); }
    int TextHeight(std::string_view) const { return ui::TextHeight(*font_); }
    TSize TextExtent(std::string_view text) const { return TSize{TextWidth(text), TextHeight(text)}; }
    // The text with its top left corner at (x, y); the pen moves to the text's right end.
    void TextOut(int x, int y, std::string_view text);
    // The text at (x, y), clipped to the rectangle; a solid brush fills the whole rectangle first.
    void TextRect(int left, int top, int right, int bottom, int x, int y, std::string_view text);
    template <typename R>
    void TextRect(const R& r, int x, int y, std::string_view text) { TextRect(r.Left, r.Top, r.Right, r.Bottom, x, y, text); }
    // Formatted text in a rectangle, as the window system's DrawText: lines broken at line breaks
    // (one line with DT_SINGLELINE, which alone takes DT_VCENTER and DT_BOTTOM), DT_LEFT /
    // DT_CENTER / DT_RIGHT, clipped to the rectangle unless DT_NOCLIP. Without DT_NOPREFIX "&&"
    // draws "&" and "&x" draws x underlined. DT_CALCRECT draws nothing and makes the rectangle
    // as wide as the widest line and as high as the lines. The answer is the text's height.
    int DrawText(std::string_view text, int& left, int& top, int& right, int& bottom, uint32_t format);
    template <typename R>
    int DrawText(std::string_view text, R& r, uint32_t format) { return DrawText(text, r.Left, r.Top, r.Right, r.Bottom, format); }

    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    void Changed();
    void Plot(int x, int y, uint32_t rgb);  // rgb as 0x00BBGGRR, clipped
    struct Clip {
        int left, top, right, bottom;
    };
    // Draws one line of text (accelerator marks already resolved: `underlined` holds the index of
    // the character to underline, or -1) with its top left corner at (x, y), inside `clip`.
    void DrawTextLine(int x, int y, const std::u32string& text, int underlined, const Clip& clip);
    TBitmap* bitmap_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TPen> pen_;
    TPoint penPos_;
};

// A device-independent picture of 24-bit pixels, rows top to bottom, each pixel blue, green,
// red, rows padded to four bytes as a DIB's are. A new area (when the size grows) is filled with
// the canvas brush colour, as the class library's bitmap does.
class TBitmap : public TObject {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetWidth(int v) { SetSize(v, height_); }
    void SetHeight(int v) { SetSize(width_, v); }
    void SetSize(int width, int height);
    bool Empty() const noexcept { return width_ == 0 || height_ == 0; }

    // A colour as 0x00BBGGRR; clInvalid outside the picture. Setting outside does nothing.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor c);
    // The bytes of row y (blue, green, red per pixel); raises EInvalidGraphicOperation for a row
    // outside the picture. Writing through it does not raise OnChange.
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;
    int RowBytes() const noexcept { return stride_; }

    // A copy of another bitmap (its pixels and transparency); nullptr empties this one.
    void Assign(const TBitmap* source);
    // Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit
    // fields, bottom-up or top-down; also a packed DIB without the file header. Raises
    // EInvalidGraphic for anything else. Saving always writes a 24-bit bottom-up file.
    void LoadFromData(std::string_view bytes);
    std::string SaveToData() const;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool v);
    // The colour left out when drawn transparently: the bottom-left pixel in tmAuto mode, else
    // the fixed colour (as RGB).
    TColor TransparentColor() const;
    void SetTransparentColor(TColor v);
    TTransparentMode TransparentMode() const noexcept { return transparentMode_; }
    void SetTransparentMode(TTransparentMode v);

    TCanvas* Canvas();
    // Tells OnChange; drawing through the canvas calls it.
    void Changed();
    TNotifyEvent OnChange;

private:
    friend class TCanvas;
    void Resize(int width, int height, uint32_t fill);
    int width_ = 0, height_ = 0, stride_ = 0;
    std::vector<uint8_t> pixels_;
    bool transparent_ = false;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace ui
