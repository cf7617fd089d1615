#pragma once

#include "SCWindowControllerBase.h"

/// The editor of snapshot tasks: runs the volume-repair assistant's snapshot.
class SCCustorixWindowController : public SCWindowControllerBase {
    Q_OBJECT

public:
    /// A new editor of task (null: a new task) for the main window's table.
    static SCCustorixWindowController*
    sharedInfoWindowControllerWithTable(QTableView* table, std::shared_ptr<SCTaskDataModel> task,
                                        QWidget* parent = nullptr);

    explicit SCCustorixWindowController(QWidget* parent = nullptr);
    bool init();

    int32_t saveTask() override;
};
