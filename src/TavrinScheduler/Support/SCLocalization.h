#pragma once

#include <QLocale>

/// Installs, on the running application, its translation for locale and Qt's own (standard
/// dialog buttons). Texts without a translation show in English, as written in the code.
/// Answers whether a translation of the application's texts was found for locale.
bool SCInstallTranslators(const QLocale& locale = QLocale());

/// Removes what SCInstallTranslators installed (for switching languages and for tests).
void SCRemoveTranslators();
