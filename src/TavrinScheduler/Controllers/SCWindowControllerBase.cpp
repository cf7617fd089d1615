#include "SCWindowControllerBase.h"

#include "CrontabTasks.h"
#include "QorScheduleErr.h"
#include "SCCalendarMonthlyView.h"
#include "SCCalendarView.h"
#include "SCClockView.h"
#include "SCCurrentDate.h"
#include "SCEditorForms.h"
#include "SCLocalizedString.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCSheet.h"
#include "SCStringKeys.h"
#include "SCTaskDataModel.h"
#include "SCTaskDataSource.h"
#include "SCTaskRecordSnapshot.h"
#include "SCWeekView.h"
#include "SCWindowFrame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>

#include <optional>

namespace {

// Menu index (= page index) of each frequency; the schedule type is the index plus one.
constexpr int kMonthlyIndex = 0;
constexpr int kWeeklyIndex = 1;
constexpr int kDailyIndex = 2;
constexpr int kAnnualIndex = 3;

constexpr char kDailyTabIdentifier[] = "Daily";

// The longest name a task keeps whole, in UTF-8 bytes.
constexpr int kMaxTaskNameBytes = ZQorScheduledTask::kMaxSetNameChars;

template <class Widget> Widget* outlet(QWidget* window, const char* name) {
    return window->findChild<Widget*>(QLatin1String(name));
}

} // namespace

SCWindowControllerBase::SCWindowControllerBase(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::Window);
    setModal(false);
}

SCWindowControllerBase::~SCWindowControllerBase() {
    SCNotificationCenter::defaultCenter().removeObserver(this);
}

bool SCWindowControllerBase::initWithModuleName(const QString& moduleName) {
    mModuleName = moduleName;
    if (!SCLoadEditorForm(moduleName + QStringLiteral("Window"), this)) {
        return false;
    }
    mTabView = outlet<QStackedWidget>(this, "tabView");
    mCalendarView = outlet<SCCalendarView>(this, "calendarView");
    mMonthlyCalendarView = outlet<SCCalendarMonthlyView>(this, "monthlyCalendarView");
    mTodayDate = outlet<QLabel>(this, "todayDate");
    mTaskName = outlet<QLineEdit>(this, "taskName");
    mTimeView = outlet<SCClockView>(this, "timeView");
    mWeekView = outlet<SCWeekView>(this, "weekView");
    mFrequencyButton = outlet<QComboBox>(this, "frequencyButton");
    mSaveButton = outlet<QPushButton>(this, "saveButton");
    mCancelButton = outlet<QPushButton>(this, "cancelButton");
    if (!mTabView || !mCalendarView || !mMonthlyCalendarView || !mTodayDate || !mTaskName ||
        !mTimeView || !mWeekView || !mFrequencyButton || !mSaveButton || !mCancelButton) {
        return false;
    }

    // The menu's titles are the schedule texts the task list shows, in the order of the pages:
    // a task's schedule text selects its item.
    mFrequencyButton->clear();
    mFrequencyButton->addItems({SCLocalizedString(kSCMonthlyKey), SCLocalizedString(kSCWeeklyKey),
                                SCLocalizedString(kSCDailyKey), SCLocalizedString(kSCAnnuallyKey)});
    if (auto* title = outlet<QLabel>(this, "productTitle")) {
        QFont font = title->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.25);
        title->setFont(font);
    }

    (void)SCRestoreWindowFrame(this, frameName());
    mEventDataText = QString();
    mExecPathText = QString();
    mTaskName->setFocus(Qt::OtherFocusReason);
    connect(mFrequencyButton, &QComboBox::currentIndexChanged, mTabView,
            &QStackedWidget::setCurrentIndex);
    connect(mTabView, &QStackedWidget::currentChanged, this,
            &SCWindowControllerBase::tabViewDidSelectTabViewItem);
    connect(mSaveButton, &QPushButton::clicked, this, &SCWindowControllerBase::doSave);
    connect(mCancelButton, &QPushButton::clicked, this, &SCWindowControllerBase::doCancel);
    SCNotificationCenter::defaultCenter().addObserver(
        this, &SCWindowControllerBase::verifyDailyString, ChangeDailyDayNotification);
    awakeFromNib();
    return true;
}

void SCWindowControllerBase::awakeFromNib() {
    if (auto* label = outlet<QLabel>(this, "tabLabel")) {
        // In line with the first row of the page beside it.
        label->setContentsMargins(0, 6, 0, 0);
    }
    mTabView->setCurrentIndex(mFrequencyButton->currentIndex());
    fitToPage(mTabView->currentIndex());
    SCNotificationCenter::defaultCenter().post(ChangeDailyDayNotification, mTimeView);
}

