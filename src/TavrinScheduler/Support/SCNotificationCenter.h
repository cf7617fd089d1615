#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <vector>

/// One posted notification: its name and the object it is about (may be null).
struct SCNotification {
    QString name;
    QObject* object = nullptr;
};

/// The application's notification centre: windows post notifications by name and observe them
/// by name, optionally only from one sender. Main thread only.
class SCNotificationCenter : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(const SCNotification&)>;

    /// The centre every window of the application uses.
    static SCNotificationCenter& defaultCenter();

    /// Calls handler for every post of name whose object is sender (any object when sender is
    /// null), until the observer is removed or destroyed.
    void addObserver(QObject* observer, const QString& name, QObject* sender, Handler handler);

    template <class Observer>
    void addObserver(Observer* observer, void (Observer::*method)(const SCNotification&),
                     const QString& name, QObject* sender = nullptr) {
        addObserver(observer, name, sender,
                    [observer, method](const SCNotification& n) { (observer->*method)(n); });
    }

    /// Forgets every registration of observer.
    void removeObserver(QObject* observer);
    /// Forgets observer's registrations for name only.
    void removeObserver(QObject* observer, const QString& name);

    /// Delivers the notification to its observers at once, in the order they registered.
    void post(const QString& name, QObject* object = nullptr);

    /// Posts from the event loop after delay. The post is dropped when context (if given) or a
    /// non-null object is destroyed first.
    void postDelayed(const QString& name, QObject* object, std::chrono::milliseconds delay,
                     QObject* context = nullptr);

signals:
    /// Emitted for every post, after the observers ran.
    void posted(const QString& name, QObject* object);

private:
    struct Registration {
        QPointer<QObject> observer;
        QString name;
        QPointer<QObject> sender;
        bool anySender = true;
        Handler handler;
        quint64 id = 0;
    };

    void forget(QObject* observer, const QString* name);

    std::vector<Registration> mRegistrations;
    quint64 mNextId = 1;
};
