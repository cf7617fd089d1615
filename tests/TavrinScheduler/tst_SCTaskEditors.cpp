#include "SCAppTestSupport.h"
#include "SCCalendarDayCell.h"
#include "SCCalendarMonthlyView.h"
#include "SCCalendarView.h"
#include "SCClockView.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCOmbrixWindowController.h"
#include "SCRenovixWindowController.h"
#include "SCTestMain.h"
#include "SCTestVolumes.h"
#include "SCWeekView.h"
#include "XDragFileTxtFldFormNoNetwork.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStackedWidget>
#include <QUrl>

using namespace SCTest;

namespace {

enum class Editor { Scan, Update, Snapshot, Defrag };

// Opens the editor of a new task of the kind through the main window.
SCWindowControllerBase* openNew(SCMainWindowController& window, Editor kind) {
    switch (kind) {
    case Editor::Scan:
        window.ombrixWindow();
        break;
    case Editor::Update:
        window.renovixWindow();
        break;
    case Editor::Snapshot:
        window.custorixWindow();
        break;
    case Editor::Defrag:
        window.defragWindow();
        break;
    }
    return window.editTaskController();
}

const TestTask kWeeklySnapshot = {
    QStringLiteral("Snapshot"),          3, 2, -1, 3, 22, 45, 1, QString(),
    QStringLiteral("\"exAG\"  \"-d0\""), 0};

QString snapshotLine(const QString& time, const QString& execPath) {
    return QStringLiteral(
               " %1 \"ROOT/Library/Application Support/Tavrin Solutions "
               "Support/Scheduler/taskKicker\"  0  \"%2\"  \"    \"  \"oapp\"  \"aevt\"  "
               "\"exAG\"  \"-d0\"")
        .arg(time, execPath);
}

} // namespace

Q_DECLARE_METATYPE(Editor)

class tst_SCTaskEditors : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SCTest::quietOffscreenWarnings();
        SCTest::quietWindowWarnings();
    }
    void newTaskWritesItsTwoLines_data();
    void newTaskWritesItsTwoLines();
    void editingChangesOnlyThatTasksLines();
    void nameSheet_data();
    void nameSheet();
    void closeBoxAsksOnlyWhenSomethingChanged_data();
    void closeBoxAsksOnlyWhenSomethingChanged();
    void saveSheetButtons_data();
    void saveSheetButtons();
    void unsafeScanTargetIsRefused_data();
    void unsafeScanTargetIsRefused();
    void failedCrontabWriteKeepsTheEditorOpen_data();
    void failedCrontabWriteKeepsTheEditorOpen();
    void longNameIsRefused();
    void dailyNote_data();
    void dailyNote();
    void windowTitleAndFrame();
    void scanTargetByDropAndByPanel();
    void updateEditorProductMenu();
};

void tst_SCTaskEditors::newTaskWritesItsTwoLines_data() {
    QTest::addColumn<Editor>("editor");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<QStringList>("lines");
    const QString kicker = QStringLiteral(
        "\"ROOT/Library/Application Support/Tavrin Solutions Support/Scheduler/taskKicker\"");
    QTest::newRow("scan, weekly on Sunday")
        << Editor::Scan << "Sunday scan" << 1
        << QStringList{"# Enc=1 Name=\"Sunday scan\"  EvType1=2 EvType2=0 Sched=2 ",
                       " 15 3 * * 0 " + kicker +
                           " -n  0  \"ROOT/Library/Application Support/Tavrin Solutions "
                           "Support/Tavrin Ombrix/timedSweeper\"  \"    \"  \"OMsi\"  \"SCae\"  "
                           "\"path\" \"ROOT/Shared Files\""};
    QTest::newRow("update, monthly on the 28th")
        << Editor::Update << "Definitions" << 0
        << QStringList{"# Enc=1 Name=Definitions  EvType1=1 EvType2=0 Sched=1 ",
                       " 15 3 28 * * " + kicker +
                           " -u  0  \"ROOT/Applications/Tavrin "
                           "Solutions/Renovix.app/Contents/MacOS/Renovix\"  \"    \"  \"oapp\"  "
                           "\"aevt\"  \"exAG\" \"-update RVdf\""};
    QTest::newRow("snapshot, daily")
        << Editor::Snapshot << "Nightly" << 2
        << QStringList{"# Enc=1 Name=Nightly  EvType1=3 EvType2=0 Sched=3 ",
                       " 15 3 * * * " + kicker +
                           "  0  \"ROOT/Library/Application Support/Tavrin Solutions "
                           "Support/Tavrin Gearbox/Tavrin Diskmate\"  \"    \"  \"oapp\"  "
                           "\"aevt\"  \"exAG\"  \"-d0\""};
    QTest::newRow("defragmentation, annually on 24 December")
        << Editor::Defrag << "Year end" << 3
        << QStringList{"# Enc=1 Name=\"Year end\"  EvType1=4 EvType2=0 Sched=4 ",
                       " 15 3 24 12 * " + kicker +
                           "  0  \"ROOT/Library/Application Support/Tavrin Solutions "
                           "Support/Tavrin Gearbox/Tavrin Densor\"  \"    \"  \"oapp\"  "
                           "\"aevt\"  \"exAG\"  \"-d0\""};
}

