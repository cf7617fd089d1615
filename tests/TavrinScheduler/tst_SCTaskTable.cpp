// The task table as the main window shows it: sorting by header clicks and the enabled check
// box, on a real table view.

#include "CrontabTasks.h"
#include "SCNotificationCenter.h"
#include "SCProductPaths.h"
#include "SCSwitchColumn.h"
#include "SCTableColumns.h"
#include "SCTaskDataModel.h"
#include "SCTaskDataSource.h"
#include "SCTaskTestRoot.h"
#include "SCTestMain.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTableView>

namespace {

using TestTask = SCTest::TestTask;

QString fixedPath(const char* path) {
    return QString::fromStdString(QorPath(path));
}

// Stands in for the main window's check-box action: the task's enabled flag becomes the
// negation of the row's value, and the block is saved.
class OnOffStandIn : public QObject {
public:
    explicit OnOffStandIn(SCTaskDataSource* source) : mSource(source) {
        connect(source, &SCTaskDataSource::enabledSwitchClicked, this, &OnOffStandIn::onOff);
    }
    QList<int> valuesSeen;

private:
    void onOff(int row) {
        const SCTaskDataModel& entry = *mSource->cronEntries()[size_t(row)];
        valuesSeen << entry.mEnabled();
        SetTaskEnabled(entry.mTask(), entry.mEnabled() == 0 ? 1 : 0);
        SaveCrontabTasks(mSource->cronArray());
    }
    SCTaskDataSource* mSource;
};

} // namespace

class tst_SCTaskTable : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void init();
    void cleanup();
    void headerClicksRememberEachColumnsDirection();
    void selectionSurvivesTheSort_data();
    void selectionSurvivesTheSort();
    void anUnknownColumnSortsNothing();
    void theCheckBoxTogglesFromTheValueBeforeTheClick();
    void readOnlyBoxesDoNotMove();

private:
    void showTable(SCTaskDataSource::Access access = SCTaskDataSource::Access::ReadWrite);
    QStringList names() const;
    QStringList selectedNames() const;
    void clickHeader(int column);
    QPoint boxCentre(int row) const;

    std::unique_ptr<SCTest::TaskTestRoot> mRoot;
    std::unique_ptr<SCTaskDataSource> mSource;
    std::unique_ptr<QTableView> mTable;
};

void tst_SCTaskTable::init() {
    mRoot = std::make_unique<SCTest::TaskTestRoot>();
    mRoot->installProduct(kDensorPath);
    // Wednesday 15 May 2024, 10:30: the next launches run Bravo, alpha, Charlie, Delta.
    const QString densor = fixedPath(kDensorPath);
    mRoot->writeTasks({
        {"Charlie", 4, 3, -1, -1, 23, 0, 1, densor, "", 0},
        {"alpha", 4, 3, -1, -1, 12, 0, 0, densor, "", 0},
        {"Delta", 4, 1, -1, 1, 9, 0, 1, densor, "", 0},
        {"Bravo", 4, 3, -1, -1, 11, 0, 0, densor, "", 0},
    });
}

void tst_SCTaskTable::cleanup() {
    mTable.reset();
    mSource.reset();
    mRoot.reset();
}

void tst_SCTaskTable::showTable(SCTaskDataSource::Access access) {
    mSource = std::make_unique<SCTaskDataSource>(access);
    new QAbstractItemModelTester(
        mSource.get(), QAbstractItemModelTester::FailureReportingMode::QtTest, mSource.get());
    QVERIFY(!mSource->awakeFromNib());
    mTable = std::make_unique<QTableView>();
    mSource->attachToTable(mTable.get());
    mTable->resize(700, 300);
    mTable->show();
    QVERIFY(QTest::qWaitForWindowExposed(mTable.get()));
}

QStringList tst_SCTaskTable::names() const {
    QStringList names;
    for (int row = 0; row < mSource->rowCount(); ++row) {
        names << mSource->index(row, kSCNameColumn).data().toString();
    }
    return names;
}

