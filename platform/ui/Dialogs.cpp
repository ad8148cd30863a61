#include "Dialogs.h"

#include <algorithm>
#include <memory>

namespace ui {

const EnumInfo& MsgDlgTypeEnum() {
    static const EnumInfo info{"TMsgDlgType", {"mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom"}};
    return info;
}

namespace {
struct ButtonSpec {
    const char* name;
    const char* caption;
    TModalResult result;
};
const ButtonSpec& SpecOf(TMsgDlgBtn b) {
    static const ButtonSpec specs[] = {
        {"Yes", "&Yes", mrYes},       {"No", "&No", mrNo},           {"OK", "OK", mrOk},
        {"Cancel", "Cancel", mrCancel}, {"Abort", "&Abort", mrAbort}, {"Retry", "&Retry", mrRetry},
        {"Ignore", "&Ignore", mrIgnore}, {"All", "&All", mrAll},     {"NoToAll", "N&o to All", mrNoToAll},
        {"YesToAll", "Yes to &All", mrYesToAll}, {"Help", "&Help", mrNone},
    };
    return specs[static_cast<int>(b)];
}
const char* TypeCaption(TMsgDlgType t) {
    switch (t) {
        case TMsgDlgType::mtWarning: return "Warning";
        case TMsgDlgType::mtError: return "Error";
        case TMsgDlgType::mtInformation: return "Information";
        case TMsgDlgType::mtConfirmation: return "Confirm";
        case TMsgDlgType::mtCustom: break;
    }
    return nullptr;
}
}  // namespace

const char* ButtonName(TMsgDlgBtn b) { return SpecOf(b).name; }
TModalResult ButtonResult(TMsgDlgBtn b) { return SpecOf(b).result; }

const ClassInfo& TMessageForm::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TMessageForm>("TMessageForm", &TForm::StaticClassInfo())
                                      .Enum("DialogType", MsgDlgTypeEnum(), &TMessageForm::DialogType, nullptr)
                                      .Build();
    return info;
}

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetKeyPreview(true);
}

TMessageForm* CreateMessageDialog(const std::string& msg, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    auto* form = new TMessageForm(nullptr);
    try {
        form->type_ = type;
        const char* caption = TypeCaption(type);
        form->SetCaption(caption ? caption : Application().Title());
        form->message_ = new TLabel(form);
        form->message_->SetName("Message");
        form->message_->SetParent(form);
        form->message_->SetWordWrap(true);
        form->message_->SetCaption(msg);
        // Buttons in the platform's order; the first is the default, Cancel (or No) cancels.
        const bool hasCancel = std::find(buttons.begin(), buttons.end(), TMsgDlgBtn::mbCancel) != buttons.end();
        for (int i = 0; i <= static_cast<int>(TMsgDlgBtn::mbHelp); ++i) {
            const auto b = static_cast<TMsgDlgBtn>(i);
            if (std::find(buttons.begin(), buttons.end(), b) == buttons.end()) continue;
            auto* button = new TButton(form);
            button->SetName(SpecOf(b).name);
            button->SetParent(form);
            button->SetCaption(SpecOf(b).caption);
            button->SetModalResult(SpecOf(b).result);
            if (form->buttons_.empty()) button->SetDefault(true);
            if (b == TMsgDlgBtn::mbCancel || (!hasCancel && b == TMsgDlgBtn::mbNo)) button->SetCancel(true);
            form->buttons_.push_back(button);
        }
        // Lay out: the message across the top, the buttons centred in a row below it.
        const int textWidth = std::max(TextWidth(*form->Font(), msg), 150);
        const int rowWidth = static_cast<int>(form->buttons_.size()) * 83 - 8;
        const int clientWidth = std::max(textWidth, rowWidth) + 2 * 16 + 40;
        const int labelHeight = TextHeight(*form->Font());
        form->message_->SetBounds(56, 16, clientWidth - 72, labelHeight);
        int x = (clientWidth - rowWidth) / 2;
        const int y = 16 + std::max(labelHeight, 32) + 16;
        for (TButton* b : form->buttons_) {
            b->SetBounds(x, y, 75, 25);
            x += 83;
        }
        form->SetClientWidth(clientWidth);
        form->SetClientHeight(y + 25 + 16);
        form->AfterConstruction();
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

int MessageDlg(const std::string& msg, TMsgDlgType type, const TMsgDlgButtons& buttons, int) {
    TMessageForm* form = CreateMessageDialog(msg, type, buttons);
    struct Freer {
        TMessageForm* f;
        ~Freer() { f->Free(); }
    } freer{form};
    return form->ShowModal();
}

}  // namespace ui
