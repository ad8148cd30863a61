// The suite's resource library of numbered button glyphs. Each glyph is a horizontal strip of
// square 16 x 16 pictures (the normal one, and for some a disabled one), drawn here as pixel art
// and handed out as a Windows bitmap file. The calling interface is in docs/glyphs.md.

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kSide = 16;

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

// The ground of every glyph; the bottom-left pixel, so the buttons leave it out when drawing.
constexpr Rgb kGround{128, 128, 0};
constexpr Rgb kShadow{128, 128, 128};
constexpr Rgb kLight{192, 192, 192};
constexpr Rgb kHighlight{255, 255, 255};

constexpr Rgb Colour(char c) {
    switch (c) {
        case 'k': return {0, 0, 0};
        case 'w': return {255, 255, 255};
        case 's': return {192, 192, 192};
        case 'g': return {128, 128, 128};
        case 'r': return {192, 0, 0};
        case 'R': return {255, 0, 0};
        case 'b': return {0, 64, 192};
        case 'n': return {0, 0, 128};
        case 'o': return {255, 204, 153};
        case 'G': return {0, 128, 0};
        default: return kGround;
    }
}

struct Art {
    int number;
    bool disabledImage;  // the strip holds a second, disabled picture
    std::array<std::string_view, kSide> rows;
};

// The glyphs the module's forms show: 4 clear the list, 8 look up (F2), 9 pick a date,
// 39 choose the users to tell, 47 delete a row.
constexpr Art kGlyphs[] = {
    {4,
     true,
     {"................",
      ".kkkkkkkkkk.....",
      ".kwwwwwwwwk.....",
      ".kwnnnnnnwk.....",
      ".kwwwwwwwwk.....",
      ".kwnnnnnnwk.....",
      ".kwwwwwwwwk.....",
      ".kwnnnnnnwk.....",
      ".kwwwwwwRR...RR.",
      ".kwnnnnnRRR.RRR.",
      ".kwwwwwwwRRRRR..",
      ".kwnnnnnnwRRR...",
      ".kwwwwwwwRRRRR..",
      ".kkkkkkkRRR.RRR.",
      "........RR...RR.",
      "................"}},
    {8,
     false,
     {"................",
      "....kkkkk.......",
      "...kwwwwwk......",
      "..kwwsswwwk.....",
      "..kwswwwwwk.....",
      "..kwswwwwwk.....",
      "..kwwwwwwwk.....",
      "..kwwwwwwwk.....",
      "...kwwwwwk......",
      "....kkkkkgk.....",
      ".........kbk....",
      "..........kbk...",
      "...........kbk..",
      "............kbk.",
      ".............kk.",
      "................"}},
    {9,
     false,
     {"................",
      ".kkkkkkkkkkkkkk.",
      ".krrrrrrrrrrrrk.",
      ".krrwrrrrrrwrrk.",
      ".kkkkkkkkkkkkkk.",
      ".kwwwwwwwwwwwwk.",
      ".kwkwkwkwkwkwwk.",
      ".kwwwwwwwwwwwwk.",
      ".kwkwkwkwkwkwwk.",
      ".kwwwwwwwwwwwwk.",
      ".kwkwkwkwRRkwwk.",
      ".kwwwwwwwRRwwwk.",
      ".kwkwkwkwkwkwwk.",
      ".kwwwwwwwwwwwwk.",
      ".kkkkkkkkkkkkkk.",
      "................"}},
    {39,
     false,
     {"................",
      "..........kkk...",
      ".........koook..",
      "...kkk...koook..",
      "..koook..koook..",
      "..koook...kkk...",
      "..koook..kGGGk..",
      "...kkk..kGGGGGk.",
      "..kbbbk.kGGGGGk.",
      ".kbbbbbkkGGGGGk.",
      ".kbbbbbbkGGGGGk.",
      ".kbbbbbbkkkkkkk.",
      ".kbbbbbbk.......",
      ".kkkkkkkk.......",
      "................",
      "................"}},
    {47,
     false,
     {"................",
      "................",
      "..rr........rr..",
      "..rRr......rRr..",
      "...rRr....rRr...",
      "....rRr..rRr....",
      ".....rRrrRr.....",
      "......rRRr......",
      "......rRRr......",
      ".....rRrrRr.....",
      "....rRr..rRr....",
      "...rRr....rRr...",
      "..rRr......rRr..",
      "..rr........rr..",
      "................",
      "................"}},
};

