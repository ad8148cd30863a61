// The controller of a program's server library ("<ProgramID>S.DLL", the file <ProgramID>S.so).
//
// The library exports, with C linkage,
//
//   appserver::SvrController* GetSvrController();
//
// answering a new controller (or nullptr when it cannot make one). The caller calls Execute
// with the parameter array, then LastError, then deletes the controller, then unloads the
// library. Execute raises (any std::exception) when the job failed; LastError then tells why.
// Both sides are built with the same compiler, so the exception and the variant cross the
// library boundary intact.
//
// Parameter array, bounds 0..11, for a program kind other than "B":
//   0 job number, 1 a text (empty), 2 company code, 3 user code, 4 database name,
//   5 option values, 6 an integer (1), 7 upper-case program kind, 8 sub-job number,
//   9 product code, 10 option labels were put (Boolean), 11 interface code page
// and, bounds 0..6, for program kind "B":
//   0 job number, 1 company code, 2 user code, 3 option values, 4 database name,
//   5 sub-job number, 6 product code.
//
// The order of the virtual operations is part of the contract: the callers reach LastError
// and Execute as the third and fourth, whatever they are named on their side.
#pragma once

#include <string>

#include "platform/rtl/Variants.h"

namespace appserver {

class SvrController {
public:
    virtual void Reserved1() {}
    virtual void Reserved2() {}
    // The text of the last failure; empty after a run without one.
    virtual std::u16string LastError() = 0;
    virtual void Execute(const rtl::Variant& params) = 0;
    virtual ~SvrController() = default;
};

using GetSvrControllerProc = SvrController* (*)();
inline constexpr const char* kGetSvrControllerExport = "GetSvrController";

}  // namespace appserver
