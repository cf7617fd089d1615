#include "SCHourFormatter.h"

#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCNumberText.h"

#include <chrono>

namespace {

// The clock hears of a noon crossing from the event loop, never from inside a display.
constexpr std::chrono::milliseconds kNoonNotificationDelay{100};

} // namespace

SCHourFormatter::SCHourFormatter(bool use24HourClock, QObject* parent)
    : QObject(parent), mUse24HourClock(use24HourClock) {}

QString SCHourFormatter::stringForObjectValue(const QVariant& value) {
    if (!SCIsNumber(value)) {
        return QString();
    }
    const int hour = value.toInt();
    int shown = hour;
    if (!mUse24HourClock) {
        auto& center = SCNotificationCenter::defaultCenter();
        if (hour >= 0 && hour <= 11) {
            shown = hour == 0 ? 12 : hour;
            if (mIsAfternoon) {
                center.postDelayed(ChangeAMNotification, nullptr, kNoonNotificationDelay, this);
                mIsAfternoon = false;
            }
        } else if (hour >= 12 && hour <= 23) {
            shown = hour == 12 ? 12 : hour - 12;
            if (!mIsAfternoon) {
                center.postDelayed(ChangePMNotification, nullptr, kNoonNotificationDelay, this);
                mIsAfternoon = true;
            }
        }
    }
    // A negative value (never a valid hour) shows as "-1", not as "0-1".
    return SCTwoDigitText(shown);
}

bool SCHourFormatter::getObjectValue(int* value, const QString& string,
                                     QString* errorDescription) const {
    if (!value) {
        if (errorDescription) {
            *errorDescription = tr("Couldn't convert to correct Hour.");
        }
        return false;
    }
    int hour = SCTextIntValue(string);
    if (!mUse24HourClock) {
        if (hour == 12) {
            hour = mIsAfternoon ? 12 : 0;
        } else if (mIsAfternoon) {
            hour += 12;
        }
    }
    *value = hour;
    return true;
}

bool SCHourFormatter::isPartialStringValid(const QString& partial) const {
    const int n = SCTextIntValue(partial);
    if (mUse24HourClock) {
        return n >= 0 && n <= 23;
    }
    if (partial.toUtf8().size() == 2 && n == 0) {
        return false; // "00" is no hour on a 12-hour clock; a lone "0" may still become "09"
    }
    return n >= 0 && n <= 12;
}

void SCHourFormatter::postAMNotification() {
    SCNotificationCenter::defaultCenter().post(ChangeAMNotification);
}

void SCHourFormatter::postPMNotification() {
    SCNotificationCenter::defaultCenter().post(ChangePMNotification);
}
