#pragma once

#include "SCWindowControllerBase.h"

class QComboBox;

/// The editor of product-update tasks: the update application looks for updates of the product
/// chosen in the product menu, which offers only what is installed.
class SCRenovixWindowController : public SCWindowControllerBase {
    Q_OBJECT

public:
    /// A new editor of task (null: a new task) for the main window's table.
    static SCRenovixWindowController*
    sharedInfoWindowControllerWithTable(QTableView* table, std::shared_ptr<SCTaskDataModel> task,
                                        QWidget* parent = nullptr);

    explicit SCRenovixWindowController(QWidget* parent = nullptr);
    bool init();

    /// Fills the product menu with the products that are installed.
    void populateProductMenu();
    /// The update event data for a menu title ("" for a title that is no product).
    void settheEvent(const QString& title);
    const QString& theEventData() const { return mTheEventData; }
    /// The menu title of the product that event data updates; null when it names none.
    static QString selectPopUp(const QString& eventData);

    void populateFields() override;
    bool isEventDataChanged() const override;
    int32_t saveTask() override;

    QComboBox* productButton() const { return mProductButton; }
    /// The menu title chosen when the task was loaded.
    const QString& mExistingProduct() const { return mExistingProductTitle; }

protected:
    void awakeFromNib() override;

private:
    QComboBox* mProductButton = nullptr;
    QString mTheEventData;
    QString mExistingProductTitle;
};
