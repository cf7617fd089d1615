#include "SCPreviewCommandLine.h"

#include "SCLocalization.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QLocale>
#include <QStyleFactory>
#include <QTextStream>
#include <QWidget>

SCPreviewCommandLine::SCPreviewCommandLine(const QString& styleDescription)
    : mScreenshot(QStringLiteral("screenshot"), tr("Saves a picture of the window."),
                  QStringLiteral("file")),
      mToday(QStringLiteral("today"), tr("Takes this date as today."),
             QStringLiteral("yyyy-mm-dd")),
      mLanguage(QStringLiteral("language"), tr("Shows the texts in this language."),
                QStringLiteral("code")),
      mStyle(QStringLiteral("style"), styleDescription, QStringLiteral("name"),
             QStringLiteral("Fusion")) {}

bool SCPreviewCommandLine::apply(const QCommandLineParser& parser, QTime timeOfDay,
                                 QTextStream& err) {
    if (QStyle* chosen = QStyleFactory::create(parser.value(mStyle))) {
        QApplication::setStyle(chosen);
    }
    if (parser.isSet(mLanguage)) {
        const QLocale locale(parser.value(mLanguage));
        QLocale::setDefault(locale);
        SCInstallTranslators(locale);
    } else {
        SCInstallTranslators();
    }
    if (!parser.isSet(mToday)) {
        return true;
    }
    const QDate date = QDate::fromString(parser.value(mToday), Qt::ISODate);
    if (!date.isValid()) {
        err << tr("Not a date: %1 (expected yyyy-mm-dd).").arg(parser.value(mToday)) << Qt::endl;
        return false;
    }
    mFixedClock = std::make_unique<QorFakeClock>(
        QDateTime(date, timeOfDay, Qt::LocalTime).toSecsSinceEpoch());
    mUseFixedClock = std::make_unique<QorScopedClock>(mFixedClock.get());
    return true;
}

bool SCPreviewCommandLine::savePicture(QWidget* widget, const QString& file, QTextStream& err) {
    if (widget->grab().save(file)) {
        return true;
    }
    err << tr("Cannot save the picture %1.").arg(file) << Qt::endl;
    return false;
}
