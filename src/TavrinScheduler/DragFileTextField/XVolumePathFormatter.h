#pragma once

#include <QFont>
#include <QString>
#include <QVariant>

#include <optional>

/// Key of the full path in a formatted drop field's value.
inline constexpr char pathKey[] = "pathKey";
/// Key of the volume's name, present when the path is the root of a volume.
inline constexpr char volKey[] = "volKey";

/// Text drawn with its own font.
struct XAttributedString {
    QString text;
    QFont font;
};

/// Shows the root of a volume by the volume's name, in bold, while the value keeps the full
/// path; any other path is shown as it is. A value is a QVariantMap with the path under pathKey
/// and, for a volume root, the name under volKey. Null strings stand for "no result".
class XVolumePathFormatter {
public:
    /// The value for a typed or dropped string. False only without a place for the result.
    bool getObjectValue(QVariant* outValue, const QString& string,
                        QString* outErrorDescription = nullptr) const;
    /// What the field shows while not being edited.
    QString stringForObjectValue(const QVariant& value) const;
    /// What the field shows while being edited: always the full path.
    QString editingStringForObjectValue(const QVariant& value) const;
    /// The shown text in bold for a volume root; nothing for anything else, which is drawn
    /// plainly.
    std::optional<XAttributedString> attributedStringForObjectValue(const QVariant& value,
                                                                    const QFont& defaultFont) const;
};
