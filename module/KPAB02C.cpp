// The library's main block: the module's form class is registered when the library is loaded.
#include "entry/DLLFunc.h"
#include "forms/batch/Kpab02CF.h"

namespace {

TfrmBaseGene* NewKpab02Form(ui::TComponent* owner) { return ui::CreateForm<TfrmKpab02>(owner); }

[[maybe_unused]] const bool registered = (frmBaseBatchClass = &NewKpab02Form, true);

}  // namespace
