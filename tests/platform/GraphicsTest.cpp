// Bitmaps, canvases and image lists: real pixels in, the same pixels out.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Graphics.h"
#include "platform/ui/ImgList.h"
#include "support/Fixtures.h"

using namespace ui;

namespace {

std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A bitmap file (or packed DIB) written by hand: header, palette (TColor values), whatever the
// header is followed by (bit masks), then the rows as they are stored.
std::string Bmp(int32_t w, int32_t h, uint16_t bits, uint32_t compression, const std::vector<TColor>& palette,
                const std::string& afterHeader, const std::string& rows, bool fileHeader = true) {
    std::string info = Le32(40) + Le32(static_cast<uint32_t>(w)) + Le32(static_cast<uint32_t>(h)) + Le16(1) + Le16(bits) +
                       Le32(compression) + Le32(static_cast<uint32_t>(rows.size())) + Le32(0) + Le32(0) +
                       Le32(static_cast<uint32_t>(palette.size())) + Le32(0);
    std::string pal;
    for (TColor c : palette) {
        pal += static_cast<char>((c >> 16) & 0xFF);
        pal += static_cast<char>((c >> 8) & 0xFF);
        pal += static_cast<char>(c & 0xFF);
        pal += '\0';
    }
    const std::string body = info + afterHeader + pal;
    if (!fileHeader) return body + rows;
    return "BM" + Le32(static_cast<uint32_t>(14 + body.size() + rows.size())) + Le32(0) +
           Le32(static_cast<uint32_t>(14 + body.size())) + body + rows;
}

std::vector<TColor> PixelsOf(const TBitmap& b) {
    std::vector<TColor> r;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) r.push_back(b.Pixels(x, y));
    }
    return r;
}

// A w x h bitmap whose pixel (x, y) has red x*40, green y*40 and blue `tone`.
TBitmap* Gradient(int w, int h, int tone) {
    auto* b = new TBitmap(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) b->SetPixels(x, y, (x * 40) | ((y * 40) << 8) | (tone << 16));
    }
    return b;
}

}  // namespace

TEST(Bitmaps, PixelsScanLinesAndGrowth) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetSize(3, 2);
    EXPECT_EQ(b.Pixels(2, 1), clWhite);  // a new area takes the brush colour
    b.SetPixels(1, 1, clRed);
    b.SetPixels(0, 0, clBtnFace);
    EXPECT_EQ(b.Pixels(1, 1), clRed);
    EXPECT_EQ(static_cast<uint32_t>(b.Pixels(0, 0)), ColorToRGB(clBtnFace));
    const uint8_t* row = b.ScanLine(1);
    EXPECT_EQ(row[3], 0x00);  // blue, green, red
    EXPECT_EQ(row[4], 0x00);
    EXPECT_EQ(row[5], 0xFF);
    EXPECT_EQ(b.RowBytes(), 12);  // 9 bytes padded to 4
    b.ScanLine(0)[0] = 0x80;      // blue of (0, 0), written directly
    EXPECT_EQ(b.Pixels(0, 0) >> 16, 0x80);
    EXPECT_EQ(b.Pixels(3, 0), clInvalid);
    EXPECT_EQ(b.Pixels(-1, 0), clInvalid);
    b.SetPixels(5, 5, clRed);  // outside: nothing
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);

    b.Canvas()->Brush()->SetColor(clBlue);
    b.SetSize(5, 3);
    EXPECT_EQ(b.Pixels(1, 1), clRed);   // kept
    EXPECT_EQ(b.Pixels(4, 2), clBlue);  // grown
    EXPECT_EQ(b.Pixels(2, 1), clWhite);
    b.SetSize(1, 1);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(b.Pixels(0, 0) & 0xFFFF, ColorToRGB(clBtnFace) & 0xFFFF);
}

