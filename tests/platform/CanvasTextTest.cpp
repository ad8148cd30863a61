// Drawing on a canvas: text in the headless font model, pixel for pixel, and the shapes beside it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Graphics.h"

using namespace ui;

namespace {

constexpr TColor kPaper = clWhite;
constexpr TColor kInk = clRed;
constexpr TColor kBack = clYellow;

// A white bitmap whose canvas draws red text of the given pixel height.
struct Sheet {
    TBitmap bmp;
    Sheet(int w, int h, int fontHeight = 12) {
        bmp.SetSize(w, h);
        TCanvas* c = bmp.Canvas();
        c->Brush()->SetColor(kPaper);
        c->FillRect(0, 0, w, h);
        c->Font()->SetHeight(-fontHeight);
        c->Font()->SetColor(kInk);
        c->Brush()->SetStyle(TBrushStyle::bsClear);
    }
    TCanvas* operator->() { return bmp.Canvas(); }
    // The region as rows of characters: '#' ink, 'o' brush background, '.' paper, '?' other.
    std::vector<std::string> Map(int left, int top, int right, int bottom) const {
        std::vector<std::string> rows;
        for (int y = top; y < bottom; ++y) {
            std::string row;
            for (int x = left; x < right; ++x) {
                const TColor c = bmp.Pixels(x, y);
                row += c == kInk ? '#' : c == kBack ? 'o' : c == kPaper ? '.' : '?';
            }
            rows.push_back(row);
        }
        return rows;
    }
    int Count(TColor color) const {
        int n = 0;
        for (int y = 0; y < bmp.Height(); ++y) {
            for (int x = 0; x < bmp.Width(); ++x) n += bmp.Pixels(x, y) == color;
        }
        return n;
    }
};

using Rows = std::vector<std::string>;

}  // namespace

TEST(CanvasText, AsciiCharactersAreTheBuiltInFontInTheirCells) {
    struct Case {
        const char* text;
        Rows rows;  // the 12 rows of the cells drawn at (0, 0)
    } cases[] = {
        {"I",
         {"......", "......", ".###..", "..#...", "..#...", "..#...", "..#...", "..#...", ".###..", "......", "......",
          "......"}},
        {"1-",
         {"............", "............", "..#.........", ".##.........", "..#.........", "..#...#####.",
          "..#.........", "..#.........", ".###........", "............", "............", "............"}},
        {"a b",
         {"..................", "..................", "............#.....", "............#.....",
          ".###........#.##..", "....#.......##..#.", ".####.......#...#.", "#...#.......#...#.",
          ".####.......####..", "..................", "..................", ".................."}},
    };
    for (const Case& c : cases) {
        Sheet s(40, 16);
        s->TextOut(0, 0, c.text);
        const int w = TextWidth(*s->Font(), c.text);
        EXPECT_EQ(s.Map(0, 0, w, 12), c.rows) << c.text;
        // Nothing beyond the cells.
        EXPECT_EQ(s.Map(w, 0, 40, 16), Rows(16, std::string(static_cast<size_t>(40 - w), '.'))) << c.text;
        EXPECT_EQ(s.Map(0, 12, w, 16), Rows(4, std::string(static_cast<size_t>(w), '.'))) << c.text;
        EXPECT_EQ(s->PenPos(), (TPoint{w, 0})) << c.text;
    }
}

TEST(CanvasText, OtherCharactersAreTheOutlineOfTheirCell) {
    Sheet s(40, 16);
    s->TextOut(2, 1, "中A");
    const Rows box = s.Map(2, 1, 14, 13);  // the 12 x 12 cell of the Chinese character
    EXPECT_EQ(box.front(), "###########.");
    for (int y = 1; y < 11; ++y) EXPECT_EQ(box[static_cast<size_t>(y)], "#.........#.") << y;
    EXPECT_EQ(box.back(), "###########.");
    // The next cell starts right after it.
    EXPECT_EQ(s.Map(14, 3, 20, 4), Rows{".###.."});  // the top of the "A"
    EXPECT_EQ(s->PenPos(), (TPoint{2 + 12 + 6, 1}));
}