void tst_SCTaskEditors::newTaskWritesItsTwoLines() {
    QFETCH(Editor, editor);
    QFETCH(QString, name);
    QFETCH(int, frequency);
    QFETCH(QStringList, lines);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    QDir(root.systemRoot()).mkpath(QStringLiteral("Shared Files"));
    root.setTab(QStringLiteral("MAILTO=me\n"));
    SCScopedSheetAnswers answers;
    SCMainWindowController window;
    QSignalSpy gone(&SCNotificationCenter::defaultCenter(), &SCNotificationCenter::posted);

    SCWindowControllerBase* edit = openNew(window, editor);
    QVERIFY(edit);
    QVERIFY(!window.newButton()->isEnabled());
    edit->taskName()->setText(name);
    edit->frequencyButton()->setCurrentIndex(frequency);
    QCOMPARE(edit->tabView()->currentIndex(), frequency);
    edit->timeView()->setHour(3);
    edit->timeView()->setMin(15);
    switch (frequency) {
    case 0:
        edit->monthlyCalendarView()->cell(27)->click();
        break;
    case 1:
        edit->weekView()->dayButton(0)->click();
        break;
    case 3:
        edit->calendarView()->setSelectedDay(QDateTime(QDate(2024, 12, 24), QTime()));
        break;
    }
    if (auto* scan = qobject_cast<SCOmbrixWindowController*>(edit)) {
        scan->scanSelection()->setStringValue(root.systemRoot() + "/Shared Files");
    }
    if (auto* update = qobject_cast<SCRenovixWindowController*>(edit)) {
        update->productButton()->setCurrentText(QStringLiteral("Virus Definitions"));
    }
    edit->doSave();
    settle();

    QVERIFY(answers.asked().empty());
    QCOMPARE(root.tab(), blockTab(lines, root.systemRoot(), QStringLiteral("MAILTO=me\n")));
    QVERIFY(editorClosed(window));
    QVERIFY(window.newButton()->isEnabled());
    QCOMPARE(window.dataSource()->rowCount(), 1);
    bool addRowPosted = false;
    for (const QList<QVariant>& post : gone) {
        addRowPosted = addRowPosted || post.at(0).toString() == AddRowNotification;
    }
    QVERIFY(addRowPosted);
}

