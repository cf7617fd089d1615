#include "SCLocalization.h"
#include "SCProductPaths.h"
#include "SCScanTargetEventData.h"
#include "SCTaskDataModel.h"
#include "SCTestMain.h"
#include "SCUpdateEventData.h"
#include "SCVolumeNames.h"

#include <QHash>

namespace {

// Volumes by mount point, instead of the machine's mount table.
class FakeVolumeNames : public SCVolumeNames {
public:
    bool isVolumeRoot(const QString& path, QString* outName) const override {
        if (!names.contains(path)) {
            return false;
        }
        *outName = names.value(path);
        return true;
    }
    QHash<QString, QString> names;
};

const QString kScan = QStringLiteral("/opt/tavrin/timedSweeper");
const QString kDiskmate = QStringLiteral("/opt/tavrin/Tavrin Diskmate");
const QString kRenovix = QStringLiteral("/opt/tavrin/Renovix");
const QString kDensor = QStringLiteral("/opt/tavrin/Tavrin Densor");

} // namespace

class tst_SCTaskDataModel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newRowDescribesNoTask();
    void scheduleTexts_data();
    void scheduleTexts();
    void scheduleTextsFollowTheLanguage();
    void descriptions_data();
    void descriptions();
    void unknownUpdateKeepsTheDescription();
    void absentProductsMatchNoPath();
    void pathFromEventData_data();
    void pathFromEventData();
    void storableScanPaths_data();
    void storableScanPaths();
    void comparators();
    void valueByKey();

private:
    FakeVolumeNames mVolumes;
    std::unique_ptr<SCScopedVolumeNames> mUseVolumes;
};

void tst_SCTaskDataModel::init() {
    gScanExecPath = kScan;
    gDiskmateExecPath = kDiskmate;
    gRenovixExecPath = kRenovix;
    gDensorExecPath = kDensor;
    mVolumes.names = {{QStringLiteral("/Volumes/Work"), QStringLiteral("Work")},
                      {QStringLiteral("/"), QStringLiteral("System")}};
    mUseVolumes = std::make_unique<SCScopedVolumeNames>(&mVolumes);
}

void tst_SCTaskDataModel::cleanup() {
    mUseVolumes.reset();
    SCRemoveTranslators();
    gScanExecPath.reset();
    gDiskmateExecPath.reset();
    gRenovixExecPath.reset();
    gDensorExecPath.reset();
}

void tst_SCTaskDataModel::newRowDescribesNoTask() {
    const SCTaskDataModel row;
    QCOMPARE(row.mTaskName(), QStringLiteral("NULL"));
    QCOMPARE(row.mFrequency(), QStringLiteral("Annually"));
    QVERIFY(row.frequencyIsOneTime());
    QCOMPARE(row.mName(), QString());
    QCOMPARE(row.mExecPath(), QString());
    QCOMPARE(row.mEventData(), QString());
    QCOMPARE(row.mMonth(), 1);
    QCOMPARE(row.mDay(), 1);
    QCOMPARE(row.mHour(), 1);
    QCOMPARE(row.mMinute(), 1);
    QCOMPARE(row.mEnabled(), 0);
    QCOMPARE(row.mTask(), nullptr);
    QVERIFY(!row.mNextLaunch().isValid());
    QVERIFY(!row.mSelectedPreSort());
}

void tst_SCTaskDataModel::scheduleTexts_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("predicate"); // 0 monthly, 1 weekly, 2 daily, 3 one time

    QTest::newRow("monthly") << 1 << "Monthly" << 0;
    QTest::newRow("weekly") << 2 << "Weekly" << 1;
    QTest::newRow("daily") << 3 << "Daily" << 2;
    QTest::newRow("one time") << 4 << "Annually" << 3;
    QTest::newRow("new row") << 0 << "Annually" << 3;
    QTest::newRow("unknown") << -1 << "Annually" << 3;
}

void tst_SCTaskDataModel::scheduleTexts() {
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(int, predicate);

    SCTaskDataModel row;
    row.setmFrequency(type);
    QCOMPARE(row.mFrequency(), text);
    const bool answers[] = {row.frequencyIsMonthly(), row.frequencyIsWeekly(),
                            row.frequencyIsDaily(), row.frequencyIsOneTime()};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(answers[i], i == predicate);
    }
}

void tst_SCTaskDataModel::scheduleTextsFollowTheLanguage() {
    QVERIFY(SCInstallTranslators(QLocale(QLocale::German, QLocale::Germany)));
    SCTaskDataModel row;
    row.setmFrequency(2);
    QCOMPARE(row.mFrequency(), QStringLiteral("Wöchentlich"));
    QVERIFY(row.frequencyIsWeekly());
    row.setmEventData(SCUpdateEventData(kSCUpdateDefinitions));
    row.setmTaskName(kRenovix);
    QCOMPARE(row.mTaskName(), QStringLiteral("Produktaktualisierung: Virendefinitionen"));
}

