#include "CrontabTasks.h"
#include "QorScheduleErr.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCOSTypeConversions.h"
#include "SCProductPaths.h"
#include "SCScanTargetEventData.h"
#include "SCSheet.h"
#include "SCTableColumns.h"
#include "SCTaskDataModel.h"
#include "SCTaskDataSource.h"
#include "SCTaskTestRoot.h"
#include "SCTestMain.h"
#include "SCUpdateEventData.h"

#include <QAbstractItemModelTester>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QSignalSpy>

namespace {

using TestTask = SCTest::TestTask;
using TaskTestRoot = SCTest::TaskTestRoot;
using CrontabKind = SCTest::CrontabKind;
using enum SCTest::Product;

const QStringList kDefaultTaskNames = {QStringLiteral("Custorix Daily Update"),
                                       QStringLiteral("Daily Defragmentation"),
                                       QStringLiteral("Update Virus Protection")};

QString fixedPath(const char* path) {
    return QString::fromStdString(QorPath(path));
}

// A task record's fields, for comparing what was written with what was meant.
struct WrittenTask {
    QString name;
    int kind, scheduleType, month, day, hour, minute, enabled;
    QString options, event, eventClass, eventData, creator, execPath;

    bool operator==(const WrittenTask&) const = default;
};

char* toString(const WrittenTask& t) {
    return qstrdup(QStringLiteral("%1 kind %2 sched %3 %4/%5 %6:%7 on %8 opts '%9' %10 %11 [%12] "
                                  "'%13' %14")
                       .arg(t.name)
                       .arg(t.kind)
                       .arg(t.scheduleType)
                       .arg(t.month)
                       .arg(t.day)
                       .arg(t.hour)
                       .arg(t.minute)
                       .arg(t.enabled)
                       .arg(t.options, t.event, t.eventClass, t.eventData, t.creator, t.execPath)
                       .toUtf8()
                       .constData());
}

WrittenTask fieldsOf(ZQorScheduledTask* task) {
    WrittenTask t;
    t.name = QString::fromUtf8(GetTaskNamePtr(task));
    t.kind = GetTaskEventType(task);
    t.scheduleType = GetTaskScheduleType(task);
    int16_t month, day, hour, minute;
    GetTaskScheduleTime(task, &month, &day, &hour, &minute);
    t.month = month, t.day = day, t.hour = hour, t.minute = minute;
    t.enabled = GetTaskEnabled(task);
    char buffer[2048];
    int16_t length;
    GetSchedArgs(task, buffer, sizeof buffer, &length);
    t.options = QString::fromLatin1(buffer);
    uint32_t event, eventClass, creator;
    GetEvent(task, &event, &eventClass, sizeof buffer, buffer, &length);
    t.event = stringFromOSType(event);
    t.eventClass = stringFromOSType(eventClass);
    t.eventData = QString::fromUtf8(buffer);
    GetEventLauncher(task, &creator, sizeof buffer, buffer, &length);
    t.creator = fourCharacterString(creator);
    t.execPath = QString::fromUtf8(buffer);
    return t;
}

std::vector<WrittenTask> writtenTasks() {
    std::vector<WrittenTask> tasks;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(nullptr);
    if (block) {
        for (uint32_t i = 0; i < block->GetNumItems(); ++i) {
            tasks.push_back(fieldsOf(block->NthValue(i)));
        }
        block->SetDirtyFlag(false);
        CloseCrontabTasks(block);
    }
    return tasks;
}

QStringList rowNames(const SCTaskDataSource& source) {
    QStringList names;
    for (const auto& row : source.cronEntries()) {
        names << row->mName();
    }
    return names;
}

void setArguments(const QStringList& arguments) {
    std::vector<QByteArray> bytes;
    std::vector<const char*> argv = {"Tavrin Scheduler"};
    for (const QString& argument : arguments) {
        bytes.push_back(argument.toUtf8());
    }
    for (const QByteArray& argument : bytes) {
        argv.push_back(argument.constData());
    }
    QorSetArgumentDomain(int(argv.size()), argv.data());
}

} // namespace

