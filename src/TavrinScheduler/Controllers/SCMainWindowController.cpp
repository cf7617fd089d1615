#include "SCMainWindowController.h"

#include "EventReceiver.h"
#include "PreferencesArguments.h"
#include "SCCustorixWindowController.h"
#include "SCDefragWindowController.h"
#include "SCLocalizedString.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCOmbrixWindowController.h"
#include "SCProductPaths.h"
#include "SCRenovixWindowController.h"
#include "SCStringKeys.h"
#include "SCTableColumns.h"
#include "SCTaskDataModel.h"
#include "SCTaskDataSource.h"
#include "SCWindowFrame.h"
#include "ui_MainWindow.h"
#include "ui_NewTaskSheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

namespace {

// Keeps a push button in step with the action it stands for.
void bindButton(QPushButton* button, QAction* action) {
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    button->setEnabled(action->isEnabled());
}

} // namespace

SCMainWindowController::SCMainWindowController(QorEventReceiver* receiver, QWidget* parent)
    : QMainWindow(parent), mReceiver(receiver), mTerminate([] { QCoreApplication::quit(); }) {
    verifyAlias();

    Ui::MainWindow form;
    form.setupUi(this);
    mTaskTable = form.taskTable;
    mNewButton = form.newButton;
    mEditButton = form.editButton;
    mDeleteButton = form.deleteButton;
    mTaskCount = form.taskCount;
    mNewAction = form.actionNewTask;
    mEditAction = form.actionEditTask;
    mDeleteAction = form.actionDeleteTask;
    mSaveMenuItem = form.actionSave;
    mResetMenuItem = form.actionResetTasks;
    setWindowIcon(QIcon(QStringLiteral(":/icons/TavrinScheduler.svg")));

    connect(mNewAction, &QAction::triggered, this, &SCMainWindowController::newTask);
    connect(mEditAction, &QAction::triggered, this, &SCMainWindowController::editTask);
    connect(mDeleteAction, &QAction::triggered, this, &SCMainWindowController::deleteTask);
    connect(mSaveMenuItem, &QAction::triggered, this, [this] {
        if (mEditTaskController) {
            mEditTaskController->doSave();
        }
    });
    connect(mResetMenuItem, &QAction::triggered, this,
            [this] { mDataSource->resetDefaults(this); });
    connect(form.actionClose, &QAction::triggered, this, [this] {
        QWidget* active = QApplication::activeWindow();
        (active ? active : this)->close();
    });
    connect(form.actionQuit, &QAction::triggered, this, &SCMainWindowController::attemptQuit);
    connect(form.actionAbout, &QAction::triggered, this, &SCMainWindowController::showAbout);
    bindButton(mNewButton, mNewAction);
    bindButton(mEditButton, mEditAction);
    bindButton(mDeleteButton, mDeleteAction);

    mDataSource = new SCTaskDataSource(SCTaskDataSource::Access::ReadWrite, this);
    mDataSource->attachToTable(mTaskTable);
    connect(mDataSource, &SCTaskDataSource::enabledSwitchClicked, this,
            &SCMainWindowController::onOff);
    connect(mDataSource, &SCTaskDataSource::crontabSaveFailed, this,
            &SCMainWindowController::showCrontabFailedSheet);
    mTerminateAtOnce = mDataSource->awakeFromNib();

    setUpNewTaskSheet();
    awakeFromNib();
    if (auto* viewMenu = form.viewMenu) {
        viewMenu->addAction(mToolbar->toggleViewAction());
    }
}

SCMainWindowController::~SCMainWindowController() {
    SCNotificationCenter::defaultCenter().removeObserver(this);
    if (mReceiver) {
        for (AEEventID id : kSCBringForwardIDs) {
            mReceiver->RemoveHandler(kSCBringForwardClass, id);
        }
    }
    delete mEditTaskController.data();
}

