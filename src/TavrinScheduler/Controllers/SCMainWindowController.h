#pragma once

#include "AppleEvents.h"
#include "SCWindowControllerBase.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QDialog;
class QLabel;
class QPushButton;
class QTableView;
class QToolBar;
class QToolButton;
class QorEventReceiver;
class SCTaskDataModel;
class SCTaskDataSource;
struct SCNotification;

/// Identifier of the main window's toolbar.
inline constexpr char kSchedulerToolbarIdentifier[] = "Scheduler Toolbar Identifier";
/// Identifiers of its items.
inline constexpr char kTextItemIdentifier[] = "Text Item Identifier";
inline constexpr char kOmbrixItemIdentifier[] = "Ombrix Item Identifier";
inline constexpr char kRenovixItemIdentifier[] = "Renovix Item Identifier";
inline constexpr char kCustorixItemIdentifier[] = "Custorix Item Identifier";
inline constexpr char kDensorItemIdentifier[] = "Densor Item Identifier";
/// User default that remembers whether the toolbar is shown.
inline constexpr char kToolbarVisibleKey[] = "ScheduleToobarIsVisible";
/// Names the main window's frame and its table's columns are saved under.
inline constexpr char kMainWindowFrameName[] = "Tavrin Scheduler";
inline constexpr char kTableAutosaveName[] = "tableInfo";
/// Where the application keeps a link to itself for the suite's other programs.
inline constexpr char kApplicationAliasFolder[] =
    "/Library/Application Support/Tavrin Solutions Support/Tavrin Application Aliases";
/// The events that bring the main window forward: class 'SCae', one ID per product.
inline constexpr AEEventClass kSCBringForwardClass = QorCode("SCae");
inline constexpr AEEventID kSCBringForwardIDs[] = {QorCode("SCob"), QorCode("SCcx"),
                                                   QorCode("SCrv"), QorCode("SCdn")};

/// The application's single window: the task table, New, Edit and Delete, a toolbar with one
/// item per installed product, and the sheet that chooses the kind of a new task. It opens at
/// most one task editor at a time and keeps its buttons in step with it, toggles a task's
/// enabled flag from the table, deletes tasks after asking, comes forward when another program
/// asks for it by event, and asks before quitting while an edit is unsaved.
///
/// Its actions are shared by the menus, the toolbar and the buttons.
class SCMainWindowController : public QMainWindow {
    Q_OBJECT

public:
    /// Builds the window, its task table and data source. Events arrive through receiver
    /// (may be null: none then).
    explicit SCMainWindowController(QorEventReceiver* receiver = nullptr,
                                    QWidget* parent = nullptr);
    ~SCMainWindowController() override;

    /// The data source found the application started as a one-shot tool ("setDefaultTasks"):
    /// its work is done and the application must end without showing the window.
    bool shouldTerminateAtOnce() const { return mTerminateAtOnce; }
    /// The application runs: reloads the table.
    void applicationDidFinishLaunching();

    SCWindowControllerBase* editTaskController() const { return mEditTaskController; }
    QTableView* taskTable() const { return mTaskTable; }
    SCTaskDataSource* dataSource() const { return mDataSource; }
    QToolBar* toolbar() const { return mToolbar; }
    QPushButton* newButton() const { return mNewButton; }
    QPushButton* editButton() const { return mEditButton; }
    QPushButton* deleteButton() const { return mDeleteButton; }
    QAction* saveMenuItem() const { return mSaveMenuItem; }
    QAction* resetMenuItem() const { return mResetMenuItem; }
    QDialog* newTaskSheet() const { return mNewTaskSheet; }
    /// Number of product items in the toolbar.
    int itemCount() const { return mItemCount; }

    // Toolbar.
    void setupToolbar();
    static QStringList toolbarDefaultItemIdentifiers();
    static QStringList toolbarAllowedItemIdentifiers();

