// Forms, the application object and the screen.
#pragma once

#include <string>
#include <vector>

#include "Controls.h"

namespace ui {

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = uint8_t;
const EnumInfo& WindowStateEnum();
const EnumInfo& BorderStyleEnum();
const EnumInfo& PositionEnum();
const EnumInfo& BorderIconEnum();

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// The size of a form's frame in the headless window system: a sizeable border is 4 pixels on
// each side, a dialog border 3, and the caption bar 19 high.
struct FrameMetrics {
    int border;
    int caption;
};
FrameMetrics FrameOf(TFormBorderStyle style);

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // The last step of making a form: Loaded for everything it owns, then OnCreate. Forms
    // built in code call it (through CreateForm) once their components exist.
    virtual void AfterConstruction();
    void BeforeDestruction() override;

    int ClientWidth() const override;
    int ClientHeight() const override;

    void Show();
    void Hide() { SetVisible(false); }
    // Runs the form modally through the window system; the answer is the modal result.
    virtual int ShowModal();
    TModalResult ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    bool IsModal() const noexcept { return modal_; }
    // Closes as the user would: OnCloseQuery, OnClose, then hide, minimise or free by the action.
    void Close();
    bool CloseQuery();
    // Frees the form once the messages already queued have been handled.
    void Release();

    TWindowState WindowState() const noexcept { return windowState_; }
    void SetWindowState(TWindowState v);
    void BringToFront();
    TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const noexcept { return borderIcons_; }
    void SetBorderIcons(TBorderIcons v) { borderIcons_ = v; }
    TPosition Position() const noexcept { return position_; }
    void SetPosition(TPosition v);
    bool KeyPreview() const noexcept { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    uintptr_t ParentWindow() const noexcept { return parentWindow_; }
    void SetParentWindow(uintptr_t v) { parentWindow_ = v; }

    TWinControl* ActiveControl() const noexcept { return activeControl_; }
    void SetActiveControl(TWinControl* c);
    void FocusControl(TWinControl* c);
    // Moves the focus, running the exit and enter events of every control on the way; false
    // when an event handler moved the focus elsewhere meanwhile.
    bool SetFocusedControl(TWinControl* c);
    void DefocusControl(TWinControl* c, bool removing);
    TWinControl* FocusedControl() const noexcept { return focusedControl_; }
    // Tab, Enter and Escape as the form's dialog keys: next control, default and cancel button.
    virtual bool DialogKey(uint16_t key, TShiftState shift);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void WndProc(TMessage& m) override;

protected:
    void Destroy() override;
    void VisibleChanged() override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoShow() { OnShow(this); }
    virtual void DoHide() { OnHide(this); }
    virtual void DoCreate() { OnCreate(this); }
    virtual void DoDestroy() { OnDestroy(this); }
    virtual void DoClose(TCloseAction& action) { OnClose(this, action); }
    void Activate();
    void CenterOnScreen();

private:
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool releasing_ = false;
    TWindowState windowState_ = TWindowState::wsNormal;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_ = (1 << biSystemMenu) | (1 << biMinimize) | (1 << biMaximize);
    TPosition position_ = TPosition::poDesigned;
    bool keyPreview_ = false;
    uintptr_t parentWindow_ = 0;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    int focusCount_ = 0;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// Creates a form of class F and completes it (AfterConstruction).
template <typename F, typename... A>
F* CreateForm(TComponent* owner, A&&... args) {
    F* form = new F(owner, std::forward<A>(args)...);
    try {
        form->AfterConstruction();
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

class TApplication : public TComponent {
public:
    TApplication();
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    void ProcessMessages();
    bool PostMessage(uintptr_t handle, uint32_t msg, intptr_t wParam, intptr_t lParam);
    int HintHidePause() const noexcept { return hintHidePause_; }
    void SetHintHidePause(int v) { hintHidePause_ = v; }
    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }

private:
    int hintHidePause_ = 2500;
    std::string title_;
};

// The module's application object.
TApplication& Application();

class TScreen {
public:
    int Width() const noexcept { return 1024; }
    int Height() const noexcept { return 768; }
    int PixelsPerInch() const noexcept { return kPixelsPerInch; }
    const std::vector<TCustomForm*>& Forms() const noexcept { return forms_; }
    int FormCount() const noexcept { return static_cast<int>(forms_.size()); }
    TCustomForm* ActiveForm() const noexcept { return activeForm_; }

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
};

TScreen& Screen();

}  // namespace ui
