#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

/// The task table's enabled column: every row shows a check box alone, centred, pressed in
/// while the mouse holds it. A click on the box, or Space on the row, hands the opposite check
/// state to the model (Qt::CheckStateRole); the model tells who acts on it.
class SCSwitchColumn : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit SCSwitchColumn(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// Where the box of a cell is drawn.
    QRect checkBoxRect(const QStyleOptionViewItem& option) const;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    bool toggle(QAbstractItemModel* model, const QModelIndex& index) const;

    QPersistentModelIndex mPressed;
};