constexpr bool WellFormed() {
    for (const Art& a : kGlyphs) {
        for (std::string_view row : a.rows) {
            if (row.size() != kSide) return false;
        }
        // The ground must show in the bottom-left corner: it is the transparent colour.
        if (a.rows[kSide - 1][0] != '.') return false;
    }
    return true;
}
static_assert(WellFormed(), "every glyph is 16 x 16 with the ground in its bottom-left corner");

constexpr int MaxNumber() {
    int m = 0;
    for (const Art& a : kGlyphs) m = a.number > m ? a.number : m;
    return m;
}

class Picture {
public:
    Picture(int width, int height) : width_(width), height_(height), px_(static_cast<size_t>(width * height), kGround) {}
    Rgb Get(int x, int y) const { return px_[static_cast<size_t>(y * width_ + x)]; }
    void Set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) px_[static_cast<size_t>(y * width_ + x)] = c;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    std::vector<Rgb> px_;
};

bool Dark(Rgb c) { return c.r * 30 + c.g * 59 + c.b * 11 < 160 * 100; }

// The classic disabled look: the outline in the shadow colour with a highlight below and to the
// right of it, light areas in a light grey.
void DrawDisabled(const Art& art, Picture& strip, int originX) {
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const char c = art.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            if (c == '.' || !Dark(Colour(c))) continue;
            const int nx = x + 1, ny = y + 1;
            if (nx < kSide && ny < kSide && art.rows[static_cast<size_t>(ny)][static_cast<size_t>(nx)] == '.') {
                strip.Set(originX + nx, ny, kHighlight);
            }
        }
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const char c = art.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            if (c == '.') continue;
            strip.Set(originX + x, y, Dark(Colour(c)) ? kShadow : kLight);
        }
    }
}

Picture Draw(const Art& art) {
    Picture strip(kSide * (art.disabledImage ? 2 : 1), kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) strip.Set(x, y, Colour(art.rows[static_cast<size_t>(y)][static_cast<size_t>(x)]));
    }
    if (art.disabledImage) DrawDisabled(art, strip, kSide);
    return strip;
}

void Put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 24-bit bottom-up Windows bitmap file.
std::string ToBmp(const Picture& p) {
    const uint32_t stride = (static_cast<uint32_t>(p.Width()) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(p.Height());
    std::string s;
    s.reserve(54 + imageSize);
    s += "BM";
    Put32(s, 54 + imageSize);
    Put32(s, 0);
    Put32(s, 54);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(p.Width()));
    Put32(s, static_cast<uint32_t>(p.Height()));
    Put16(s, 1);
    Put16(s, 24);
    Put32(s, 0);
    Put32(s, imageSize);
    Put32(s, 2835);  // 72 dots per inch
    Put32(s, 2835);
    Put32(s, 0);
    Put32(s, 0);
    for (int y = p.Height() - 1; y >= 0; --y) {
        const size_t rowStart = s.size();
        for (int x = 0; x < p.Width(); ++x) {
            const Rgb c = p.Get(x, y);
            s.push_back(static_cast<char>(c.b));
            s.push_back(static_cast<char>(c.g));
            s.push_back(static_cast<char>(c.r));
        }
        s.append(stride - (s.size() - rowStart), '\0');
    }
    return s;
}

// Every glyph's file, made once.
const std::map<int, std::string>& Files() {
    static const std::map<int, std::string> files = [] {
        std::map<int, std::string> m;
        for (const Art& a : kGlyphs) m.emplace(a.number, ToBmp(Draw(a)));
        return m;
    }();
    return files;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t GetMaxBmpID(void) { return MaxNumber(); }

extern "C" __attribute__((visibility("default"))) int32_t LoadBmp(uint8_t* buffer, int32_t capacity, int32_t number) {
    try {
        const auto& files = Files();
        const auto it = files.find(number);
        if (it == files.end()) return 0;
        const auto size = static_cast<int32_t>(it->second.size());
        if (buffer && capacity >= size) std::memcpy(buffer, it->second.data(), it->second.size());
        return size;
    } catch (...) {
        // Nothing may escape into the caller; without memory there is no glyph.
        return 0;
    }
}
