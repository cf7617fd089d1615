#pragma once

#include <QString>

/// The context of the application's main string table: the keys every window shares (schedule
/// texts, product task kinds, default task names). Mark a key for the translators with
/// QT_TRANSLATE_NOOP("Localizable", "key") where it is defined.
inline constexpr char kSCLocalizableContext[] = "Localizable";

/// The localized text for key in the application's main string table; the key itself when no
/// translation exists.
QString SCLocalizedString(const char* key);
