#include "ImgList.h"

#include <algorithm>

namespace ui {

const EnumInfo& DrawingStyleEnum() {
    static const EnumInfo info{"TDrawingStyle", {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"}};
    return info;
}

const EnumInfo& ImageTypeEnum() {
    static const EnumInfo info{"TImageType", {"itImage", "itMask"}};
    return info;
}

const ClassInfo& TCustomImageList::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomImageList>("TCustomImageList", &TComponent::StaticClassInfo())
            .Int("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy, 4)
            .Int("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor, clNone, &ColorIdents())
            .Int("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor, clNone, &ColorIdents())
            .Enum("DrawingStyle", DrawingStyleEnum(), &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle, 2)
            .Int("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16)
            .Enum("ImageType", ImageTypeEnum(), &TCustomImageList::ImageType, &TCustomImageList::SetImageType, 0)
            .Bool("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked, true)
            .Bool("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages, false)
            .Int("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16)
            .Event("OnChange", &TCustomImageList::OnChange)
            .Build();
    return info;
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::Change() {
    changed_ = true;
    if (updateCount_ > 0) return;
    changed_ = false;
    OnChange(this);
}

void TCustomImageList::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && changed_) Change();
}

void TCustomImageList::SetSize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    images_.clear();
    Change();
}

void TCustomImageList::SetBkColor(TColor v) {
    if (v == bkColor_) return;
    bkColor_ = v;
    Change();
}

void TCustomImageList::SetMasked(bool v) {
    if (v == masked_) return;
    masked_ = v;
    Change();
}

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
}

std::vector<TCustomImageList::Image> TCustomImageList::Cut(const TBitmap* image, const TBitmap* mask,
                                                           const TColor* maskColor) const {
    std::vector<Image> result;
    if (!image) return result;
    if (image->Width() < width_ || image->Height() < height_) throw EInvalidOperation("Invalid image size");
    const uint32_t key = maskColor ? static_cast<uint32_t>(*maskColor == clDefault ? image->TransparentColor()
                                                                                   : static_cast<TColor>(ColorToRGB(*maskColor)))
                                   : 0;
    const int count = image->Width() / width_;
    for (int n = 0; n < count; ++n) {
        Image img;
        img.pixels = std::make_unique<TBitmap>(width_, height_);
        img.transparent.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
        for (int y = 0; y < height_; ++y) {
            const uint8_t* src = image->ScanLine(y) + static_cast<size_t>(n) * static_cast<size_t>(width_) * 3;
            uint8_t* dst = img.pixels->ScanLine(y);
            for (int x = 0; x < width_; ++x) {
                const int sx = n * width_ + x;
                bool clear = false;
                if (masked_) {
                    if (maskColor) {
                        clear = static_cast<uint32_t>(image->Pixels(sx, y)) == key;
                    } else if (mask) {
                        // A colour mask turns monochrome as the window system does: white is set.
                        clear = mask->Pixels(sx, y) == clWhite;
                    }
                }
                img.transparent[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = clear ? 1 : 0;
                // The list keeps the colour of a transparent pixel black.
                for (int b = 0; b < 3; ++b) dst[x * 3 + b] = clear ? 0 : src[x * 3 + b];
            }
        }
        result.push_back(std::move(img));
    }
    return result;
}

int TCustomImageList::Add(const TBitmap* image, const TBitmap* mask) {
    std::vector<Image> cut = Cut(image, mask, nullptr);
    if (cut.empty()) return -1;
    const int first = Count();
    for (Image& img : cut) images_.push_back(std::move(img));
    Change();
    return first;
}

int TCustomImageList::AddMasked(const TBitmap* image, TColor maskColor) {
    if (!masked_ || maskColor == clNone) return Add(image, nullptr);
    std::vector<Image> cut = Cut(image, nullptr, &maskColor);
    if (cut.empty()) return -1;
    const int first = Count();
    for (Image& img : cut) images_.push_back(std::move(img));
    Change();
    return first;
}

void TCustomImageList::Insert(int index, const TBitmap* image, const TBitmap* mask) {
    if (index < 0 || index > Count()) throw EInvalidOperation("Invalid ImageList Index");
    std::vector<Image> cut = Cut(image, mask, nullptr);
    if (cut.empty()) return;
    images_.insert(images_.begin() + index, std::make_move_iterator(cut.begin()), std::make_move_iterator(cut.end()));
    Change();
}

void TCustomImageList::Replace(int index, const TBitmap* image, const TBitmap* mask) {
    CheckIndex(index);
    std::vector<Image> cut = Cut(image, mask, nullptr);
    if (cut.empty()) return;
    images_[static_cast<size_t>(index)] = std::move(cut.front());
    Change();
}

void TCustomImageList::Delete(int index) {
    if (index >= Count() || index < -1) throw EInvalidOperation("Invalid ImageList Index");
    if (index == -1) {
        images_.clear();
    } else {
        images_.erase(images_.begin() + index);
    }
    Change();
}

void TCustomImageList::Clear() { Delete(-1); }

void TCustomImageList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    Image img = std::move(images_[static_cast<size_t>(curIndex)]);
    images_.erase(images_.begin() + curIndex);
    images_.insert(images_.begin() + newIndex, std::move(img));
    Change();
}

bool TCustomImageList::IsTransparentPixel(int index, int x, int y) const {
    CheckIndex(index);
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return images_[static_cast<size_t>(index)].transparent[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] != 0;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index) const {
    if (!canvas || index < 0 || index >= Count()) return;
    const Image& img = images_[static_cast<size_t>(index)];
    const bool fillBack = bkColor_ != clNone && drawingStyle_ != TDrawingStyle::dsTransparent;
    for (int py = 0; py < height_; ++py) {
        for (int px = 0; px < width_; ++px) {
            if (img.transparent[static_cast<size_t>(py) * static_cast<size_t>(width_) + static_cast<size_t>(px)]) {
                if (fillBack) canvas->Plot(x + px, y + py, ColorToRGB(bkColor_));
                continue;
            }
            canvas->Plot(x + px, y + py, static_cast<uint32_t>(img.pixels->Pixels(px, py)));
        }
    }
    canvas->Changed();
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) const {
    if (!image) return;
    image->SetSize(width_, height_);
    Draw(image->Canvas(), 0, 0, index);
}

void TCustomImageList::GetMask(int index, TBitmap* mask) const {
    if (!mask) return;
    CheckIndex(index);
    mask->SetSize(width_, height_);
    for (int py = 0; py < height_; ++py) {
        for (int px = 0; px < width_; ++px) mask->Canvas()->Plot(px, py, IsTransparentPixel(index, px, py) ? 0xFFFFFF : 0);
    }
    mask->Changed();
}

const ClassInfo& TImageList::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TImageList>("TImageList", &TCustomImageList::StaticClassInfo()).Build();
    return info;
}

}  // namespace ui
