#include "XVolumePathFormatter.h"

#include "XVolumeQueries.h"

#include <QVariantMap>

namespace {

bool isMap(const QVariant& value) {
    return value.typeId() == QMetaType::QVariantMap;
}

bool isString(const QVariant& value) {
    return value.typeId() == QMetaType::QString;
}

} // namespace

bool XVolumePathFormatter::getObjectValue(QVariant* outValue, const QString& string,
                                          QString* /*outErrorDescription*/) const {
    if (!outValue) {
        return false;
    }
    QVariantMap value;
    value.insert(pathKey, string);
    QString name;
    if (XCurrentVolumeQueries().isVolumeRoot(string, &name)) {
        value.insert(volKey, name);
    }
    *outValue = value;
    return true;
}

QString XVolumePathFormatter::stringForObjectValue(const QVariant& value) const {
    if (isMap(value)) {
        const QVariantMap map = value.toMap();
        return map.contains(volKey) ? map.value(volKey).toString() : map.value(pathKey).toString();
    }
    if (isString(value)) {
        const QString path = value.toString();
        QString name;
        return XCurrentVolumeQueries().isVolumeRoot(path, &name) ? name : path;
    }
    return QString();
}

QString XVolumePathFormatter::editingStringForObjectValue(const QVariant& value) const {
    if (isMap(value)) {
        return value.toMap().value(pathKey).toString();
    }
    if (isString(value)) {
        return value.toString();
    }
    return QString();
}

std::optional<XAttributedString>
XVolumePathFormatter::attributedStringForObjectValue(const QVariant& value,
                                                     const QFont& defaultFont) const {
    if (!isMap(value) || !value.toMap().contains(volKey)) {
        return std::nullopt;
    }
    QFont bold = defaultFont;
    bold.setBold(true);
    return XAttributedString{stringForObjectValue(value), bold};
}