    // Editors: each opens one for a new task, unless an editor is open.
    void ombrixWindow();
    void custorixWindow();
    void renovixWindow();
    void defragWindow();
    /// Opens the editor of the selected task (also a double click on a row).
    void editTask();
    void setupAndStartEditTask();

    // The new-task sheet.
    void newTask();
    void newOBTask();
    void newCXTask();
    void newRVTask();
    void newDNTask();
    void cancelNewTask();
    void closeTheNewTaskSheet();

    // Table.
    /// The check box of row was clicked: the task's enabled flag becomes the opposite of what
    /// the row showed before the click, and the crontab is written.
    void onOff(int row);
    /// Asks whether to delete the selected task.
    void deleteTask();
    /// The end of that sheet.
    void didEndShouldCloseSheet(int returnCode);

    // Notifications.
    void updateDisplay(const SCNotification& notification);
    void changeButtons(const SCNotification& notification);
    void selectionChanged();
    void savePosition();

    // Quitting.
    /// Remembers the toolbar's visibility and ends the application, after asking when an
    /// editor holds unsaved changes.
    void attemptQuit();
    void didEndShouldQuitSheet(int returnCode);
    /// What ending the application does (QCoreApplication::quit by default).
    void setTerminateHandler(std::function<void()> handler) { mTerminate = std::move(handler); }

    /// An event of class 'SCae' arrived: the window comes forward.
    void myHandler(const AppleEvent& event);
    /// Keeps the link to the running application bundle in the alias folder.
    void verifyAlias();
    /// The same for a given bundle: 0, or the errno of the step that failed (ENOENT when the
    /// alias folder does not exist).
    static int verifyAliasForBundle(const QString& bundlePath);
    /// The bundle (".app" folder) the running program lives in, or null.
    static QString applicationBundlePath();

signals:
    /// The window was brought forward by an event.
    void broughtForward();

protected:
    /// The close box quits the application (after asking); the window itself never closes.
    void closeEvent(QCloseEvent* event) override;

private:
    void awakeFromNib();
    template <class Editor> void openEditor(std::shared_ptr<SCTaskDataModel> task);
    std::shared_ptr<SCTaskDataModel> selectedRow() const;
    void terminate();
    void showCrontabFailedSheet(int32_t status);
    void addProductItem(const char* identifier, const QString& label, const QString& menuText,
                        const QString& toolTip, const QString& icon,
                        void (SCMainWindowController::*action)());
    void setUpNewTaskSheet();
    void updateTaskCount();
    void restoreTableColumns();
    void showAbout();

    QorEventReceiver* mReceiver;
    SCTaskDataSource* mDataSource = nullptr;
    QTableView* mTaskTable = nullptr;
    QPushButton* mNewButton = nullptr;
    QPushButton* mEditButton = nullptr;
    QPushButton* mDeleteButton = nullptr;
    QLabel* mTaskCount = nullptr;
    QToolBar* mToolbar = nullptr;
    QLabel* mToolbarText = nullptr;
    QAction* mNewAction = nullptr;
    QAction* mEditAction = nullptr;
    QAction* mDeleteAction = nullptr;
    QAction* mSaveMenuItem = nullptr;
    QAction* mResetMenuItem = nullptr;
    QDialog* mNewTaskSheet = nullptr;
    QToolButton* mNewOMButton = nullptr;
    QLabel* mNewOMLabel = nullptr;
    QToolButton* mNewRVButton = nullptr;
    QLabel* mNewRVLabel = nullptr;
    QToolButton* mNewCXButton = nullptr;
    QLabel* mNewCXLabel = nullptr;
    QToolButton* mNewDNButton = nullptr;
    QLabel* mNewDNLabel = nullptr;
    int mItemCount = 0;
    QPointer<SCWindowControllerBase> mEditTaskController;
    std::shared_ptr<SCTaskDataModel> mRowToDelete;
    std::function<void()> mTerminate;
    bool mTerminateAtOnce = false;
    bool mTerminating = false;
    bool mCrontabSheetUp = false;
};
