#include "SCHourFormatter.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCTestMain.h"

#include <QElapsedTimer>
#include <QSignalSpy>

class tst_SCHourFormatter : public QObject {
    Q_OBJECT

private slots:
    void display_data();
    void display();
    void parse_data();
    void parse();
    void parseWithoutResultPlaceFails();
    void partialText_data();
    void partialText();
    void noonCrossingPostsLater();
};

void tst_SCHourFormatter::display_data() {
    QTest::addColumn<bool>("use24Hours");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("24h midnight") << true << QVariant(0) << "00";
    QTest::newRow("24h nine") << true << QVariant(9) << "09";
    QTest::newRow("24h 23") << true << QVariant(23) << "23";
    QTest::newRow("12h midnight") << false << QVariant(0) << "12";
    QTest::newRow("12h nine") << false << QVariant(9) << "09";
    QTest::newRow("12h noon") << false << QVariant(12) << "12";
    QTest::newRow("12h 13") << false << QVariant(13) << "01";
    QTest::newRow("12h 23") << false << QVariant(23) << "11";
    QTest::newRow("12h double") << false << QVariant(15.0) << "03";
    QTest::newRow("below range") << false << QVariant(-1) << "-1";
    QTest::newRow("above range") << false << QVariant(24) << "24";
    QTest::newRow("not a number") << false << QVariant(QStringLiteral("5")) << QString();
    QTest::newRow("nothing") << true << QVariant() << QString();
}

void tst_SCHourFormatter::display() {
    QFETCH(bool, use24Hours);
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    SCHourFormatter formatter(use24Hours);
    const QString shown = formatter.stringForObjectValue(value);
    QCOMPARE(shown, text);
    QCOMPARE(shown.isNull(), text.isNull());
}

void tst_SCHourFormatter::parse_data() {
    QTest::addColumn<bool>("use24Hours");
    QTest::addColumn<int>("lastShown"); // decides morning or afternoon on a 12-hour clock
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("hour");
    QTest::newRow("24h 7") << true << 15 << "7" << 7;
    QTest::newRow("24h 12") << true << 3 << "12" << 12;
    QTest::newRow("12 in the morning") << false << 9 << "12" << 0;
    QTest::newRow("12 in the afternoon") << false << 15 << "12" << 12;
    QTest::newRow("1 in the morning") << false << 9 << "1" << 1;
    QTest::newRow("1 in the afternoon") << false << 15 << "1" << 13;
    QTest::newRow("0 in the morning") << false << 9 << "0" << 0;
    QTest::newRow("empty in the morning") << false << 9 << "" << 0;
    QTest::newRow("empty in the afternoon") << false << 15 << "" << 12;
}

void tst_SCHourFormatter::parse() {
    QFETCH(bool, use24Hours);
    QFETCH(int, lastShown);
    QFETCH(QString, typed);
    QFETCH(int, hour);
    SCHourFormatter formatter(use24Hours);
    (void)formatter.stringForObjectValue(lastShown);
    int value = -99;
    QString error;
    QVERIFY(formatter.getObjectValue(&value, typed, &error));
    QCOMPARE(value, hour);
    QVERIFY(error.isEmpty());
}

void tst_SCHourFormatter::parseWithoutResultPlaceFails() {
    SCHourFormatter formatter(true);
    QString error;
    QVERIFY(!formatter.getObjectValue(nullptr, QStringLiteral("7"), &error));
    QCOMPARE(error, QStringLiteral("Couldn't convert to correct Hour."));
}

void tst_SCHourFormatter::partialText_data() {
    QTest::addColumn<bool>("use24Hours");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("24h empty") << true << "" << true;
    QTest::newRow("24h 00") << true << "00" << true;
    QTest::newRow("24h 23") << true << "23" << true;
    QTest::newRow("24h 24") << true << "24" << false;
    QTest::newRow("12h 0") << false << "0" << true;
    QTest::newRow("12h 00") << false << "00" << false;
    QTest::newRow("12h 01") << false << "01" << true;
    QTest::newRow("12h 12") << false << "12" << true;
    QTest::newRow("12h 13") << false << "13" << false;
    QTest::newRow("12h empty") << false << "" << true;
}

void tst_SCHourFormatter::partialText() {
    QFETCH(bool, use24Hours);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(SCHourFormatter(use24Hours).isPartialStringValid(text), valid);
}

void tst_SCHourFormatter::noonCrossingPostsLater() {
    auto& center = SCNotificationCenter::defaultCenter();
    QSignalSpy posted(&center, &SCNotificationCenter::posted);
    SCHourFormatter formatter(false);
    QElapsedTimer clock;

    // Morning is where a new formatter starts: nothing to tell.
    (void)formatter.stringForObjectValue(9);
    clock.start();
    (void)formatter.stringForObjectValue(13);
    QVERIFY(formatter.isAfternoon());
    (void)formatter.stringForObjectValue(14); // still afternoon: no second post
    (void)formatter.stringForObjectValue(30); // out of range: changes nothing
    QCOMPARE(posted.count(), 0);              // never from inside the display
    QTRY_COMPARE(posted.count(), 1);
    QVERIFY(clock.elapsed() >= 100);
    QCOMPARE(posted.at(0).at(0).toString(), QString(ChangePMNotification));
    QCOMPARE(posted.at(0).at(1).value<QObject*>(), nullptr);

    (void)formatter.stringForObjectValue(0);
    QVERIFY(!formatter.isAfternoon());
    QTRY_COMPARE(posted.count(), 2);
    QCOMPARE(posted.at(1).at(0).toString(), QString(ChangeAMNotification));

    // A 24-hour clock has no noon to cross.
    SCHourFormatter twentyFour(true);
    (void)twentyFour.stringForObjectValue(13);
    (void)twentyFour.stringForObjectValue(1);
    QVERIFY(!twentyFour.isAfternoon());
    // A marker with the same delay, started later, arrives after anything they started.
    center.postDelayed(QStringLiteral("marker"), nullptr, std::chrono::milliseconds(100));
    QTRY_COMPARE(posted.count(), 3);
    QCOMPARE(posted.at(2).at(0).toString(), QStringLiteral("marker"));
}

SC_TEST_MAIN(tst_SCHourFormatter)
#include "tst_SCHourFormatter.moc"
