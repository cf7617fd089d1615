#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVariant>

/// Shows and reads the clock's minute cell (0-59, always two digits).
class SCMinuteFormatter {
    Q_DECLARE_TR_FUNCTIONS(SCMinuteFormatter)

public:
    /// The text of a stored minute; a null string for anything that is not a number.
    QString stringForObjectValue(const QVariant& value) const;

    /// Reads a typed minute into *value. Without a place for the result it answers false with
    /// the error text in *errorDescription (when given).
    bool getObjectValue(int* value, const QString& string, QString* errorDescription) const;

    /// Whether a text being typed can stay in the cell.
    bool isPartialStringValid(const QString& partial) const;
};
