#include "SCTaskDataSource.h"

#include "CrontabTasks.h"
#include "SCNextLaunchFormat.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCOSTypeConversions.h"
#include "SCTableColumns.h"
#include "SCTaskDataModel.h"
#include "ZQorScheduledTaskArray.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace {

// Room for a task's executable path and event data: more than a task can hold.
constexpr int16_t kFieldBufferSize = 2048;

QDateTime nextLaunchOf(ZQorScheduledTask* task) {
    ZQorScheduledTask::GenericTimeRec next = {};
    if (GetNextLaunchTime(task, nullptr, &next) != 0) {
        return QDateTime();
    }
    return QDateTime(QDate(next.year, next.month, next.day), QTime(next.hour, next.minute),
                     Qt::LocalTime);
}

} // namespace

SCTaskDataSource::SCTaskDataSource(Access access, QObject* parent)
    : QAbstractTableModel(parent), mAccess(access) {
    loadExecutablePaths();
    int32_t status = 0;
    mCronArray = OpenCrontabTasks(&status);
    if (mCronArray && !isReadOnly()) {
        validateCronTab(mCronArray);
    }
    setupSortIndicatorArray();
    mSortDone = false;
    SCNotificationCenter::defaultCenter().addObserver(this, &SCTaskDataSource::addRow,
                                                      AddRowNotification);
}

SCTaskDataSource::~SCTaskDataSource() {
    SCNotificationCenter::defaultCenter().removeObserver(this);
    mCronEntries.clear();
    if (!mCronArray) {
        return;
    }
    if (isReadOnly()) {
        // A block read from a listing counts as changed; this one must never be written.
        mCronArray->SetDirtyFlag(false);
    }
    (void)CloseCrontabTasks(mCronArray);
    mCronArray = nullptr;
}

void SCTaskDataSource::setCronEntries(std::vector<Row> rows) {
    beginResetModel();
    mCronEntries = std::move(rows);
    endResetModel();
}

std::vector<SCTaskDataSource::Row> SCTaskDataSource::readEntries() const {
    std::vector<Row> rows;
    QorTaskIterator* iterator = NewTaskIterator(mCronArray);
    if (!iterator) {
        return rows;
    }
    while (ZQorScheduledTask* task = NextTaskFromIterator(iterator)) {
        auto row = std::make_shared<SCTaskDataModel>();
        row->setmTask(task);
        row->setmName(QString::fromUtf8(GetTaskNamePtr(task)));
        row->setmFrequency(GetTaskScheduleType(task));
        row->setmEnabled(GetTaskEnabled(task));

        int16_t month = 0, day = 0, hour = 0, minute = 0;
        GetTaskScheduleTime(task, &month, &day, &hour, &minute);
        row->setmMinute(minute);
        row->setmHour(hour);
        row->setmDay(day);
        row->setmMonth(month);

        uint32_t event = 0, eventClass = 0, creator = 0;
        char eventData[kFieldBufferSize] = "";
        char execPath[kFieldBufferSize] = "";
        int16_t length = 0;
        (void)GetEvent(task, &event, &eventClass, kFieldBufferSize, eventData, &length);
        (void)GetEventLauncher(task, &creator, kFieldBufferSize, execPath, &length);
        row->setmCreator(fourCharacterString(creator));
        row->setmExecPath(QFile::decodeName(execPath));
        row->setmEvent(fourCharacterString(event));
        row->setmClass(fourCharacterString(eventClass));
        row->setmEventData(QString::fromUtf8(eventData));

        row->setmTaskName(row->mExecPath());
        row->setmNextLaunch(nextLaunchOf(task));
        rows.push_back(std::move(row));
    }
    DisposeTaskIterator(iterator);
    return rows;
}

void SCTaskDataSource::addRow(const SCNotification&) {
    setCronEntries(readEntries());
}

int32_t SCTaskDataSource::saveBlock() {
    if (isReadOnly() || !mCronArray) {
        return 0;
    }
    const int32_t status = SaveCrontabTasks(mCronArray);
    if (status != 0) {
        emit crontabSaveFailed(status);
    }
    return status;
}