TEST(CanvasText, ASolidBrushFillsTheCellsFirst) {
    Sheet s(20, 14);
    s->Brush()->SetStyle(TBrushStyle::bsSolid);
    s->Brush()->SetColor(kBack);
    s->TextOut(1, 1, "I");
    EXPECT_EQ(s.Map(0, 0, 8, 14), (Rows{"........", ".oooooo.", ".oooooo.", ".o###oo.", ".oo#ooo.", ".oo#ooo.", ".oo#ooo.",
                                        ".oo#ooo.", ".oo#ooo.", ".o###oo.", ".oooooo.", ".oooooo.", ".oooooo.", "........"}));
    // A clear brush leaves what was there.
    s->Brush()->SetStyle(TBrushStyle::bsClear);
    s->TextOut(10, 1, "I");
    EXPECT_EQ(s.Count(kBack), 6 * 12 - 11);
}

TEST(CanvasText, StylesAndSizes) {
    {
        // Bold: each cell one pixel wider, each stroke doubled to the right.
        Sheet s(20, 12);
        s->Font()->SetStyle(1u << fsBold);
        s->TextOut(0, 0, "I");
        EXPECT_EQ(TextWidth(*s->Font(), "I"), 7);
        EXPECT_EQ(s.Map(0, 2, 7, 4), (Rows{".####..", "..##..."}));
    }
    {
        // Underline on row (h - 7) / 2 + 8, strike-out on row (h - 7) / 2 + 3.
        Sheet s(20, 12);
        s->Font()->SetStyle((1u << fsUnderline) | (1u << fsStrikeOut));
        s->TextOut(0, 0, "  ");
        EXPECT_EQ(s.Map(0, 0, 13, 12), (Rows{".............", ".............", ".............", ".............",
                                             ".............", "############.", ".............", ".............",
                                             ".............", ".............", "############.", "............."}));
    }
    {
        // A font twice as high draws blocks of two.
        Sheet s(20, 24, 24);
        s->TextOut(0, 0, "I");
        EXPECT_EQ(s.Map(0, 4, 12, 9), (Rows{"............", "..######....", "..######....", "....##......", "....##......"}));
        EXPECT_EQ(s.Map(0, 17, 12, 20), (Rows{"..######....", "..######....", "............"}));
    }
}

TEST(CanvasText, TextRectClipsAndFillsTheRectangle) {
    Sheet s(20, 14);
    s->Brush()->SetStyle(TBrushStyle::bsSolid);
    s->Brush()->SetColor(kBack);
    s->TextRect(1, 2, 5, 12, 0, 0, "I");
    EXPECT_EQ(s.Map(0, 0, 7, 13), (Rows{".......", ".......", ".###o..", ".o#oo..", ".o#oo..", ".o#oo..", ".o#oo..",
                                        ".o#oo..", ".###o..", ".oooo..", ".oooo..", ".oooo..", "......."}));
}

