#include "SCApplication.h"

#include "InstallRoot.h"
#include "Preferences.h"
#include "PreferencesArguments.h"
#include "SCEventPort.h"
#include "SCLocalization.h"
#include "SCMainWindowController.h"
#include "SCRenovixWindowController.h"
#include "SCTaskDataSource.h"

#include <QIcon>
#include <QTextStream>

SCApplication::SCApplication(int& argc, char** argv)
    : QApplication(argc, argv), mEventPort(new SCEventPort(this)) {
    setApplicationName(QStringLiteral("Tavrin Scheduler"));
    setApplicationDisplayName(QStringLiteral("Tavrin Scheduler"));
    setDesktopFileName(QLatin1String(kSCApplicationID));
    setWindowIcon(QIcon(QStringLiteral(":/icons/TavrinScheduler.svg")));
}

SCApplication::~SCApplication() = default;

QWidget* SCApplication::renovixWindow() {
    if (!mDelegate) {
        return nullptr;
    }
    if (SCWindowControllerBase* editor = mDelegate->editTaskController()) {
        return editor->metaObject() == &SCRenovixWindowController::staticMetaObject ? editor
                                                                                    : nullptr;
    }
    mDelegate->renovixWindow();
    return mDelegate->editTaskController();
}

OSStatus SCBringRunningInstanceForward() {
    AEAddressDesc target;
    AEInitializeDesc(&target);
    const OSType creator = kSCApplicationCreator;
    OSStatus status = AECreateDesc(typeApplSignature, &creator, sizeof creator, &target);
    if (status != noErr) {
        return status;
    }
    AppleEvent event;
    AEInitializeDesc(&event);
    status = AECreateAppleEvent(kSCBringForwardClass, kSCBringForwardIDs[0], &target,
                                kAutoGenerateReturnID, kAnyTransactionID, &event);
    if (status == noErr) {
        status = AESendMessage(&event, nullptr, kAENoReply, 0);
    }
    (void)AEDisposeDesc(&event);
    (void)AEDisposeDesc(&target);
    return status;
}

int SCRunApplication(int argc, char** argv) {
    QorSetOwnFixedPath(kSCApplicationPath);
    QorSetArgumentDomain(argc, argv);
    QorSetCurrentApplicationID(kSCApplicationID);

    SCApplication app(argc, argv);
    SCInstallTranslators();
    QTextStream err(stderr);

    // A one-shot run for the installer does its work without a window; any other start is the
    // user's one instance, so that two windows never overwrite each other's crontab changes.
    const bool oneShot = SCTaskDataSource::getSetDefaultTasksKey().has_value();
    if (!oneShot) {
        const OSErr claim = app.eventPort().registerPorts(kSCApplicationCreator);
        if (claim == dupFNErr) {
            const OSStatus sent = SCBringRunningInstanceForward();
            if (sent == noErr) {
                return 0;
            }
            err << QCoreApplication::translate(
                       "SCApplication",
                       "Tavrin Scheduler is already running, but it did not answer (error %1).")
                       .arg(sent)
                << Qt::endl;
            return 1;
        }
        // Without ports (an unsafe port folder) the application still works; it only cannot
        // be found by a second start.
    }

    SCMainWindowController window(&app.eventPort().receiver());
    app.setDelegate(&window);
    if (window.shouldTerminateAtOnce()) {
        return 0;
    }
    window.show();
    window.applicationDidFinishLaunching();
    return app.exec();
}
