// What the launcher does to forms that another library made: it finds components by name,
// reads them through their class names and published properties, and acts on them through
// virtual operations. Type checks go by class name (InheritsFrom), never by the language's run-
// time types, which are not shared across the library boundary.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "Json.h"
#include "platform/ui/Forms.h"

namespace launcher {

// Something a script asked that the form cannot do; the message is for the script's author.
class ActionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The component of that name: the root itself, a component it owns, or one owned by those
// (names compare without regard to case). nullptr when there is none.
ui::TComponent* FindByName(ui::TComponent* root, std::string_view name);
// As FindByName, raising ActionError that names the form when there is none.
ui::TComponent* RequireComponent(ui::TCustomForm& form, std::string_view name);

// "btnOk (TButton)".
std::string Describe(const ui::TComponent* c);

// ---- Message dialogs ---------------------------------------------------------------------

bool IsMessageDialog(const ui::TCustomForm& form);
// {"type":"mtError","caption":...,"text":...,"buttons":["OK=确定", ...]}
Json DialogToJson(ui::TCustomForm& dialog);
// The dialog's button of that name or, failing that, caption (without its "&"); nullptr when
// none. Names and captions compare without regard to case.
ui::TControl* FindDialogButton(ui::TCustomForm& dialog, std::string_view nameOrCaption);

// ---- Lists -------------------------------------------------------------------------------

// The rows of a list box, combo box or list view (a list view row is its caption followed by
// its sub-items); std::nullopt for a component that is no list.
std::optional<Json> ListRows(ui::TComponent* c);
// Selects a row as the user's click does; raises ActionError for a row outside the list or a
// component that is no list.
void SelectRow(ui::TComponent* c, int index);

// ---- Acting as the user --------------------------------------------------------------------

// Raises ActionError unless the user could reach the control: visible up to its form, the
// form shown, and enabled up to its form.
void RequireReachable(const ui::TControl* control);
// Moves the focus to the control when it can take it, running the exit and enter events on
// the way, as the user's click into it does.
void FocusAsUser(ui::TControl* control);
// A click of the user on a control (focus first, check boxes and radio buttons toggled) or on a
// menu item.
void ClickAsUser(ui::TComponent* c);
// Typing: into an edit or combo box key by key, into other controls by setting their text.
void TypeAsUser(ui::TComponent* c, const std::string& text);

// ---- Properties by path --------------------------------------------------------------------

// "edPrintDate.Text", "lblToday.Font.Size": the component, object properties on the way, and
// the property. SetPropertyText and GetPropertyText raise ActionError naming what is missing.
void SetPropertyText(ui::TCustomForm& form, std::string_view path, std::string_view text);
std::string GetPropertyText(ui::TCustomForm& form, std::string_view path);

// ---- Dumps -------------------------------------------------------------------------------

// The component tree from a component down: name, class, caption or text, visible, enabled,
// left, top, width, height; checked, itemIndex and rows where the control has them; focused
// for the form's focused control; children (controls, in z-order) when there are any; and for
// the root, the components it owns that are no controls (menus, image lists, connections).
Json DumpComponent(ui::TComponent* c);

}  // namespace launcher