void tst_SCTaskEditors::editingChangesOnlyThatTasksLines() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    const QString diskmate = resolved(kDiskmatePath);
    TestTask first = kWeeklySnapshot, second = kWeeklySnapshot, third = kWeeklySnapshot;
    first.name = "First", second.name = "Second", third.name = "Third";
    first.execPath = second.execPath = third.execPath = diskmate;
    second.enabled = 0;
    root.writeTasks({first, second, third}, QStringLiteral("MAILTO=me\n0 1 * * * backup\n"));
    const QStringList before = root.tab().split('\n');

    SCScopedSheetAnswers answers;
    SCMainWindowController window;
    QVERIFY(selectTask(window, "Second"));
    window.editTask();
    SCWindowControllerBase* edit = window.editTaskController();
    QVERIFY(edit);
    QCOMPARE(edit->windowTitle(), QStringLiteral("   Edit Custorix Snapshot Task"));
    // The editor shows the task: weekly on Wednesday at 22:45.
    QCOMPARE(edit->taskName()->text(), QStringLiteral("Second"));
    QCOMPARE(edit->frequencyButton()->currentText(), QStringLiteral("Weekly"));
    QCOMPARE(edit->tabView()->currentIndex(), 1);
    QCOMPARE(edit->weekView()->selectedDay(), 3);
    QCOMPARE(edit->timeView()->selectedHour(), 22);
    QCOMPARE(edit->timeView()->selectedMinute(), 45);
    QVERIFY(!edit->shouldDisplaySavePrompt());

    edit->timeView()->setHour(6);
    edit->doSave();
    settle();
    QVERIFY(editorClosed(window));

    const QStringList after = root.tab().split('\n');
    QCOMPARE(after.size(), before.size());
    QStringList changed;
    for (int i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            changed << after[i];
        }
    }
    // Saving enables the task again and keeps its lines in their place.
    const QString now = snapshotLine("45 6 * * 3", diskmate).replace("ROOT", root.systemRoot());
    const QString was = snapshotLine("45 22 * * 3", diskmate).replace("ROOT", root.systemRoot());
    QCOMPARE(changed, QStringList{now});
    QCOMPARE(before.indexOf("#" + was.mid(1)), after.indexOf(now));
}

void tst_SCTaskEditors::nameSheet_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("Enter Name") << kSCSheetDefaultReturn << true;
    QTest::newRow("Don't Save") << kSCSheetAlternateReturn << false;
}

void tst_SCTaskEditors::nameSheet() {
    QFETCH(int, answer);
    QFETCH(bool, staysOpen);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCScopedSheetAnswers answers({answer});
    SCMainWindowController window;
    SCWindowControllerBase* edit = openNew(window, Editor::Defrag);
    edit->doSave();
    settle();

    QCOMPARE(answers.asked().size(), size_t(1));
    const SCSheetRequest& sheet = answers.asked().front();
    QCOMPARE(sheet.title, QStringLiteral("No name entered for the Task."));
    QCOMPARE(sheet.defaultButton, QStringLiteral("Enter Name"));
    QCOMPARE(sheet.alternateButton, QStringLiteral("Don't Save"));
    QVERIFY(sheet.otherButton.isEmpty());
    QCOMPARE(sheet.message, QStringLiteral("You must enter a task name to Save the task."));
    QCOMPARE(editorClosed(window), !staysOpen);
    QCOMPARE(root.tab(), QString());
}

void tst_SCTaskEditors::closeBoxAsksOnlyWhenSomethingChanged_data() {
    QTest::addColumn<QString>("change"); // what the user changes before closing
    QTest::addColumn<bool>("asks");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("name") << "name" << true;
    QTest::newRow("weekday only") << "weekday" << true;
    QTest::newRow("minute only") << "minute" << true;
    QTest::newRow("frequency") << "frequency" << true;
    QTest::newRow("annual date while weekly") << "annual date" << true;
    QTest::newRow("new task") << "new" << true;
}

void tst_SCTaskEditors::closeBoxAsksOnlyWhenSomethingChanged() {
    QFETCH(QString, change);
    QFETCH(bool, asks);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    TestTask task = kWeeklySnapshot;
    task.execPath = resolved(kDiskmatePath);
    root.writeTasks({task});
    SCScopedSheetAnswers answers({kSCSheetOtherReturn});
    SCMainWindowController window;
    SCWindowControllerBase* edit = nullptr;
    if (change == "new") {
        edit = openNew(window, Editor::Snapshot);
        edit->taskName()->setText("Something");
    } else {
        QVERIFY(selectTask(window, "Snapshot"));
        window.editTask();
        edit = window.editTaskController();
    }
    QVERIFY(edit);
    if (change == "name") {
        edit->taskName()->setText("Another");
    } else if (change == "weekday") {
        edit->weekView()->dayButton(5)->click();
    } else if (change == "minute") {
        edit->timeView()->setMin(46);
    } else if (change == "frequency") {
        edit->frequencyButton()->setCurrentIndex(2);
    } else if (change == "annual date") {
        const int today = edit->calendarView()->selectedDay().date().day();
        edit->calendarView()->cell(edit->calendarView()->startOffset() + today)->click();
    }
    edit->show();
    QCOMPARE(edit->close(), !asks);
    settle();
    QCOMPARE(answers.asked().size(), size_t(asks ? 1 : 0));
    // "Cancel" in the save sheet goes back to editing.
    QCOMPARE(editorClosed(window), !asks);
}

