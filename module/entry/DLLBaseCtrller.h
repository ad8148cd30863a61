// The contract between a launcher and this module.
//
// The module's shared library exports one function with C linkage:
//
//     TDLLBaseController* GetController();
//
// Every call makes a new controller; the launcher owns it and frees it with `delete`. The
// launcher writes `Manager` (the work-center manager, a late-bound object) and `OnEvent` (its
// event handler), calls CreateForm with the context array, then drives the form through the
// virtual operations below. Their order is their place in the table of virtual operations
// and is fixed: a launcher built against this header calls them by position, after those of
// the root object class (its virtual destructor and class information).
//
// Events delivered through OnEvent (code, controller):
//   256 the form was created (before its start-up)   272 the form was shown
//   288 the form was hidden                          304 the form is being destroyed
//                                                        (ResultCode/ResultValue filled)
//   320 notification (only when the launcher calls DoFormNotify)
//
// Results: 0 success, -1 failure. Booleans cross as 16-bit values, -1 true and 0 false.
// ResultCode: 0 nothing done, 1 a request was accepted (ResultValue holds its number as a
// wide string), 2 the user cancelled.
//
// Exceptions: GetController and CreateForm let internal errors through as rtl::Exception
// (both sides are built with the same compiler); every other operation answers instead.
#pragma once

#include <cstdint>
#include <string>

#include "platform/rtl/Variants.h"
#include "platform/ui/TypInfo.h"

inline constexpr int32_t kEventFormCreate = 0x100;
inline constexpr int32_t kEventFormShow = 0x110;
inline constexpr int32_t kEventFormHide = 0x120;
inline constexpr int32_t kEventFormDestroy = 0x130;
inline constexpr int32_t kEventFormNotify = 0x140;

using TWordBool = int16_t;  // -1 true, 0 false

class TDLLBaseController;
using TDLLEvent = ui::TEvent<int32_t, TDLLBaseController*>;

// Derives from the root object class: its destructor is the root's virtual destructor, and the
// controller is the sender of the events it passes on.
class TDLLBaseController : public ui::TObject {
public:
    TDLLBaseController() = default;
    TDLLBaseController(const TDLLBaseController&) = delete;
    TDLLBaseController& operator=(const TDLLBaseController&) = delete;

    rtl::Variant Manager;      // written by the launcher before CreateForm
    int32_t ResultCode = 0;    // the last destroyed form's outcome
    rtl::Variant ResultValue;  // its reply text, as a wide string; empty when none
    TDLLEvent OnEvent;         // the launcher's handler; unassigned: no events

    // The first eleven are abstract here: on the bare base they raise the platform's
    // abstract-operation error.
    virtual std::u16string GetVersion();                                                   // 1
    virtual TWordBool GetVisible();                                                        // 2
    virtual void SetVisible(TWordBool value);                                              // 3
    virtual uintptr_t GetHandle();                                                         // 4
    virtual int32_t CreateForm(const rtl::Variant& params);                                // 5
    virtual int32_t UpdateParams(const rtl::Variant& params);                              // 6
    virtual int32_t ExecCommand(int32_t command, int32_t reserved, const rtl::Variant& value);  // 7
    virtual rtl::Variant ShowModal();                                                      // 8
    virtual void FreeForm();                                                               // 9
    virtual int32_t GetFormInfo(rtl::Variant& info);                                       // 10
    virtual TWordBool FormFreed();                                                         // 11
    virtual void DoFormCreate(ui::TObject* sender);                                        // 12
    virtual void DoFormShow(ui::TObject* sender);                                          // 13
    virtual void DoFormHide(ui::TObject* sender);                                          // 14
    virtual void DoFormDestroy(ui::TObject* sender);                                       // 15
    virtual void DoFormNotify();                                                           // 16
    virtual void DoEvent(int32_t code);                                                    // 17
    virtual void Reserved();                                                               // 18
    ~TDLLBaseController() override;
};

// The platform's abstract-operation error.
class EAbstractError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EAbstractError"; }
};

using GetControllerFn = TDLLBaseController* (*)();