class tst_SCTaskDataSource : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void init();
    void cleanup();
    void rowsShowEveryTask();
    void repairRemovesTheTasksOfMissingProducts_data();
    void repairRemovesTheTasksOfMissingProducts();
    void defaultTasksAreInstalledOnce();
    void oneShotRequests_data();
    void oneShotRequests();
    void defaultTasksWaitForTheirProducts();
    void aDefaultTaskThatCannotBeBuiltIsTriedAgain();
    void resetLeavesExactlyTheDefaultTasks();
    void theResetSheetIsModalToTheWindow();
    void theCrontabGoesThroughTheCrontabCommand();
    void aCrontabThatCannotBeListedIsNeverWritten();
    void aFailedSaveIsReportedAndNothingIsLost();
    void readOnlyNeverWrites();

private:
    void install(int products);
    std::unique_ptr<SCTaskDataSource>
    newSource(SCTaskDataSource::Access access = SCTaskDataSource::Access::ReadWrite);
    std::vector<TestTask> tasksOfEveryKind() const;

    std::unique_ptr<TaskTestRoot> mRoot;
};

void tst_SCTaskDataSource::init() {
    mRoot = std::make_unique<TaskTestRoot>();
}

void tst_SCTaskDataSource::cleanup() {
    mRoot.reset();
}

void tst_SCTaskDataSource::install(int products) {
    mRoot->installProducts(products);
}

std::unique_ptr<SCTaskDataSource> tst_SCTaskDataSource::newSource(SCTaskDataSource::Access access) {
    auto source = std::make_unique<SCTaskDataSource>(access);
    new QAbstractItemModelTester(
        source.get(), QAbstractItemModelTester::FailureReportingMode::QtTest, source.get());
    return source;
}

std::vector<TestTask> tst_SCTaskDataSource::tasksOfEveryKind() const {
    const QString renovix = fixedPath(kRenovixPath);
    auto update = [&](const char* name, const QString& eventData) {
        return TestTask{
            QString::fromLatin1(name), 1, 1, -1, 1, 9, 0, 1, renovix, eventData, QorCode("    ")};
    };
    return {
        {"Scan", 2, 2, -1, 3, 2, 30, 1, fixedPath(kTimedSweeperPath),
         eventDataFromPathName("/srv/share"), 0},
        {"Snapshot", 3, 3, -1, -1, 12, 0, 0, fixedPath(kDiskmatePath), SCDefaultRunEventData(), 0},
        {"Defrag", 4, 4, 12, 24, 18, 0, 1, fixedPath(kDensorPath), SCDefaultRunEventData(), 0},
        update("Upd Defs", SCUpdateEventData(kSCUpdateDefinitions)),
        update("Upd Ombrix", SCUpdateEventData(kSCUpdateOmbrix)),
        update("Upd Gearbox", SCUpdateEventData(kSCUpdateGearbox)),
        update("Upd PaliSade", SCUpdateEventData(kSCUpdatePalisade)),
        update("Upd Veilguard", SCUpdateEventData(kSCUpdateVeilguard)),
        update("Upd All", SCUpdateEventData(kSCUpdateAll)),
        update("Upd Empty", QString()),
    };
}

