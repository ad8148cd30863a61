#include "GSpdBtn.h"

#include <exception>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"

// The resource library's entry points, bound when the module is loaded.
extern "C" int32_t GetMaxBmpID();
extern "C" int32_t LoadBmp(uint8_t* buffer, int32_t capacity, int32_t number);

using namespace ui;

// ---- The resource library ------------------------------------------------------------------------

TGlyphLibrary::TGlyphLibrary(std::string_view libraryName) : lib_(libraryName) {
    getMax_ = reinterpret_cast<GetMaxBmpIDFn>(lib_.Symbol("GetMaxBmpID"));
    load_ = reinterpret_cast<LoadBmpFn>(lib_.Symbol("LoadBmp"));
}

TGlyphLibrary::TGlyphLibrary(GetMaxBmpIDFn getMaxBmpID, LoadBmpFn loadBmp) : getMax_(getMaxBmpID), load_(loadBmp) {}

int TGlyphLibrary::GetMaxBmpID() const { return getMax_ ? getMax_() : 0; }

bool TGlyphLibrary::LoadBmp(TBitmap* bitmap, int number) const {
    if (!bitmap || !load_) return false;
    // Most glyphs fit the first buffer; a larger one is asked for once with the size the
    // library named. A glyph is a small strip: anything near this limit is no glyph.
    constexpr int32_t kFirst = 4096;
    constexpr int32_t kLimit = 16 * 1024 * 1024;
    std::string bytes(kFirst, '\0');
    int32_t size = load_(reinterpret_cast<uint8_t*>(bytes.data()), kFirst, number);
    if (size <= 0) return false;
    if (size > kFirst) {
        if (size > kLimit) throw EInvalidGraphic("The glyph library answered a glyph of " + rtl::IntToStr(size) + " bytes");
        bytes.assign(static_cast<size_t>(size), '\0');
        const int32_t again = load_(reinterpret_cast<uint8_t*>(bytes.data()), size, number);
        if (again <= 0) return false;
        if (again != size) throw EInvalidGraphic("The glyph library answered two sizes for one glyph");
    }
    bytes.resize(static_cast<size_t>(size));
    TBitmap picture;
    picture.LoadFromData(bytes);
    bitmap->Assign(&picture);
    return true;
}

namespace {
TGlyphLibrary* replacement = nullptr;
}

TGlyphLibrary& GlyphLibrary() {
    if (replacement) return *replacement;
    // The module is linked to the library: it is there whenever the module is loaded.
    static TGlyphLibrary bound(&::GetMaxBmpID, &::LoadBmp);
    return bound;
}

TGlyphLibrary* SetGlyphLibrary(TGlyphLibrary* library) {
    TGlyphLibrary* before = replacement;
    replacement = library;
    return before;
}

// ---- TGSpeedButton --------------------------------------------------------------------------------

const ClassInfo& TGSpeedButton::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TGSpeedButton>("TGSpeedButton", &TSpeedButton::StaticClassInfo())
                                      .Int("GlyphIndex", &TGSpeedButton::GlyphIndex, &TGSpeedButton::SetGlyphIndex, 0)
                                      .Int("HintIndex", &TGSpeedButton::HintIndex, &TGSpeedButton::SetHintIndex, 0)
                                      .Object<TBitmap>("Glyph", &TGSpeedButton::Glyph, &TGSpeedButton::SetGlyph)
                                      .Build();
    return info;
}

TGSpeedButton::TGSpeedButton(TComponent* owner) : TSpeedButton(owner) {}

void TGSpeedButton::SetGlyphIndex(int n) {
    if (n == glyphIndex_) return;
    glyphIndex_ = n;
    SetCaption(rtl::IntToStr(n));
    // Whatever comes of loading, the old picture must not stay under the new number.
    SetGlyph(nullptr);
    const TGlyphLibrary& library = GlyphLibrary();
    if (n == 0 || n > library.GetMaxBmpID()) return;
    try {
        TBitmap picture;
        if (!library.LoadBmp(&picture, n) || picture.Empty()) return;
        SetGlyph(&picture);
        SetCaption("");
        SetNumGlyphs(picture.Width() / picture.Height());
    } catch (const std::exception&) {
        MessageDlg("读取 BMP 发生错误", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
    }
}
