// The main window's work on tasks: the new-task sheet, the enabled check box, deleting, and
// quitting while an edit is in progress.

#include "CrontabTasks.h"
#include "PreferencesArguments.h"
#include "QorScheduleErr.h"
#include "SCLocalizedString.h"
#include "SCMainWindowController.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCProductPaths.h"
#include "SCSheet.h"
#include "SCStringKeys.h"
#include "SCTaskDataModel.h"
#include "SCTaskDataSource.h"
#include "SCWindowControllerBase.h"
#include "ui_NewTaskSheet.h"

#include <QLabel>
#include <QLayout>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include <vector>

void SCMainWindowController::setUpNewTaskSheet() {
    mNewTaskSheet = new QDialog(this);
    Ui::NewTaskSheet form;
    form.setupUi(mNewTaskSheet);
    mNewTaskSheet->setWindowModality(Qt::WindowModal);
    mNewOMButton = form.newOMButton;
    mNewOMLabel = form.newOMLabel;
    mNewRVButton = form.newRVButton;
    mNewRVLabel = form.newRVLabel;
    mNewCXButton = form.newCXButton;
    mNewCXLabel = form.newCXLabel;
    mNewDNButton = form.newDNButton;
    mNewDNLabel = form.newDNLabel;

    struct Choice {
        QToolButton* button;
        QLabel* label;
        const char* key;
        const char* icon;
        void (SCMainWindowController::*action)();
    };
    const Choice choices[] = {
        {mNewOMButton, mNewOMLabel, kSCOmbrixScanKey, ":/icons/omb_app_icon.svg",
         &SCMainWindowController::newOBTask},
        {mNewRVButton, mNewRVLabel, kSCProductUpdateKey, ":/icons/RV_app_icon.svg",
         &SCMainWindowController::newRVTask},
        {mNewCXButton, mNewCXLabel, kSCCustorixSnapshotKey, ":/icons/CX_app_icon.svg",
         &SCMainWindowController::newCXTask},
        {mNewDNButton, mNewDNLabel, kSCDefragmentFilesKey, ":/icons/DN_app_icon.svg",
         &SCMainWindowController::newDNTask},
    };
    for (const Choice& choice : choices) {
        choice.button->setIcon(QIcon(QLatin1String(choice.icon)));
        choice.button->setToolTip(SCLocalizedString(choice.key));
        choice.label->setText(SCLocalizedString(choice.key));
        connect(choice.button, &QToolButton::clicked, this, choice.action);
    }
    connect(form.cancelNewTaskButton, &QPushButton::clicked, this,
            &SCMainWindowController::cancelNewTask);
    connect(mNewTaskSheet, &QDialog::rejected, this, [this] { mNewTaskSheet->hide(); });
}

void SCMainWindowController::newTask() {
    struct Choice {
        QToolButton*& button;
        QLabel*& label;
        bool present;
    };
    std::vector<Choice> choices = {
        {mNewOMButton, mNewOMLabel, bool(gScanExecPath)},
        {mNewRVButton, mNewRVLabel, bool(gRenovixExecPath)},
        {mNewCXButton, mNewCXLabel, bool(gDiskmateExecPath)},
        {mNewDNButton, mNewDNLabel, bool(gDensorExecPath)},
    };
    bool anyMissing = false;
    for (Choice& choice : choices) {
        if (choice.present) {
            continue;
        }
        anyMissing = true;
        delete choice.button;
        choice.button = nullptr;
        delete choice.label;
        choice.label = nullptr;
    }
    if (anyMissing) {
        // The remaining buttons share the row evenly, each label under its button.
        std::vector<Choice*> remaining;
        for (Choice& choice : choices) {
            if (choice.button) {
                remaining.push_back(&choice);
            }
        }
        if (!remaining.empty()) {
            mNewTaskSheet->layout()->activate();
            QWidget* container = remaining.front()->button->parentWidget();
            const int n = int(remaining.size());
            const int containerWidth = container->width();
            const int buttonWidth = remaining.front()->button->width();
            const int gap = (containerWidth - n * buttonWidth) / (n + 1);
            for (int i = 0; i < n; ++i) {
                QToolButton* button = remaining[size_t(i)]->button;
                const int x = i * buttonWidth + (i + 1) * gap;
                const int dx = x - button->x();
                button->move(x, button->y());
                if (QLabel* label = remaining[size_t(i)]->label) {
                    label->move(label->x() + dx, label->y());
                }
            }
        }
    }
    mNewTaskSheet->open();
}

