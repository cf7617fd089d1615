#pragma once

// The main function of every Qt test of the application: no display needed, a fixed time
// zone, English texts and formats, and the style the application uses.

#include <QApplication>
#include <QLocale>
#include <QTest>

#include <cstdlib>
#include <ctime>

namespace SCTest {

inline QtMessageHandler gPreviousHandler = nullptr;

// The offscreen platform warns about every top-level window with a fixed size; nothing to learn
// there. Called from initTestCase, once the test library has its own handler in place.
inline void quietOffscreenWarnings() {
    gPreviousHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QLatin1String("does not support propagateSizeHints"))) {
                gPreviousHandler(type, context, message);
            }
        });
}

} // namespace SCTest

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
