#include "SCSwitchColumn.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QStyle* styleOf(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->style() : QApplication::style();
}

bool isCheckable(const QModelIndex& index) {
    const Qt::ItemFlags flags = index.flags();
    return flags.testFlag(Qt::ItemIsUserCheckable) && flags.testFlag(Qt::ItemIsEnabled);
}

} // namespace

SCSwitchColumn::SCSwitchColumn(QObject* parent) : QStyledItemDelegate(parent) {}

QRect SCSwitchColumn::checkBoxRect(const QStyleOptionViewItem& option) const {
    QStyleOptionButton box;
    box.rect = option.rect;
    const QRect indicator =
        styleOf(option)->subElementRect(QStyle::SE_CheckBoxIndicator, &box, option.widget);
    QRect centred(QPoint(0, 0), indicator.size());
    centred.moveCenter(option.rect.center());
    return centred;
}

void SCSwitchColumn::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    QStyle* style = styleOf(option);
    // The cell's background and selection, without text, icon or check mark of its own.
    cell.text.clear();
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);

    QStyleOptionButton box;
    box.rect = checkBoxRect(option);
    box.state = option.state & (QStyle::State_Enabled | QStyle::State_Active);
    if (!(index.flags() & Qt::ItemIsEnabled)) {
        box.state &= ~QStyle::State_Enabled;
    }
    const auto state = Qt::CheckState(index.data(Qt::CheckStateRole).toInt());
    box.state |= state == Qt::Checked            ? QStyle::State_On
                 : state == Qt::PartiallyChecked ? QStyle::State_NoChange
                                                 : QStyle::State_Off;
    if (mPressed.isValid() && mPressed == index) {
        box.state |= QStyle::State_Sunken;
    }
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
}

QSize SCSwitchColumn::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    QStyle* style = styleOf(option);
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    return QSize(width + 12, height + 4);
}

bool SCSwitchColumn::toggle(QAbstractItemModel* model, const QModelIndex& index) const {
    const auto state = Qt::CheckState(index.data(Qt::CheckStateRole).toInt());
    return model->setData(index, state == Qt::Checked ? Qt::Unchecked : Qt::Checked,
                          Qt::CheckStateRole);
}

bool SCSwitchColumn::editorEvent(QEvent* event, QAbstractItemModel* model,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!isCheckable(index)) {
        return false;
    }
    auto* view = qobject_cast<QAbstractItemView*>(const_cast<QWidget*>(option.widget));
    auto repaint = [view](const QModelIndex& cell) {
        if (view && cell.isValid()) {
            view->update(cell);
        }
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton ||
            !checkBoxRect(option).contains(mouse->position().toPoint())) {
            return false;
        }
        mPressed = index;
        repaint(index);
        return true; // the press belongs to the box, not to an editor or a double-click action
    }
    case QEvent::MouseButtonRelease: {
        // The view hands over a release only when the press was on the same cell.
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex pressed = mPressed;
        mPressed = QPersistentModelIndex();
        repaint(pressed);
        if (mouse->button() != Qt::LeftButton ||
            !checkBoxRect(option).contains(mouse->position().toPoint())) {
            return false;
        }
        return toggle(model, index);
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select) {
            return false;
        }
        return toggle(model, index);
    }
    default:
        return false;
    }
}
