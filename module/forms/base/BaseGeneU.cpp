// The base form's doors to the outside: message texts and dialogs, system information,
// master-table look-ups and counters, all through the manager's late-bound services.
#include "BaseGene.h"

#include "lib/LibStrs.h"
#include "platform/com/ComObj.h"
#include "platform/ui/Buttons.h"

using rtl::Variant;
using namespace ui;

// ---- Messages --------------------------------------------------------------------------------

namespace {

TMsgDlgType DialogTypeOf(const std::string& letter) {
    if (letter == "C" || letter == "D" || letter == "W") return TMsgDlgType::mtWarning;
    if (letter == "E") return TMsgDlgType::mtError;
    if (letter == "I") return TMsgDlgType::mtInformation;
    if (letter == "Q") return TMsgDlgType::mtConfirmation;
    return TMsgDlgType::mtCustom;
}

void AppendOnce(std::string& list, const std::string& text) {
    if (list.find(text) == std::string::npos) list += text + "; ";
}

}  // namespace

std::string TfrmBaseGene::GetMessageText(const std::string& type, const std::string& number) {
    // Conversion for display is the identity while the interface and the data share a code page.
    if (Manager.Type() == rtl::VarType::Dispatch) {
        try {
            return com::OleCall(Manager, "GetMessage", {Variant(type), Variant(number)}).AsString();
        } catch (const std::exception&) {
            // Answered below like a missing manager.
        }
    }
    return rtl::Format("Can not Get Message\rType= %s, ID= %s ", {Variant(type), Variant(number)});
}

void TfrmBaseGene::ShowMessageCode(const std::string& code) {
    if (ActiveControl() == btnCancel && btnCancel) return;
    if (code.empty()) {
        MessageCodes.clear();
        MessageTexts.clear();
        return;
    }
    MessageCodes += code + "; ";
    const std::string type = GetField(code, ";", 1);
    std::string number = GetField(code, ";", 2);
    const bool show = rtl::StrToIntDef(number, 0) > 0;
    std::vector<Variant> args(10, Variant(std::string()));
    for (int i = 0; i < 10; ++i) args[static_cast<size_t>(i)] = GetField(code, ";", i + 3);
    if (!show && !number.empty()) number.erase(0, 1);
    const std::string raw = GetMessageText(type, number);
    std::string text;
    try {
        text = rtl::Format(raw, args);
    } catch (const std::exception&) {
        text = raw + "\r";
        for (const Variant& a : args) text += a.AsString() + ";";
    }
    AppendOnce(MessageTexts, text);
    if (show) ShowDialog(text, DialogTypeOf(type), {TMsgDlgBtn::mbOK});
}

void TfrmBaseGene::RecordError(const std::string& text) {
    if (ActiveControl() == btnCancel && btnCancel) return;
    const std::string t = rtl::Trim(text);
    if (t.empty()) {
        MessageCodes.clear();
        MessageTexts.clear();
        return;
    }
    MessageCodes += "E;-1; ";
    AppendOnce(MessageTexts, text);
}

int TfrmBaseGene::ShowMessageCodeEx(const std::string& type, const std::string& number, const TMsgDlgButtons& buttons,
                                    const std::vector<Variant>& arguments) {
    std::string text = GetMessageText(type, number);
    try {
        text = rtl::Format(text, arguments);
    } catch (const std::exception&) {
        // The raw text is shown.
    }
    TMsgDlgButtons shown = buttons;
    if (shown.empty()) {
        if (type == "C" || type == "Q" || type == "W") {
            shown = {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel};
        } else if (type == "D") {
            shown = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel};
        } else {
            shown = {TMsgDlgBtn::mbOK};
        }
    }
    return ShowDialog(text, DialogTypeOf(type), shown);
}

int TfrmBaseGene::ShowDialog(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    if (PageChanging && type != TMsgDlgType::mtError) return 0;
    TMessageForm* dlg = CreateMessageDialog(text, type, buttons);
    int result;
    try {
        dlg->SetCaption(Caption());
        if (InterfaceCodePage() != "437") {
            for (TButton* b : dlg->Buttons()) b->SetCaption(ButtonCaption(b->Name()));
        }
        dlg->Font()->SetName("SimSun");
        dlg->Font()->SetCharset(InterfaceCodePage() == "950" ? CHINESEBIG5_CHARSET : GB2312_CHARSET);
        result = dlg->ShowModal();
    } catch (...) {
        dlg->Free();
        throw;
    }
    dlg->Free();
    if (TWinControl* active = ActiveControl()) Application().PostMessage(active->Handle(), WM_LBUTTONUP, 0, 0);
    if (type == TMsgDlgType::mtError && LastFocused && LastFocused != this && LastFocused->CanFocus()) {
        LastFocused->SetFocus();
    }
    return result;
}

