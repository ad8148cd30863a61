#include "DLLFunc.h"

TDLLControllerClass DLLControllerClass = nullptr;
TfrmBaseBatchClass frmBaseBatchClass = nullptr;

extern "C" TDLLBaseController* GetController() {
    if (!DLLControllerClass) throw rtl::Exception("TGK DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    return DLLControllerClass();
}
