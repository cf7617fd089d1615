#include "SCAMPMText.h"
#include "SCClockView.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCStepper.h"
#include "SCTestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

#include <memory>

namespace {

const QString k12Hour = QStringLiteral("%I:%M:%S %p");
const QString k24Hour = QStringLiteral("%H:%M:%S");

// A shown, active clock at hour:minute, with no noon notification still on its way; null when
// the notifications never arrived.
std::unique_ptr<SCClockView> makeClock(const QString& format, int hour, int minute) {
    auto clock = std::make_unique<SCClockView>(format);
    clock->setMin(minute);
    clock->setHour(hour);
    clock->show();
    clock->activateWindow();
    // Drain the delayed posts of the first displays with a marker started after them.
    auto& center = SCNotificationCenter::defaultCenter();
    bool drained = false;
    QObject marker;
    center.addObserver(&marker, QStringLiteral("drained"), nullptr,
                       [&](const SCNotification&) { drained = true; });
    center.postDelayed(QStringLiteral("drained"), nullptr, std::chrono::milliseconds(100));
    if (!QTest::qWaitFor([&] { return drained; }, 5000)) {
        return nullptr;
    }
    return clock;
}

QStringList names(const QSignalSpy& posted) {
    QStringList list;
    for (const QList<QVariant>& post : posted) {
        list << post.at(0).toString();
    }
    return list;
}

QObject* objectOf(const QSignalSpy& posted, const QString& name) {
    for (const QList<QVariant>& post : posted) {
        if (post.at(0).toString() == name) {
            return post.at(1).value<QObject*>();
        }
    }
    return nullptr;
}

void typeInto(QLineEdit* cell, const QString& keys) {
    cell->setFocus();
    cell->selectAll();
    QTest::keyClicks(cell, keys);
}

} // namespace

class tst_SCClockView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void display_data();
    void display();
    void twentyFourHourClockHasNoLabelAndTheStepperTakesItsPlace();
    void separatorFollowsTheTimeFormat();
    void typingKeepsOnlyWhatACellCanHold_data();
    void typingKeepsOnlyWhatACellCanHold();
    void typedHourIsReadInTheShownHalfOfTheDay_data();
    void typedHourIsReadInTheShownHalfOfTheDay();
    void typingDrivesTheStepper();
    void selectedCellDecidesWhatTheStepperSteps();
    void minuteStepCarriesIntoTheHour_data();
    void minuteStepCarriesIntoTheHour();
    void hourStepWraps();
    void noonCrossingFlipsTheLabelLaterAndKeepsTheMinuteStepper_data();
    void noonCrossingFlipsTheLabelLaterAndKeepsTheMinuteStepper();
    void labelClickTogglesAMAndPM();
    void arrowKeysInACellStep();
};

void tst_SCClockView::display_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("hourText");
    QTest::addColumn<QString>("minuteText");
    QTest::addColumn<QString>("label");
    QTest::newRow("12h midnight") << k12Hour << 0 << 5 << "12"
                                  << "05"
                                  << "AM";
    QTest::newRow("12h nine") << k12Hour << 9 << 30 << "09"
                              << "30"
                              << "AM";
    QTest::newRow("12h noon") << k12Hour << 12 << 0 << "12"
                              << "00"
                              << "PM";
    QTest::newRow("12h 13") << k12Hour << 13 << 59 << "01"
                            << "59"
                            << "PM";
    QTest::newRow("24h midnight") << k24Hour << 0 << 0 << "00"
                                  << "00"
                                  << "";
    QTest::newRow("24h 13") << k24Hour << 13 << 7 << "13"
                            << "07"
                            << "";
}