void tst_SCTaskEditors::saveSheetButtons_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("closed");
    QTest::newRow("Save") << kSCSheetDefaultReturn << true << true;
    QTest::newRow("Don't Save") << kSCSheetAlternateReturn << false << true;
    QTest::newRow("Cancel") << kSCSheetOtherReturn << false << false;
}

void tst_SCTaskEditors::saveSheetButtons() {
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(bool, closed);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCScopedSheetAnswers answers({answer});
    SCMainWindowController window;
    SCWindowControllerBase* edit = openNew(window, Editor::Scan);
    edit->taskName()->setText("Weekly scan");
    static_cast<SCOmbrixWindowController*>(edit)->scanSelection()->setStringValue(
        root.systemRoot());
    edit->show();
    QVERIFY(!edit->close());
    settle();

    QCOMPARE(answers.asked().size(), size_t(1));
    const SCSheetRequest& sheet = answers.asked().front();
    QCOMPARE(sheet.title, QStringLiteral("Save Ombrix Scan Task"));
    QCOMPARE(sheet.defaultButton, QStringLiteral("Save"));
    QCOMPARE(sheet.alternateButton, QStringLiteral("Don't Save"));
    QCOMPARE(sheet.otherButton, QStringLiteral("Cancel"));
    QCOMPARE(sheet.message, QStringLiteral("Are you sure you want to Save this Task?"));
    QCOMPARE(root.taskNames(), saved ? QStringList{"Weekly scan"} : QStringList());
    QCOMPARE(editorClosed(window), closed);
}

void tst_SCTaskEditors::unsafeScanTargetIsRefused_data() {
    QTest::addColumn<QString>("name"); // a folder name inside the root
    QTest::addColumn<QString>("sheet");
    const QString unsafe = QStringLiteral("The scan target cannot be scheduled.");
    QTest::newRow("double quote") << "say \"hi\"" << unsafe;
    QTest::newRow("backquote") << "`reboot`" << unsafe;
    QTest::newRow("dollar sign") << "$(reboot)" << unsafe;
    QTest::newRow("backslash") << "back\\slash" << unsafe;
    QTest::newRow("percent sign") << "100%" << unsafe;
    QTest::newRow("line break") << "two\nlines" << unsafe;
    QTest::newRow("tab") << "tab\there" << unsafe;
    QTest::newRow("escape character") << "esc\x1b[0m" << unsafe;
    QTest::newRow("too long") << QString(250, QLatin1Char('x'))
                              << QStringLiteral("The scan target's path is too long.");
}

void tst_SCTaskEditors::unsafeScanTargetIsRefused() {
    QFETCH(QString, name);
    QFETCH(QString, sheet);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCScopedSheetAnswers answers;
    SCMainWindowController window;
    auto* edit = static_cast<SCOmbrixWindowController*>(openNew(window, Editor::Scan));
    edit->taskName()->setText("Scan");
    edit->scanSelection()->setStringValue(root.systemRoot() + u'/' + name);
    edit->doSave();
    settle();

    QCOMPARE(answers.titles(), std::vector<QString>{sheet});
    QCOMPARE(root.tab(), QString());
    QVERIFY(!editorClosed(window));
    QCOMPARE(edit->scanSelection()->stringValue(), root.systemRoot() + u'/' + name);

    // A harmless path saves.
    edit->scanSelection()->setStringValue(root.systemRoot() + "/Shared Files (2) & co.");
    edit->doSave();
    settle();
    QCOMPARE(root.taskNames(), QStringList{"Scan"});
}

void tst_SCTaskEditors::failedCrontabWriteKeepsTheEditorOpen_data() {
    QTest::addColumn<bool>("existing");
    QTest::newRow("new task") << false;
    QTest::newRow("existing task") << true;
}

