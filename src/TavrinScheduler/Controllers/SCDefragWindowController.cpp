#include "SCDefragWindowController.h"

#include "FourCharCode.h"
#include "SCLocalizedString.h"
#include "SCProductPaths.h"
#include "SCStringKeys.h"
#include "SCUpdateEventData.h"

SCDefragWindowController* SCDefragWindowController::sharedInfoWindowControllerWithTable(
    QTableView* table, std::shared_ptr<SCTaskDataModel> task, QWidget* parent) {
    return sharedEditor<SCDefragWindowController>(table, std::move(task),
                                                  SCLocalizedString(kSCDefragmentFilesKey), parent);
}

SCDefragWindowController::SCDefragWindowController(QWidget* parent)
    : SCWindowControllerBase(parent) {}

bool SCDefragWindowController::init() {
    if (!initWithModuleName(QStringLiteral("Defrag"))) {
        return false;
    }
    setProductIcon(QStringLiteral(":/icons/DN_app_icon.svg"));
    return true;
}

int32_t SCDefragWindowController::saveTask() {
    mAEClass = QorCode("aevt");
    mAEEventID = QorCode("oapp");
    mEventType1 = 4;
    mEventType2 = -1;
    mCreator = 0;
    setmExecPath(gDensorExecPath.value_or(QString()));
    mSchedArgs = nullptr;
    setmEventData(SCDefaultRunEventData());
    return SCWindowControllerBase::saveTask();
}