TEST(Bitmaps, AssignCopiesPixelsAndTransparency) {
    std::unique_ptr<TBitmap> src(Gradient(4, 3, 7));
    src->SetTransparent(true);
    src->SetTransparentColor(clLime);
    TBitmap copy;
    int changes = 0;
    copy.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    copy.Assign(src.get());
    EXPECT_EQ(PixelsOf(copy), PixelsOf(*src));
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), clLime);
    EXPECT_EQ(changes, 1);
    src->SetPixels(0, 0, clBlack);
    EXPECT_NE(copy.Pixels(0, 0), clBlack);  // a copy, not a share
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(Bitmaps, SavedFileIsA24BitBottomUpDib) {
    std::unique_ptr<TBitmap> b(Gradient(5, 3, 200));
    const std::string data = b->SaveToData();
    const int stride = 16;  // 15 bytes padded
    ASSERT_EQ(data.size(), 54u + stride * 3);
    EXPECT_EQ(data.substr(0, 2), "BM");
    EXPECT_EQ(data.substr(2, 4), Le32(54 + stride * 3));
    EXPECT_EQ(data.substr(10, 4), Le32(54));
    EXPECT_EQ(data.substr(14, 4), Le32(40));
    EXPECT_EQ(data.substr(18, 8), Le32(5) + Le32(3));  // positive height: bottom-up
    EXPECT_EQ(data.substr(28, 2), Le16(24));
    // The first stored row is the bottom one: pixel (1, 2) is blue 200, green 80, red 40.
    EXPECT_EQ(static_cast<uint8_t>(data[54 + 3]), 200);
    EXPECT_EQ(static_cast<uint8_t>(data[54 + 4]), 80);
    EXPECT_EQ(static_cast<uint8_t>(data[54 + 5]), 40);

    TBitmap back;
    back.LoadFromData(data);
    EXPECT_EQ(back.Width(), 5);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(PixelsOf(back), PixelsOf(*b));

    kpatest::TempDir dir;
    b->SaveToFile(dir.File("g.bmp"));
    TBitmap fromFile;
    fromFile.LoadFromFile(dir.File("g.bmp"));
    EXPECT_EQ(PixelsOf(fromFile), PixelsOf(*b));
    EXPECT_THROW(fromFile.LoadFromFile(dir.File("missing.bmp")), EInvalidGraphic);
}

