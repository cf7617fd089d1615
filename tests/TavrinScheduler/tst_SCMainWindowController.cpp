#include "SCAppTestSupport.h"
#include "SCTableColumns.h"
#include "SCTestMain.h"

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace SCTest;

namespace {

const TestTask kDailySnapshot = {
    QStringLiteral("Snapshot"),          3, 3, -1, -1, 12, 0, 1, QString(),
    QStringLiteral("\"exAG\"  \"-d0\""), 0};

// The cron line of the task's entry (the line after its comment).
QString cronLineOf(const QString& tab, const QString& name) {
    const QStringList lines = tab.split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].startsWith(QStringLiteral("# Enc=1 Name=%1 ").arg(name))) {
            return lines[i + 1];
        }
    }
    return QString();
}

QStringList toolbarItems(SCMainWindowController& window) {
    QStringList items;
    for (QAction* action : window.toolbar()->actions()) {
        items << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    }
    return items;
}

// Clicks the enabled check box of row, as the user does.
void clickSwitch(SCMainWindowController& window, int row) {
    QTableView* table = window.taskTable();
    const QRect cell = table->visualRect(table->model()->index(row, kSCEnabledColumn));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

} // namespace

class tst_SCMainWindowController : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SCTest::quietOffscreenWarnings();
        SCTest::quietWindowWarnings();
    }
    void toolbarHoldsTheInstalledProducts_data();
    void toolbarHoldsTheInstalledProducts();
    void toolbarVisibilityIsRememberedByQuitting();
    void newTaskSheetSpreadsTheRemainingChoices_data();
    void newTaskSheetSpreadsTheRemainingChoices();
    void oneEditorAtATime();
    void enableCheckBoxTogglesTheTask();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void failedCrontabWritesAreShown_data();
    void failedCrontabWritesAreShown();
    void quittingAsksOnlyWithUnsavedChanges_data();
    void quittingAsksOnlyWithUnsavedChanges();
    void quitWithoutSavingEndsTheEventLoop();
};

void tst_SCMainWindowController::toolbarHoldsTheInstalledProducts_data() {
    QTest::addColumn<int>("products");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("all products") << int(kAllProducts)
                                  << QStringList{"Text Item Identifier",     "|",
                                                 "Ombrix Item Identifier",   "|",
                                                 "Renovix Item Identifier",  "|",
                                                 "Custorix Item Identifier", "|",
                                                 "Densor Item Identifier",   "|"};
    QTest::newRow("only the update application")
        << int(kRenovix)
        << QStringList{"Text Item Identifier", "|", "Renovix Item Identifier", "|"};
    QTest::newRow("nothing") << 0 << QStringList{"Text Item Identifier", "|"};
}

void tst_SCMainWindowController::toolbarHoldsTheInstalledProducts() {
    QFETCH(int, products);
    QFETCH(QStringList, items);
    TaskTestRoot root;
    root.installProducts(products);
    SCMainWindowController window;
    QCOMPARE(window.toolbar()->objectName(), QStringLiteral("Scheduler Toolbar Identifier"));
    QCOMPARE(toolbarItems(window), items);
    QCOMPARE(window.itemCount(), int(items.size() / 2 - 1));
    for (QAction* item : window.toolbar()->actions()) {
        if (item->objectName() == "Renovix Item Identifier") {
            QCOMPARE(item->iconText(), QStringLiteral("Product Update"));
            QCOMPARE(item->toolTip(), QStringLiteral("Click to schedule a Tavrin product update."));
            QVERIFY(!item->icon().isNull());
            item->trigger();
            QVERIFY(window.editTaskController());
            QCOMPARE(window.editTaskController()->windowTitle(),
                     QStringLiteral("   Add Product Update Task"));
        }
    }
}

void tst_SCMainWindowController::toolbarVisibilityIsRememberedByQuitting() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    int terminated = 0;
    {
        SCMainWindowController window;
        window.show();
        // A first start shows no toolbar.
        QVERIFY(!window.toolbar()->isVisible());
        window.toolbar()->toggleViewAction()->trigger();
        window.setTerminateHandler([&] { ++terminated; });
        window.attemptQuit();
    }
    QCOMPARE(terminated, 1);
    QVERIFY(QorUserDefaults().BoolForKey(kToolbarVisibleKey));
    SCMainWindowController window;
    window.show();
    QVERIFY(window.toolbar()->isVisible());
}

void tst_SCMainWindowController::newTaskSheetSpreadsTheRemainingChoices_data() {
    QTest::addColumn<int>("products");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QList<int>>("xs");
    // The row is 500 wide and each choice 84: four keep their places; two share the width with
    // gaps of (500 - 2 * 84) / 3 = 110.
    QTest::newRow("all products") << int(kAllProducts)
                                  << QStringList{"newOMButton", "newRVButton", "newCXButton",
                                                 "newDNButton"}
                                  << QList<int>{32, 148, 264, 380};
    QTest::newRow("snapshot and defragmentation missing")
        << int(kSweeper | kRenovix) << QStringList{"newOMButton", "newRVButton"}
        << QList<int>{110, 304};
}

