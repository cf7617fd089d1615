#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

/// Shows and reads the clock's hour cell. The stored hour is always 0-23; a 12-hour clock shows
/// 12, 01-11, and the formatter tells the clock (ChangeAMNotification, ChangePMNotification,
/// 0.1 s later) when the hour it shows crosses noon.
class SCHourFormatter : public QObject {
    Q_OBJECT

public:
    explicit SCHourFormatter(bool use24HourClock, QObject* parent = nullptr);

    /// The text of a stored hour; a null string for anything that is not a number. On a 12-hour
    /// clock this also notes whether the hour shown is before or after noon.
    QString stringForObjectValue(const QVariant& value);

    /// Reads a typed hour into *value (0-23). Without a place for the result it answers false
    /// with the error text in *errorDescription (when given).
    bool getObjectValue(int* value, const QString& string, QString* errorDescription) const;

    /// Whether a text being typed can stay in the cell.
    bool isPartialStringValid(const QString& partial) const;

    /// The last hour shown was 12-23.
    bool isAfternoon() const { return mIsAfternoon; }
    bool uses24HourClock() const { return mUse24HourClock; }

public slots:
    void postAMNotification();
    void postPMNotification();

private:
    bool mIsAfternoon = false;
    bool mUse24HourClock;
};
