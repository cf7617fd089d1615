#include "SCTaskDataModel.h"

#include "SCLocalizedString.h"
#include "SCStringKeys.h"

namespace {

int sign(int value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

int compareText(const QString& a, const QString& b) {
    return sign(QString::compare(a, b, Qt::CaseInsensitive));
}

// A row without a next launch sorts before every row with one.
int compareDates(const QDateTime& a, const QDateTime& b) {
    if (!a.isValid() || !b.isValid()) {
        return int(a.isValid()) - int(b.isValid());
    }
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace

SCTaskDataModel::SCTaskDataModel() {
    setmFrequency(0);
    setmTaskName(QString());
}

void SCTaskDataModel::setmFrequency(int scheduleType) {
    const char* key = kSCAnnuallyKey;
    switch (scheduleType) {
    case 1:
        key = kSCMonthlyKey;
        break;
    case 2:
        key = kSCWeeklyKey;
        break;
    case 3:
        key = kSCDailyKey;
        break;
    default:
        break;
    }
    mFields.frequency = SCLocalizedString(key);
}

bool SCTaskDataModel::frequencyIsMonthly() const {
    return mFields.frequency == SCLocalizedString(kSCMonthlyKey);
}

bool SCTaskDataModel::frequencyIsWeekly() const {
    return mFields.frequency == SCLocalizedString(kSCWeeklyKey);
}

bool SCTaskDataModel::frequencyIsDaily() const {
    return mFields.frequency == SCLocalizedString(kSCDailyKey);
}

bool SCTaskDataModel::frequencyIsOneTime() const {
    return mFields.frequency == SCLocalizedString(kSCAnnuallyKey);
}

int SCTaskDataModel::ascendEnabled(const SCTaskDataModel& other) const {
    return sign(mFields.enabled - other.mFields.enabled);
}

int SCTaskDataModel::ascendName(const SCTaskDataModel& other) const {
    return compareText(mFields.name, other.mFields.name);
}

int SCTaskDataModel::ascendTaskName(const SCTaskDataModel& other) const {
    return compareText(mFields.taskName, other.mFields.taskName);
}

int SCTaskDataModel::ascendFrequency(const SCTaskDataModel& other) const {
    return compareText(mFields.frequency, other.mFields.frequency);
}

int SCTaskDataModel::ascendNextLaunch(const SCTaskDataModel& other) const {
    return compareDates(mFields.nextLaunch, other.mFields.nextLaunch);
}

QVariant SCTaskDataModel::valueForKey(const QString& key) const {
    if (key == u"mEnabled") {
        return mFields.enabled;
    }
    if (key == u"mName") {
        return mFields.name;
    }
    if (key == u"mTaskName") {
        return mFields.taskName;
    }
    if (key == u"mFrequency") {
        return mFields.frequency;
    }
    if (key == u"mNextLaunch") {
        return mFields.nextLaunch;
    }
    if (key == u"mExecPath") {
        return mFields.execPath;
    }
    if (key == u"mEventData") {
        return mFields.eventData;
    }
    return QVariant();
}

bool SCTaskDataModel::setValueForKey(const QString& key, const QVariant& value) {
    if (key == u"mEnabled") {
        setmEnabled(value.toInt());
    } else if (key == u"mName") {
        setmName(value.toString());
    } else if (key == u"mTaskName") {
        setmTaskName(value.toString());
    } else if (key == u"mFrequency") {
        setmFrequency(value.toInt());
    } else if (key == u"mNextLaunch") {
        setmNextLaunch(value.toDateTime());
    } else if (key == u"mExecPath") {
        setmExecPath(value.toString());
    } else if (key == u"mEventData") {
        setmEventData(value.toString());
    } else {
        return false;
    }
    return true;
}