void tst_SCMainWindowController::newTaskSheetSpreadsTheRemainingChoices() {
    QFETCH(int, products);
    QFETCH(QStringList, buttons);
    QFETCH(QList<int>, xs);
    TaskTestRoot root;
    root.installProducts(products);
    SCMainWindowController window;
    window.show();
    window.newButton()->click();
    QDialog* sheet = window.newTaskSheet();
    QVERIFY(sheet->isVisible());
    QStringList shown;
    QList<int> shownXs;
    for (auto* button : sheet->findChildren<QToolButton*>()) {
        shown << button->objectName();
        shownXs << button->x();
        auto* label =
            sheet->findChild<QLabel*>(QString(button->objectName()).replace("Button", "Label"));
        QVERIFY(label);
        // Each label stays centred under its button.
        QCOMPARE(label->x() + label->width() / 2, button->x() + button->width() / 2);
    }
    QCOMPARE(shown, buttons);
    QCOMPARE(shownXs, xs);

    // A choice closes the sheet and opens its editor.
    sheet->findChild<QToolButton*>("newRVButton")->click();
    QVERIFY(!sheet->isVisible());
    QVERIFY(window.editTaskController());
    QCOMPARE(window.editTaskController()->moduleName(), QStringLiteral("Renovix"));
}

void tst_SCMainWindowController::oneEditorAtATime() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    TestTask task = kDailySnapshot;
    task.execPath = resolved(kDiskmatePath);
    root.writeTasks({task});
    SCScopedSheetAnswers answers;
    SCMainWindowController window;
    window.show();
    QVERIFY(window.editButton()->isEnabled());
    QVERIFY(window.deleteButton()->isEnabled());

    window.ombrixWindow();
    SCWindowControllerBase* first = window.editTaskController();
    QVERIFY(first);
    QVERIFY(!window.newButton()->isEnabled());
    QVERIFY(!window.editButton()->isEnabled());
    QVERIFY(!window.deleteButton()->isEnabled());
    QVERIFY(window.saveMenuItem()->isEnabled());
    // Resetting would delete the task being edited.
    QVERIFY(!window.resetMenuItem()->isEnabled());

    window.renovixWindow();
    window.editTask();
    window.taskTable()->selectRow(0);
    QCOMPARE(window.editTaskController(), first);
    QVERIFY(!window.editButton()->isEnabled());

    first->doCancel();
    QVERIFY(editorClosed(window));
    QVERIFY(window.newButton()->isEnabled());
    QVERIFY(window.editButton()->isEnabled());
    QVERIFY(window.deleteButton()->isEnabled());
    QVERIFY(!window.saveMenuItem()->isEnabled());
    QVERIFY(window.resetMenuItem()->isEnabled());
    window.taskTable()->clearSelection();
    QVERIFY(!window.editButton()->isEnabled());
    QVERIFY(!window.deleteButton()->isEnabled());
}

void tst_SCMainWindowController::enableCheckBoxTogglesTheTask() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    TestTask task = kDailySnapshot;
    task.execPath = resolved(kDiskmatePath);
    task.enabled = 0;
    root.writeTasks({task});
    SCMainWindowController window;
    window.resize(700, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(cronLineOf(root.tab(), "Snapshot").startsWith("#0 12 * * * "));

    clickSwitch(window, 0);
    QVERIFY(cronLineOf(root.tab(), "Snapshot").startsWith(" 0 12 * * * "));
    QCOMPARE(window.taskTable()->model()->index(0, kSCEnabledColumn).data(Qt::CheckStateRole),
             QVariant(Qt::Checked));
    clickSwitch(window, 0);
    QVERIFY(cronLineOf(root.tab(), "Snapshot").startsWith("#0 12 * * * "));
    QCOMPARE(window.taskTable()->model()->index(0, kSCEnabledColumn).data(Qt::CheckStateRole),
             QVariant(Qt::Unchecked));
}

void tst_SCMainWindowController::deleteAsksFirst_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("Don't Delete") << kSCSheetDefaultReturn << QStringList{"First", "Second"};
    QTest::newRow("Delete") << kSCSheetAlternateReturn << QStringList{"First"};
}

