// Image lists: pictures of one size, stored as real bitmaps with a transparency mask each, drawn
// by index (tool buttons, list view items, menus).
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"

namespace ui {

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };
const EnumInfo& DrawingStyleEnum();
const EnumInfo& ImageTypeEnum();

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* owner);
    ~TCustomImageList() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // A new size empties the list, as the class library's does.
    void SetWidth(int v) { SetSize(v, height_); }
    void SetHeight(int v) { SetSize(width_, v); }
    void SetSize(int width, int height);
    int Count() const noexcept { return static_cast<int>(images_.size()); }

    int AllocBy() const noexcept { return allocBy_; }
    void SetAllocBy(int v) { allocBy_ = v; }
    TColor BkColor() const noexcept { return bkColor_; }
    void SetBkColor(TColor v);
    TColor BlendColor() const noexcept { return blendColor_; }
    void SetBlendColor(TColor v) { blendColor_ = v; }
    TDrawingStyle DrawingStyle() const noexcept { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle v) { drawingStyle_ = v; }
    TImageType ImageType() const noexcept { return imageType_; }
    void SetImageType(TImageType v) { imageType_ = v; }
    // Without a mask every pixel is drawn; masks given while Masked is off are ignored.
    bool Masked() const noexcept { return masked_; }
    void SetMasked(bool v);
    bool ShareImages() const noexcept { return shareImages_; }
    void SetShareImages(bool v) { shareImages_ = v; }

    // Adds the image, cut into as many pictures of Width as fit side by side (the top Height rows
    // of it); the answer is the index of the first, -1 without an image. A mask marks with its
    // white pixels what is transparent. An image smaller than the list's size raises
    // EInvalidOperation "Invalid image size".
    int Add(const TBitmap* image, const TBitmap* mask);
    // Adds the image with every pixel of maskColor transparent (without a mask when the list is
    // not masked or the colour is clNone).
    int AddMasked(const TBitmap* image, TColor maskColor);
    void Insert(int index, const TBitmap* image, const TBitmap* mask);
    void Replace(int index, const TBitmap* image, const TBitmap* mask);
    // Removes one picture; -1 removes all. An index past the end raises EInvalidOperation.
    void Delete(int index);
    void Clear();
    void Move(int curIndex, int newIndex);

    // Sizes the bitmap to the list's size and draws the picture on what it holds, so that the
    // transparent pixels keep the bitmap's own (or BkColor when one is set).
    void GetBitmap(int index, TBitmap* image) const;
    // The picture's mask: white where it is transparent, black elsewhere.
    void GetMask(int index, TBitmap* mask) const;
    void Draw(TCanvas* canvas, int x, int y, int index) const;
    bool IsTransparentPixel(int index, int x, int y) const;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    struct Image {
        std::unique_ptr<TBitmap> pixels;
        std::vector<uint8_t> transparent;  // one flag per pixel, row by row
    };
    std::vector<Image> Cut(const TBitmap* image, const TBitmap* mask, const TColor* maskColor) const;
    void CheckIndex(int index) const;
    int width_ = 16, height_ = 16;
    int allocBy_ = 4;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    TDrawingStyle drawingStyle_ = TDrawingStyle::dsNormal;
    TImageType imageType_ = TImageType::itImage;
    bool masked_ = true;
    bool shareImages_ = false;
    std::vector<Image> images_;
    int updateCount_ = 0;
    bool changed_ = false;
};

class TImageList : public TCustomImageList {
public:
    explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace ui