void tst_SCTaskEditors::failedCrontabWriteKeepsTheEditorOpen() {
    QFETCH(bool, existing);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    TestTask task = kWeeklySnapshot;
    task.execPath = resolved(kDiskmatePath);
    if (existing) {
        root.writeTasks({task});
    }
    const QString before = root.tab();
    SCScopedSheetAnswers answers;
    SCMainWindowController window;
    SCWindowControllerBase* edit = nullptr;
    if (existing) {
        QVERIFY(selectTask(window, "Snapshot"));
        window.editTask();
        edit = window.editTaskController();
        edit->taskName()->setText("Renamed");
    } else {
        edit = openNew(window, Editor::Snapshot);
        edit->taskName()->setText("Nightly");
    }
    edit->timeView()->setHour(5);

    root.crontab().FailInstall("crontab: disk full");
    edit->doSave();
    settle();
    QCOMPARE(answers.titles(), std::vector<QString>{"The task could not be saved."});
    QVERIFY(answers.asked().front().message.contains("crontab: disk full"));
    QVERIFY(!editorClosed(window));
    QCOMPARE(root.tab(), before);
    QCOMPARE(edit->timeView()->selectedHour(), 5);
    // The table still shows the block as it is in the crontab.
    QCOMPARE(window.dataSource()->rowCount(), existing ? 1 : 0);

    // Cancelling leaves nothing behind that a later write would put into the crontab.
    if (existing) {
        edit->doCancel();
        QVERIFY(editorClosed(window));
        window.dataSource()->setData(window.dataSource()->index(0, 1), "Shown", Qt::EditRole);
        root.crontab().Heal();
        QVERIFY(SaveCrontabTasks(window.dataSource()->cronArray()) == 0);
        QCOMPARE(root.tab(), before);
        return;
    }
    // Saving again once the crontab can be written saves the task once.
    root.crontab().Heal();
    edit->doSave();
    settle();
    QVERIFY(editorClosed(window));
    QCOMPARE(root.taskNames(), QStringList{"Nightly"});
}

void tst_SCTaskEditors::longNameIsRefused() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCScopedSheetAnswers answers;
    SCMainWindowController window;
    SCWindowControllerBase* edit = openNew(window, Editor::Snapshot);
    // 63 two-byte letters are 126 bytes: the longest name a task keeps whole.
    edit->taskName()->setText(QString(63, QChar(0xE9)));
    edit->doSave();
    settle();
    QVERIFY(answers.asked().empty());
    QVERIFY(editorClosed(window));
    QCOMPARE(root.taskNames(), QStringList{QString(63, QChar(0xE9))});

    window.custorixWindow();
    edit = window.editTaskController();
    edit->taskName()->setText(QString(63, QChar(0xE9)) + QLatin1Char('x'));
    edit->doSave();
    settle();
    QCOMPARE(answers.titles(), std::vector<QString>{"The task name is too long."});
    QVERIFY(!editorClosed(window));
    QCOMPARE(root.taskNames().size(), 1);
}

void tst_SCTaskEditors::dailyNote_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("note");
    const QString today =
        QStringLiteral("Based on the current time setting, this task will begin today.");
    const QString tomorrow =
        QStringLiteral("Based on the current time setting, this task will begin tomorrow.");
    // The test's clock says 10:30.
    QTest::newRow("this very minute") << 10 << 30 << tomorrow;
    QTest::newRow("a minute later") << 10 << 31 << today;
    QTest::newRow("earlier this morning") << 9 << 59 << tomorrow;
    QTest::newRow("tonight") << 23 << 0 << today;
}

void tst_SCTaskEditors::dailyNote() {
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, note);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCMainWindowController window;
    SCWindowControllerBase* edit = openNew(window, Editor::Snapshot);
    edit->frequencyButton()->setCurrentIndex(2);
    edit->timeView()->setHour(hour);
    edit->timeView()->setMin(minute);
    // The clock tells the editor when the user changes the time.
    SCNotificationCenter::defaultCenter().post(ChangeDailyDayNotification, edit->timeView());
    QCOMPARE(edit->todayDate()->text(), note);
}

