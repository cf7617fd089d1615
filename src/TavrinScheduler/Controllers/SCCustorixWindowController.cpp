#include "SCCustorixWindowController.h"

#include "FourCharCode.h"
#include "SCLocalizedString.h"
#include "SCProductPaths.h"
#include "SCStringKeys.h"
#include "SCUpdateEventData.h"

SCCustorixWindowController* SCCustorixWindowController::sharedInfoWindowControllerWithTable(
    QTableView* table, std::shared_ptr<SCTaskDataModel> task, QWidget* parent) {
    return sharedEditor<SCCustorixWindowController>(
        table, std::move(task), SCLocalizedString(kSCCustorixSnapshotKey), parent);
}

SCCustorixWindowController::SCCustorixWindowController(QWidget* parent)
    : SCWindowControllerBase(parent) {}

bool SCCustorixWindowController::init() {
    if (!initWithModuleName(QStringLiteral("Custorix"))) {
        return false;
    }
    setProductIcon(QStringLiteral(":/icons/CX_app_icon.svg"));
    return true;
}

int32_t SCCustorixWindowController::saveTask() {
    mAEClass = QorCode("aevt");
    mAEEventID = QorCode("oapp");
    mEventType1 = 3;
    mEventType2 = -1;
    mCreator = 0;
    setmExecPath(gDiskmateExecPath.value_or(QString()));
    mSchedArgs = nullptr;
    setmEventData(SCDefaultRunEventData());
    return SCWindowControllerBase::saveTask();
}
