#include "SCEventPort.h"

#include <QSocketNotifier>

SCEventPort::SCEventPort(QObject* parent) : QObject(parent) {
    // The application logs nothing; a message it cannot use is simply dropped.
    mReceiver.SetProblemHandler([](OSErr, const std::string&) {});
}

SCEventPort::~SCEventPort() {
    delete mNotifier;
}

OSErr SCEventPort::registerPorts(OSType creator) {
    const OSErr status = mReceiver.Register(creator);
    if (!mNotifier && mReceiver.FileDescriptor() >= 0) {
        mNotifier = new QSocketNotifier(mReceiver.FileDescriptor(), QSocketNotifier::Read, this);
        connect(mNotifier, &QSocketNotifier::activated, this, [this] {
            // Problems with a message are the receiver's to report; the loop goes on.
            (void)mReceiver.Dispatch();
        });
    }
    return status;
}
