#include "SCMinuteFormatter.h"

#include "SCNumberText.h"

QString SCMinuteFormatter::stringForObjectValue(const QVariant& value) const {
    if (!SCIsNumber(value)) {
        return QString();
    }
    return SCTwoDigitText(value.toInt());
}

bool SCMinuteFormatter::getObjectValue(int* value, const QString& string,
                                       QString* errorDescription) const {
    if (!value) {
        if (errorDescription) {
            // The same text as the hour cell's.
            *errorDescription = tr("Couldn't convert to correct Hour.");
        }
        return false;
    }
    *value = SCTextIntValue(string);
    return true;
}

bool SCMinuteFormatter::isPartialStringValid(const QString& partial) const {
    // Read as unsigned, so a negative value is refused too.
    return static_cast<unsigned>(SCTextIntValue(partial)) < 60u;
}
