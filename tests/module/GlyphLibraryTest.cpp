// The glyph library CvResD5.so, through its C entry points and through the module's binding.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "controls/GSpdBtn.h"
#include "platform/os/DynLibs.h"
#include "platform/ui/Graphics.h"

namespace {

struct Held {
    int number;
    int images;
};
// What the module's forms show.
constexpr Held kHeld[] = {{4, 2}, {8, 1}, {9, 1}, {39, 1}, {47, 1}};

bool IsHeld(int n) {
    for (const Held& h : kHeld) {
        if (h.number == n) return true;
    }
    return false;
}

// Pixels of one picture of a strip that are not the ground, and how many colours they use.
struct Ink {
    int pixels = 0;
    std::set<ui::TColor> colours;
};

Ink InkOf(const ui::TBitmap& strip, int image) {
    const int side = strip.Height();
    const ui::TColor ground = strip.Pixels(0, side - 1);
    Ink ink;
    for (int y = 0; y < side; ++y) {
        for (int x = image * side; x < (image + 1) * side; ++x) {
            const ui::TColor c = strip.Pixels(x, y);
            if (c == ground) continue;
            ++ink.pixels;
            ink.colours.insert(c);
        }
    }
    return ink;
}

class GlyphLibrary : public ::testing::Test {
protected:
    TGlyphLibrary library{"CvResD5.dll"};
    void SetUp() override { ASSERT_TRUE(library.Bound()) << os::LastLibraryError(); }
};

}  // namespace

TEST_F(GlyphLibrary, HoldsTheGlyphsTheFormsUseAsStripsOfSquares) {
    EXPECT_EQ(library.GetMaxBmpID(), 47);
    for (const Held& h : kHeld) {
        ui::TBitmap strip;
        ASSERT_TRUE(library.LoadBmp(&strip, h.number)) << h.number;
        EXPECT_EQ(strip.Height(), 16) << h.number;
        EXPECT_EQ(strip.Width(), 16 * h.images) << h.number;
    }
}

TEST_F(GlyphLibrary, EveryGlyphIsARealPicture) {
    int found = 0;
    for (int n = 1; n <= library.GetMaxBmpID(); ++n) {
        ui::TBitmap strip;
        if (!library.LoadBmp(&strip, n)) continue;
        ++found;
        ASSERT_FALSE(strip.Empty()) << n;
        ASSERT_EQ(strip.Width() % strip.Height(), 0) << n;
        for (int image = 0; image < strip.Width() / strip.Height(); ++image) {
            const Ink ink = InkOf(strip, image);
            // A drawing, not a dot or a filled square: a good part of the picture, in more than
            // one colour, and still some ground around it.
            EXPECT_GE(ink.pixels, 30) << n << " picture " << image;
            EXPECT_LT(ink.pixels, 16 * 16 - 16) << n << " picture " << image;
            EXPECT_GE(ink.colours.size(), 2u) << n << " picture " << image;
        }
    }
    EXPECT_EQ(found, static_cast<int>(std::size(kHeld)));
}

TEST_F(GlyphLibrary, NoTwoGlyphsAlike) {
    std::vector<std::string> files;
    for (const Held& h : kHeld) {
        ui::TBitmap strip;
        ASSERT_TRUE(library.LoadBmp(&strip, h.number));
        ui::TBitmap first(16, 16);
        first.Canvas()->Draw(0, 0, &strip);
        files.push_back(first.SaveToData());
    }
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()).size(), files.size());
}

TEST_F(GlyphLibrary, TheDisabledPictureIsTheNormalOneInGrey) {
    ui::TBitmap strip;
    ASSERT_TRUE(library.LoadBmp(&strip, 4));
    const Ink normal = InkOf(strip, 0), disabled = InkOf(strip, 1);
    ASSERT_GT(disabled.pixels, 0);
    for (ui::TColor c : disabled.colours) {
        const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        EXPECT_TRUE(r == g && g == b) << std::hex << c;
    }
    // The normal one has colour (the red cross).
    bool coloured = false;
    for (ui::TColor c : normal.colours) coloured |= (c & 0xFF) != ((c >> 8) & 0xFF);
    EXPECT_TRUE(coloured);
    // Every drawn pixel of the normal picture is drawn in the disabled one too.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (strip.Pixels(x, y) == strip.Pixels(0, 15)) continue;
            EXPECT_NE(strip.Pixels(16 + x, y), strip.Pixels(0, 15)) << x << "," << y;
        }
    }
}