void tst_SCTaskDataSource::rowsShowEveryTask() {
    install(kEverything);
    // Wednesday 15 May 2024, 10:30.
    const QString scan = fixedPath(kTimedSweeperPath);
    mRoot->writeTasks({
        {"Weekly Scan", 2, 2, -1, 3, 2, 30, 1, scan,
         eventDataFromPathName("/Users/Shared/Documents"), 0},
        {"Nightly Snapshot", 3, 3, -1, -1, 12, 0, 0, fixedPath(kDiskmatePath),
         SCDefaultRunEventData(), 0},
        {"Definitions", 1, 1, -1, 1, 9, 0, 1, fixedPath(kRenovixPath),
         SCUpdateEventData(kSCUpdateDefinitions), QorCode("    ")},
        {"Christmas Defrag", 4, 4, 12, 24, 18, 0, 1, fixedPath(kDensorPath),
         SCDefaultRunEventData(), 0},
    });
    setArguments({"-NSTimeFormatString", "%I:%M %p", "-NSDateFormatString", "%A, %B %e, %Y"});

    auto source = newSource();
    QVERIFY(!source->awakeFromNib());
    QCOMPARE(source->rowCount(), 4);

    const SCTaskDataModel& first = *source->cronEntries()[0];
    QCOMPARE(first.mTask(), source->cronArray()->NthValue(0));
    QCOMPARE(first.mName(), QStringLiteral("Weekly Scan"));
    QCOMPARE(first.mFrequency(), QStringLiteral("Weekly"));
    QCOMPARE(first.mEnabled(), 1);
    QCOMPARE(first.mMonth(), -1);
    QCOMPARE(first.mDay(), 3);
    QCOMPARE(first.mHour(), 2);
    QCOMPARE(first.mMinute(), 30);
    QCOMPARE(first.mCreator(), QStringLiteral("    ")); // a zero code reads back as blanks
    QCOMPARE(first.mEvent(), QStringLiteral("oapp"));
    QCOMPARE(first.mClass(), QStringLiteral("aevt"));
    QCOMPARE(first.mExecPath(), *gScanExecPath);
    QCOMPARE(first.mEventData(), QStringLiteral("\"path\" \"/Users/Shared/Documents\""));
    QCOMPARE(first.mTaskName(), QStringLiteral("Ombrix Scan: .../Documents"));
    QCOMPARE(first.mNextLaunch(), QDateTime(QDate(2024, 5, 22), QTime(2, 30)));
    QCOMPARE(source->cronEntries()[2]->mCreator(), QStringLiteral("    "));

    auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
        return source->data(source->index(row, column), role);
    };
    const QStringList descriptions = {"Ombrix Scan: .../Documents", "Custorix Snapshot",
                                      "Product Update: Virus Definitions", "Defragment Files"};
    const QStringList nextLaunches = {"Wednesday, 02:30 AM", "Today, 12:00 PM",
                                      "June 1, 2024, 09:00 AM", "December 24, 2024, 06:00 PM"};
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(cell(row, kSCTaskNameColumn).toString(), descriptions[row]);
        QCOMPARE(cell(row, kSCNextLaunchColumn).toString(), nextLaunches[row]);
    }
    QCOMPARE(cell(1, kSCFrequencyColumn).toString(), QStringLiteral("Daily"));
    QCOMPARE(cell(3, kSCNameColumn, SCTaskDataSource::ValueRole).toString(),
             QStringLiteral("Christmas Defrag"));

    // A disabled task: its box is clear and its texts are greyed; the box keeps its colour.
    const QPalette palette = QGuiApplication::palette();
    QCOMPARE(cell(0, kSCEnabledColumn, Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(cell(1, kSCEnabledColumn, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(cell(0, kSCNameColumn, Qt::ForegroundRole).value<QColor>(),
             palette.color(QPalette::Active, QPalette::Text));
    QCOMPARE(cell(1, kSCNameColumn, Qt::ForegroundRole).value<QColor>(),
             palette.color(QPalette::Disabled, QPalette::Text));
    QVERIFY(!cell(1, kSCEnabledColumn, Qt::ForegroundRole).isValid());
    QVERIFY(!cell(1, kSCEnabledColumn).isValid());
    QCOMPARE(cell(0, kSCNameColumn, Qt::FontRole).value<QFont>(), SCTaskDataSource::tableFont());
    QVERIFY(SCTaskDataSource::tableFont().pointSizeF() <= QGuiApplication::font().pointSizeF());
}

void tst_SCTaskDataSource::repairRemovesTheTasksOfMissingProducts_data() {
    QTest::addColumn<int>("products");
    QTest::addColumn<QStringList>("removed");

    QTest::newRow("everything installed") << int(kEverything) << QStringList();
    QTest::newRow("no update application")
        << (kEverything & ~kRenovix)
        << QStringList{"Upd Defs",      "Upd Ombrix", "Upd Gearbox", "Upd PaliSade",
                       "Upd Veilguard", "Upd All",    "Upd Empty"};
    QTest::newRow("no scanner at all")
        << (kEverything & ~(kSweeper | kWardline)) << QStringList{"Scan", "Upd Defs", "Upd Ombrix"};
    QTest::newRow("only the always-on scanner") << (kEverything & ~kSweeper) << QStringList();
    QTest::newRow("no snapshot tool")
        << (kEverything & ~kDiskmate) << QStringList{"Snapshot", "Upd Gearbox"};
    QTest::newRow("no defragmentation tool") << (kEverything & ~kDensor) << QStringList();
    QTest::newRow("no firewall, no privacy product")
        << (kEverything & ~(kPalisade | kVeilguard))
        << QStringList{"Upd PaliSade", "Upd Veilguard"};
}

void tst_SCTaskDataSource::repairRemovesTheTasksOfMissingProducts() {
    QFETCH(int, products);
    QFETCH(QStringList, removed);

    install(products);
    QStringList kept;
    for (const TestTask& task : tasksOfEveryKind()) {
        if (!removed.contains(task.name)) {
            kept << task.name;
        }
    }
    mRoot->writeTasks(tasksOfEveryKind(), QStringLiteral("# mine\n"));

    auto source = newSource();
    source->awakeFromNib();
    QCOMPARE(rowNames(*source), kept);
    QCOMPARE(mRoot->taskNames(), kept);
    QVERIFY(mRoot->tab().startsWith(QStringLiteral("# mine\n#ZovE")));
}

void tst_SCTaskDataSource::defaultTasksAreInstalledOnce() {
    install(kEverything);
    setArguments({"-setDefaultTasks", "all"});

    auto source = newSource();
    QSignalSpy posted(&SCNotificationCenter::defaultCenter(), &SCNotificationCenter::posted);
    QVERIFY(source->awakeFromNib()); // a one-shot run: the application quits
    QCOMPARE(posted.count(), 3);
    QCOMPARE(posted.first().first().toString(), QString::fromLatin1(AddRowNotification));
    source.reset();

    const QString eventData = QStringLiteral("\"exAG\"  \"-d0\"");
    const std::vector<WrittenTask> expected = {
        {"Custorix Daily Update", 3, 3, -1, -1, 12, 0, 1, "", "oapp", "aevt", eventData, "    ",
         *gDiskmateExecPath},
        {"Daily Defragmentation", 4, 3, -1, -1, 0, 0, 1, "", "oapp", "aevt", eventData, "    ",
         *gDensorExecPath},
        // Monthly on the 1st, at the hour it was installed (10:30 now).
        {"Update Virus Protection", 1, 1, -1, 1, 10, 0, 1, "u", "oapp", "aevt",
         "\"exAG\" \"-update RVdf\"", "    ", *gRenovixExecPath},
    };
    const std::vector<WrittenTask> written = writtenTasks();
    QCOMPARE(written.size(), expected.size());
    for (size_t i = 0; i < written.size(); ++i) {
        QCOMPARE(written[i], expected[i]);
    }
    for (const char* marker : {"CXDefault", "DNDefault", "RVDefault"}) {
        QVERIFY2(TaskTestRoot::marker(marker), marker);
    }

    // The next start with the same request finds the markers set.
    auto again = newSource();
    QVERIFY(again->awakeFromNib());
    again.reset();
    QCOMPARE(mRoot->taskNames(), kDefaultTaskNames);
}

void tst_SCTaskDataSource::oneShotRequests_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<QStringList>("installedAgain");

    QTest::newRow("uOMB") << "uOMB" << QStringList{"Update Virus Protection"};
    QTest::newRow("uTGM") << "uTGM"
                          << QStringList{"Custorix Daily Update", "Daily Defragmentation"};
    QTest::newRow("anything else") << "uXYZ" << QStringList();
}

void tst_SCTaskDataSource::oneShotRequests() {
    QFETCH(QString, request);
    QFETCH(QStringList, installedAgain);

    // The default tasks were installed once, and the user deleted them since.
    install(kEverything);
    for (const char* marker : {"CXDefault", "DNDefault", "RVDefault"}) {
        TaskTestRoot::setMarker(marker, true);
    }
    mRoot->writeTasks({});

    setArguments({"-setDefaultTasks", request});
    QVERIFY(newSource()->awakeFromNib());
    QCOMPARE(mRoot->taskNames(), QStringList());

    setArguments({"-setDefaultTasks", "all"});
    QVERIFY(newSource()->awakeFromNib());
    QCOMPARE(mRoot->taskNames(), installedAgain);
}

void tst_SCTaskDataSource::defaultTasksWaitForTheirProducts() {
    install(kDiskmate | kRenovix);
    setArguments({"-setDefaultTasks", "all"});
    QVERIFY(newSource()->awakeFromNib());
    QCOMPARE(mRoot->taskNames(), QStringList{"Custorix Daily Update"});
    QVERIFY(!TaskTestRoot::marker("DNDefault"));
    QVERIFY(!TaskTestRoot::marker("RVDefault"));

    // The scanner and the defragmentation tool come later.
    install(kSweeper | kDensor);
    gCalculatedScheduledScanPath = nullptr; // a new process chooses the scan path again
    QVERIFY(newSource()->awakeFromNib());
    QCOMPARE(mRoot->taskNames(), kDefaultTaskNames);
}

void tst_SCTaskDataSource::aDefaultTaskThatCannotBeBuiltIsTriedAgain() {
    // Product paths too long for a task record: the tasks cannot be built.
    mRoot.reset();
    mRoot = std::make_unique<TaskTestRoot>(CrontabKind::InMemory,
                                           QDateTime(QDate(2024, 5, 15), QTime(10, 30)),
                                           u'/' + QString(200, u'r'));
    install(kEverything);
    setArguments({"-setDefaultTasks", "all"});
    QVERIFY(newSource()->awakeFromNib());
    QCOMPARE(mRoot->taskNames(), QStringList());
    for (const char* marker : {"CXDefault", "DNDefault", "RVDefault"}) {
        QVERIFY2(!TaskTestRoot::marker(marker), marker);
    }
}

void tst_SCTaskDataSource::resetLeavesExactlyTheDefaultTasks() {
    install(kEverything);
    for (const char* marker : {"CXDefault", "DNDefault", "RVDefault"}) {
        TaskTestRoot::setMarker(marker, true);
    }
    std::vector<TestTask> tasks = tasksOfEveryKind();
    mRoot->writeTasks(tasks, QStringLiteral("MAILTO=ann\n"));
    auto source = newSource();
    source->awakeFromNib();

    {
        SCScopedSheetAnswers answers({kSCSheetDefaultReturn});
        const size_t commands = mRoot->crontab().Commands().size();
        source->resetDefaults(nullptr);
        QTRY_COMPARE(answers.asked().size(), size_t(1));
        QCoreApplication::processEvents();
        QCOMPARE(mRoot->crontab().Commands().size(), commands); // "Don't Reset": nothing
        QCOMPARE(source->rowCount(), int(tasks.size()));
    }

    SCScopedSheetAnswers answers({kSCSheetAlternateReturn});
    source->resetDefaults(nullptr);
    QTRY_COMPARE(mRoot->taskNames(), kDefaultTaskNames);
    QCOMPARE(rowNames(*source), kDefaultTaskNames);
    QVERIFY(mRoot->tab().startsWith(QStringLiteral("MAILTO=ann\n#ZovE")));

    const SCSheetRequest& sheet = answers.asked().at(0);
    QCOMPARE(sheet.title, QStringLiteral("Reset Scheduled Tasks"));
    QCOMPARE(sheet.defaultButton, QStringLiteral("Don't Reset"));
    QCOMPARE(sheet.alternateButton, QStringLiteral("Reset"));
    QCOMPARE(sheet.message, QStringLiteral("This will delete ALL tasks you have created.  Are you "
                                           "sure you want to reset to defaults?"));
}

void tst_SCTaskDataSource::theResetSheetIsModalToTheWindow() {
    install(kEverything);
    mRoot->writeTasks({{"Mine", 4, 3, -1, -1, 1, 0, 1, fixedPath(kDensorPath), "", 0}});
    auto source = newSource();
    source->awakeFromNib();
    QWidget window;
    window.show();

    source->resetDefaults(&window);
    QMessageBox* sheet = nullptr;
    QTRY_VERIFY((sheet = SCOpenSheet(&window)) != nullptr);
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QCOMPARE(sheet->text(), QStringLiteral("Reset Scheduled Tasks"));
    QAbstractButton* reset = nullptr;
    for (QAbstractButton* button : sheet->buttons()) {
        if (button->text() == QStringLiteral("Reset")) {
            reset = button;
        }
    }
    QVERIFY(reset);
    QCOMPARE(sheet->defaultButton()->text(), QStringLiteral("Don't Reset"));
    reset->click();
    QTRY_COMPARE(mRoot->taskNames(), kDefaultTaskNames);
}

void tst_SCTaskDataSource::theCrontabGoesThroughTheCrontabCommand() {
    mRoot.reset();
    mRoot = std::make_unique<TaskTestRoot>(CrontabKind::StandInCommand);
    install(kEverything);
    const QString userLines = QStringLiteral("MAILTO=ann\n0 1 * * * backup\n");
    mRoot->writeTasks({{"Nightly Snapshot", 3, 3, -1, -1, 1, 15, 0, fixedPath(kDiskmatePath),
                        SCDefaultRunEventData(), 0}},
                      userLines);
    QVERIFY(mRoot->tab().contains(QStringLiteral("Nightly Snapshot")));

    setArguments({"-setDefaultTasks", "all"});
    QVERIFY(newSource()->awakeFromNib());
    QCOMPARE(mRoot->taskNames(), QStringList{"Nightly Snapshot"} + kDefaultTaskNames);
    const QString tab = mRoot->tab();
    QVERIFY2(tab.startsWith(userLines + "#ZovE\tVERSION = 1.0.0\n"), qPrintable(tab));
    QVERIFY(tab.contains(QStringLiteral("\n#15 1 * * * \""))); // still disabled
    QVERIFY(tab.endsWith(QStringLiteral("#ZovE END QORVANIX CRON ENTRIES\n")));
    QCOMPARE(QDir(mRoot->systemRoot() + "/tmp").entryList(QDir::Files), QStringList());
}

void tst_SCTaskDataSource::aCrontabThatCannotBeListedIsNeverWritten() {
    install(kEverything);
    mRoot->writeTasks(tasksOfEveryKind());
    const QString before = mRoot->tab();
    const size_t commandsBefore = mRoot->crontab().Commands().size();
    mRoot->crontab().FailList(QorCrontabStatus::kFailed, "crontab: simulated failure");

    setArguments({"-setDefaultTasks", "all"});
    auto source = newSource();
    QCOMPARE(source->cronArray(), nullptr);
    QVERIFY(source->awakeFromNib());
    source->didEndResetSheet(kSCSheetAlternateReturn);
    source.reset();

    QCOMPARE(mRoot->tab(), before);
    const std::vector<std::string>& commands = mRoot->crontab().Commands();
    for (size_t i = commandsBefore; i < commands.size(); ++i) {
        QCOMPARE(QString::fromStdString(commands[i]), QStringLiteral("crontab -l"));
    }
    // Nothing was installed, so a later start installs the default tasks.
    QVERIFY(!TaskTestRoot::marker("CXDefault"));
    QVERIFY(!TaskTestRoot::marker("RVDefault"));
}

void tst_SCTaskDataSource::aFailedSaveIsReportedAndNothingIsLost() {
    install(kEverything);
    mRoot->writeTasks({});
    mRoot->crontab().FailInstall("crontab: simulated failure");
    setArguments({"-setDefaultTasks", "all"});

    auto source = newSource();
    QSignalSpy failures(source.get(), &SCTaskDataSource::crontabSaveFailed);
    QVERIFY(source->awakeFromNib());
    QCOMPARE(failures.count(), 3);
    QCOMPARE(failures.first().first().toInt(), kQorSchedErrCrontabSave);
    QCOMPARE(source->rowCount(), 3); // the table shows what the block holds
    QCOMPARE(mRoot->taskNames(), QStringList());

    // Once the crontab can be written again, closing writes what was kept.
    mRoot->crontab().Heal();
    source.reset();
    QCOMPARE(mRoot->taskNames(), kDefaultTaskNames);
}

void tst_SCTaskDataSource::readOnlyNeverWrites() {
    install(kRenovix); // the scan and snapshot tasks would be repaired away
    mRoot->writeTasks(tasksOfEveryKind());
    const QString before = mRoot->tab();
    const size_t commandsBefore = mRoot->crontab().Commands().size();
    setArguments({"-setDefaultTasks", "all"});

    auto source = newSource(SCTaskDataSource::Access::ReadOnly);
    QVERIFY(!source->awakeFromNib()); // shows the tasks instead of installing anything
    QCOMPARE(source->rowCount(), int(tasksOfEveryKind().size()));
    const QModelIndex box = source->index(0, kSCEnabledColumn);
    QVERIFY(!source->flags(box).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!source->setData(box, Qt::Unchecked, Qt::CheckStateRole));
    source->didEndResetSheet(kSCSheetAlternateReturn);
    source.reset();

    QCOMPARE(mRoot->tab(), before);
    const std::vector<std::string>& commands = mRoot->crontab().Commands();
    for (size_t i = commandsBefore; i < commands.size(); ++i) {
        QCOMPARE(QString::fromStdString(commands[i]), QStringLiteral("crontab -l"));
    }
}

SC_TEST_MAIN(tst_SCTaskDataSource)
#include "tst_SCTaskDataSource.moc"