void tst_SCTaskDataModel::descriptions_data() {
    QTest::addColumn<QString>("execPath");
    QTest::addColumn<QString>("eventData");
    QTest::addColumn<QString>("description");

    QTest::newRow("scan without target") << kScan << ""
                                         << "Ombrix Scan: ";
    QTest::newRow("scan of a folder") << kScan << eventDataFromPathName("/Users/Shared/Documents")
                                      << "Ombrix Scan: .../Documents";
    QTest::newRow("scan of a folder with a slash at its end")
        << kScan << eventDataFromPathName("/Users/Shared/") << "Ombrix Scan: .../Shared";
    QTest::newRow("scan of a file with blanks")
        << kScan << eventDataFromPathName("/home/ann/My Files/report 2.pdf")
        << "Ombrix Scan: .../report 2.pdf";
    QTest::newRow("scan of a volume")
        << kScan << eventDataFromPathName("/Volumes/Work") << "Ombrix Scan: Work";
    QTest::newRow("scan of the start-up volume")
        << kScan << eventDataFromPathName("/") << "Ombrix Scan: System";
    QTest::newRow("snapshot") << kDiskmate << "\"exAG\"  \"-d0\""
                              << "Custorix Snapshot";
    QTest::newRow("defragmentation") << kDensor << ""
                                     << "Defragment Files";

    const struct {
        const char* argument;
        const char* product;
    } updates[] = {
        {kSCUpdateOmbrix, "Tavrin Ombrix"},
        {kSCUpdateGearbox, "Tavrin Gearbox"},
        {kSCUpdatePalisade, "Tavrin PaliSade"},
        {kSCUpdateDefinitions, "Virus Definitions"},
        {kSCUpdateRenovix, "Renovix"},
        {kSCUpdateAll, "Update All"},
        {kSCUpdateVeilguard, "Tavrin Veilguard"},
    };
    for (const auto& update : updates) {
        QTest::addRow("update %s", update.argument)
            << kRenovix << SCUpdateEventData(update.argument)
            << QStringLiteral("Product Update: %1").arg(QLatin1String(update.product));
    }
    QTest::newRow("another program") << "/usr/bin/true"
                                     << ""
                                     << "NULL";
    QTest::newRow("a product path with a different case") << kDensor.toUpper() << ""
                                                          << "NULL";
}

void tst_SCTaskDataModel::descriptions() {
    QFETCH(QString, execPath);
    QFETCH(QString, eventData);
    QFETCH(QString, description);

    SCTaskDataModel row;
    row.setmEventData(eventData);
    row.setmTaskName(execPath);
    QCOMPARE(row.mTaskName(), description);
}

void tst_SCTaskDataModel::unknownUpdateKeepsTheDescription() {
    SCTaskDataModel row;
    row.setmEventData(SCUpdateEventData(kSCUpdateAll));
    row.setmTaskName(kRenovix);
    row.setmEventData(SCUpdateEventData("-update RVzz"));
    row.setmTaskName(kRenovix);
    QCOMPARE(row.mTaskName(), QStringLiteral("Product Update: Update All"));

    SCTaskDataModel fresh;
    fresh.setmEventData(QStringLiteral("\"exAG\"  \"-update RVal\"")); // two blanks: no match
    fresh.setmTaskName(kRenovix);
    QCOMPARE(fresh.mTaskName(), QStringLiteral("NULL"));
}

void tst_SCTaskDataModel::absentProductsMatchNoPath() {
    gScanExecPath.reset();
    gDensorExecPath = QString();
    SCTaskDataModel row;
    row.setmTaskName(kScan);
    QCOMPARE(row.mTaskName(), QStringLiteral("NULL"));
    // An installed product with an empty path is still a product; an absent one matches
    // nothing, not even a task without a path.
    gDensorExecPath.reset();
    row.setmTaskName(QString());
    QCOMPARE(row.mTaskName(), QStringLiteral("NULL"));
}

void tst_SCTaskDataModel::pathFromEventData_data() {
    QTest::addColumn<QString>("eventData");
    QTest::addColumn<QString>("path");

    QTest::newRow("written by the editor")
        << eventDataFromPathName("/Users/Shared") << "/Users/Shared";
    QTest::newRow("blanks in the path") << eventDataFromPathName("/a b/c  d") << "/a b/c  d";
    QTest::newRow("a quote cuts the path") << "\"path\" \"/a/x\"y\""
                                           << "/a/x";
    QTest::newRow("unquoted, up to a blank") << "\"path\" /a/b more"
                                             << "/a/b";
    QTest::newRow("unquoted, up to a tab") << "path\t/a/b\tmore"
                                           << "/a/b";
    QTest::newRow("closing quote missing") << "\"path\" \"/a/b c"
                                           << "/a/b c";
    QTest::newRow("after other parameters") << "\"shor\" \"1\" \"path\" \"/x\""
                                            << "/x";
    QTest::newRow("no path") << "\"exAG\" \"-update RVal\""
                             << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_SCTaskDataModel::pathFromEventData() {
    QFETCH(QString, eventData);
    QFETCH(QString, path);
    QCOMPARE(::pathFromEventData(eventData), path);
}

void tst_SCTaskDataModel::storableScanPaths_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("storable");

    QTest::newRow("plain folder") << "/Users/Shared" << true;
    QTest::newRow("blanks and accents") << "/home/zoë/Mes documents" << true;
    QTest::newRow("longest that fits") << "/" + QString(kSCMaxScanPathBytes - 1, u'a') << true;
    QTest::newRow("too long to store whole") << "/" + QString(kSCMaxScanPathBytes, u'a') << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("double quote") << "/a\"b" << false;
    QTest::newRow("command substitution") << "/tmp/$(touch x)" << false;
    QTest::newRow("backquote") << "/tmp/`id`" << false;
    QTest::newRow("backslash") << "/tmp/a\\b" << false;
    QTest::newRow("percent, which cron turns into a line end") << "/tmp/50%" << false;
    QTest::newRow("line feed") << "/tmp/a\nb" << false;
}