void tst_SCClockView::display() {
    QFETCH(QString, format);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, hourText);
    QFETCH(QString, minuteText);
    QFETCH(QString, label);
    auto clock = makeClock(format, hour, minute);
    QVERIFY(clock);
    QCOMPARE(clock->hourCell()->text(), hourText);
    QCOMPARE(clock->minuteCell()->text(), minuteText);
    QCOMPARE(clock->selectedHour(), hour);
    QCOMPARE(clock->selectedMinute(), minute);
    if (!label.isEmpty()) {
        QCOMPARE(clock->ampmText()->text(), label);
        QCOMPARE(clock->isPMSet(), hour > 11);
    }
}

void tst_SCClockView::twentyFourHourClockHasNoLabelAndTheStepperTakesItsPlace() {
    auto twelve = makeClock(k12Hour, 9, 0);
    QVERIFY(twelve);
    auto twentyFour = makeClock(k24Hour, 9, 0);
    QVERIFY(twentyFour);
    QVERIFY(twelve->ampmText()->isVisible());
    QVERIFY(!twentyFour->ampmText()->isVisible());
    QCOMPARE(twentyFour->stepper()->x(), twelve->ampmText()->x());

    // Nothing AM/PM does anything on a 24-hour clock.
    twentyFour->toggleAMPM();
    twentyFour->switchToPM();
    QCOMPARE(twentyFour->selectedHour(), 9);
    QVERIFY(!twentyFour->isPMSet());
}

void tst_SCClockView::separatorFollowsTheTimeFormat() {
    QCOMPARE(SCClockView(QStringLiteral("%H.%M")).separatorLabel()->text(), QStringLiteral("."));
    QCOMPARE(SCClockView(k12Hour).separatorLabel()->text(), QStringLiteral(":"));
}

void tst_SCClockView::typingKeepsOnlyWhatACellCanHold_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("12h hour 13") << k12Hour << 0 << "13"
                                 << "1";
    QTest::newRow("12h hour 00") << k12Hour << 0 << "00"
                                 << "0";
    QTest::newRow("12h hour 0") << k12Hour << 0 << "0"
                                << "0";
    QTest::newRow("12h hour 12") << k12Hour << 0 << "12"
                                 << "12";
    QTest::newRow("24h hour 00") << k24Hour << 0 << "00"
                                 << "00";
    QTest::newRow("24h hour 23") << k24Hour << 0 << "23"
                                 << "23";
    QTest::newRow("24h hour 24") << k24Hour << 0 << "24"
                                 << "2";
    QTest::newRow("minute 59") << k24Hour << 1 << "59"
                               << "59";
    QTest::newRow("minute 60") << k24Hour << 1 << "60"
                               << "6";
    QTest::newRow("third character") << k24Hour << 1 << "123"
                                     << "12";
    QTest::newRow("letter") << k24Hour << 1 << "a"
                            << "30";
    QTest::newRow("blank") << k24Hour << 0 << "1 "
                           << "1";
    QTest::newRow("sign") << k24Hour << 1 << "-5"
                          << "5";
}

void tst_SCClockView::typingKeepsOnlyWhatACellCanHold() {
    QFETCH(QString, format);
    QFETCH(int, cell);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    auto clock = makeClock(format, 9, 30);
    QVERIFY(clock);
    QLineEdit* edit = cell == 0 ? clock->hourCell() : clock->minuteCell();
    typeInto(edit, keys);
    QCOMPARE(edit->text(), text);
}

void tst_SCClockView::typedHourIsReadInTheShownHalfOfTheDay_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("12 in the morning") << 9 << "12" << 0 << "12";
    QTest::newRow("12 in the afternoon") << 15 << "12" << 12 << "12";
    QTest::newRow("1 in the morning") << 9 << "1" << 1 << "01";
    QTest::newRow("1 in the afternoon") << 15 << "1" << 13 << "01";
    QTest::newRow("0 in the morning") << 9 << "0" << 0 << "12";
}

