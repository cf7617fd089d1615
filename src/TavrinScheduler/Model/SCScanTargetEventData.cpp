#include "SCScanTargetEventData.h"

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

} // namespace

bool SCCanStoreScanPath(const QString& path) {
    if (path.isEmpty() || path.toUtf8().size() > kSCMaxScanPathBytes) {
        return false;
    }
    for (QChar c : path) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == u'"' || u == u'$' || u == u'`' || u == u'\\' ||
            u == u'%') {
            return false;
        }
    }
    return true;
}

QString eventDataFromPathName(const QString& path) {
    if (!SCCanStoreScanPath(path)) {
        return QString();
    }
    return QLatin1String(kCronPathQuote) + path + QLatin1String(kCronQuote);
}

QString pathFromEventData(const QString& eventData) {
    const qsizetype found = eventData.indexOf(QLatin1String("path"));
    if (eventData.isEmpty() || found < 0) {
        return QString();
    }
    qsizetype at = found + 4;
    if (at < eventData.size() && eventData[at] == u'"') {
        ++at;
    }
    while (at < eventData.size() && isBlank(eventData[at])) {
        ++at;
    }
    if (at < eventData.size() && eventData[at] == u'"') {
        ++at;
        const qsizetype close = eventData.indexOf(u'"', at);
        return eventData.mid(at, close < 0 ? -1 : close - at);
    }
    qsizetype end = at;
    while (end < eventData.size() && !isBlank(eventData[end])) {
        ++end;
    }
    return eventData.mid(at, end - at);
}