void SCTaskDataSource::postAddRow() {
    SCNotificationCenter::defaultCenter().post(AddRowNotification);
}

QFont SCTaskDataSource::tableFont() {
    // The small system font: eleven thirteenths of the normal one, but never below 7 points.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(std::max(font.pointSizeF() * 11.0 / 13.0, 7.0));
    }
    return font;
}

int SCTaskDataSource::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(mCronEntries.size());
}

int SCTaskDataSource::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSCColumnCount;
}

QVariant SCTaskDataSource::displayValue(const SCTaskDataModel& row, int column) const {
    switch (column) {
    case kSCNameColumn:
        return row.mName();
    case kSCTaskNameColumn:
        return row.mTaskName();
    case kSCFrequencyColumn:
        return row.mFrequency();
    case kSCNextLaunchColumn:
        if (!row.mNextLaunch().isValid()) {
            return QString();
        }
        return SCFormatDateTime(SCNextLaunchFormat(row), row.mNextLaunch());
    default:
        return QVariant(); // the check box shows no text
    }
}

QVariant SCTaskDataSource::foreground(const SCTaskDataModel& row, int column) const {
    if (column == kSCEnabledColumn) {
        return QVariant();
    }
    const QPalette palette = QGuiApplication::palette();
    return row.mEnabled() == 1 ? palette.color(QPalette::Active, QPalette::Text)
                               : palette.color(QPalette::Disabled, QPalette::Text);
}

QVariant SCTaskDataSource::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::ParentIsInvalid)) {
        return QVariant();
    }
    const SCTaskDataModel& row = *mCronEntries[size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return displayValue(row, column);
    case Qt::CheckStateRole:
        if (column != kSCEnabledColumn) {
            return QVariant();
        }
        return row.mEnabled() != 0 ? Qt::Checked : Qt::Unchecked;
    case ValueRole:
        return row.valueForKey(QLatin1String(kSCColumnIdentifiers[column]));
    case Qt::FontRole:
        return tableFont();
    case Qt::ForegroundRole:
        return foreground(row, column);
    case Qt::TextAlignmentRole:
        if (column == kSCEnabledColumn) {
            return int(Qt::AlignCenter);
        }
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool SCTaskDataSource::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (isReadOnly() || !index.isValid() || !checkIndex(index, CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    const int rowNumber = index.row();
    const int column = index.column();
    // The rows may be built anew while the click is handled; the value still goes to this row.
    const Row row = mCronEntries[size_t(rowNumber)];
    QVariant stored = value;
    if (column == kSCEnabledColumn) {
        if (role != Qt::CheckStateRole) {
            return false;
        }
        // Whoever acts on the click reads the row's value from before it.
        emit enabledSwitchClicked(rowNumber);
        stored = Qt::CheckState(value.toInt()) == Qt::Checked ? 1 : 0;
    } else if (role != Qt::EditRole) {
        return false;
    }
    row->setValueForKey(QLatin1String(kSCColumnIdentifiers[column]), stored);
    (void)saveBlock();
    if (size_t(rowNumber) < mCronEntries.size() && mCronEntries[size_t(rowNumber)] == row) {
        emit dataChanged(this->index(rowNumber, 0), this->index(rowNumber, kSCColumnCount - 1));
    }
    return true;
}

Qt::ItemFlags SCTaskDataSource::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::ParentIsInvalid)) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == kSCEnabledColumn && !isReadOnly()) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant SCTaskDataSource::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kSCColumnCount) {
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        switch (section) {
        case kSCEnabledColumn:
            return tr("On");
        case kSCNameColumn:
            return tr("Name");
        case kSCTaskNameColumn:
            return tr("Task");
        case kSCFrequencyColumn:
            return tr("Frequency");
        default:
            return tr("Next Launch");
        }
    case Qt::ToolTipRole:
        if (section == kSCEnabledColumn) {
            return tr("Only the tasks that are switched on run at their time.");
        }
        return tr("Click to sort the tasks by this column; click again to reverse the order.");
    case Qt::TextAlignmentRole:
        if (section == kSCEnabledColumn) {
            return int(Qt::AlignCenter);
        }
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}
