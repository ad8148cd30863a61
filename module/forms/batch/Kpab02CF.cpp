#include "Kpab02CF.h"

#include "platform/data/SConnect.h"

const ui::ClassInfo& TfrmKpab02::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TfrmKpab02>("TfrmKpab02", &TfrmBaseGene::StaticClassInfo()).Build();
    return info;
}

TfrmKpab02::TfrmKpab02(ui::TComponent* owner) : TfrmBaseGene(owner) { SetName("frmKpab02"); }

void TfrmKpab02::SetProgramDefaults() {
    TfrmBaseGene::SetProgramDefaults();
    SetOptionCount(1);
}

void TfrmKpab02::BeforeServerConnect(data::TSocketConnection* connection) {
    TfrmBaseGene::BeforeServerConnect(connection);
    connection->SetServerName(kReportServerProgID);
}