void SCMainWindowController::awakeFromNib() {
    setupToolbar();
    // The window is not shown yet: the toolbar's own setting is what counts.
    const bool shown = !mToolbar->isHidden();
    if (QorUserDefaults().BoolForKey(kToolbarVisibleKey) != shown) {
        mToolbar->setVisible(!shown);
    }

    mNewAction->setEnabled(true);
    mEditAction->setEnabled(false);
    mDeleteAction->setEnabled(false);

    connect(mTaskTable, &QTableView::doubleClicked, this, &SCMainWindowController::editTask);
    restoreTableColumns();

    if (mReceiver) {
        for (AEEventID id : kSCBringForwardIDs) {
            mReceiver->InstallHandler(kSCBringForwardClass, id,
                                      [this](const AppleEvent& event) { myHandler(event); });
        }
    }

    mEditTaskController = nullptr;
    mSaveMenuItem->setEnabled(false);

    SCNotificationCenter& center = SCNotificationCenter::defaultCenter();
    center.addObserver(this, &SCMainWindowController::updateDisplay, AddRowNotification);
    center.addObserver(this, &SCMainWindowController::changeButtons, EditButtonNotification);
    connect(mTaskTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SCMainWindowController::selectionChanged);
    // A model reset clears the selection without saying so.
    connect(mDataSource, &QAbstractItemModel::modelReset, this,
            &SCMainWindowController::selectionChanged);
    connect(mDataSource, &QAbstractItemModel::modelReset, this,
            &SCMainWindowController::updateTaskCount);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &SCMainWindowController::savePosition);

    if (mDataSource->rowCount() > 1) {
        mTaskTable->scrollTo(mDataSource->index(1, 0));
    }
    if (mDataSource->rowCount() > 0) {
        mTaskTable->selectRow(0);
    }
    selectionChanged();
    updateTaskCount();

    (void)SCRestoreWindowFrame(this, QLatin1String(kMainWindowFrameName));
}

void SCMainWindowController::applicationDidFinishLaunching() {
    mTaskTable->viewport()->update();
}

// --- Toolbar -------------------------------------------------------------------------------

QStringList SCMainWindowController::toolbarDefaultItemIdentifiers() {
    return {kTextItemIdentifier, kOmbrixItemIdentifier, kRenovixItemIdentifier,
            kCustorixItemIdentifier, kDensorItemIdentifier};
}

QStringList SCMainWindowController::toolbarAllowedItemIdentifiers() {
    return {kTextItemIdentifier,    kCustorixItemIdentifier, kOmbrixItemIdentifier,
            kRenovixItemIdentifier, kDensorItemIdentifier,   QStringLiteral("Separator")};
}

void SCMainWindowController::setupToolbar() {
    mToolbar = new QToolBar(tr("Toolbar"), this);
    mToolbar->setObjectName(QLatin1String(kSchedulerToolbarIdentifier));
    mToolbar->setMovable(false);
    mToolbar->setFloatable(false);
    mToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    mToolbar->setIconSize(QSize(32, 32));
    addToolBar(Qt::TopToolBarArea, mToolbar);

    mToolbarText = new QLabel(tr("Schedule a task:"), mToolbar);
    mToolbarText->setMargin(6);
    mToolbarText->setMinimumWidth(130);
    mToolbarText->setMaximumWidth(215);
    QAction* text = mToolbar->addWidget(mToolbarText);
    text->setObjectName(QLatin1String(kTextItemIdentifier));
    mToolbar->addSeparator();

    mItemCount = 0;
    if (gScanExecPath) {
        addProductItem(kOmbrixItemIdentifier, SCLocalizedString(kSCOmbrixScanKey),
                       tr("New Ombrix Scan Task…"), tr("Click to schedule an Ombrix scan."),
                       QStringLiteral(":/icons/omb_app_icon.svg"),
                       &SCMainWindowController::ombrixWindow);
    }
    if (gRenovixExecPath) {
        addProductItem(
            kRenovixItemIdentifier, SCLocalizedString(kSCProductUpdateKey),
            tr("New Product Update Task…"), tr("Click to schedule a Tavrin product update."),
            QStringLiteral(":/icons/RV_app_icon.svg"), &SCMainWindowController::renovixWindow);
    }
    if (gDiskmateExecPath) {
        addProductItem(
            kCustorixItemIdentifier, SCLocalizedString(kSCCustorixSnapshotKey),
            tr("New Custorix Snapshot Task…"), tr("Click to schedule a Custorix Snapshot task."),
            QStringLiteral(":/icons/CX_app_icon.svg"), &SCMainWindowController::custorixWindow);
    }
    if (gDensorExecPath) {
        addProductItem(
            kDensorItemIdentifier, SCLocalizedString(kSCDefragmentFilesKey),
            tr("New Defragmentation Task…"), tr("Click to schedule volume defragmentation."),
            QStringLiteral(":/icons/DN_app_icon.svg"), &SCMainWindowController::defragWindow);
    }
}

