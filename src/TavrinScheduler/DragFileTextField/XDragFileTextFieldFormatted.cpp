#include "XDragFileTextFieldFormatted.h"

#include "XVolumePathFormatter.h"

#include <QFocusEvent>
#include <QVariantMap>

XDragFileTextFieldFormatted::XDragFileTextFieldFormatted(QWidget* parent)
    : XDragFileTextField(parent), mFormatter(std::make_unique<XVolumePathFormatter>()) {}

XDragFileTextFieldFormatted::~XDragFileTextFieldFormatted() = default;

QString XDragFileTextFieldFormatted::stringValue() const {
    if (hasFocus() || mObjectValue.typeId() != QMetaType::QVariantMap) {
        return XDragFileTextField::stringValue();
    }
    return mObjectValue.toMap().value(pathKey).toString();
}

void XDragFileTextFieldFormatted::setStringValue(const QString& value) {
    QVariant objectValue;
    mFormatter->getObjectValue(&objectValue, value);
    setObjectValue(objectValue);
}

void XDragFileTextFieldFormatted::setObjectValue(const QVariant& value) {
    mObjectValue = value;
    showValue();
}

void XDragFileTextFieldFormatted::showValue() {
    QFont shown = font();
    if (hasFocus()) {
        setText(mFormatter->editingStringForObjectValue(mObjectValue));
        shown.setBold(false);
    } else if (auto attributed = mFormatter->attributedStringForObjectValue(mObjectValue, shown)) {
        setText(attributed->text);
        shown = attributed->font;
    } else {
        setText(mFormatter->stringForObjectValue(mObjectValue));
        shown.setBold(false);
    }
    if (shown != font()) {
        setFont(shown);
    }
}

void XDragFileTextFieldFormatted::focusInEvent(QFocusEvent* event) {
    showValue();
    XDragFileTextField::focusInEvent(event);
}

void XDragFileTextFieldFormatted::focusOutEvent(QFocusEvent* event) {
    // Ending the typing takes what was typed as the new value. Losing the focus only for a
    // moment (a menu, another window) keeps the text being edited.
    XDragFileTextField::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
        setStringValue(text());
    }
}
