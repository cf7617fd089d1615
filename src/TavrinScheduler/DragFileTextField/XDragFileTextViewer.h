#pragma once

#include <QObject>

class QEvent;
class XDragFileTextField;

/// The drop field's editing side. A line edit would insert dropped text where the cursor is;
/// this object takes every drag that reaches the field, whether it is being typed into or not,
/// and hands it to the field's own drop handling instead.
class XDragFileTextViewer : public QObject {
    Q_OBJECT

public:
    explicit XDragFileTextViewer(QObject* parent = nullptr);

    /// The field served (not owned); the viewer watches it for drags.
    void setTextField(XDragFileTextField* field);
    XDragFileTextField* textField() const { return mTextField; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    XDragFileTextField* mTextField = nullptr;
    bool mAccepted = false;
};