void tst_SCTaskDataModel::storableScanPaths() {
    QFETCH(QString, path);
    QFETCH(bool, storable);

    QCOMPARE(SCCanStoreScanPath(path), storable);
    const QString eventData = eventDataFromPathName(path);
    if (storable) {
        QCOMPARE(eventData, QStringLiteral("\"path\" \"%1\"").arg(path));
        QCOMPARE(::pathFromEventData(eventData), path);
    } else {
        QCOMPARE(eventData, QString());
    }
}

void tst_SCTaskDataModel::comparators() {
    SCTaskDataModel lower, upper, other;
    lower.setmName(QStringLiteral("backup"));
    upper.setmName(QStringLiteral("BACKUP"));
    other.setmName(QStringLiteral("Alpha"));
    QCOMPARE(lower.ascendName(upper), 0); // same text, whatever the case
    QCOMPARE(upper.descendName(lower), 0);
    QCOMPARE(other.ascendName(lower), -1);
    QCOMPARE(other.descendName(lower), 1);

    SCTaskDataModel on, off;
    on.setmEnabled(1);
    QCOMPARE(off.ascendEnabled(on), -1);
    QCOMPARE(off.descendEnabled(on), 1);

    SCTaskDataModel monthly, daily;
    monthly.setmFrequency(1);
    daily.setmFrequency(3);
    QCOMPARE(daily.ascendFrequency(monthly), -1);

    SCTaskDataModel scan, update;
    scan.setmEventData(eventDataFromPathName("/x"));
    scan.setmTaskName(kScan);
    update.setmEventData(SCUpdateEventData(kSCUpdateAll));
    update.setmTaskName(kRenovix);
    QCOMPARE(scan.ascendTaskName(update), -1);

    SCTaskDataModel early, late, never;
    early.setmNextLaunch(QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
    late.setmNextLaunch(QDateTime(QDate(2024, 5, 1), QTime(9, 1)));
    QCOMPARE(early.ascendNextLaunch(late), -1);
    QCOMPARE(late.ascendNextLaunch(early), 1);
    QCOMPARE(late.descendNextLaunch(early), -1);
    QCOMPARE(early.ascendNextLaunch(early), 0);
    QCOMPARE(never.ascendNextLaunch(early), -1);
    QCOMPARE(never.ascendNextLaunch(never), 0);
}

void tst_SCTaskDataModel::valueByKey() {
    SCTaskDataModel row;
    QVERIFY(row.setValueForKey(QStringLiteral("mEnabled"), 1));
    QVERIFY(row.setValueForKey(QStringLiteral("mName"), QStringLiteral("Nightly")));
    QVERIFY(row.setValueForKey(QStringLiteral("mFrequency"), 1));      // a schedule type
    QVERIFY(row.setValueForKey(QStringLiteral("mTaskName"), kDensor)); // an executable path
    const QDateTime when(QDate(2024, 6, 1), QTime(8, 0));
    QVERIFY(row.setValueForKey(QStringLiteral("mNextLaunch"), when));
    QVERIFY(!row.setValueForKey(QStringLiteral("mBogus"), 1));

    QCOMPARE(row.valueForKey(QStringLiteral("mEnabled")).toInt(), 1);
    QCOMPARE(row.valueForKey(QStringLiteral("mName")).toString(), QStringLiteral("Nightly"));
    QCOMPARE(row.valueForKey(QStringLiteral("mFrequency")).toString(), QStringLiteral("Monthly"));
    QCOMPARE(row.valueForKey(QStringLiteral("mTaskName")).toString(),
             QStringLiteral("Defragment Files"));
    QCOMPARE(row.valueForKey(QStringLiteral("mNextLaunch")).toDateTime(), when);
    QVERIFY(!row.valueForKey(QStringLiteral("mBogus")).isValid());
}

SC_TEST_MAIN(tst_SCTaskDataModel)
#include "tst_SCTaskDataModel.moc"