// ---- System information and look-ups ---------------------------------------------------------

std::string TfrmBaseGene::SysInfoValue(const std::string& name) {
    std::string result;
    try {
        if (!name.empty()) {
            result = SysInfo.Values(name);
        } else if (CounterService.Type() == rtl::VarType::Dispatch) {
            std::vector<Variant> args{Variant(CompanyID)};
            const Variant info = com::OleCall(CounterService, "GetSysInfo", args);
            const rtl::VarArray& a = info.Arr();
            for (int i = a.LowBound(2); i <= a.HighBound(2); ++i) {
                SysInfo.SetValue(a.At(a.LowBound(1), i).AsString(), a.At(a.LowBound(1) + 1, i).AsString());
            }
        }
    } catch (const std::exception&) {
        result.clear();
    }
    if (result.empty()) {
        static const char* const english[] = {"Inv.Cate.1", "Inv.Cate.2", "Inv.Cate.3", "Inv.Cate.4"};
        static const char* const chinese[] = {"商品分类方式一", "商品分类方式二", "商品分类方式三", "商品分类方式四"};
        const std::string upper = rtl::UpperCase(name);
        for (int i = 0; i < 4; ++i) {
            if (upper == "SYS00" + std::to_string(7 + i) || (i == 3 && upper == "SYS010")) {
                return InterfaceCodePage() == "437" ? english[i] : chinese[i];
            }
        }
    }
    return result;
}

int TfrmBaseGene::GetDateFormatKind() {
    const int kind = rtl::StrToIntDef(SysInfoValue("Sys001"), 1);
    DateFormatKind = kind;
    return kind;
}

std::string TfrmBaseGene::GetDateSeparator() {
    std::string sep = SysInfoValue("Sys002");
    if (sep.empty()) sep = "/";
    DateSeparator = sep;
    return sep;
}

bool TfrmBaseGene::LookupRow(const std::string& table, const std::string& queryNumber, bool queryMode, Variant& row,
                             const Variant& keys) {
    if (Validator.Type() != rtl::VarType::Dispatch) return false;
    try {
        com::OleSet(Validator, "ProductID", Variant(ProductID));
    } catch (const std::exception&) {
    }
    try {
        com::OleSet(Validator, "BaseLimited", Variant(BaseLimited));
    } catch (const std::exception&) {
    }
    try {
        std::vector<Variant> args{Variant(table), Variant(queryNumber), Variant(DatabaseName), keys, row};
        const bool found = com::OleCall(Validator, queryMode ? "QueryData" : "CheckValue", args).AsBoolean();
        row = args[4];
        return found;
    } catch (const std::exception&) {
        return false;
    }
}

Variant TfrmBaseGene::GetCounter(const std::string& name, const Variant& keys) {
    if (CounterService.Type() != rtl::VarType::Dispatch) return Variant();
    try {
        std::vector<Variant> args{Variant(rtl::UpperCase(name)), keys,
                                  rtl::VarArrayOf({Variant(CompanyID), Variant(DatabaseName)})};
        return com::OleCall(CounterService, "GetCounter", args);
    } catch (const std::exception&) {
        return Variant();
    }
}

bool TfrmBaseGene::CheckValueExists(const std::string& table, const std::string& queryNumber,
                                    const std::string& typeLetter, int column, Variant& value, const Variant& keys) {
    if (btnCancel && ActiveControl() == btnCancel) return true;
    std::string outcome;
    const bool hasKeys = !keys.IsEmpty() && !keys.IsNull() && !(keys.IsArray() && keys.Arr().ElementCount() == 0);
    bool result = true;
    if (!hasKeys) value = Variant();
    if (hasKeys) {
        Variant row;
        if (!LookupRow(table, queryNumber, column == -2, row, keys)) {
            if (typeLetter == "E") outcome = "E;000001;" + GetMessageText("I", "000008");
            if (typeLetter == "W") outcome = "W;000004;" + GetMessageText("I", "000008");
            result = false;
        } else {
            value = Variant();
            if (!row.IsEmpty() && !row.IsNull()) {
                const bool whole = !row.IsArray() || row.Arr().DimCount() != 1 || column < row.Arr().LowBound() ||
                                   column > row.Arr().HighBound();
                value = whole ? row : row[column];
            }
        }
    }
    ShowMessageCode(outcome);
    return result;
}