void tst_SCClockView::typedHourIsReadInTheShownHalfOfTheDay() {
    QFETCH(int, hour);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    auto clock = makeClock(k12Hour, hour, 0);
    QVERIFY(clock);
    QSignalSpy posted(&SCNotificationCenter::defaultCenter(), &SCNotificationCenter::posted);
    typeInto(clock->hourCell(), typed);
    QTest::keyClick(clock->hourCell(), Qt::Key_Return);
    QCOMPARE(clock->selectedHour(), stored);
    QCOMPARE(clock->hourCell()->text(), shown);
    QCOMPARE(names(posted), QStringList{ChangeDailyDayNotification});
    QCOMPARE(objectOf(posted, ChangeDailyDayNotification), clock->stepper());
}

void tst_SCClockView::typingDrivesTheStepper() {
    auto clock = makeClock(k24Hour, 9, 30);
    QVERIFY(clock);
    typeInto(clock->minuteCell(), QStringLiteral("7"));
    QCOMPARE(clock->stepper()->value(), 7);
    QCOMPARE(clock->selectedMinute(), 7); // counts before editing ends
    clock->stepper()->stepUp();
    QCOMPARE(clock->minuteCell()->text(), QStringLiteral("08"));

    // An edit that changed nothing ends without telling anyone.
    QSignalSpy posted(&SCNotificationCenter::defaultCenter(), &SCNotificationCenter::posted);
    QTest::keyClick(clock->minuteCell(), Qt::Key_Return);
    QVERIFY(!names(posted).contains(ChangeDailyDayNotification));
}

void tst_SCClockView::selectedCellDecidesWhatTheStepperSteps() {
    auto clock = makeClock(k24Hour, 9, 30);
    QVERIFY(clock);
    QCOMPARE(clock->selectedCell(), SCClockView::HourCell);
    QCOMPARE(clock->stepper()->maximum(), 23);
    QCOMPARE(clock->stepper()->value(), 9);

    clock->minuteCell()->setFocus();
    QCOMPARE(clock->selectedCell(), SCClockView::MinuteCell);
    QVERIFY(!clock->isHourSet());
    QCOMPARE(clock->stepper()->maximum(), 59);
    QCOMPARE(clock->stepper()->value(), 30);

    clock->selectCell(SCClockView::HourCell);
    QVERIFY(clock->isHourSet());
    QCOMPARE(clock->stepper()->maximum(), 23);
    QCOMPARE(clock->stepper()->value(), 9);
}

void tst_SCClockView::minuteStepCarriesIntoTheHour_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("newHour");
    QTest::addColumn<int>("newMinute");
    for (const QString& format : {k12Hour, k24Hour}) {
        const QByteArray kind = format == k12Hour ? "12h " : "24h ";
        QTest::newRow(kind + "down from 0:00") << format << 0 << 0 << false << 23 << 59;
        QTest::newRow(kind + "up from 23:59") << format << 23 << 59 << true << 0 << 0;
        QTest::newRow(kind + "down from 10:00") << format << 10 << 0 << false << 9 << 59;
        QTest::newRow(kind + "up from 10:59") << format << 10 << 59 << true << 11 << 0;
        QTest::newRow(kind + "up from 10:30") << format << 10 << 30 << true << 10 << 31;
        QTest::newRow(kind + "down from 10:30") << format << 10 << 30 << false << 10 << 29;
    }
}

void tst_SCClockView::minuteStepCarriesIntoTheHour() {
    QFETCH(QString, format);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(bool, up);
    QFETCH(int, newHour);
    QFETCH(int, newMinute);
    auto clock = makeClock(format, hour, minute);
    QVERIFY(clock);
    clock->selectCell(SCClockView::MinuteCell);
    QSignalSpy posted(&SCNotificationCenter::defaultCenter(), &SCNotificationCenter::posted);
    up ? clock->stepper()->stepUp() : clock->stepper()->stepDown();

    QCOMPARE(clock->selectedHour(), newHour);
    QCOMPARE(clock->selectedMinute(), newMinute);
    QCOMPARE(clock->stepper()->value(), newMinute);
    QCOMPARE(names(posted),
             (QStringList{ControlTextDidChangeNotification, ChangeDailyDayNotification}));
    QCOMPARE(objectOf(posted, ChangeDailyDayNotification), clock.get());
    QCOMPARE(objectOf(posted, ControlTextDidChangeNotification), nullptr);
}

