#include "FormAccess.h"


#include "platform/rtl/SysUtils.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

namespace launcher {

namespace {

bool Is(const ui::TObject* o, std::string_view cls) { return o && o->InheritsFrom(cls); }

// The form at the top of a control's parents, found by class name.
ui::TCustomForm* ParentFormOf(const ui::TControl* control) {
    const ui::TControl* c = control;
    while (c && c->Parent()) c = c->Parent();
    return Is(c, "TCustomForm") ? static_cast<ui::TCustomForm*>(const_cast<ui::TControl*>(c)) : nullptr;
}

std::string WithoutAccel(std::string_view caption) {
    std::string r;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                r.push_back('&');
                ++i;
            }
            continue;
        }
        r.push_back(caption[i]);
    }
    return r;
}

// The strings behind a published "Items" property (list boxes, combo boxes, radio groups).
const ui::TStrings* ItemsOf(ui::TComponent* c) {
    const ui::PropInfo* p = ui::GetPropInfo(c, "Items");
    if (!p || p->Kind != ui::TypeKind::Class) return nullptr;
    ui::TObject* items = ui::GetObjectProp(c, "Items");
    return Is(items, "TStrings") ? static_cast<const ui::TStrings*>(items) : nullptr;
}

bool PublishedBool(const ui::TObject* o, std::string_view name, bool& out) {
    // Another library's Boolean table is another object: it is recognised by its type name.
    const ui::PropInfo* p = ui::GetPropInfo(o, name);
    if (!p || p->Kind != ui::TypeKind::Enumeration || !p->Enum || p->Enum->TypeName != ui::BooleanEnum().TypeName) return false;
    out = ui::GetOrdProp(o, name) != 0;
    return true;
}

}  // namespace

// ---- Finding -------------------------------------------------------------------------------

ui::TComponent* FindByName(ui::TComponent* root, std::string_view name) {
    if (!root || name.empty()) return nullptr;
    if (rtl::SameText(root->Name(), name)) return root;
    if (ui::TComponent* c = root->FindComponent(name)) return c;
    for (ui::TComponent* owned : root->ComponentList()) {
        if (ui::TComponent* c = FindByName(owned, name)) return c;
    }
    return nullptr;
}

std::string Describe(const ui::TComponent* c) {
    if (!c) return "nothing";
    if (c->Name().empty() && c->InheritsFrom("TMessageForm")) {
        const ui::TComponent* message = c->FindComponent("Message");
        return "the dialog " + JsonQuote(message && ui::IsPublishedProp(message, "Caption") ? ui::GetPropText(message, "Caption") : "");
    }
    return (c->Name().empty() ? std::string("an unnamed component") : c->Name()) + " (" + c->ClassName() + ")";
}

ui::TComponent* RequireComponent(ui::TCustomForm& form, std::string_view name) {
    if (ui::TComponent* c = FindByName(&form, name)) return c;
    throw ActionError("the form " + Describe(&form) + " has no component '" + std::string(name) + "'");
}

// ---- Message dialogs -------------------------------------------------------------------------

bool IsMessageDialog(const ui::TCustomForm& form) { return form.InheritsFrom("TMessageForm"); }

Json DialogToJson(ui::TCustomForm& dialog) {
    Json d = Json::Object();
    d.Set("type", ui::IsPublishedProp(&dialog, "DialogType") ? Json(ui::GetPropText(&dialog, "DialogType")) : Json());
    d.Set("caption", dialog.Caption());
    ui::TComponent* message = dialog.FindComponent("Message");
    d.Set("text", message && ui::IsPublishedProp(message, "Caption") ? Json(ui::GetPropText(message, "Caption")) : Json(""));
    Json buttons = Json::Array();
    for (ui::TComponent* c : dialog.ComponentList()) {
        if (Is(c, "TButton")) buttons.Push(c->Name() + "=" + static_cast<ui::TControl*>(c)->Caption());
    }
    d.Set("buttons", std::move(buttons));
    return d;
}

