#include "SCNotificationCenter.h"

#include <QTimer>

#include <algorithm>

SCNotificationCenter& SCNotificationCenter::defaultCenter() {
    static SCNotificationCenter center;
    return center;
}

void SCNotificationCenter::addObserver(QObject* observer, const QString& name, QObject* sender,
                                       Handler handler) {
    if (!observer || !handler) {
        return;
    }
    const bool firstRegistration =
        std::none_of(mRegistrations.begin(), mRegistrations.end(),
                     [observer](const Registration& r) { return r.observer == observer; });
    mRegistrations.push_back(
        {observer, name, sender, sender == nullptr, std::move(handler), mNextId++});
    if (firstRegistration) {
        connect(observer, &QObject::destroyed, this,
                [this](QObject* gone) { forget(gone, nullptr); });
    }
}

void SCNotificationCenter::removeObserver(QObject* observer) {
    forget(observer, nullptr);
}

void SCNotificationCenter::removeObserver(QObject* observer, const QString& name) {
    forget(observer, &name);
}

void SCNotificationCenter::forget(QObject* observer, const QString* name) {
    // A QPointer reads null once its object is being destroyed, so compare raw pointers too.
    std::erase_if(mRegistrations, [&](const Registration& r) {
        const bool sameObserver = r.observer.data() == observer || r.observer.isNull();
        return sameObserver && (!name || r.name == *name);
    });
}

void SCNotificationCenter::post(const QString& name, QObject* object) {
    const SCNotification notification{name, object};
    // Handlers may add or remove observers; walk a snapshot of the ids and look each one up
    // again, so a registration removed meanwhile is not called.
    std::vector<quint64> ids;
    for (const Registration& r : mRegistrations) {
        if (r.name == name && (r.anySender || (r.sender && r.sender.data() == object))) {
            ids.push_back(r.id);
        }
    }
    for (quint64 id : ids) {
        auto it = std::find_if(mRegistrations.begin(), mRegistrations.end(),
                               [id](const Registration& r) { return r.id == id; });
        if (it == mRegistrations.end() || it->observer.isNull()) {
            continue;
        }
        Handler handler = it->handler; // the registration may go away while it runs
        handler(notification);
    }
    emit posted(name, object);
}

void SCNotificationCenter::postDelayed(const QString& name, QObject* object,
                                       std::chrono::milliseconds delay, QObject* context) {
    QPointer<QObject> guardedObject(object);
    QPointer<QObject> guardedContext(context);
    const bool hadObject = object != nullptr;
    const bool hadContext = context != nullptr;
    QTimer::singleShot(delay, this, [=, this] {
        if ((hadObject && guardedObject.isNull()) || (hadContext && guardedContext.isNull())) {
            return;
        }
        post(name, guardedObject.data());
    });
}
