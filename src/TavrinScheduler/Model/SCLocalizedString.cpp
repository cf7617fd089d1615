#include "SCLocalizedString.h"

#include <QCoreApplication>

QString SCLocalizedString(const char* key) {
    return QCoreApplication::translate(kSCLocalizableContext, key);
}
