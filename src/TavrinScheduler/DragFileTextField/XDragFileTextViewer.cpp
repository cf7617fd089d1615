#include "XDragFileTextViewer.h"

#include "XDragFileTextField.h"

#include <QDragEnterEvent>
#include <QDropEvent>

XDragFileTextViewer::XDragFileTextViewer(QObject* parent) : QObject(parent) {}

void XDragFileTextViewer::setTextField(XDragFileTextField* field) {
    if (mTextField) {
        mTextField->removeEventFilter(this);
    }
    mTextField = field;
    if (mTextField) {
        mTextField->setAcceptDrops(true);
        mTextField->installEventFilter(this);
    }
}

bool XDragFileTextViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mTextField) {
        return false;
    }
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        const Qt::DropAction action =
            mTextField->draggingEntered(drag->mimeData(), drag->possibleActions());
        mAccepted = action != Qt::IgnoreAction;
        if (mAccepted) {
            drag->setDropAction(action);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (mAccepted) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        if (mAccepted) {
            mAccepted = false;
            mTextField->draggingExited();
        }
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const bool wasAccepted = mAccepted;
        mAccepted = false;
        if (wasAccepted && mTextField->performDragOperation(drop->mimeData())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}