ui::TControl* FindDialogButton(ui::TCustomForm& dialog, std::string_view nameOrCaption) {
    std::vector<ui::TControl*> buttons;
    for (ui::TComponent* c : dialog.ComponentList()) {
        if (Is(c, "TButtonControl")) buttons.push_back(static_cast<ui::TControl*>(c));
    }
    for (ui::TControl* b : buttons) {
        if (rtl::SameText(b->Name(), nameOrCaption)) return b;
    }
    for (ui::TControl* b : buttons) {
        if (rtl::AnsiSameText(WithoutAccel(b->Caption()), WithoutAccel(nameOrCaption))) return b;
    }
    return nullptr;
}

// ---- Lists -----------------------------------------------------------------------------------

std::optional<Json> ListRows(ui::TComponent* c) {
    Json rows = Json::Array();
    if (const ui::TStrings* items = ItemsOf(c)) {
        for (int i = 0; i < items->Count(); ++i) rows.Push((*items)[i]);
        return rows;
    }
    if (Is(c, "TCustomListView")) {
        const ui::TListItems* items = static_cast<ui::TCustomListView*>(c)->Items();
        for (int i = 0; i < items->Count(); ++i) {
            const ui::TListItem* item = items->Item(i);
            Json row = Json::Array();
            row.Push(item->Caption());
            const ui::TStrings* sub = item->SubItems();
            for (int j = 0; j < sub->Count(); ++j) row.Push((*sub)[j]);
            rows.Push(std::move(row));
        }
        return rows;
    }
    if (Is(c, "TCustomTabControl")) {
        const auto* tabs = static_cast<ui::TCustomTabControl*>(c);
        for (int i = 0; i < tabs->TabCount(); ++i) rows.Push(tabs->TabCaption(i));
        return rows;
    }
    return std::nullopt;
}

void SelectRow(ui::TComponent* c, int index) {
    const std::optional<Json> rows = ListRows(c);
    if (!rows) throw ActionError(Describe(c) + " is no list");
    const int count = static_cast<int>(rows->Items().size());
    if (index < 0 || index >= count) {
        throw ActionError(Describe(c) + " has no row " + std::to_string(index) + " (it has " + std::to_string(count) +
                          (count == 1 ? " row)" : " rows)"));
    }
    RequireReachable(static_cast<ui::TControl*>(c));
    if (Is(c, "TCustomListBox")) {
        static_cast<ui::TCustomListBox*>(c)->SelectItem(index);
    } else if (Is(c, "TCustomListView")) {
        static_cast<ui::TCustomListView*>(c)->SelectItem(index);
    } else if (Is(c, "TPageControl")) {
        static_cast<ui::TPageControl*>(c)->SelectTab(index);
    } else if (Is(c, "TCustomComboBox")) {
        static_cast<ui::TCustomComboBox*>(c)->SelectItem(index);
    } else if (const ui::PropInfo* p = ui::GetPropInfo(c, "ItemIndex"); p && p->SetOrd) {
        FocusAsUser(static_cast<ui::TControl*>(c));
        ui::SetOrdProp(c, "ItemIndex", index);
    } else {
        throw ActionError(Describe(c) + " has no way to select a row");
    }
}

// ---- Acting as the user ------------------------------------------------------------------------

void RequireReachable(const ui::TControl* control) {
    for (const ui::TControl* c = control; c; c = c->Parent()) {
        const bool isForm = Is(c, "TCustomForm");
        if (!c->Visible()) {
            if (isForm) throw ActionError("the form " + Describe(c) + " is not shown (show it first)");
            throw ActionError(c == control ? Describe(c) + " is hidden" : Describe(control) + " is on " + Describe(c) + ", which is hidden");
        }
        if (!c->Enabled()) {
            throw ActionError(c == control ? Describe(c) + " is disabled" : Describe(control) + " is on " + Describe(c) + ", which is disabled");
        }
    }
    if (!ParentFormOf(control)) throw ActionError(Describe(control) + " is on no form");
}