void SCMainWindowController::closeTheNewTaskSheet() {
    mNewTaskSheet->hide();
}

void SCMainWindowController::cancelNewTask() {
    closeTheNewTaskSheet();
}

void SCMainWindowController::newOBTask() {
    closeTheNewTaskSheet();
    ombrixWindow();
}

void SCMainWindowController::newRVTask() {
    closeTheNewTaskSheet();
    renovixWindow();
}

void SCMainWindowController::newCXTask() {
    closeTheNewTaskSheet();
    custorixWindow();
}

void SCMainWindowController::newDNTask() {
    closeTheNewTaskSheet();
    defragWindow();
}

void SCMainWindowController::onOff(int row) {
    const auto& rows = mDataSource->cronEntries();
    ZQorScheduledTaskArray* block = mDataSource->cronArray();
    if (row < 0 || size_t(row) >= rows.size() || !block) {
        return;
    }
    const SCTaskDataModel& clicked = *rows[size_t(row)];
    SetTaskEnabled(clicked.mTask(), clicked.mEnabled() == 0 ? 1 : 0);
    const int32_t status = SaveCrontabTasks(block);
    if (status != 0) {
        showCrontabFailedSheet(status);
    }
    mTaskTable->viewport()->update();
}

void SCMainWindowController::deleteTask() {
    mRowToDelete = selectedRow();
    if (!mRowToDelete) {
        return;
    }
    SCBeginSheet(this,
                 {tr("Delete Task"), tr("Don't Delete"), tr("Delete"), QString(),
                  tr("Are you sure you want to delete this task?")},
                 [this](int returnCode) { didEndShouldCloseSheet(returnCode); });
}

void SCMainWindowController::didEndShouldCloseSheet(int returnCode) {
    std::shared_ptr<SCTaskDataModel> row = std::move(mRowToDelete);
    mRowToDelete.reset();
    ZQorScheduledTaskArray* block = mDataSource->cronArray();
    if (returnCode != kSCSheetAlternateReturn || !row || !block) {
        return;
    }
    RemoveScheduledTask(row->mTask());
    const int32_t status = SaveCrontabTasks(block);
    SCNotificationCenter::defaultCenter().post(AddRowNotification);
    if (status != 0) {
        showCrontabFailedSheet(status);
    }
}

void SCMainWindowController::showCrontabFailedSheet(int32_t status) {
    // A change and the retry of the data source can fail together; one sheet says it.
    if (mCrontabSheetUp) {
        return;
    }
    mCrontabSheetUp = true;
    QString said = QString::fromStdString(QorLastCrontabMessage()).trimmed();
    if (said.isEmpty()) {
        said = tr("error %1").arg(status);
    }
    SCBeginSheet(this,
                 {tr("Your crontab could not be written."), tr("OK"), QString(), QString(),
                  tr("The change is shown here but is not in your crontab yet (%1). It is "
                     "written with your next change, or when you quit.")
                      .arg(said)},
                 [this](int) { mCrontabSheetUp = false; });
}

void SCMainWindowController::attemptQuit() {
    QorUserDefaults defaults;
    defaults.SetBool(kToolbarVisibleKey, !mToolbar->isHidden());
    (void)defaults.Synchronize();
    if (!mEditTaskController || !mEditTaskController->shouldDisplaySavePrompt()) {
        terminate();
        return;
    }
    SCBeginSheet(this,
                 {tr("Task Editing in Progress"), tr("Cancel"), tr("Quit Without Saving"),
                  QString(), tr("Are you sure you want to quit without saving?")},
                 [this](int returnCode) { didEndShouldQuitSheet(returnCode); });
}

void SCMainWindowController::didEndShouldQuitSheet(int returnCode) {
    if (returnCode == kSCSheetAlternateReturn) {
        terminate();
    } else if (mEditTaskController) {
        mEditTaskController->raise();
        mEditTaskController->activateWindow();
    }
}
