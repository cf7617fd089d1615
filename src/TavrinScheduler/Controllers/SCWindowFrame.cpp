#include "SCWindowFrame.h"

#include "PreferencesArguments.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace {

std::string frameKey(const QString& name) {
    return (QStringLiteral("NSWindow Frame ") + name).toStdString();
}

} // namespace

void SCSaveWindowFrame(const QWidget* window, const QString& name) {
    if (!window || name.isEmpty()) {
        return;
    }
    const QRect frame = window->isMaximized() || window->isMinimized() ? window->normalGeometry()
                                                                       : window->geometry();
    if (!frame.isValid()) {
        return;
    }
    QorUserDefaults defaults;
    defaults.SetString(frameKey(name), QStringLiteral("%1 %2 %3 %4")
                                           .arg(frame.x())
                                           .arg(frame.y())
                                           .arg(frame.width())
                                           .arg(frame.height())
                                           .toStdString());
    (void)defaults.Synchronize();
}

bool SCRestoreWindowFrame(QWidget* window, const QString& name) {
    if (!window || name.isEmpty()) {
        return false;
    }
    const std::optional<std::string> stored = QorUserDefaults().StringForKey(frameKey(name));
    if (!stored) {
        return false;
    }
    const QStringList parts = QString::fromStdString(*stored).split(QLatin1Char(' '));
    if (parts.size() != 4) {
        return false;
    }
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok) {
            return false;
        }
    }
    QRect frame(values[0], values[1], values[2], values[3]);
    if (frame.width() <= 0 || frame.height() <= 0) {
        return false;
    }
    // A frame saved on a screen that is gone would put the window out of reach.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        onScreen = onScreen || screen->availableGeometry().intersects(frame);
    }
    if (!onScreen) {
        return false;
    }
    // A window whose layout fixes its size keeps its own size.
    const bool resizable = window->minimumSize() != window->maximumSize();
    window->setGeometry(QRect(frame.topLeft(), resizable ? frame.size() : window->size()));
    return true;
}