void tst_SCMainWindowController::deleteAsksFirst() {
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    TestTask first = kDailySnapshot, second = kDailySnapshot;
    first.name = "First", second.name = "Second";
    first.execPath = second.execPath = resolved(kDiskmatePath);
    root.writeTasks({first, second});
    SCScopedSheetAnswers answers({answer});
    SCMainWindowController window;
    QVERIFY(selectTask(window, "Second"));
    window.deleteButton()->click();
    settle();
    QCOMPARE(answers.asked().size(), size_t(1));
    const SCSheetRequest& sheet = answers.asked().front();
    QCOMPARE(sheet.title, QStringLiteral("Delete Task"));
    QCOMPARE(sheet.defaultButton, QStringLiteral("Don't Delete"));
    QCOMPARE(sheet.alternateButton, QStringLiteral("Delete"));
    QCOMPARE(sheet.message, QStringLiteral("Are you sure you want to delete this task?"));
    QCOMPARE(root.taskNames(), left);
    QCOMPARE(window.dataSource()->rowCount(), int(left.size()));
}

void tst_SCMainWindowController::failedCrontabWritesAreShown_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("enable") << "enable";
    QTest::newRow("delete") << "delete";
}

void tst_SCMainWindowController::failedCrontabWritesAreShown() {
    QFETCH(QString, change);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    TestTask task = kDailySnapshot;
    task.execPath = resolved(kDiskmatePath);
    root.writeTasks({task});
    const QString before = root.tab();
    SCScopedSheetAnswers answers({kSCSheetAlternateReturn});
    SCMainWindowController window;
    window.resize(700, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    root.crontab().FailInstall("crontab: permission denied");
    if (change == "enable") {
        clickSwitch(window, 0);
    } else {
        window.taskTable()->selectRow(0);
        window.deleteTask();
    }
    settle();
    std::vector<QString> titles = answers.titles();
    QCOMPARE(titles.back(), QStringLiteral("Your crontab could not be written."));
    QVERIFY(answers.asked().back().message.contains("crontab: permission denied"));
    QCOMPARE(std::count(titles.begin(), titles.end(), titles.back()), 1);
    QCOMPARE(root.tab(), before);

    // The change is written with the next one that succeeds.
    root.crontab().Heal();
    QCOMPARE(SaveCrontabTasks(window.dataSource()->cronArray()), 0);
    QVERIFY(root.tab() != before);
}

void tst_SCMainWindowController::quittingAsksOnlyWithUnsavedChanges_data() {
    QTest::addColumn<QString>("editor"); // "", "unchanged", "changed"
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("quits");
    QTest::newRow("no editor") << "" << kSCSheetDefaultReturn << false << true;
    QTest::newRow("editor without changes")
        << "unchanged" << kSCSheetDefaultReturn << false << true;
    QTest::newRow("changes, Cancel") << "changed" << kSCSheetDefaultReturn << true << false;
    QTest::newRow("changes, Quit Without Saving")
        << "changed" << kSCSheetAlternateReturn << true << true;
}

void tst_SCMainWindowController::quittingAsksOnlyWithUnsavedChanges() {
    QFETCH(QString, editor);
    QFETCH(int, answer);
    QFETCH(bool, asks);
    QFETCH(bool, quits);
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    TestTask task = kDailySnapshot;
    task.execPath = resolved(kDiskmatePath);
    root.writeTasks({task});
    SCScopedSheetAnswers answers({answer});
    SCMainWindowController window;
    int terminated = 0;
    window.setTerminateHandler([&] { ++terminated; });
    window.show();
    if (!editor.isEmpty()) {
        window.taskTable()->selectRow(0);
        window.editTask();
        QVERIFY(window.editTaskController());
        if (editor == "changed") {
            window.editTaskController()->taskName()->setText("Changed");
        }
    }
    // The close box quits; the window itself never closes.
    QVERIFY(!window.close());
    settle();
    QVERIFY(window.isVisible());
    QCOMPARE(answers.titles(),
             asks ? std::vector<QString>{"Task Editing in Progress"} : std::vector<QString>{});
    if (asks) {
        QCOMPARE(answers.asked().front().defaultButton, QStringLiteral("Cancel"));
        QCOMPARE(answers.asked().front().alternateButton, QStringLiteral("Quit Without Saving"));
        QCOMPARE(answers.asked().front().message,
                 QStringLiteral("Are you sure you want to quit without saving?"));
    }
    QCOMPARE(terminated, quits ? 1 : 0);
}

void tst_SCMainWindowController::quitWithoutSavingEndsTheEventLoop() {
    TaskTestRoot root;
    root.installProducts(kAllProducts);
    SCScopedSheetAnswers answers({kSCSheetAlternateReturn});
    SCMainWindowController window;
    window.show();
    window.custorixWindow();
    window.editTaskController()->taskName()->setText("Unsaved");
    // Ending the application closes its windows; neither the main window nor the editor may
    // ask again and keep it running.
    QTimer::singleShot(0, &window, [&] { window.close(); });
    QTimer::singleShot(5000, &window, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(answers.titles(), std::vector<QString>{"Task Editing in Progress"});
    QVERIFY(!window.editTaskController());
    QCOMPARE(root.tab(), QString());
}

SC_TEST_MAIN(tst_SCMainWindowController)
#include "tst_SCMainWindowController.moc"