TEST(Bitmaps, LoadsTheStoredForms) {
    const std::string core = Le32(12) + Le16(1) + Le16(1) + Le16(1) + Le16(8);  // OS/2 header, 1 x 1, 8 bits
    struct Case {
        const char* name;
        std::string data;
        int w, h;
        std::vector<TColor> pixels;
    } cases[] = {
        {"4 bits, bottom-up", Bmp(3, 2, 4, 0, {clBlack, clRed, clLime, clBlue}, "", std::string("\x12\x30\0\0\x33\x00\0\0", 8)),
         3, 2, {clBlue, clBlue, clBlack, clRed, clLime, clBlue}},
        {"8 bits, top-down", Bmp(2, -2, 8, 0, {clWhite, clMaroon}, "", std::string("\x01\x00\0\0\x00\x01\0\0", 8)),
         2, 2, {clMaroon, clWhite, clWhite, clMaroon}},
        {"1 bit", Bmp(9, 1, 1, 0, {clBlack, clWhite}, "", std::string("\x81\x80\0\0", 4)),
         9, 1, {clWhite, clBlack, clBlack, clBlack, clBlack, clBlack, clBlack, clWhite, clWhite}},
        {"16 bits, 5-5-5", Bmp(2, 1, 16, 0, {}, "", std::string("\x00\x7C\x1F\x00", 4)), 2, 1, {clRed, clBlue}},
        {"32 bits, bit fields", Bmp(1, 1, 32, 3, {}, Le32(0xFF) + Le32(0xFF00) + Le32(0xFF0000), Le32(0x00332211)),
         1, 1, {0x332211}},
        {"packed DIB", Bmp(1, 1, 24, 0, {}, "", std::string("\x01\x02\x03\x00", 4), false), 1, 1, {0x010203}},
        {"OS/2 header", "BM" + Le32(14 + 12 + 3 + 4) + Le32(0) + Le32(14 + 12 + 3) + core + std::string("\x80\0\0", 3) +
                            std::string("\0\0\0\0", 4),
         1, 1, {clNavy}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap b;
        b.LoadFromData(c.data);
        EXPECT_EQ(b.Width(), c.w);
        EXPECT_EQ(b.Height(), c.h);
        EXPECT_EQ(PixelsOf(b), c.pixels);
    }
}

TEST(Bitmaps, RejectsWhatIsNoBitmap) {
    const std::string good = Bmp(2, 2, 24, 0, {}, "", std::string(16, '\0'));
    struct Case {
        const char* name;
        std::string data;
    } cases[] = {
        {"empty", ""},
        {"cut in the file header", good.substr(0, 10)},
        {"cut in the pixels", good.substr(0, good.size() - 5)},
        {"run-length coded", Bmp(2, 2, 8, 1, {clBlack}, "", std::string(8, '\0'))},
        {"7 bits", Bmp(1, 1, 7, 0, {}, "", std::string(4, '\0'))},
        {"too wide", Bmp(40000, 1, 24, 0, {}, "", std::string(4, '\0'))},
        {"too many pixels", Bmp(10000, 10000, 1, 0, {clBlack, clWhite}, "", std::string(4, '\0'))},
        {"unknown header", "BM" + std::string(12, '\0') + Le32(20) + std::string(16, '\0')},
        {"palette cut", Bmp(1, 1, 8, 0, {}, "", "").substr(0, 54)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap b(1, 1);
        EXPECT_THROW(b.LoadFromData(c.data), EInvalidGraphic);
        EXPECT_EQ(b.Width(), 1);  // left as it was
    }
}

TEST(Bitmaps, TransparentColourIsLeftOutWhenDrawn) {
    TBitmap src(2, 2);
    src.SetPixels(0, 0, clRed);
    src.SetPixels(1, 0, clOlive);
    src.SetPixels(0, 1, clOlive);  // bottom left: the automatic transparent colour
    src.SetPixels(1, 1, clBlue);
    EXPECT_EQ(src.TransparentMode(), TTransparentMode::tmAuto);
    EXPECT_EQ(src.TransparentColor(), clOlive);

    TBitmap dest(4, 4);
    dest.Canvas()->Draw(1, 1, &src);
    EXPECT_EQ(dest.Pixels(2, 1), clOlive);  // opaque: everything is copied
    dest.Canvas()->Brush()->SetColor(clWhite);
    dest.Canvas()->FillRect(0, 0, 4, 4);
    src.SetTransparent(true);
    dest.Canvas()->Draw(1, 1, &src);
    EXPECT_EQ(PixelsOf(dest), (std::vector<TColor>{clWhite, clWhite, clWhite, clWhite, clWhite, clRed, clWhite, clWhite,
                                                   clWhite, clWhite, clBlue, clWhite, clWhite, clWhite, clWhite, clWhite}));
    src.SetTransparentColor(clBlue);
    EXPECT_EQ(src.TransparentMode(), TTransparentMode::tmFixed);
    dest.Canvas()->Draw(1, 1, &src);
    EXPECT_EQ(dest.Pixels(2, 2), clBlue);  // left from before: blue is now left out
    EXPECT_EQ(dest.Pixels(2, 1), clOlive);
    src.SetTransparentMode(TTransparentMode::tmAuto);
    EXPECT_EQ(src.TransparentColor(), clOlive);
}

TEST(Canvases, DrawingClipsAndTellsTheBitmap) {
    TBitmap b(5, 4);
    int changes = 0;
    b.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clNavy);
    c->FillRect(3, 2, 10, 10);  // clipped to the bitmap
    EXPECT_EQ(b.Pixels(4, 3), clNavy);
    EXPECT_EQ(b.Pixels(2, 3), clWhite);
    EXPECT_EQ(b.Pixels(3, 1), clWhite);
    EXPECT_EQ(changes, 1);

    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Brush()->SetColor(clRed);
    c->FillRect(0, 0, 5, 4);
    EXPECT_EQ(b.Pixels(0, 0), clWhite);  // a clear brush paints nothing
    c->Brush()->SetStyle(TBrushStyle::bsSolid);

    c->Pen()->SetColor(clGreen);
    c->MoveTo(0, 0);
    c->LineTo(3, 0);  // the end point is not drawn
    EXPECT_EQ(b.Pixels(2, 0), clGreen);
    EXPECT_EQ(b.Pixels(3, 0), clWhite);
    EXPECT_EQ(c->PenPos(), (TPoint{3, 0}));
    c->MoveTo(0, 0);
    c->LineTo(3, 3);
    EXPECT_EQ(b.Pixels(1, 1), clGreen);
    EXPECT_EQ(b.Pixels(2, 2), clGreen);
    EXPECT_EQ(b.Pixels(3, 3), clNavy);

    TBitmap r(4, 4);
    r.Canvas()->Brush()->SetColor(clYellow);
    r.Canvas()->Pen()->SetColor(clBlack);
    r.Canvas()->Rectangle(0, 0, 4, 4);
    EXPECT_EQ(r.Pixels(0, 0), clBlack);
    EXPECT_EQ(r.Pixels(3, 3), clBlack);
    EXPECT_EQ(r.Pixels(1, 2), clYellow);
    r.Canvas()->Brush()->SetColor(clRed);
    r.Canvas()->FrameRect(1, 1, 3, 3);
    EXPECT_EQ(r.Pixels(1, 1), clRed);
    EXPECT_EQ(r.Pixels(2, 2), clRed);
    EXPECT_EQ(r.Pixels(0, 0), clBlack);

    c->Font()->SetHeight(-12);
    EXPECT_EQ(c->TextWidth("ab"), 12);
    EXPECT_EQ(c->TextWidth("中文"), 24);
    EXPECT_EQ(c->TextHeight("x"), 12);
}

TEST(ImageLists, StripsAreCutIntoPicturesOfTheListSize) {
    TImageList* list = new TImageList(nullptr);
    list->SetSize(2, 2);
    int changes = 0;
    list->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    std::unique_ptr<TBitmap> strip(Gradient(5, 3, 9));  // two pictures; the fifth column and third row are left over
    EXPECT_EQ(list->Add(strip.get(), nullptr), 0);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(changes, 1);
    std::unique_ptr<TBitmap> other(Gradient(2, 2, 99));
    EXPECT_EQ(list->Add(other.get(), nullptr), 2);

    TBitmap got;
    list->GetBitmap(1, &got);
    ASSERT_EQ(got.Width(), 2);
    ASSERT_EQ(got.Height(), 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) EXPECT_EQ(got.Pixels(x, y), strip->Pixels(2 + x, y)) << x << "," << y;
    }
    list->GetBitmap(2, &got);
    EXPECT_EQ(PixelsOf(got), PixelsOf(*other));

    TBitmap small(1, 2);
    EXPECT_THROW(list->Add(&small, nullptr), EInvalidOperation);
    EXPECT_EQ(list->Add(nullptr, nullptr), -1);
    EXPECT_EQ(list->Count(), 3);
    list->Free();
}

