#include "SCMinuteFormatter.h"
#include "SCTestMain.h"

class tst_SCMinuteFormatter : public QObject {
    Q_OBJECT

private slots:
    void display_data();
    void display();
    void parse();
    void partialText_data();
    void partialText();
};

void tst_SCMinuteFormatter::display_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << QVariant(0) << "00";
    QTest::newRow("5") << QVariant(5) << "05";
    QTest::newRow("59") << QVariant(59) << "59";
    QTest::newRow("negative") << QVariant(-3) << "-3";
    QTest::newRow("not a number") << QVariant(QStringLiteral("5")) << QString();
}

void tst_SCMinuteFormatter::display() {
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    const QString shown = SCMinuteFormatter().stringForObjectValue(value);
    QCOMPARE(shown, text);
    QCOMPARE(shown.isNull(), text.isNull());
}

void tst_SCMinuteFormatter::parse() {
    SCMinuteFormatter formatter;
    int value = -1;
    QVERIFY(formatter.getObjectValue(&value, QStringLiteral("07"), nullptr));
    QCOMPARE(value, 7);

    QString error;
    QVERIFY(!formatter.getObjectValue(nullptr, QStringLiteral("07"), &error));
    QCOMPARE(error, QStringLiteral("Couldn't convert to correct Hour."));
}

void tst_SCMinuteFormatter::partialText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("00") << "00" << true;
    QTest::newRow("59") << "59" << true;
    QTest::newRow("60") << "60" << false;
    QTest::newRow("negative") << "-1" << false;
}

void tst_SCMinuteFormatter::partialText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(SCMinuteFormatter().isPartialStringValid(text), valid);
}

SC_TEST_MAIN(tst_SCMinuteFormatter)
#include "tst_SCMinuteFormatter.moc"
