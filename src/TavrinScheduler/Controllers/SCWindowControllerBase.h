#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class SCCalendarMonthlyView;
class SCCalendarView;
class SCClockView;
class SCTaskDataModel;
class SCTaskDataSource;
class SCWeekView;
struct SCNotification;
struct SCSheetRequest;

/// What every task editor window has in common: the task's name, its frequency with one page
/// per frequency (monthly, weekly, daily, annual), its time of day, Save and Cancel with their
/// questions, the check for unsaved changes, and the step that writes the editor's fields into
/// a task of the user's task block and the block into the crontab. A product editor sets the
/// launch descriptor (what the task starts and sends) and calls the base's saveTask.
///
/// Made by a product editor in this order: initWithModuleName, setMainTable, setExistingTask,
/// populateFields, setupHackForClockUpdate, setWindowTitleWithUIName; then shown. Every way the
/// window goes away posts "EditButtonNotification" (object: the editor) exactly once.
class SCWindowControllerBase : public QDialog {
    Q_OBJECT

public:
    explicit SCWindowControllerBase(QWidget* parent = nullptr);
    ~SCWindowControllerBase() override;

    /// Builds the window of the module ("Ombrix": the form "OmbrixWindow"), gives it the frame
    /// saved under frameName() and connects its controls. False when the module has no window.
    bool initWithModuleName(const QString& moduleName);
    /// The main window's task table; its model is the task table's data source.
    void setMainTable(QTableView* table);
    /// The task to edit, or null to make a new one.
    void setExistingTask(std::shared_ptr<SCTaskDataModel> task);
    /// Fills the controls from the task being edited; nothing for a new task.
    virtual void populateFields();
    /// Has the daily note computed for the time filled in.
    void setupHackForClockUpdate();
    /// "   Add <UI name> Task" or "   Edit <UI name> Task".
    void setWindowTitleWithUIName(const QString& uiName);

    /// Save: checks the entries, saves the task and closes the window. When the task cannot be
    /// saved the user is told and the window stays open with the entries.
    void doSave();
    /// Cancel: closes the window without saving or asking.
    void doCancel();
    /// The close box: closes at once without unsaved changes, else asks whether to save.
    bool windowShouldClose();
    /// Ends of the save sheet and the no-name sheet.
    void didEndShouldCloseSheet(int returnCode);
    void didEndCloseNoNameSheet(int returnCode);
    /// Recomputes the daily note (ChangeDailyDayNotification).
    void verifyDailyString(const SCNotification& notification);
    /// The frequency page at index was chosen.
    void tabViewDidSelectTabViewItem(int index);

    /// Writes the entries and the descriptor into the task record (a new one for a new task)
    /// and the block into the crontab, then posts "AddRowNotification". 0, or the status of the
    /// step that failed; the record and the block are then as they were before.
    virtual int32_t saveTask();
    /// Name check (sheet on failure), then isEventDataValid.
    bool isTaskDataValid();
    /// Product check of the descriptor's data; shows its own sheet before answering false.
    virtual bool isEventDataValid();
    /// Whether the product's own entries differ from the task's.
    virtual bool isEventDataChanged() const;
    /// Whether closing now would lose changes.
    bool shouldDisplaySavePrompt() const;
    bool isDateChanged() const;
    bool isTimeChanged() const;
    bool isFrequencyFieldsChanged() const;

    QTableView* mainTable() const { return mMainTable; }
    const std::shared_ptr<SCTaskDataModel>& existingTask() const { return mExistingTask; }
    SCClockView* timeView() const { return mTimeView; }
    const QString& mEventData() const { return mEventDataText; }
    void setmEventData(const QString& data) { mEventDataText = data; }
    const QString& mExecPath() const { return mExecPathText; }
    void setmExecPath(const QString& path) { mExecPathText = path; }
    const QString& moduleName() const { return mModuleName; }
    const QString& taskUIName() const { return mTaskUIName; }
    /// "Add <module> Task2.0.1": the name the window's frame is saved under.
    QString frameName() const;
    /// The task block of the table's data source, or null.
    SCTaskDataSource* dataSource() const;

    QLineEdit* taskName() const { return mTaskName; }
    QComboBox* frequencyButton() const { return mFrequencyButton; }
    QStackedWidget* tabView() const { return mTabView; }
    SCCalendarView* calendarView() const { return mCalendarView; }
    SCCalendarMonthlyView* monthlyCalendarView() const { return mMonthlyCalendarView; }
    SCWeekView* weekView() const { return mWeekView; }
    QLabel* todayDate() const { return mTodayDate; }
    QPushButton* saveButton() const { return mSaveButton; }
    QPushButton* cancelButton() const { return mCancelButton; }
    /// Whether a sheet of this editor waits for an answer.
    bool isSheetUp() const { return mSheetsUp > 0; }

protected:
    /// The creation sequence of every product editor: Editor's init (which names its module),
    /// then setMainTable, setExistingTask, populateFields, setupHackForClockUpdate and
    /// setWindowTitleWithUIName. Null when the window could not be built; else the caller owns
    /// the editor.
    template <class Editor>
    static Editor* sharedEditor(QTableView* table, std::shared_ptr<SCTaskDataModel> task,
                                const QString& uiName, QWidget* parent) {
        auto* editor = new Editor(parent);
        if (!editor->init()) {
            delete editor;
            return nullptr;
        }
        editor->setMainTable(table);
        editor->setExistingTask(std::move(task));
        editor->populateFields();
        editor->setupHackForClockUpdate();
        editor->setWindowTitleWithUIName(uiName);
        return editor;
    }

    /// Called once the window's controls exist.
    virtual void awakeFromNib();
    /// Shows a sheet on this window; while it is up Save, Cancel and the close box wait.
    void beginSheet(const SCSheetRequest& request, std::function<void(int)> didEnd);
    /// Closes the window without asking and posts "EditButtonNotification".
    void closeAndNotify();
    /// Tells the user that saveTask failed with status; the window stays open.
    void showSaveFailedSheet(int32_t status);
    /// The product's icon shown at the top of the window.
    void setProductIcon(const QString& resource);

    void closeEvent(QCloseEvent* event) override;
    /// Escape is Cancel.
    void reject() override;

    // The launch descriptor, set by the product editor's saveTask before the base's.
    uint32_t mAEEventID = 0;
    uint32_t mAEClass = 0;
    int16_t mEventType1 = -1;
    int16_t mEventType2 = -1;
    uint32_t mCreator = 0;
    const char* mSchedArgs = nullptr;

private:
    void postEditButtonNotification();
    void windowWillClose();
    void fitToPage(int index);
    QString selectedFrequencyTitle() const;
    QString currentTabIdentifier() const;

    QTableView* mMainTable = nullptr;
    std::shared_ptr<SCTaskDataModel> mExistingTask;
    QString mEventDataText;
    QString mExecPathText;
    QString mModuleName;
    QString mTaskUIName;

    QStackedWidget* mTabView = nullptr;
    SCCalendarView* mCalendarView = nullptr;
    SCCalendarMonthlyView* mMonthlyCalendarView = nullptr;
    QLabel* mTodayDate = nullptr;
    QLineEdit* mTaskName = nullptr;
    SCClockView* mTimeView = nullptr;
    SCWeekView* mWeekView = nullptr;
    QComboBox* mFrequencyButton = nullptr;
    QPushButton* mSaveButton = nullptr;
    QPushButton* mCancelButton = nullptr;

    int mSheetsUp = 0;
    bool mClosing = false;
    bool mPostedEditButton = false;
};