void FocusAsUser(ui::TControl* control) {
    if (!Is(control, "TWinControl")) return;
    auto* w = static_cast<ui::TWinControl*>(control);
    ui::TCustomForm* form = ParentFormOf(w);
    if (!form || form == w || form->ActiveControl() == w) return;
    if (w->CanFocus()) w->SetFocus();
}

void ClickAsUser(ui::TComponent* c) {
    if (Is(c, "TMenuItem")) {
        auto* item = static_cast<ui::TMenuItem*>(c);
        if (!item->Enabled()) throw ActionError(Describe(c) + " is disabled");
        if (!item->Visible()) throw ActionError(Describe(c) + " is hidden");
        item->Click();
        return;
    }
    if (!Is(c, "TControl")) throw ActionError(Describe(c) + " cannot be clicked");
    if (Is(c, "TTabSheet")) {
        // A click on the sheet's tab, which is on its page control.
        auto* sheet = static_cast<ui::TTabSheet*>(c);
        ui::TPageControl* pages = sheet->PageControl();
        if (!pages) throw ActionError(Describe(c) + " is on no page control");
        RequireReachable(pages);
        if (!sheet->TabVisible()) throw ActionError("the tab of " + Describe(c) + " is hidden");
        pages->SelectPage(sheet);
        return;
    }
    auto* control = static_cast<ui::TControl*>(c);
    RequireReachable(control);
    if (Is(c, "TCustomCheckBox")) {
        static_cast<ui::TCustomCheckBox*>(c)->UserClick();
    } else if (Is(c, "TRadioButton")) {
        static_cast<ui::TRadioButton*>(c)->UserClick();
    } else {
        FocusAsUser(control);
        control->Click();
    }
}

void TypeAsUser(ui::TComponent* c, const std::string& text) {
    if (!Is(c, "TControl")) throw ActionError(Describe(c) + " takes no text");
    auto* control = static_cast<ui::TControl*>(c);
    RequireReachable(control);
    FocusAsUser(control);
    if (Is(c, "TCustomEdit")) {
        static_cast<ui::TCustomEdit*>(c)->TypeText(text);
    } else if (Is(c, "TCustomComboBox")) {
        static_cast<ui::TCustomComboBox*>(c)->TypeText(text);
    } else {
        control->SetText(text);
    }
}

// ---- Properties by path ------------------------------------------------------------------------