void SCMainWindowController::addProductItem(const char* identifier, const QString& label,
                                            const QString& menuText, const QString& toolTip,
                                            const QString& icon,
                                            void (SCMainWindowController::*action)()) {
    auto* item = new QAction(QIcon(icon), menuText, this);
    item->setObjectName(QLatin1String(identifier));
    item->setIconText(label);
    item->setToolTip(toolTip);
    item->setStatusTip(toolTip);
    connect(item, &QAction::triggered, this, action);
    mToolbar->addAction(item);
    mToolbar->addSeparator();
    ++mItemCount;
    // The same choices in the file menu, after New Task.
    if (QMenu* fileMenu = findChild<QMenu*>(QStringLiteral("fileMenu"))) {
        const QList<QAction*> actions = fileMenu->actions();
        const qsizetype next = actions.indexOf(mNewAction) + mItemCount;
        fileMenu->insertAction(next < actions.size() ? actions.at(next) : nullptr, item);
    }
}

// --- Editors -------------------------------------------------------------------------------

template <class Editor>
void SCMainWindowController::openEditor(std::shared_ptr<SCTaskDataModel> task) {
    if (mEditTaskController) {
        return;
    }
    const QString execPath = task ? task->mExecPath() : QString();
    mEditTaskController =
        Editor::sharedInfoWindowControllerWithTable(mTaskTable, std::move(task), this);
    if (mEditTaskController && !execPath.isNull()) {
        mEditTaskController->setmExecPath(execPath);
    }
    setupAndStartEditTask();
}

void SCMainWindowController::ombrixWindow() {
    openEditor<SCOmbrixWindowController>(nullptr);
}

void SCMainWindowController::custorixWindow() {
    openEditor<SCCustorixWindowController>(nullptr);
}

void SCMainWindowController::renovixWindow() {
    openEditor<SCRenovixWindowController>(nullptr);
}

void SCMainWindowController::defragWindow() {
    openEditor<SCDefragWindowController>(nullptr);
}

std::shared_ptr<SCTaskDataModel> SCMainWindowController::selectedRow() const {
    const QModelIndexList rows = mTaskTable->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return nullptr;
    }
    const auto& entries = mDataSource->cronEntries();
    const size_t row = size_t(rows.first().row());
    return row < entries.size() ? entries[row] : nullptr;
}

void SCMainWindowController::editTask() {
    std::shared_ptr<SCTaskDataModel> row = selectedRow();
    if (!row || mEditTaskController) {
        return;
    }
    const QString& path = row->mExecPath();
    if (SCIsProductPath(gDiskmateExecPath, path)) {
        openEditor<SCCustorixWindowController>(row);
    } else if (SCIsProductPath(gScanExecPath, path)) {
        openEditor<SCOmbrixWindowController>(row);
    } else if (SCIsProductPath(gRenovixExecPath, path)) {
        openEditor<SCRenovixWindowController>(row);
    } else if (SCIsProductPath(gDensorExecPath, path)) {
        openEditor<SCDefragWindowController>(row);
    }
}

void SCMainWindowController::setupAndStartEditTask() {
    if (!mEditTaskController) {
        return;
    }
    mNewAction->setEnabled(false);
    mEditAction->setEnabled(false);
    mDeleteAction->setEnabled(false);
    // Resetting deletes every task, the one being edited too.
    mResetMenuItem->setEnabled(false);
    mSaveMenuItem->setEnabled(true);
    mEditTaskController->show();
    mEditTaskController->raise();
    mEditTaskController->activateWindow();
}

