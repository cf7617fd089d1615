#include "XDragFileTextField.h"

#include "XDragFileTextViewer.h"

#include <QMimeData>
#include <QUrl>

XDragFileTextField::XDragFileTextField(QWidget* parent)
    : QLineEdit(parent), mFieldEditor(new XDragFileTextViewer(this)) {
    mFieldEditor->setTextField(this);
}

XDragFileTextField::~XDragFileTextField() = default;

QString XDragFileTextField::stringValue() const {
    return text();
}

void XDragFileTextField::setStringValue(const QString& value) {
    setText(value);
}

QStringList XDragFileTextField::draggedFileNames(const QMimeData* data) {
    QStringList names;
    if (!data || !data->hasUrls()) {
        return names;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            names << url.toLocalFile();
        }
    }
    return names;
}

Qt::DropAction XDragFileTextField::draggingEntered(const QMimeData* data, Qt::DropActions allowed) {
    if (draggedFileNames(data).isEmpty() || !(allowed & Qt::CopyAction)) {
        return Qt::IgnoreAction;
    }
    if (!mInDrag) {
        // Editability is taken before the drag changes it, so a field made read-only by its
        // window stays so afterwards.
        mWasEditable = !isReadOnly();
        mInDrag = true;
    }
    if (hasFocus()) {
        // Typing ends now (what was typed is kept), so that the drop replaces the text
        // rather than landing at the insertion point.
        mWasEditting = true;
        clearFocus();
    }
    setReadOnly(true);
    return Qt::CopyAction;
}

void XDragFileTextField::draggingExited() {
    restoreAfterDrag();
}

bool XDragFileTextField::performDragOperation(const QMimeData* data) {
    const QStringList names = draggedFileNames(data);
    if (names.isEmpty()) {
        restoreAfterDrag();
        return false;
    }
    setStringValue(names.first());
    // Whoever follows the field hears of the new path as if the user had typed it.
    emit textEdited(text());
    restoreAfterDrag();
    update();
    return true;
}

void XDragFileTextField::restoreAfterDrag() {
    if (!mInDrag) {
        return;
    }
    mInDrag = false;
    if (mWasEditable) {
        setReadOnly(false);
        if (mWasEditting) {
            recoverEditting();
        }
    }
    mWasEditting = false;
}

void XDragFileTextField::recoverEditting() {
    setFocus(Qt::OtherFocusReason);
    setCursorPosition(text().size());
    mWasEditting = false;
}
