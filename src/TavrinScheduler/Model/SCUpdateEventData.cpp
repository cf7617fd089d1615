#include "SCUpdateEventData.h"

QString SCUpdateEventData(const char* argument) {
    return QStringLiteral("\"exAG\" \"%1\"").arg(QLatin1String(argument));
}

QString SCDefaultRunEventData() {
    return QStringLiteral("\"exAG\"  \"-d0\"");
}
