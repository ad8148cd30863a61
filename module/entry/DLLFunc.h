// The module's export and its two registration variables (class references).
#pragma once

#include "DLLBaseCtrller.h"

namespace ui {
class TComponent;
}
class TfrmBaseGene;

// Makes a controller of the registered class.
using TDLLControllerClass = TDLLBaseController* (*)();
// Makes (and completes) a form of the registered class with the given owner.
using TfrmBaseBatchClass = TfrmBaseGene* (*)(ui::TComponent* owner);

extern TDLLControllerClass DLLControllerClass;
extern TfrmBaseBatchClass frmBaseBatchClass;

extern "C" __attribute__((visibility("default"))) TDLLBaseController* GetController();