void tst_SCClockView::hourStepWraps() {
    auto clock = makeClock(k24Hour, 23, 15);
    QVERIFY(clock);
    clock->stepper()->stepUp();
    QCOMPARE(clock->selectedHour(), 0);
    clock->stepper()->stepDown();
    QCOMPARE(clock->selectedHour(), 23);
    QCOMPARE(clock->selectedMinute(), 15);
}

void tst_SCClockView::noonCrossingFlipsTheLabelLaterAndKeepsTheMinuteStepper_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("nextMinute"); // after one more step the same way
    QTest::newRow("up into the afternoon") << 11 << 59 << true << "AM"
                                           << "PM" << 1;
    QTest::newRow("down into the morning") << 12 << 0 << false << "PM"
                                           << "AM" << 58;
    QTest::newRow("down into the evening") << 0 << 0 << false << "AM"
                                           << "PM" << 58;
}

void tst_SCClockView::noonCrossingFlipsTheLabelLaterAndKeepsTheMinuteStepper() {
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(bool, up);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, nextMinute);
    auto clock = makeClock(k12Hour, hour, minute);
    QVERIFY(clock);
    clock->selectCell(SCClockView::MinuteCell);
    auto step = [&] { up ? clock->stepper()->stepUp() : clock->stepper()->stepDown(); };

    step();
    QCOMPARE(clock->ampmText()->text(), before);
    QTRY_COMPARE(clock->ampmText()->text(), after);
    QCOMPARE(clock->isPMSet(), after == QStringLiteral("PM"));

    // The label's catching up must not hand the hour to the stepper while it steps minutes.
    step();
    QCOMPARE(clock->selectedMinute(), nextMinute);
}

void tst_SCClockView::labelClickTogglesAMAndPM() {
    auto clock = makeClock(k12Hour, 9, 0);
    QVERIFY(clock);
    QSignalSpy posted(&SCNotificationCenter::defaultCenter(), &SCNotificationCenter::posted);
    QTest::mouseClick(clock->ampmText(), Qt::LeftButton);
    QCOMPARE(clock->selectedHour(), 21);
    QCOMPARE(clock->hourCell()->text(), QStringLiteral("09"));
    QCOMPARE(clock->ampmText()->text(), QStringLiteral("PM"));
    QCOMPARE(clock->stepper()->value(), 21); // the stepper steps the hour
    QCOMPARE(names(posted), QStringList{ChangeDailyDayNotification});
    QCOMPARE(objectOf(posted, ChangeDailyDayNotification), clock.get());

    clock->selectCell(SCClockView::MinuteCell);
    QTest::mouseClick(clock->ampmText(), Qt::LeftButton);
    QCOMPARE(clock->selectedHour(), 9);
    QCOMPARE(clock->ampmText()->text(), QStringLiteral("AM"));
    QCOMPARE(clock->stepper()->value(), 0); // still the minute's

    // The formatter's own notice of the change arrives later and agrees.
    QTRY_VERIFY(posted.count() >= 3);
    QCOMPARE(clock->ampmText()->text(), QStringLiteral("AM"));
}

void tst_SCClockView::arrowKeysInACellStep() {
    auto clock = makeClock(k24Hour, 9, 30);
    QVERIFY(clock);
    clock->minuteCell()->setFocus();
    QTest::keyClick(clock->minuteCell(), Qt::Key_Up);
    QCOMPARE(clock->selectedMinute(), 31);
    clock->hourCell()->setFocus();
    QTest::keyClick(clock->hourCell(), Qt::Key_Down);
    QCOMPARE(clock->selectedHour(), 8);
}

SC_TEST_MAIN(tst_SCClockView)
#include "tst_SCClockView.moc"
