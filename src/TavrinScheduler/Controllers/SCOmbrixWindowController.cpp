#include "SCOmbrixWindowController.h"

#include "FourCharCode.h"
#include "SCLocalizedString.h"
#include "SCProductPaths.h"
#include "SCScanTargetEventData.h"
#include "SCScanTargetPanel.h"
#include "SCSheet.h"
#include "SCStringKeys.h"
#include "SCTaskDataModel.h"
#include "XDragFileTxtFldFormNoNetwork.h"
#include "XVolumeQueries.h"

#include <QFileInfo>
#include <QPushButton>

SCOmbrixWindowController* SCOmbrixWindowController::sharedInfoWindowControllerWithTable(
    QTableView* table, std::shared_ptr<SCTaskDataModel> task, QWidget* parent) {
    return sharedEditor<SCOmbrixWindowController>(table, std::move(task),
                                                  SCLocalizedString(kSCOmbrixScanKey), parent);
}

SCOmbrixWindowController::SCOmbrixWindowController(QWidget* parent)
    : SCWindowControllerBase(parent) {}

bool SCOmbrixWindowController::init() {
    if (!initWithModuleName(QStringLiteral("Ombrix")) || !mScanSelection) {
        return false;
    }
    setProductIcon(QStringLiteral(":/icons/omb_app_icon.svg"));
    return true;
}

void SCOmbrixWindowController::awakeFromNib() {
    mScanSelection = findChild<XDragFileTxtFldFormNoNetwork*>(QStringLiteral("scanSelection"));
    if (mScanSelection) {
        mNoSelectionString = mScanSelection->stringValue();
    }
    if (auto* choose = findChild<QPushButton*>(QStringLiteral("chooseButton"))) {
        connect(choose, &QPushButton::clicked, this, &SCOmbrixWindowController::chooseFolderFile);
    }
    SCWindowControllerBase::awakeFromNib();
}

QString SCOmbrixWindowController::eventDataFromPathName(const QString& path) {
    return ::eventDataFromPathName(path);
}

QString SCOmbrixWindowController::pathFromEventData(const QString& eventData) {
    return ::pathFromEventData(eventData);
}

void SCOmbrixWindowController::chooseFolderFile() {
    if (mPanel) {
        mPanel->raise();
        return;
    }
    mPanel = new SCScanTargetPanel(this, panelShouldShowFilename, panelIsValidFilename);
    mPanel->setAttribute(Qt::WA_DeleteOnClose);
    mPanel->setWindowTitle(tr("Select a scan target:"));
    mPanel->setLabelText(QFileDialog::Accept, tr("Select"));
    mPanel->setDirectory(QStringLiteral("/"));
    mPanel->setWindowModality(Qt::WindowModal);
    connect(mPanel, &QDialog::accepted, this, [this] {
        if (mPanel && mScanSelection) {
            mScanSelection->setStringValue(mPanel->chosenPath());
        }
    });
    mPanel->open();
}

bool SCOmbrixWindowController::panelShouldShowFilename(const QString& path) {
    return XDragFileTxtFldFormNoNetwork::isLocalFile(path);
}

bool SCOmbrixWindowController::panelIsValidFilename(const QString& path) {
    return QFileInfo::exists(path) && !XCurrentVolumeQueries().isMediaFolder(path);
}

bool SCOmbrixWindowController::isEventDataValid() {
    const QString target = mScanSelection->stringValue();
    if (target == mNoSelectionString) {
        beginSheet({tr("No Scan Selection made."), tr("Select"), tr("Don't Save"), QString(),
                    tr("You must select something to scan.")},
                   [this](int returnCode) { didEndCloseNoSelectionSheet(returnCode); });
        return false;
    }
    if (!SCCanStoreScanPath(target)) {
        // The target goes into the crontab line that the shell runs; a path that does not fit
        // or that the shell or cron would read as something else is never written.
        const bool tooLong = target.toUtf8().size() > kSCMaxScanPathBytes;
        beginSheet({tooLong ? tr("The scan target's path is too long.")
                            : tr("The scan target cannot be scheduled."),
                    tr("OK"), QString(), QString(),
                    tooLong
                        ? tr("Choose a disk, folder or file with a shorter path.")
                        : tr("Its path contains a character that cannot be stored safely in the "
                             "crontab: a double quote, a dollar sign, a backquote, a backslash, a "
                             "percent sign or a control character. Choose another disk, folder or "
                             "file, or rename it.")},
                   [this](int) { mScanSelection->setFocus(Qt::OtherFocusReason); });
        return false;
    }
    return true;
}

void SCOmbrixWindowController::didEndCloseNoSelectionSheet(int returnCode) {
    if (returnCode == kSCSheetDefaultReturn) {
        chooseFolderFile();
    } else if (returnCode == kSCSheetAlternateReturn) {
        closeAndNotify();
    }
}

void SCOmbrixWindowController::populateFields() {
    SCWindowControllerBase::populateFields();
    if (existingTask()) {
        mScanSelection->setStringValue(pathFromEventData(existingTask()->mEventData()));
    }
}

int32_t SCOmbrixWindowController::saveTask() {
    const QString scanPath = gScanExecPath.value_or(QString());
    mAEClass = QorCode("SCae");
    mAEEventID = QorCode("OMsi");
    mEventType1 = 2;
    mEventType2 = -1;
    mCreator = 0;
    setmExecPath(scanPath);
    // The always-on component scans by itself; the command-line scanner is started with -n.
    mSchedArgs = scanPath.contains(QLatin1String("Wardline")) ? nullptr : "n";
    setmEventData(eventDataFromPathName(mScanSelection->stringValue()));
    return SCWindowControllerBase::saveTask();
}
