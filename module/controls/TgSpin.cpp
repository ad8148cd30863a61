#include "TgSpin.h"

#include "platform/rtl/SysUtils.h"

using namespace ui;

const ClassInfo& TTgSpinEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TTgSpinEdit>("TTgSpinEdit", &TSpinEdit::StaticClassInfo()).Build();
    return info;
}

namespace {
// The text without its last character (a whole character, however many bytes it takes).
std::string DropLast(const std::string& t) {
    size_t p = t.size() - 1;
    while (p > 0 && (static_cast<unsigned char>(t[p]) & 0xC0) == 0x80) --p;
    return t.substr(0, p);
}
}  // namespace

void TTgSpinEdit::Change() {
    // Setting the text here runs this again for the shortened text.
    for (const char sign : {'+', '-'}) {
        const std::string t = Text();
        if (t.size() > 1 && t.find(sign, 1) != std::string::npos) SetText(DropLast(t));
    }
    if (!rtl::Trim(Text()).empty()) TSpinEdit::Change();
}