// --- Notifications -------------------------------------------------------------------------

void SCMainWindowController::changeButtons(const SCNotification& notification) {
    if (mEditTaskController && notification.object == mEditTaskController.data()) {
        mSaveMenuItem->setEnabled(false);
        // The editor may still be inside the call that posted this.
        mEditTaskController->deleteLater();
        mEditTaskController = nullptr;
        mResetMenuItem->setEnabled(true);
    }
    if (mNewAction->isEnabled()) {
        mNewAction->setEnabled(false);
    } else if (!mEditTaskController) {
        mNewAction->setEnabled(true);
    }
    const bool rowSelected = mTaskTable->selectionModel()->hasSelection();
    for (QAction* action : {mEditAction, mDeleteAction}) {
        if (action->isEnabled()) {
            action->setEnabled(false);
        } else if (!mEditTaskController && rowSelected) {
            action->setEnabled(true);
        }
    }
}

void SCMainWindowController::selectionChanged() {
    const bool rowSelected = mTaskTable->selectionModel()->hasSelection();
    if (rowSelected && mEditTaskController) {
        return;
    }
    mEditAction->setEnabled(rowSelected);
    mDeleteAction->setEnabled(rowSelected);
}

void SCMainWindowController::updateDisplay(const SCNotification&) {
    if (!mDataSource->mLastColumnSort().isEmpty()) {
        (void)mDataSource->sortTable(mTaskTable, mDataSource->mLastColumnSort());
    }
    mTaskTable->viewport()->update();
    if (mDataSource->mSortHasBeenDone()) {
        mTaskTable->clearSelection();
    }
    updateTaskCount();
}

void SCMainWindowController::updateTaskCount() {
    mTaskCount->setText(tr("Tasks: %1").arg(mDataSource->rowCount()));
}

void SCMainWindowController::savePosition() {
    SCSaveWindowFrame(this, QLatin1String(kMainWindowFrameName));
    QorUserDefaults defaults;
    defaults.SetString(std::string("NSTableView Columns ") + kTableAutosaveName,
                       mTaskTable->horizontalHeader()->saveState().toBase64().toStdString());
    (void)defaults.Synchronize();
}

void SCMainWindowController::restoreTableColumns() {
    QHeaderView* header = mTaskTable->horizontalHeader();
    header->setSectionResizeMode(kSCEnabledColumn, QHeaderView::Fixed);
    header->resizeSection(kSCEnabledColumn, 34);
    header->resizeSection(kSCNameColumn, 190);
    header->resizeSection(kSCTaskNameColumn, 230);
    header->resizeSection(kSCFrequencyColumn, 100);
    mTaskTable->verticalHeader()->setDefaultSectionSize(mTaskTable->fontMetrics().height() + 10);
    const std::optional<std::string> saved =
        QorUserDefaults().StringForKey(std::string("NSTableView Columns ") + kTableAutosaveName);
    if (saved) {
        (void)header->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(*saved)));
    }
}

// --- Events --------------------------------------------------------------------------------

void SCMainWindowController::myHandler(const AppleEvent&) {
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
    emit broughtForward();
}

void SCMainWindowController::closeEvent(QCloseEvent* event) {
    // Ending the application closes every window; by then the question has been asked.
    if (mTerminating) {
        event->accept();
        return;
    }
    attemptQuit();
    event->ignore();
}

void SCMainWindowController::terminate() {
    // The user chose to quit: the editor goes without asking again, and the windows close.
    mTerminating = true;
    delete mEditTaskController.data();
    mEditTaskController = nullptr;
    if (mTerminate) {
        mTerminate();
    }
    mTerminating = false;
}

void SCMainWindowController::showAbout() {
    auto* box = new QMessageBox(QMessageBox::NoIcon, tr("About Tavrin Scheduler"),
                                tr("Tavrin Scheduler"), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIconPixmap(windowIcon().pixmap(64, 64));
    box->setInformativeText(tr("Schedules scans, updates, snapshots and defragmentation of the "
                               "Tavrin products. Your tasks are kept in your crontab."));
    box->open();
}