void SCWindowControllerBase::setMainTable(QTableView* table) {
    mMainTable = table;
}

void SCWindowControllerBase::setExistingTask(std::shared_ptr<SCTaskDataModel> task) {
    mExistingTask = std::move(task);
}

SCTaskDataSource* SCWindowControllerBase::dataSource() const {
    return mMainTable ? qobject_cast<SCTaskDataSource*>(mMainTable->model()) : nullptr;
}

QString SCWindowControllerBase::frameName() const {
    return QStringLiteral("%1 %2 %3")
        .arg(QStringLiteral("Add"), mModuleName, QStringLiteral("Task2.0.1"));
}

void SCWindowControllerBase::setProductIcon(const QString& resource) {
    if (auto* icon = outlet<QLabel>(this, "productIcon")) {
        icon->setPixmap(QIcon(resource).pixmap(icon->maximumSize(), devicePixelRatioF()));
    }
}

void SCWindowControllerBase::populateFields() {
    if (!mExistingTask) {
        return;
    }
    const SCTaskDataModel& task = *mExistingTask;
    const QDateTime nextLaunch = task.mNextLaunch();
    if (nextLaunch.isValid()) {
        mCalendarView->setSelectedDay(nextLaunch);
    }
    mTaskName->setText(task.mName());
    const int frequency = mFrequencyButton->findText(task.mFrequency());
    if (frequency >= 0) {
        mFrequencyButton->setCurrentIndex(frequency);
    }
    const QString title = selectedFrequencyTitle();
    if (title == SCLocalizedString(kSCMonthlyKey)) {
        mMonthlyCalendarView->restoreSelectedDay(task.mDay());
        if (nextLaunch.isValid()) {
            mMonthlyCalendarView->setSelectedDay(nextLaunch);
        }
    } else if (title == SCLocalizedString(kSCWeeklyKey)) {
        mWeekView->restoreSelectedDay(task.mDay() + 1);
    }
    mCalendarView->refreshCalendar();
    mCalendarView->choseDay();
    mTimeView->setMin(task.mMinute());
    mTimeView->setHour(task.mHour());
    mTabView->setCurrentIndex(mFrequencyButton->currentIndex());
}

void SCWindowControllerBase::setupHackForClockUpdate() {
    SCNotificationCenter::defaultCenter().post(ChangeDailyDayNotification, mTimeView);
}

void SCWindowControllerBase::setWindowTitleWithUIName(const QString& uiName) {
    mTaskUIName = uiName;
    setWindowTitle(QStringLiteral("%1 %2 %3")
                       .arg(mExistingTask ? tr("   Edit") : tr("   Add"), uiName, tr("Task")));
    if (auto* title = outlet<QLabel>(this, "productTitle")) {
        title->setText(uiName);
    }
}

void SCWindowControllerBase::fitToPage(int index) {
    // The window is as tall as the page shown needs, not as the tallest page.
    if (QWidget* page = mTabView->widget(index)) {
        mTabView->setFixedHeight(page->sizeHint().height());
    }
    if (auto* label = outlet<QLabel>(this, "tabLabel")) {
        const QString identifier = currentTabIdentifier();
        label->setText(identifier == QLatin1String(kDailyTabIdentifier) ? QString()
                       : identifier == QLatin1String("Annually")        ? tr("Date:")
                                                                        : tr("Day:"));
    }
}

QString SCWindowControllerBase::selectedFrequencyTitle() const {
    return mFrequencyButton->currentText();
}

QString SCWindowControllerBase::currentTabIdentifier() const {
    const QWidget* page = mTabView->currentWidget();
    return page ? page->property("identifier").toString() : QString();
}

void SCWindowControllerBase::tabViewDidSelectTabViewItem(int index) {
    fitToPage(index);
    if (currentTabIdentifier() == QLatin1String(kDailyTabIdentifier)) {
        SCNotificationCenter::defaultCenter().post(ChangeDailyDayNotification, mTimeView);
    }
}

void SCWindowControllerBase::verifyDailyString(const SCNotification&) {
    if (currentTabIdentifier() != QLatin1String(kDailyTabIdentifier)) {
        return;
    }
    const QTime now = SCNow().time();
    const int hour = mTimeView->selectedHour();
    const int minute = mTimeView->selectedMinute();
    const bool tomorrow = hour < now.hour() || (hour == now.hour() && now.minute() >= minute);
    mTodayDate->setText(
        tomorrow ? tr("Based on the current time setting, this task will begin tomorrow.")
                 : tr("Based on the current time setting, this task will begin today."));
}