TEST(CanvasText, DrawTextPlacesFormatsAndMeasures) {
    struct Case {
        const char* text;
        uint32_t format;
        int inkLeft, inkTop;  // the top-left ink pixel of the first "I" drawn
    } cases[] = {
        {"I", DT_SINGLELINE, 11, 7},
        {"I", DT_SINGLELINE | DT_CENTER | DT_VCENTER, 10 + 12 + 1, 5 + 4 + 2},
        {"I", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 40 - 6 + 1, 25 - 12 + 2},
        {"I", DT_VCENTER, 11, 7},  // centring wants a single line
        {"&I", DT_SINGLELINE | DT_RIGHT, 35, 7},
        {"&I", DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX, 29, 7},  // the "&" drawn too
    };
    for (const Case& c : cases) {
        Sheet s(50, 30);
        int l = 10, t = 5, r = 40, b = 25;
        const int height = s->DrawText(c.text, l, t, r, b, c.format);
        EXPECT_EQ(height, 12) << c.text << " " << c.format;
        EXPECT_EQ((TPoint{l, t}), (TPoint{10, 5}));
        int firstX = -1, firstY = -1;
        for (int y = 0; y < 30 && firstX < 0; ++y) {
            for (int x = 0; x < 50; ++x) {
                if (s.bmp.Pixels(x, y) == kInk) {
                    firstX = x;
                    firstY = y;
                    break;
                }
            }
        }
        EXPECT_EQ((TPoint{firstX, firstY}), (TPoint{c.inkLeft, c.inkTop})) << c.text << " " << c.format;
    }

    // The accelerator is underlined; "&&" is one "&".
    Sheet s(40, 14);
    int l = 0, t = 0, r = 40, b = 14;
    s->DrawText("A&B", l, t, r, b, DT_SINGLELINE);
    EXPECT_EQ(s.Map(6, 10, 12, 11), Rows{"######"});
    EXPECT_EQ(s.Map(0, 10, 6, 11), Rows{"......"});
    int cl = 0, ct = 0, cr = 0, cb = 0;
    EXPECT_EQ(s->DrawText("a&&b\r\nlonger line\nx", cl, ct, cr, cb, DT_CALCRECT), 36);
    EXPECT_EQ((std::vector<int>{cl, ct, cr, cb}), (std::vector<int>{0, 0, TextWidth(*s->Font(), "longer line"), 36}));
    cr = 0;
    s->DrawText("a&&b", cl, ct, cr, cb, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(cr, TextWidth(*s->Font(), "a&b"));
}

TEST(CanvasText, DrawTextClipsToItsRectangleUnlessTold) {
    Sheet clipped(30, 14), unclipped(30, 14);
    int l = 0, t = 0, r = 3, b = 14;
    clipped->DrawText("WW", l, t, r, b, DT_SINGLELINE);
    unclipped->DrawText("WW", l, t, r, b, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(clipped.Count(kInk), 0);
    EXPECT_EQ(clipped.Map(3, 0, 30, 14), Rows(14, std::string(27, '.')));
    EXPECT_GT(unclipped.Count(kInk), clipped.Count(kInk));
}

TEST(CanvasShapes, FocusRectangleInvertsEveryOtherPixelAndComesOffAgain) {
    TBitmap bmp(10, 8);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(0, 0, 10, 8);
    c->Brush()->SetColor(clLime);
    c->FillRect(4, 3, 6, 5);  // inside: untouched
    c->DrawFocusRect(1, 1, 8, 7);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool frame = (x == 1 || x == 7 || y == 1 || y == 6) && x >= 1 && x <= 7 && y >= 1 && y <= 6;
            const bool inside = x >= 4 && x < 6 && y >= 3 && y < 5;
            const TColor expected = frame && (x + y) % 2 == 0 ? clBlack : inside ? clLime : clWhite;
            EXPECT_EQ(bmp.Pixels(x, y), expected) << x << "," << y;
        }
    }
    c->DrawFocusRect(1, 1, 8, 7);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) EXPECT_NE(bmp.Pixels(x, y), clBlack) << x << "," << y;
    }
}

TEST(CanvasShapes, PolylineEllipseAndPartsOfBitmaps) {
    TBitmap bmp(12, 12);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(0, 0, 12, 12);
    c->Pen()->SetColor(clBlue);
    c->Polyline({{0, 0}, {4, 0}, {4, 4}});
    EXPECT_EQ(bmp.Pixels(0, 0), clBlue);
    EXPECT_EQ(bmp.Pixels(3, 0), clBlue);
    EXPECT_EQ(bmp.Pixels(4, 0), clBlue);
    EXPECT_EQ(bmp.Pixels(4, 3), clBlue);
    EXPECT_EQ(bmp.Pixels(4, 4), clWhite);  // the last point is left out
    EXPECT_EQ(c->PenPos(), (TPoint{4, 4}));

    c->Brush()->SetColor(clLime);
    c->Ellipse(2, 2, 12, 12);
    EXPECT_EQ(bmp.Pixels(7, 7), clLime);   // the middle is filled
    EXPECT_EQ(bmp.Pixels(7, 2), clBlue);   // the top edge is the pen
    EXPECT_EQ(bmp.Pixels(2, 7), clBlue);
    EXPECT_EQ(bmp.Pixels(11, 11), clWhite);  // the corners stay
    EXPECT_EQ(bmp.Pixels(2, 11), clWhite);

    // One picture of a strip, its transparent colour left out.
    TBitmap strip(4, 2);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(0, 0, 4, 2);
    strip.SetPixels(2, 0, clRed);
    strip.SetPixels(3, 1, clBlack);
    strip.SetTransparent(true);
    TBitmap target(2, 2);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(0, 0, 2, 2);
    target.Canvas()->Draw(0, 0, &strip, 2, 0, 2, 2);
    EXPECT_EQ(target.Pixels(0, 0), clRed);
    EXPECT_EQ(target.Pixels(1, 1), clBlack);
    EXPECT_EQ(target.Pixels(1, 0), clWhite);
    EXPECT_EQ(target.Pixels(0, 1), clWhite);
}
