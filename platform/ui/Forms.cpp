#include "Forms.h"

#include <algorithm>

#include "StdCtrls.h"

namespace ui {

const EnumInfo& WindowStateEnum() {
    static const EnumInfo info{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};
    return info;
}

const EnumInfo& BorderStyleEnum() {
    static const EnumInfo info{"TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
    return info;
}

const EnumInfo& PositionEnum() {
    static const EnumInfo info{"TPosition",
                               {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                                "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
    return info;
}

const EnumInfo& BorderIconEnum() {
    static const EnumInfo info{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
    return info;
}

FrameMetrics FrameOf(TFormBorderStyle style) {
    switch (style) {
        case TFormBorderStyle::bsNone: return {0, 0};
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: return {4, 19};
        default: return {3, 19};
    }
}

// ---- TCustomForm -----------------------------------------------------------------------------

const ClassInfo& TCustomForm::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomForm>("TCustomForm", &TWinControl::StaticClassInfo())
            .Str("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption)
            .Int("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
            .Int("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
            .Enum("BorderStyle", BorderStyleEnum(), &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, 2)
            .Set("BorderIcons", BorderIconEnum(), &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
            .Enum("Position", PositionEnum(), &TCustomForm::Position, &TCustomForm::SetPosition, 0)
            .Enum("WindowState", WindowStateEnum(), &TCustomForm::WindowState, &TCustomForm::SetWindowState, 0)
            .Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false)
            .Object<TWinControl>("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
            .Event("OnCreate", &TCustomForm::OnCreate)
            .Event("OnDestroy", &TCustomForm::OnDestroy)
            .Event("OnShow", &TCustomForm::OnShow)
            .Event("OnHide", &TCustomForm::OnHide)
            .Event("OnActivate", &TCustomForm::OnActivate)
            .Event("OnClose", &TCustomForm::OnClose)
            .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
            .Build();
    return info;
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    InitVisible(false);
    SetBoundsDirect(0, 0, 320, 240);
    // A form made in code is made the way a stored one is loaded: Loaded comes at the end.
    BeginLoading();
    Screen().forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
    auto& forms = Screen().forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen().activeForm_ == this) Screen().activeForm_ = nullptr;
}

void TCustomForm::AfterConstruction() {
    EndLoading();
    DoCreate();
}

void TCustomForm::BeforeDestruction() { DoDestroy(); }

void TCustomForm::Destroy() {
    auto& forms = Screen().forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen().activeForm_ == this) Screen().activeForm_ = nullptr;
    TWinControl::Destroy();
}

int TCustomForm::ClientWidth() const { return std::max(0, Width() - 2 * FrameOf(borderStyle_).border); }

int TCustomForm::ClientHeight() const {
    const FrameMetrics f = FrameOf(borderStyle_);
    return std::max(0, Height() - 2 * f.border - f.caption);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    Realign();
}

void TCustomForm::SetPosition(TPosition v) { position_ = v; }

void TCustomForm::CenterOnScreen() {
    SetBounds((Screen().Width() - Width()) / 2, (Screen().Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::VisibleChanged() {
    TWinControl::VisibleChanged();
    if (Visible()) {
        if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter ||
            position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) {
            CenterOnScreen();
        }
        DoShow();
        if (Visible()) Activate();
    } else {
        DoHide();
    }
}

void TCustomForm::Activate() {
    if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
    SetFocusedControl(activeControl_ ? activeControl_ : this);
    Screen().activeForm_ = this;
    OnActivate(this);
}

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    modal_ = true;
    modalResult_ = mrNone;
    TCloseAction action = TCloseAction::caHide;
    try {
        Show();
        for (int round = 0;; ++round) {
            if (round == 1000) throw EInvalidOperation("The modal form '" + Name() + "' refuses to close");
            WindowSystem().RunModal(*this);
            if (modalResult_ == mrNone) continue;
            action = TCloseAction::caNone;
            if (CloseQuery()) {
                action = TCloseAction::caHide;
                DoClose(action);
            }
            if (action != TCloseAction::caNone) break;
            modalResult_ = mrNone;
        }
    } catch (...) {
        modal_ = false;
        throw;
    }
    modal_ = false;
    Hide();
    if (action == TCloseAction::caFree) Release();
    return modalResult_;
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    switch (action) {
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
        case TCloseAction::caFree: Release(); break;
        case TCloseAction::caNone: break;
    }
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Release() {
    if (releasing_) return;
    releasing_ = true;
    WindowSystem().PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::SetWindowState(TWindowState v) { windowState_ = v; }

void TCustomForm::BringToFront() {
    WindowSystem().SetForegroundWindow(Handle());
    if (Visible()) Screen().activeForm_ = this;
}

void TCustomForm::SetActiveControl(TWinControl* c) {
    if (c == activeControl_) return;
    if (c && (c == this || GetParentForm(c) != this || (!IsLoading() && !c->CanFocus()))) {
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    }
    activeControl_ = c;
    if (!IsLoading() && Visible() && c) SetFocusedControl(c);
}

void TCustomForm::FocusControl(TWinControl* c) { SetActiveControl(c); }

bool TCustomForm::SetFocusedControl(TWinControl* c) {
    if (!c) c = this;
    const int count = ++focusCount_;
    activeControl_ = c == this ? nullptr : c;
    if (!focusedControl_) focusedControl_ = this;
    if (focusedControl_ == c) return true;
    // Leave the old control and its parents up to the one that also holds the new control.
    while (focusedControl_ && !focusedControl_->ContainsControl(c)) {
        TWinControl* leaving = focusedControl_;
        focusedControl_ = focusedControl_->Parent();
        leaving->Perform(CM_EXIT);
        if (focusCount_ != count) return false;
    }
    // Enter each parent of the new control on the way down, then the control.
    while (focusedControl_ != c) {
        TWinControl* entering = c;
        while (entering->Parent() != focusedControl_) entering = entering->Parent();
        focusedControl_ = entering;
        entering->Perform(CM_ENTER);
        if (focusCount_ != count) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(c));
    return true;
}

void TCustomForm::DefocusControl(TWinControl* c, bool removing) {
    if (removing && c->ContainsControl(focusedControl_)) focusedControl_ = c->Parent();
    if (c->ContainsControl(activeControl_)) activeControl_ = nullptr;
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        if (component == activeControl_) activeControl_ = nullptr;
        if (component == focusedControl_) focusedControl_ = this;
    }
}

namespace {
TButton* FindButton(TWinControl* parent, bool wantDefault) {
    for (TControl* c : parent->ControlList()) {
        if (auto* b = dynamic_cast<TButton*>(c)) {
            if ((wantDefault ? b->Default() : b->Cancel()) && b->Visible() && b->Enabled()) return b;
        }
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) {
            if (TButton* found = FindButton(w, wantDefault)) return found;
        }
    }
    return nullptr;
}
}  // namespace

bool TCustomForm::DialogKey(uint16_t key, TShiftState shift) {
    switch (key) {
        case VK_TAB:
            SelectNext(activeControl_, (shift & ssShift) == 0, true);
            return true;
        case VK_RETURN: {
            TButton* b = dynamic_cast<TButton*>(activeControl_);
            if (!b) b = FindButton(this, true);
            if (b) {
                b->Click();
                return true;
            }
            return false;
        }
        case VK_ESCAPE:
            if (TButton* b = FindButton(this, false)) {
                b->Click();
                return true;
            }
            return false;
        default: return false;
    }
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_RELEASE: Free(); return;
        case WM_CLOSE: Close(); return;
        default: TWinControl::WndProc(m); return;
    }
}

// ---- TForm, TApplication, TScreen ------------------------------------------------------------

const ClassInfo& TForm::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TForm>("TForm", &TCustomForm::StaticClassInfo()).Build();
    return info;
}

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

const ClassInfo& TApplication::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TApplication>("TApplication", &TComponent::StaticClassInfo())
                                      .Int("HintHidePause", &TApplication::HintHidePause, &TApplication::SetHintHidePause)
                                      .Str("Title", &TApplication::Title, &TApplication::SetTitle)
                                      .Build();
    return info;
}

TApplication::TApplication() : TComponent(nullptr) {}

void TApplication::ProcessMessages() { WindowSystem().ProcessMessages(); }

bool TApplication::PostMessage(uintptr_t handle, uint32_t msg, intptr_t wParam, intptr_t lParam) {
    return WindowSystem().PostMessage(handle, msg, wParam, lParam);
}

TApplication& Application() {
    static TApplication* app = new TApplication();  // lives as long as the process
    return *app;
}

TScreen& Screen() {
    static TScreen* screen = new TScreen();
    return *screen;
}

}  // namespace ui