int32_t SCWindowControllerBase::saveTask() {
    const int16_t hour = int16_t(mTimeView->selectedHour());
    const int16_t minute = int16_t(mTimeView->selectedMinute());
    SCTaskDataSource* source = dataSource();
    ZQorScheduledTaskArray* block = source ? source->cronArray() : nullptr;
    if (!block) {
        return kQorSchedErrBadTaskArray;
    }

    int32_t status = 0;
    const bool isNew = !mExistingTask;
    ZQorScheduledTask* record = isNew ? NewScheduledTask(&status) : mExistingTask->mTask();
    if (!record) {
        return status != 0 ? status : kQorSchedErrBadTask;
    }
    std::optional<SCTaskRecordSnapshot> before;
    if (!isNew) {
        before.emplace(record);
    }
    // A failed save leaves the block as it was: an edited record gets its old fields back, a new
    // one goes away again. The user still has every entry in the window.
    auto undo = [&] {
        if (before) {
            before->restore();
        } else {
            RemoveScheduledTask(record);
        }
    };

    const int index = mFrequencyButton->currentIndex();
    int16_t month = -1;
    int16_t day = -1;
    switch (index) {
    case kMonthlyIndex:
        day = int16_t(mMonthlyCalendarView->selectedDay().date().day());
        break;
    case kWeeklyIndex:
        day = int16_t(mWeekView->selectedDay());
        break;
    case kAnnualIndex:
        month = int16_t(mCalendarView->selectedDay().date().month());
        day = int16_t(mCalendarView->selectedDay().date().day());
        break;
    default:
        break;
    }

    SetTaskEnabled(record, 1);
    if (mEventType1 != -1) {
        SetTaskEventType(record, mEventType1);
    }
    if (mEventType2 != -1) {
        SetTaskEventType2(record, mEventType2);
    }
    const QByteArray name = mTaskName->text().toUtf8();
    const QByteArray eventData = mEventDataText.toUtf8();
    const QByteArray execPath = QFile::encodeName(mExecPathText);
    status = SetTaskName(record, name.constData(), int16_t(name.size()), 1);
    if (status == 0) {
        status = SetEvent(record, mAEEventID, mAEClass, eventData.constData());
    }
    if (status == 0) {
        status = SetEventLauncher(record, mCreator, execPath.constData());
    }
    if (status == 0 && mSchedArgs) {
        status = SetSchedArgs(record, mSchedArgs);
    }
    if (status != 0) {
        undo();
        return status;
    }
    SetTaskScheduleType(record, int16_t(index + 1));
    SetTaskScheduleTime(record, &month, &day, &hour, &minute);

    if (isNew) {
        status = AddScheduledTask(block, record, 0);
        if (status != 0) {
            return status; // the block gave the record up
        }
    }
    status = SaveCrontabTasks(block);
    if (status != 0) {
        undo();
        return status;
    }
    SCNotificationCenter::defaultCenter().post(AddRowNotification);
    return 0;
}

void SCWindowControllerBase::beginSheet(const SCSheetRequest& request,
                                        std::function<void(int)> didEnd) {
    ++mSheetsUp;
    QPointer<SCWindowControllerBase> self(this);
    SCBeginSheet(this, request, [self, didEnd](int returnCode) {
        if (!self) {
            return;
        }
        --self->mSheetsUp;
        if (didEnd) {
            didEnd(returnCode);
        }
    });
}

bool SCWindowControllerBase::isTaskDataValid() {
    const QString name = mTaskName->text();
    if (name.isEmpty()) {
        beginSheet({tr("No name entered for the Task."), tr("Enter Name"), tr("Don't Save"),
                    QString(), tr("You must enter a task name to Save the task.")},
                   [this](int returnCode) { didEndCloseNoNameSheet(returnCode); });
        return false;
    }
    if (name.toUtf8().size() > kMaxTaskNameBytes) {
        // The task would keep only the start of the name.
        beginSheet({tr("The task name is too long."), tr("Enter Name"), QString(), QString(),
                    tr("Shorten the task name to save the task.")},
                   [this](int) { mTaskName->setFocus(Qt::OtherFocusReason); });
        return false;
    }
    return isEventDataValid();
}

bool SCWindowControllerBase::isEventDataValid() {
    return true;
}

bool SCWindowControllerBase::isEventDataChanged() const {
    return false;
}

bool SCWindowControllerBase::shouldDisplaySavePrompt() const {
    if (!mExistingTask) {
        return true;
    }
    if (mTaskName->text() != mExistingTask->mName() ||
        selectedFrequencyTitle() != mExistingTask->mFrequency()) {
        return true;
    }
    return isDateChanged() || isFrequencyFieldsChanged() || isTimeChanged() || isEventDataChanged();
}

