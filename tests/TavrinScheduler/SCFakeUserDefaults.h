#pragma once

// The user's date and time format preferences as a test sets them.

#include "SCFormatPreferences.h"

#include <QHash>
#include <QString>

#include <optional>

class SCFakeUserDefaults : public SCUserDefaultsSource {
public:
    std::optional<QString> stringForKey(const QString& key) const override {
        if (!values.contains(key)) {
            return std::nullopt;
        }
        return values.value(key);
    }
    QHash<QString, QString> values;
};
