#pragma once

#include "XDragFileTextField.h"

#include <QVariant>

#include <memory>

class XVolumePathFormatter;

/// A drop field that shows the root of a volume by the volume's name in bold, while its string
/// value stays the full path. Editing always shows the full path.
class XDragFileTextFieldFormatted : public XDragFileTextField {
    Q_OBJECT

public:
    explicit XDragFileTextFieldFormatted(QWidget* parent = nullptr);
    ~XDragFileTextFieldFormatted() override;

    /// The full path (also for a volume root shown by its name); while being edited, the text
    /// typed so far.
    QString stringValue() const override;
    void setStringValue(const QString& value) override;

    /// The field's value: a map with the path (and the volume's name), see XVolumePathFormatter.
    QVariant objectValue() const { return mObjectValue; }
    void setObjectValue(const QVariant& value);

    XVolumePathFormatter* formatter() const { return mFormatter.get(); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();

    std::unique_ptr<XVolumePathFormatter> mFormatter;
    QVariant mObjectValue;
};