void tst_SCTaskEditors::windowTitleAndFrame() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCScopedSheetAnswers answers;
    SCMainWindowController window;
    SCWindowControllerBase* edit = openNew(window, Editor::Update);
    QCOMPARE(edit->windowTitle(), QStringLiteral("   Add Product Update Task"));
    QCOMPARE(edit->frameName(), QStringLiteral("Add Renovix Task2.0.1"));
    edit->move(140, 90);
    const QPoint inside = edit->geometry().topLeft();
    edit->doCancel();
    QVERIFY(editorClosed(window));
    QVERIFY(answers.asked().empty());
    QVERIFY(QorUserDefaults().StringForKey("NSWindow Frame Add Renovix Task2.0.1"));

    edit = openNew(window, Editor::Update);
    QCOMPARE(edit->geometry().topLeft(), inside);
}

void tst_SCTaskEditors::scanTargetByDropAndByPanel() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCTestVolumes volumes;
    SCScopedSheetAnswers answers({kSCSheetDefaultReturn});
    SCMainWindowController window;
    auto* edit = static_cast<SCOmbrixWindowController*>(openNew(window, Editor::Scan));
    edit->taskName()->setText("Backup disk");

    // Nothing chosen yet: the sheet's "Select" opens the panel.
    edit->doSave();
    settle();
    QCOMPARE(answers.titles(), std::vector<QString>{"No Scan Selection made."});
    QVERIFY(edit->scanTargetPanel());
    QCOMPARE(edit->scanTargetPanel()->windowTitle(), QStringLiteral("Select a scan target:"));
    // The media folder itself is no target; what is inside it is.
    edit->scanTargetPanel()->setDirectory(volumes.media());
    edit->scanTargetPanel()->accept();
    QVERIFY(edit->scanTargetPanel()->isVisible());
    edit->scanTargetPanel()->setDirectory(volumes.dataVolume());
    auto* name = edit->scanTargetPanel()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(QStringLiteral("report.txt"));
    edit->scanTargetPanel()->accept();
    QTRY_VERIFY(!edit->scanTargetPanel());
    QCOMPARE(edit->scanSelection()->stringValue(), volumes.localFile());

    // A volume root dropped on the field shows by name and saves by path.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(volumes.dataVolume())});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit->scanSelection(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit->scanSelection(), &drop);
    QCOMPARE(edit->scanSelection()->text(), QStringLiteral("Data"));
    edit->doSave();
    settle();
    QVERIFY(editorClosed(window));
    QVERIFY(root.tab().contains("\"path\" \"" + volumes.dataVolume() + "\"\n"));
}

void tst_SCTaskEditors::updateEditorProductMenu() {
    TaskTestRoot root;
    root.installProducts(kAllProducts & ~kPalisade);
    TestTask task = kWeeklySnapshot;
    task.name = "Updates";
    task.kind = 1;
    task.execPath = resolved(kRenovixPath);
    task.eventData = "\"exAG\" \"-update RVtg\"";
    root.writeTasks({task});
    SCScopedSheetAnswers answers({kSCSheetAlternateReturn});
    SCMainWindowController window;
    QVERIFY(selectTask(window, "Updates"));
    window.editTask();
    auto* edit = qobject_cast<SCRenovixWindowController*>(window.editTaskController());
    QVERIFY(edit);
    QStringList rows;
    for (int i = 0; i < edit->productButton()->count(); ++i) {
        rows << edit->productButton()->itemText(i);
    }
    QCOMPARE(rows, (QStringList{"All Products", "Virus Definitions", "Tavrin Ombrix",
                                "Tavrin Gearbox", "Tavrin Veilguard", "Renovix"}));
    QCOMPARE(edit->productButton()->currentText(), QStringLiteral("Tavrin Gearbox"));
    QVERIFY(!edit->shouldDisplaySavePrompt());
    edit->productButton()->setCurrentText(QStringLiteral("Renovix"));
    QVERIFY(edit->isEventDataChanged());
    edit->show();
    QVERIFY(!edit->close());
    settle();
    QCOMPARE(answers.titles(), std::vector<QString>{"Save Product Update Task"});
}

SC_TEST_MAIN(tst_SCTaskEditors)
#include "tst_SCTaskEditors.moc"
