#pragma once

#include <QLineEdit>
#include <QStringList>

class QMimeData;
class XDragFileTextViewer;

/// A text field that takes a file or folder dragged from a file manager, also while the user is
/// typing in it: the drop ends the typing, replaces the text with the dropped path and puts the
/// insertion point back. Only drags that offer local file names and allow copying are taken;
/// of several files the first one counts.
class XDragFileTextField : public QLineEdit {
    Q_OBJECT

public:
    explicit XDragFileTextField(QWidget* parent = nullptr);
    ~XDragFileTextField() override;

    /// Stands between the line edit's own handling of dropped text and this field.
    XDragFileTextViewer* myFieldEditor() const { return mFieldEditor; }

    /// The path the field holds.
    virtual QString stringValue() const;
    virtual void setStringValue(const QString& value);

    /// The local file names a drag offers, in its order; empty when it offers none.
    static QStringList draggedFileNames(const QMimeData* data);

    /// A drag arrived: the operation the field would perform (Qt::IgnoreAction refuses it).
    /// Accepting ends the typing in the field, to be resumed afterwards, and keeps the field
    /// from editing until the drag leaves or drops.
    virtual Qt::DropAction draggingEntered(const QMimeData* data, Qt::DropActions allowed);
    /// The drag left without dropping: editability and typing come back as they were.
    void draggingExited();
    /// The drag dropped: the first file name becomes the field's value, as if typed.
    bool performDragOperation(const QMimeData* data);

    /// Puts the insertion point back into the field after a drag interrupted the typing.
    void recoverEditting();

    bool wasEditting() const { return mWasEditting; }
    bool wasEditable() const { return mWasEditable; }

private:
    void restoreAfterDrag();

    XDragFileTextViewer* mFieldEditor;
    bool mWasEditting = false;
    bool mWasEditable = true;
    bool mInDrag = false;
};
