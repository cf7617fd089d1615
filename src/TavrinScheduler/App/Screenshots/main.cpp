// Takes the pictures of the application's windows for the documentation. Run it inside a demo
// root with the products installed (take-screenshots.sh sets one up) and with a display: it
// fills an empty crontab with a few tasks of every kind, then pictures the main window, the
// new-task sheet and each editor with one of those tasks.

#include "Clock.h"
#include "CrontabTasks.h"
#include "FourCharCode.h"
#include "Preferences.h"
#include "PreferencesArguments.h"
#include "SCApplication.h"
#include "SCLocalization.h"
#include "SCMainWindowController.h"
#include "SCProductPaths.h"
#include "SCScanTargetEventData.h"
#include "SCTaskDataSource.h"
#include "SCUpdateEventData.h"
#include "SCWindowControllerBase.h"
#include "ZQorScheduledTaskArray.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTextStream>
#include <QWindow>

#include <memory>

namespace {

struct SampleTask {
    const char* name;
    int16_t kind;
    int16_t scheduleType;
    int16_t month, day, hour, minute;
    bool enabled;
    const std::optional<QString>* execPath;
    QString eventData;
    const char* options;
};

void addSampleTasks() {
    int32_t status = 0;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&status);
    if (!block) {
        return;
    }
    if (block->GetNumItems() == 0) {
        const SampleTask tasks[] = {
            {"Weekly full scan", 2, 2, -1, 0, 2, 0, true, &gScanExecPath,
             eventDataFromPathName(QStringLiteral("/home")), "n"},
            {"Update virus definitions", 1, 3, -1, -1, 9, 0, true, &gRenovixExecPath,
             SCUpdateEventData(kSCUpdateDefinitions), "u"},
            {"Custorix Daily Update", 3, 3, -1, -1, 12, 0, true, &gDiskmateExecPath,
             SCDefaultRunEventData(), nullptr},
            {"Scan downloads", 2, 1, -1, 15, 20, 30, true, &gScanExecPath,
             eventDataFromPathName(QStringLiteral("/home/shared/Downloads")), "n"},
            {"Monthly defragmentation", 4, 1, -1, 1, 3, 0, false, &gDensorExecPath,
             SCDefaultRunEventData(), nullptr},
            {"Year-end update of all products", 1, 4, 12, 27, 18, 0, true, &gRenovixExecPath,
             SCUpdateEventData(kSCUpdateAll), "u"},
        };
        for (const SampleTask& sample : tasks) {
            if (!*sample.execPath) {
                continue;
            }
            ZQorScheduledTask* task = NewScheduledTask(&status);
            const QByteArray name(sample.name);
            SetTaskEnabled(task, sample.enabled ? 1 : 0);
            SetTaskEventType(task, sample.kind);
            (void)SetTaskName(task, name.constData(), int16_t(name.size()), 1);
            (void)SetEvent(task, sample.kind == 2 ? QorCode("OMsi") : QorCode("oapp"),
                           sample.kind == 2 ? QorCode("SCae") : QorCode("aevt"),
                           sample.eventData.toUtf8().constData());
            (void)SetEventLauncher(task, sample.kind == 1 ? QorCode("    ") : 0,
                                   QFile::encodeName(**sample.execPath).constData());
            if (sample.options) {
                (void)SetSchedArgs(task, sample.options);
            }
            SetTaskScheduleType(task, sample.scheduleType);
            SetTaskScheduleTime(task, &sample.month, &sample.day, &sample.hour, &sample.minute);
            (void)AddScheduledTask(block, task, 0);
        }
    }
    (void)CloseCrontabTasks(block);
}

// Runs the event loop for a while, so that windows are mapped and drawn.
void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

bool exposed(QWidget* widget) {
    for (int i = 0; i < 100 && !(widget->windowHandle() && widget->windowHandle()->isExposed());
         ++i) {
        wait(20);
    }
    return widget->windowHandle() && widget->windowHandle()->isExposed();
}

bool save(QWidget* widget, const QString& file, QTextStream& err) {
    QCoreApplication::processEvents();
    if (!widget->grab().save(file)) {
        err << "cannot save " << file << Qt::endl;
        return false;
    }
    return true;
}

bool selectTask(SCMainWindowController& window, const QString& name) {
    QAbstractItemModel* model = window.taskTable()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == name) {
            window.taskTable()->selectRow(row);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QorSetCurrentApplicationID(kSCApplicationID);
    SCApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Folder of the pictures."),
                                    QStringLiteral("folder"), QStringLiteral("."));
    const QCommandLineOption now(QStringLiteral("now"),
                                 QStringLiteral("The local time the windows are shown at."),
                                 QStringLiteral("yyyy-mm-ddThh:mm"));
    parser.addOptions({output, now});
    parser.addHelpOption();
    parser.process(app);
    QTextStream err(stderr);
    SCInstallTranslators();

    std::unique_ptr<QorFakeClock> clock;
    std::unique_ptr<QorScopedClock> useClock;
    if (parser.isSet(now)) {
        const QDateTime at = QDateTime::fromString(parser.value(now), Qt::ISODate);
        if (!at.isValid()) {
            err << "not a time: " << parser.value(now) << Qt::endl;
            return 2;
        }
        clock = std::make_unique<QorFakeClock>(at.toSecsSinceEpoch());
        useClock = std::make_unique<QorScopedClock>(clock.get());
    }

    QorUserDefaults defaults;
    defaults.SetBool(kToolbarVisibleKey, true);
    (void)defaults.Synchronize();
    SCTaskDataSource::loadExecutablePaths();
    addSampleTasks();

    const QDir folder(parser.value(output));
    SCMainWindowController window;
    window.resize(900, 440);
    window.show();
    if (!exposed(&window)) {
        err << "the window was not shown" << Qt::endl;
        return 1;
    }
    selectTask(window, QStringLiteral("Update virus definitions"));
    if (!save(&window, folder.filePath(QStringLiteral("main-window.png")), err)) {
        return 1;
    }

    window.newTask();
    wait(200);
    if (!save(window.newTaskSheet(), folder.filePath(QStringLiteral("new-task-sheet.png")), err)) {
        return 1;
    }
    window.cancelNewTask();

    const std::pair<const char*, const char*> editors[] = {
        {"Weekly full scan", "editor-scan.png"},
        {"Year-end update of all products", "editor-update.png"},
        {"Custorix Daily Update", "editor-snapshot.png"},
        {"Monthly defragmentation", "editor-defragmentation.png"},
    };
    for (const auto& [task, file] : editors) {
        if (!selectTask(window, QLatin1String(task))) {
            continue;
        }
        window.editTask();
        SCWindowControllerBase* editor = window.editTaskController();
        if (!editor) {
            continue;
        }
        exposed(editor);
        wait(200);
        if (!save(editor, folder.filePath(QLatin1String(file)), err)) {
            return 1;
        }
        editor->doCancel();
        QCoreApplication::processEvents();
    }
    return 0;
}