TEST(ImageLists, MasksMakePixelsTransparent) {
    TImageList* list = new TImageList(nullptr);
    list->SetSize(2, 1);
    TBitmap image(2, 1);
    image.SetPixels(0, 0, clRed);
    image.SetPixels(1, 0, clGreen);
    TBitmap mask(2, 1);
    mask.SetPixels(0, 0, clWhite);  // white: transparent
    mask.SetPixels(1, 0, clBlack);
    list->Add(&image, &mask);
    list->AddMasked(&image, clGreen);
    list->Add(&image, nullptr);

    struct Case {
        int index;
        TColor bk;
        TColor left, right;
    } cases[] = {
        {0, clNone, clBlue, clGreen},  {1, clNone, clRed, clBlue},  {2, clNone, clRed, clGreen},
        {0, clYellow, clYellow, clGreen}, {1, clYellow, clRed, clYellow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        list->SetBkColor(c.bk);
        TBitmap onBlue(2, 1);
        onBlue.Canvas()->Brush()->SetColor(clBlue);
        onBlue.Canvas()->FillRect(0, 0, 2, 1);
        list->GetBitmap(c.index, &onBlue);  // draws over what the bitmap holds
        EXPECT_EQ(onBlue.Pixels(0, 0), c.left);
        EXPECT_EQ(onBlue.Pixels(1, 0), c.right);
    }
    TBitmap m;
    list->GetMask(1, &m);
    EXPECT_EQ(m.Pixels(0, 0), clBlack);
    EXPECT_EQ(m.Pixels(1, 0), clWhite);
    EXPECT_TRUE(list->IsTransparentPixel(0, 0, 0));

    list->SetMasked(false);  // masks given now are ignored
    EXPECT_EQ(list->AddMasked(&image, clRed), 3);
    EXPECT_FALSE(list->IsTransparentPixel(3, 0, 0));
    list->Free();
}

TEST(ImageLists, DeletingAndResizing) {
    TImageList* list = new TImageList(nullptr);
    list->SetSize(1, 1);
    int changes = 0;
    list->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    list->BeginUpdate();
    for (TColor c : {clRed, clGreen, clBlue}) {
        TBitmap b(1, 1);
        b.SetPixels(0, 0, c);
        list->Add(&b, nullptr);
    }
    list->EndUpdate();
    EXPECT_EQ(changes, 1);  // once for the whole update
    list->Delete(0);
    TBitmap got;
    list->GetBitmap(0, &got);
    EXPECT_EQ(got.Pixels(0, 0), clGreen);
    list->Move(1, 0);
    list->GetBitmap(0, &got);
    EXPECT_EQ(got.Pixels(0, 0), clBlue);
    EXPECT_THROW(list->Delete(2), EInvalidOperation);
    list->SetSize(16, 16);  // a new size empties the list
    EXPECT_EQ(list->Count(), 0);
    TBitmap b(16, 1);
    EXPECT_THROW(list->Add(&b, nullptr), EInvalidOperation);
    TBitmap b2(16, 16);
    list->Add(&b2, nullptr);
    list->Delete(-1);
    EXPECT_EQ(list->Count(), 0);
    list->Free();
}
