#pragma once

// The main function of every Qt test of the application: no display needed, a fixed time
// zone, English texts and formats, and the style the application uses.

#include <QApplication>
#include <QLocale>
#include <QTest>

#include <cstdlib>
#include <ctime>

#define SC_TEST_MAIN(TestClass)                                                                    \
    int main(int argc, char** argv) {                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        }                                                                                          \
        qputenv("TZ", "UTC");                                                                      \
        tzset();                                                                                   \
        QApplication app(argc, argv);                                                              \
        QApplication::setStyle(QStringLiteral("Fusion"));                                          \
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));                     \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
