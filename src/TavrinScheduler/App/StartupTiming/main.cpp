// The application's start, up to its window showing the task table, and nothing after: used to
// time the start with a large crontab. Run it inside a demo root (measure-startup.sh).
//
//   TavrinSchedulerStartupTiming --fill N   puts N tasks into an empty crontab and ends
//   TavrinSchedulerStartupTiming            starts, shows the window, draws it once and ends;
//                                           prints the milliseconds from main to the drawing

#include "CrontabTasks.h"
#include "FourCharCode.h"
#include "Preferences.h"
#include "PreferencesArguments.h"
#include "SCApplication.h"
#include "SCEventPort.h"
#include "SCLocalization.h"
#include "SCMainWindowController.h"
#include "SCProductPaths.h"
#include "SCTaskDataSource.h"
#include "SCUpdateEventData.h"
#include "ZQorScheduledTaskArray.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTextStream>
#include <QTimer>

#include <cstdlib>
#include <cstring>

namespace {

int fill(int count) {
    SCTaskDataSource::loadExecutablePaths();
    int32_t status = 0;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&status);
    if (!block || !gRenovixExecPath) {
        return 1;
    }
    const QByteArray path = QFile::encodeName(*gRenovixExecPath);
    const QByteArray data = SCUpdateEventData(kSCUpdateAll).toUtf8();
    for (int i = 0; i < count; ++i) {
        ZQorScheduledTask* task = NewScheduledTask(&status);
        const QByteArray name = QStringLiteral("Update %1").arg(i + 1).toUtf8();
        const int16_t month = -1, day = int16_t(i % 7), hour = int16_t(i % 24),
                      minute = int16_t(i % 60);
        SetTaskEnabled(task, i % 5 != 0);
        SetTaskEventType(task, 1);
        (void)SetTaskName(task, name.constData(), int16_t(name.size()), 1);
        (void)SetEvent(task, QorCode("oapp"), QorCode("aevt"), data.constData());
        (void)SetEventLauncher(task, QorCode("    "), path.constData());
        (void)SetSchedArgs(task, "u");
        SetTaskScheduleType(task, 2);
        SetTaskScheduleTime(task, &month, &day, &hour, &minute);
        (void)AddScheduledTask(block, task, 0);
    }
    return CloseCrontabTasks(block) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QorSetArgumentDomain(argc, argv);
    QorSetCurrentApplicationID(kSCApplicationID);
    if (argc == 3 && std::strcmp(argv[1], "--fill") == 0) {
        return fill(std::atoi(argv[2]));
    }

    SCApplication app(argc, argv);
    SCInstallTranslators();
    SCMainWindowController window(&app.eventPort().receiver());
    window.resize(900, 600);
    window.show();
    window.applicationDidFinishLaunching();
    // The table has been drawn once the first paint of its rows is through.
    QTimer::singleShot(0, &app, [&] {
        window.taskTable()->viewport()->repaint();
        QTextStream(stdout) << sinceStart.elapsed() << " ms, " << window.dataSource()->rowCount()
                            << " tasks" << Qt::endl;
        app.quit();
    });
    return app.exec();
}
