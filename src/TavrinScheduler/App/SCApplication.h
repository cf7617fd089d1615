#pragma once

#include "AppleEvents.h"
#include "SCMainWindowController.h"

#include <QApplication>
#include <QPointer>

class SCEventPort;

/// The application's creator code: its signature port and its alias's creator.
inline constexpr OSType kSCApplicationCreator = QorCode("TscX");
/// Where the application is installed; the install root is what comes before.
inline constexpr char kSCApplicationPath[] =
    "/Applications/Tavrin Solutions/Tavrin Scheduler.app/Contents/MacOS/Tavrin Scheduler";
/// The application's preferences domain.
inline constexpr char kSCApplicationID[] = "com.qorvanix.TavrinScheduler";

/// The scheduler application: one instance per user, whose main window controller is its
/// delegate and whose event port brings that window forward.
class SCApplication : public QApplication {
    Q_OBJECT
    Q_PROPERTY(QWidget* renovixWindow READ renovixWindow)

public:
    SCApplication(int& argc, char** argv);
    ~SCApplication() override;

    void setDelegate(SCMainWindowController* delegate) { mDelegate = delegate; }
    SCMainWindowController* delegate() const { return mDelegate; }

    /// The product-update editor's window for scripting: the open one, none while another kind
    /// of editor is open, else a new one.
    QWidget* renovixWindow();

    SCEventPort& eventPort() { return *mEventPort; }

private:
    QPointer<SCMainWindowController> mDelegate;
    SCEventPort* mEventPort;
};

/// Asks the instance already running for this user (found by its creator code) to bring its
/// window forward. 0 when the request was delivered.
OSStatus SCBringRunningInstanceForward();

/// The whole program: one instance per user, the main window, the event loop.
int SCRunApplication(int argc, char** argv);