QStringList tst_SCTaskTable::selectedNames() const {
    QStringList names;
    for (const QModelIndex& index : mTable->selectionModel()->selectedRows(kSCNameColumn)) {
        names << index.data().toString();
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

void tst_SCTaskTable::clickHeader(int column) {
    QHeaderView* header = mTable->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

QPoint tst_SCTaskTable::boxCentre(int row) const {
    return mTable->visualRect(mSource->index(row, kSCEnabledColumn)).center();
}

void tst_SCTaskTable::headerClicksRememberEachColumnsDirection() {
    showTable();
    QHeaderView* header = mTable->horizontalHeader();
    const QStringList byName = {"alpha", "Bravo", "Charlie", "Delta"};
    const QStringList byNextLaunch = {"Bravo", "alpha", "Charlie", "Delta"};

    clickHeader(kSCNameColumn);
    QCOMPARE(names(), byName);
    QCOMPARE(header->sortIndicatorSection(), kSCNameColumn);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    clickHeader(kSCNameColumn);
    QCOMPARE(names(), QStringList({"Delta", "Charlie", "Bravo", "alpha"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    clickHeader(kSCNextLaunchColumn); // a new column starts ascending
    QCOMPARE(names(), byNextLaunch);
    QCOMPARE(header->sortIndicatorSection(), kSCNextLaunchColumn);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    clickHeader(kSCNameColumn); // back to the name: its last direction
    QCOMPARE(names(), QStringList({"Delta", "Charlie", "Bravo", "alpha"}));
    QCOMPARE(header->sortIndicatorSection(), kSCNameColumn);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(mSource->mLastColumnSort(), QStringLiteral("mName"));
    QVERIFY(mSource->mSortHasBeenDone());

    // Rows built anew after a change come in block order; sorting again restores the order.
    mSource->addRow({});
    QCOMPARE(names(), QStringList({"Charlie", "alpha", "Delta", "Bravo"}));
    QVERIFY(mSource->sortTable(mTable.get(), mSource->mLastColumnSort()));
    QCOMPARE(names(), QStringList({"Delta", "Charlie", "Bravo", "alpha"}));
}

void tst_SCTaskTable::selectionSurvivesTheSort_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QStringList>("selectedAfter");

    QTest::newRow("several rows") << int(QAbstractItemView::ExtendedSelection)
                                  << QStringList{"alpha", "Charlie", "Delta"}
                                  << QStringList{"alpha", "Charlie", "Delta"};
    QTest::newRow("one row") << int(QAbstractItemView::SingleSelection) << QStringList{"Delta"}
                             << QStringList{"Delta"};
    // A single-selection table keeps the first of the marked rows in the new order.
    QTest::newRow("one row allowed, two marked")
        << int(QAbstractItemView::SingleSelection) << QStringList{"Delta", "Bravo"}
        << QStringList{"Bravo"};
}

void tst_SCTaskTable::selectionSurvivesTheSort() {
    QFETCH(int, mode);
    QFETCH(QStringList, selected);
    QFETCH(QStringList, selectedAfter);

    showTable();
    mTable->setSelectionMode(QAbstractItemView::SelectionMode(mode));
    for (int row = 0; row < mSource->rowCount(); ++row) {
        if (selected.contains(mSource->index(row, kSCNameColumn).data().toString())) {
            mTable->selectionModel()->select(mSource->index(row, 0), QItemSelectionModel::Select |
                                                                         QItemSelectionModel::Rows);
        }
    }

    clickHeader(kSCNameColumn);
    QCOMPARE(names(), QStringList({"alpha", "Bravo", "Charlie", "Delta"}));
    QCOMPARE(selectedNames(), selectedAfter);
    for (const auto& row : mSource->cronEntries()) {
        QVERIFY(!row->mSelectedPreSort());
    }
}

void tst_SCTaskTable::anUnknownColumnSortsNothing() {
    showTable();
    mTable->selectionModel()->select(mSource->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(!mSource->sortTable(mTable.get(), QStringLiteral("mBogus")));
    QCOMPARE(names(), QStringList({"Charlie", "alpha", "Delta", "Bravo"}));
    QCOMPARE(selectedNames(), QStringList{"alpha"});
    QCOMPARE(SCTaskDataSource::tableIdentifierToIndex(QStringLiteral("mBogus")), kSCNameColumn);
    QCOMPARE(SCTaskDataSource::tableIdentifierToIndex(QStringLiteral("mNextLaunch")),
             kSCNextLaunchColumn);
}

void tst_SCTaskTable::theCheckBoxTogglesFromTheValueBeforeTheClick() {
    showTable();
    OnOffStandIn onOff(mSource.get());
    auto lineOf = [this](const QString& name) {
        const QString tab = mRoot->tab();
        const qsizetype at = tab.indexOf("Name=" + name);
        return tab.mid(tab.indexOf(u'\n', at) + 1, 2);
    };
    QCOMPARE(lineOf("alpha"), QStringLiteral("#0")); // disabled: the cron line is commented out

    QTest::mouseClick(mTable->viewport(), Qt::LeftButton, {}, boxCentre(1));
    QCOMPARE(onOff.valuesSeen, QList<int>{0});
    QCOMPARE(lineOf("alpha"), QStringLiteral(" 0"));
    QCOMPARE(mSource->index(1, kSCEnabledColumn).data(Qt::CheckStateRole).toInt(),
             int(Qt::Checked));
    QCOMPARE(mSource->index(1, kSCNameColumn).data(Qt::ForegroundRole).value<QColor>(),
             QGuiApplication::palette().color(QPalette::Active, QPalette::Text));

    // Space on the box's cell toggles it back.
    mTable->setCurrentIndex(mSource->index(1, kSCEnabledColumn));
    QTest::keyClick(mTable->viewport(), Qt::Key_Space);
    QCOMPARE(onOff.valuesSeen, QList<int>({0, 1}));
    QCOMPARE(lineOf("alpha"), QStringLiteral("#0"));
    QCOMPARE(mSource->cronEntries()[1]->mEnabled(), 0);

    // A click beside the box only selects the row.
    const QRect cell = mTable->visualRect(mSource->index(0, kSCEnabledColumn));
    QTest::mouseClick(mTable->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(1, 1));
    QCOMPARE(onOff.valuesSeen.size(), 2);
}

void tst_SCTaskTable::readOnlyBoxesDoNotMove() {
    showTable(SCTaskDataSource::Access::ReadOnly);
    OnOffStandIn onOff(mSource.get());
    const QString before = mRoot->tab();
    QTest::mouseClick(mTable->viewport(), Qt::LeftButton, {}, boxCentre(1));
    QVERIFY(onOff.valuesSeen.isEmpty());
    QCOMPARE(mSource->index(1, kSCEnabledColumn).data(Qt::CheckStateRole).toInt(),
             int(Qt::Unchecked));
    clickHeader(kSCNameColumn); // sorting still works
    QCOMPARE(names(), QStringList({"alpha", "Bravo", "Charlie", "Delta"}));
    QCOMPARE(mRoot->tab(), before);
}

SC_TEST_MAIN(tst_SCTaskTable)
#include "tst_SCTaskTable.moc"
