#include "SCLocalization.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// An installed translator must outlive its installation.
std::unique_ptr<QTranslator> gAppTranslator;
std::unique_ptr<QTranslator> gQtTranslator;

void removeOne(std::unique_ptr<QTranslator>& translator) {
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
}

void installLoaded(std::unique_ptr<QTranslator>& slot, std::unique_ptr<QTranslator> loaded) {
    QCoreApplication::installTranslator(loaded.get());
    slot = std::move(loaded);
}

} // namespace

bool SCInstallTranslators(const QLocale& locale) {
    SCRemoveTranslators();

    auto qtTranslator = std::make_unique<QTranslator>();
    if (qtTranslator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installLoaded(gQtTranslator, std::move(qtTranslator));
    }

    auto appTranslator = std::make_unique<QTranslator>();
    if (!appTranslator->load(locale, QStringLiteral("TavrinScheduler"), QStringLiteral("_"),
                             QStringLiteral(":/i18n"))) {
        return false;
    }
    installLoaded(gAppTranslator, std::move(appTranslator));
    return true;
}

void SCRemoveTranslators() {
    removeOne(gAppTranslator);
    removeOne(gQtTranslator);
}
