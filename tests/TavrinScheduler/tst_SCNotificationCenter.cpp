#include "SCNotificationCenter.h"
#include "SCTestMain.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <memory>

using namespace std::chrono_literals;

class tst_SCNotificationCenter : public QObject {
    Q_OBJECT

private slots:
    void deliversByNameAndSender();
    void forgetsRemovedAndDestroyedObservers();
    void observerRemovedByAnEarlierHandlerIsNotCalled();
    void delayedPostArrivesFromTheEventLoopAfterTheDelay();
    void delayedPostIsDroppedWhenItsContextGoesAway();
};

void tst_SCNotificationCenter::deliversByNameAndSender() {
    SCNotificationCenter center;
    QObject observer, sender, other;
    QStringList heard;
    center.addObserver(&observer, QStringLiteral("A"), nullptr,
                       [&](const SCNotification& n) { heard << "any:" + n.name; });
    center.addObserver(&observer, QStringLiteral("A"), &sender,
                       [&](const SCNotification& n) { heard << "sender:" + n.name; });
    center.addObserver(&observer, QStringLiteral("B"), nullptr,
                       [&](const SCNotification& n) { heard << "any:" + n.name; });

    center.post(QStringLiteral("A"), &sender);
    center.post(QStringLiteral("A"), &other);
    center.post(QStringLiteral("A"));
    center.post(QStringLiteral("C"));

    QCOMPARE(heard, (QStringList{"any:A", "sender:A", "any:A", "any:A"}));
}

void tst_SCNotificationCenter::forgetsRemovedAndDestroyedObservers() {
    SCNotificationCenter center;
    int calls = 0;
    auto count = [&](const SCNotification&) { ++calls; };
    QObject kept;
    auto destroyed = std::make_unique<QObject>();
    center.addObserver(&kept, QStringLiteral("A"), nullptr, count);
    center.addObserver(&kept, QStringLiteral("B"), nullptr, count);
    center.addObserver(destroyed.get(), QStringLiteral("A"), nullptr, count);

    destroyed.reset();
    center.removeObserver(&kept, QStringLiteral("B"));
    center.post(QStringLiteral("A"));
    center.post(QStringLiteral("B"));
    QCOMPARE(calls, 1);

    center.removeObserver(&kept);
    center.post(QStringLiteral("A"));
    QCOMPARE(calls, 1);
}

void tst_SCNotificationCenter::observerRemovedByAnEarlierHandlerIsNotCalled() {
    SCNotificationCenter center;
    QObject first;
    auto second = std::make_unique<QObject>();
    bool secondCalled = false;
    center.addObserver(&first, QStringLiteral("A"), nullptr,
                       [&](const SCNotification&) { second.reset(); });
    center.addObserver(second.get(), QStringLiteral("A"), nullptr,
                       [&](const SCNotification&) { secondCalled = true; });

    center.post(QStringLiteral("A"));
    QVERIFY(!secondCalled);
}

void tst_SCNotificationCenter::delayedPostArrivesFromTheEventLoopAfterTheDelay() {
    SCNotificationCenter center;
    QSignalSpy posted(&center, &SCNotificationCenter::posted);
    QObject about;
    QElapsedTimer clock;
    clock.start();
    center.postDelayed(QStringLiteral("A"), &about, 100ms);
    QCOMPARE(posted.count(), 0);

    QTRY_COMPARE(posted.count(), 1);
    QVERIFY(clock.elapsed() >= 100);
    QCOMPARE(posted.at(0).at(0).toString(), QStringLiteral("A"));
    QCOMPARE(posted.at(0).at(1).value<QObject*>(), &about);
}

void tst_SCNotificationCenter::delayedPostIsDroppedWhenItsContextGoesAway() {
    SCNotificationCenter center;
    QSignalSpy posted(&center, &SCNotificationCenter::posted);
    auto context = std::make_unique<QObject>();
    auto object = std::make_unique<QObject>();
    center.postDelayed(QStringLiteral("A"), nullptr, 10ms, context.get());
    center.postDelayed(QStringLiteral("B"), object.get(), 10ms);
    center.postDelayed(QStringLiteral("C"), nullptr, 10ms);
    context.reset();
    object.reset();

    // Timers of equal length fire in the order they were started: once "C" is in, the two
    // dropped posts have had their turn.
    QTRY_COMPARE(posted.count(), 1);
    QCOMPARE(posted.at(0).at(0).toString(), QStringLiteral("C"));
}

SC_TEST_MAIN(tst_SCNotificationCenter)
#include "tst_SCNotificationCenter.moc"