TEST_F(GlyphLibrary, MissingNumbersLeaveTheBitmapAlone) {
    for (int n : {-1, 0, 1, 5, 46, 48, 1000}) {
        ASSERT_FALSE(IsHeld(n));
        ui::TBitmap bitmap(3, 2);
        bitmap.SetPixels(1, 1, ui::clRed);
        EXPECT_FALSE(library.LoadBmp(&bitmap, n)) << n;
        EXPECT_EQ(bitmap.Width(), 3) << n;
        EXPECT_EQ(bitmap.Pixels(1, 1), ui::clRed) << n;
    }
    EXPECT_FALSE(library.LoadBmp(nullptr, 8));
}

TEST(GlyphLibraryEntryPoints, SizeFirstThenTheFileAndNeverBeyondTheBuffer) {
    os::DynLib lib("CvResD5.dll");
    ASSERT_TRUE(lib) << os::LastLibraryError();
    auto load = reinterpret_cast<TGlyphLibrary::LoadBmpFn>(lib.Symbol("LoadBmp"));
    auto max = reinterpret_cast<TGlyphLibrary::GetMaxBmpIDFn>(lib.Symbol("GetMaxBmpID"));
    ASSERT_TRUE(load && max);
    EXPECT_EQ(max(), 47);

    const int32_t size = load(nullptr, 0, 4);
    // 54 bytes of headers and 16 rows of 32 pixels of 3 bytes.
    EXPECT_EQ(size, 54 + 16 * 32 * 3);
    std::vector<uint8_t> small(static_cast<size_t>(size) - 1 + 8, 0xAB);
    EXPECT_EQ(load(small.data(), size - 1, 4), size);
    for (uint8_t b : small) ASSERT_EQ(b, 0xAB);

    std::vector<uint8_t> buffer(static_cast<size_t>(size) + 8, 0xAB);
    EXPECT_EQ(load(buffer.data(), size, 4), size);
    EXPECT_EQ(buffer[0], 'B');
    EXPECT_EQ(buffer[1], 'M');
    for (size_t i = static_cast<size_t>(size); i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xAB);
    ui::TBitmap strip;
    strip.LoadFromData(std::string(buffer.begin(), buffer.begin() + size));
    EXPECT_EQ(strip.Width(), 32);

    EXPECT_EQ(load(buffer.data(), size, 5), 0);
    EXPECT_EQ(load(buffer.data(), -1, 8), load(nullptr, 0, 8));
}

TEST(GlyphLibraryBinding, WithoutTheLibraryThereAreNoGlyphs) {
    TGlyphLibrary missing("NoSuchGlyphLibrary.dll");
    EXPECT_FALSE(missing.Bound());
    EXPECT_EQ(missing.GetMaxBmpID(), 0);
    ui::TBitmap bitmap;
    EXPECT_FALSE(missing.LoadBmp(&bitmap, 8));
}

namespace {

// A library that answers bitmaps larger than the first buffer, or no bitmap at all.
std::string servedFile;
int32_t ServeMax() { return 60; }
int32_t ServeFile(uint8_t* buffer, int32_t capacity, int32_t number) {
    if (number != 50) return 0;
    const auto size = static_cast<int32_t>(servedFile.size());
    if (buffer && capacity >= size) std::copy(servedFile.begin(), servedFile.end(), buffer);
    return size;
}
int32_t ServeHuge(uint8_t*, int32_t, int32_t) { return 512 * 1024 * 1024; }
int32_t ServeShifting(uint8_t*, int32_t capacity, int32_t) { return capacity + 100; }

}  // namespace

TEST(GlyphLibraryBinding, LargeGlyphsAreAskedForAgainAndBadAnswersRefused) {
    ui::TBitmap big(96, 48);
    big.Canvas()->Brush()->SetColor(ui::clBlue);
    big.Canvas()->FillRect(10, 10, 20, 20);
    servedFile = big.SaveToData();
    ASSERT_GT(servedFile.size(), 4096u);
    TGlyphLibrary served(&ServeMax, &ServeFile);
    ui::TBitmap out;
    ASSERT_TRUE(served.LoadBmp(&out, 50));
    EXPECT_EQ(out.Width(), 96);
    EXPECT_EQ(out.Pixels(15, 15), ui::clBlue);

    servedFile = "BM this is no bitmap";
    EXPECT_THROW(served.LoadBmp(&out, 50), ui::EInvalidGraphic);
    EXPECT_EQ(out.Width(), 96);  // left as it was

    EXPECT_THROW(TGlyphLibrary(&ServeMax, &ServeHuge).LoadBmp(&out, 1), ui::EInvalidGraphic);
    EXPECT_THROW(TGlyphLibrary(&ServeMax, &ServeShifting).LoadBmp(&out, 1), ui::EInvalidGraphic);
}