bool SCWindowControllerBase::isDateChanged() const {
    const QDate chosen = mCalendarView->selectedDay().date();
    const QDate next = mExistingTask->mNextLaunch().date();
    return !(chosen.month() == next.month() && chosen.day() == next.day());
}

bool SCWindowControllerBase::isTimeChanged() const {
    return !(mTimeView->selectedHour() == mExistingTask->mHour() &&
             mTimeView->selectedMinute() == mExistingTask->mMinute());
}

bool SCWindowControllerBase::isFrequencyFieldsChanged() const {
    switch (mFrequencyButton->currentIndex()) {
    case kMonthlyIndex:
        return mMonthlyCalendarView->selectedDay().date().day() != mExistingTask->mDay();
    case kWeeklyIndex:
        return mWeekView->selectedDay() != mExistingTask->mDay();
    case kAnnualIndex: {
        const QDate chosen = mCalendarView->selectedDay().date();
        return chosen.day() != mExistingTask->mDay() || chosen.month() != mExistingTask->mMonth();
    }
    default:
        return false;
    }
}

void SCWindowControllerBase::doSave() {
    if (isSheetUp() || mClosing) {
        return;
    }
    if (!isTaskDataValid()) {
        return;
    }
    const int32_t status = saveTask();
    if (status != 0) {
        showSaveFailedSheet(status);
        return;
    }
    SCSaveWindowFrame(this, frameName());
    closeAndNotify();
}

void SCWindowControllerBase::doCancel() {
    if (isSheetUp() || mClosing) {
        return;
    }
    SCSaveWindowFrame(this, frameName());
    closeAndNotify();
}

bool SCWindowControllerBase::windowShouldClose() {
    if (isSheetUp()) {
        return false;
    }
    if (!shouldDisplaySavePrompt()) {
        postEditButtonNotification();
        return true;
    }
    if (!isTaskDataValid()) {
        return false;
    }
    beginSheet({tr("Save ") + mTaskUIName + tr(" Task"), tr("Save"), tr("Don't Save"), tr("Cancel"),
                tr("Are you sure you want to Save this Task?")},
               [this](int returnCode) { didEndShouldCloseSheet(returnCode); });
    return false;
}

void SCWindowControllerBase::didEndShouldCloseSheet(int returnCode) {
    if (returnCode == kSCSheetDefaultReturn) {
        const int32_t status = saveTask();
        if (status != 0) {
            showSaveFailedSheet(status);
            return;
        }
        closeAndNotify();
    } else if (returnCode == kSCSheetAlternateReturn) {
        closeAndNotify();
    }
}

void SCWindowControllerBase::didEndCloseNoNameSheet(int returnCode) {
    if (returnCode == kSCSheetAlternateReturn) {
        closeAndNotify();
    } else {
        mTaskName->setFocus(Qt::OtherFocusReason);
    }
}

void SCWindowControllerBase::showSaveFailedSheet(int32_t status) {
    const bool crontab = status == kQorSchedErrCrontabSave || status == kQorSchedErrCrontabList ||
                         status == kQorSchedErrNoAccount;
    QString message;
    if (crontab) {
        QString said = QString::fromStdString(QorLastCrontabMessage()).trimmed();
        if (said.isEmpty()) {
            said = tr("the crontab command gave no reason");
        }
        message = tr("Your crontab could not be changed (%1). Your entries are still here: save "
                     "again, or cancel to leave the task as it was.")
                      .arg(said);
    } else {
        message = tr("The task could not be stored (error %1). Your entries are still here: "
                     "change them and save again, or cancel to leave the task as it was.")
                      .arg(status);
    }
    beginSheet({tr("The task could not be saved."), tr("OK"), QString(), QString(), message},
               nullptr);
}

void SCWindowControllerBase::postEditButtonNotification() {
    if (mPostedEditButton) {
        return;
    }
    mPostedEditButton = true;
    SCNotificationCenter::defaultCenter().post(EditButtonNotification, this);
}

void SCWindowControllerBase::closeAndNotify() {
    mClosing = true;
    close();
    postEditButtonNotification();
}

void SCWindowControllerBase::windowWillClose() {
    SCSaveWindowFrame(this, frameName());
}

void SCWindowControllerBase::closeEvent(QCloseEvent* event) {
    // Not QDialog's: it would take the close box for Cancel.
    if (mClosing || windowShouldClose()) {
        mClosing = true;
        windowWillClose();
        event->accept();
    } else {
        event->ignore();
    }
}

void SCWindowControllerBase::reject() {
    doCancel();
}