namespace {

struct PropTarget {
    ui::TObject* object;
    std::string prop;
    std::string owner;  // for messages: "lblToday.Font"
};

PropTarget ResolvePath(ui::TCustomForm& form, std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = path.find('.', start);
        parts.emplace_back(path.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (parts.size() < 2) throw ActionError("'" + std::string(path) + "' names no property (NAME.PROPERTY)");
    for (const std::string& p : parts) {
        if (p.empty()) throw ActionError("'" + std::string(path) + "' has an empty part");
    }
    ui::TObject* obj = RequireComponent(form, parts[0]);
    std::string owner = parts[0];
    for (size_t i = 1; i + 1 < parts.size(); ++i) {
        const ui::PropInfo* p = ui::GetPropInfo(obj, parts[i]);
        if (!p) throw ActionError(owner + " has no published property " + parts[i]);
        if (p->Kind != ui::TypeKind::Class) throw ActionError(owner + "." + parts[i] + " is no object");
        obj = ui::GetObjectProp(obj, parts[i]);
        owner += "." + parts[i];
        if (!obj) throw ActionError(owner + " is empty");
    }
    const ui::PropInfo* p = ui::GetPropInfo(obj, parts.back());
    if (!p) throw ActionError(owner + " (" + obj->ClassName() + ") has no published property " + parts.back());
    return PropTarget{obj, parts.back(), owner};
}

}  // namespace

void SetPropertyText(ui::TCustomForm& form, std::string_view path, std::string_view text) {
    const PropTarget t = ResolvePath(form, path);
    const ui::PropInfo* p = ui::GetPropInfo(t.object, t.prop);
    if (p->Kind == ui::TypeKind::Method) throw ActionError(t.owner + "." + t.prop + " is an event and cannot be set from text");
    if (!p->Writable()) throw ActionError(t.owner + "." + t.prop + " is read-only");
    try {
        ui::SetPropText(t.object, t.prop, text);
    } catch (const std::exception& e) {
        throw ActionError(t.owner + "." + t.prop + ": " + e.what());
    }
}

std::string GetPropertyText(ui::TCustomForm& form, std::string_view path) {
    const PropTarget t = ResolvePath(form, path);
    try {
        return ui::GetPropText(t.object, t.prop);
    } catch (const std::exception& e) {
        throw ActionError(t.owner + "." + t.prop + ": " + e.what());
    }
}

// ---- Dumps -------------------------------------------------------------------------------------

namespace {

Json Node(ui::TComponent* c, const ui::TCustomForm* form) {
    Json n = Json::Object();
    n.Set("name", c->Name());
    n.Set("class", c->ClassName());
    if (Is(c, "TControl")) {
        auto* control = static_cast<ui::TControl*>(c);
        if (ui::IsPublishedProp(c, "Text")) n.Set("text", control->GetText());
        else if (ui::IsPublishedProp(c, "Caption")) n.Set("caption", control->GetText());
        n.Set("visible", control->Visible());
        n.Set("enabled", control->Enabled());
        n.Set("left", control->Left());
        n.Set("top", control->Top());
        n.Set("width", control->Width());
        n.Set("height", control->Height());
    } else {
        if (const ui::PropInfo* p = ui::GetPropInfo(c, "Caption"); p && p->Kind == ui::TypeKind::String) {
            n.Set("caption", ui::GetStrProp(c, "Caption"));
        }
        bool b = false;
        if (PublishedBool(c, "Visible", b)) n.Set("visible", b);
        if (PublishedBool(c, "Enabled", b)) n.Set("enabled", b);
    }
    bool checked = false;
    if (PublishedBool(c, "Checked", checked)) n.Set("checked", checked);
    if (Is(c, "TCustomListBox")) {
        n.Set("itemIndex", static_cast<ui::TCustomListBox*>(c)->ItemIndex());
    } else if (const ui::PropInfo* p = ui::GetPropInfo(c, "ItemIndex"); p && p->Kind == ui::TypeKind::Integer) {
        n.Set("itemIndex", ui::GetOrdProp(c, "ItemIndex"));
    }
    if (Is(c, "TCustomListView")) {
        const auto* list = static_cast<ui::TCustomListView*>(c);
        n.Set("itemIndex", list->ItemIndex());
        Json columns = Json::Array();
        for (int i = 0; i < list->Columns()->Count(); ++i) columns.Push(list->Columns()->Items(i)->Caption());
        n.Set("columns", std::move(columns));
    }
    if (Is(c, "TCustomTabControl")) {
        n.Set("tabIndex", static_cast<ui::TCustomTabControl*>(c)->TabIndex());
        n.Set("tabs", *ListRows(c));
    } else if (std::optional<Json> rows = ListRows(c)) {
        n.Set("rows", std::move(*rows));
    }
    if (form && form->ActiveControl() == c) n.Set("focused", true);
    if (Is(c, "TWinControl")) {
        const auto& controls = static_cast<ui::TWinControl*>(c)->ControlList();
        if (!controls.empty()) {
            Json children = Json::Array();
            for (ui::TControl* child : controls) children.Push(Node(child, form));
            n.Set("children", std::move(children));
        }
    }
    return n;
}

}  // namespace

Json DumpComponent(ui::TComponent* c) {
    const ui::TCustomForm* form = Is(c, "TControl") ? ParentFormOf(static_cast<ui::TControl*>(c)) : nullptr;
    Json root = Node(c, form);
    Json others = Json::Array();
    for (ui::TComponent* owned : c->ComponentList()) {
        if (!Is(owned, "TControl")) others.Push(Node(owned, nullptr));
    }
    if (!others.Items().empty()) root.Set("components", std::move(others));
    return root;
}

}  // namespace launcher
