#pragma once

#include "SCWindowControllerBase.h"

/// The editor of defragmentation tasks: runs the defragmentation tool.
class SCDefragWindowController : public SCWindowControllerBase {
    Q_OBJECT

public:
    /// A new editor of task (null: a new task) for the main window's table.
    static SCDefragWindowController*
    sharedInfoWindowControllerWithTable(QTableView* table, std::shared_ptr<SCTaskDataModel> task,
                                        QWidget* parent = nullptr);

    explicit SCDefragWindowController(QWidget* parent = nullptr);
    bool init();

    int32_t saveTask() override;
};
