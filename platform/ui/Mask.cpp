#include "Mask.h"

namespace ui {

const ClassInfo& TCustomMaskEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCustomMaskEdit>("TCustomMaskEdit", &TCustomEdit::StaticClassInfo())
                                      .Str("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask)
                                      .Enum("ImeMode", ImeModeEnum(), &TCustomMaskEdit::ImeMode, &TCustomMaskEdit::SetImeMode, 3)
                                      .Str("ImeName", &TCustomMaskEdit::ImeName, &TCustomMaskEdit::SetImeName)
                                      .Build();
    return info;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(const std::string& v) { editMask_ = v; }

const ClassInfo& TMaskEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TMaskEdit>("TMaskEdit", &TCustomMaskEdit::StaticClassInfo()).Build();
    return info;
}

}  // namespace ui
