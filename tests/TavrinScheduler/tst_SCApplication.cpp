#include "SCAppTestSupport.h"
#include "SCApplication.h"
#include "SCEventPort.h"
#include "SCTestMain.h"

#include <QProcess>

#include <cerrno>

using namespace SCTest;

namespace {

// The program as it sits in its bundle in the build tree.
QString programPath() {
    return QCoreApplication::applicationDirPath() +
           QStringLiteral("/../../src/TavrinScheduler/App/Tavrin Scheduler.app/Contents/MacOS/"
                          "Tavrin Scheduler");
}

} // namespace

class tst_SCApplication : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SCTest::quietOffscreenWarnings();
        SCTest::quietWindowWarnings();
    }
    void eventBringsTheWindowForward();
    void secondStartBringsTheFirstForward();
    void aliasLinksToTheBundle();
};

void tst_SCApplication::eventBringsTheWindowForward() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCEventPort port;
    QCOMPARE(port.registerPorts(kSCApplicationCreator), noErr);
    SCMainWindowController window(&port.receiver());
    QSignalSpy forward(&window, &SCMainWindowController::broughtForward);
    window.showMinimized();

    QCOMPARE(SCBringRunningInstanceForward(), OSStatus(noErr));
    QVERIFY(forward.wait(5000));
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMinimized());
    // It opens nothing.
    QVERIFY(!window.editTaskController());
}

void tst_SCApplication::secondStartBringsTheFirstForward() {
    // The stand-in crontab command: should the second start ever get as far as its window, it
    // would still not touch a real crontab.
    TaskTestRoot root(CrontabKind::StandInCommand);
    root.installProducts(kAllProducts);
    SCEventPort port;
    QCOMPARE(port.registerPorts(kSCApplicationCreator), noErr);
    SCMainWindowController window(&port.receiver());
    QSignalSpy forward(&window, &SCMainWindowController::broughtForward);
    window.show();

    QProcess second;
    second.setProgram(programPath());
    second.start();
    QVERIFY2(second.waitForStarted(), qPrintable(second.errorString()));
    // This process must answer the event while the second one waits to deliver it.
    QVERIFY(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(forward.count(), 1);
    QCOMPARE(root.tab(), QString());
}

void tst_SCApplication::aliasLinksToTheBundle() {
    TaskTestRoot root;
    const QString bundle =
        root.systemRoot() + "/Applications/Tavrin Solutions/Tavrin Scheduler.app";
    QDir().mkpath(bundle + "/Contents/MacOS");
    const QString folder = QString::fromStdString(QorPath(kApplicationAliasFolder));
    const QString alias = folder + "/Tavrin Scheduler";

    // Without the alias folder nothing is made.
    QCOMPARE(SCMainWindowController::verifyAliasForBundle(bundle), ENOENT);
    QVERIFY(!QFileInfo::exists(folder));

    QDir().mkpath(folder);
    QCOMPARE(SCMainWindowController::verifyAliasForBundle(bundle), 0);
    QCOMPARE(QFileInfo(alias).symLinkTarget(), bundle);
    // A stale link is replaced.
    QFile::remove(alias);
    QFile::link(root.systemRoot() + "/gone.app", alias);
    QCOMPARE(SCMainWindowController::verifyAliasForBundle(bundle), 0);
    QCOMPARE(QFileInfo(alias).symLinkTarget(), bundle);
}

SC_TEST_MAIN(tst_SCApplication)
#include "tst_SCApplication.moc"
