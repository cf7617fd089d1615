#pragma once

#include "Clock.h"

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QTime>

#include <memory>

class QCommandLineParser;
class QTextStream;
class QWidget;

/// The options both preview programs take, and what they set up before their window is made:
/// "--screenshot FILE", "--today YYYY-MM-DD" (a fixed today, so that pictures can be compared),
/// "--language CODE" and "--style NAME" (Fusion unless given).
class SCPreviewCommandLine {
    Q_DECLARE_TR_FUNCTIONS(SCPreviewCommandLine)

public:
    /// styleDescription: what the style option draws, in the program's words.
    explicit SCPreviewCommandLine(const QString& styleDescription);

    const QCommandLineOption& screenshot() const { return mScreenshot; }
    const QCommandLineOption& today() const { return mToday; }
    const QCommandLineOption& language() const { return mLanguage; }
    const QCommandLineOption& style() const { return mStyle; }

    /// Once parser has processed the command line: the style, the translators and, with
    /// "--today", a clock fixed at timeOfDay on that date for as long as this object lives.
    /// false, with the complaint written to err, when the date is none.
    bool apply(const QCommandLineParser& parser, QTime timeOfDay, QTextStream& err);

    /// Saves a picture of widget into file; false, with the complaint written to err, when it
    /// cannot be saved.
    static bool savePicture(QWidget* widget, const QString& file, QTextStream& err);

private:
    QCommandLineOption mScreenshot;
    QCommandLineOption mToday;
    QCommandLineOption mLanguage;
    QCommandLineOption mStyle;
    std::unique_ptr<QorFakeClock> mFixedClock;
    std::unique_ptr<QorScopedClock> mUseFixedClock;
};
