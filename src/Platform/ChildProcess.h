#pragma once

// What a forked child does before it executes another program, so that the program inherits
// neither this process's signal handling nor its open files. Both are async-signal-safe: they
// run between fork and exec, and the parent may have threads.

/// Every signal back to its default action, and none blocked.
void QorDefaultSignals();

/// Every descriptor from 3 up is closed when the next program is executed; 0, 1 and 2 stay.
/// Until then they stay open, so a child can still report a failed exec through a pipe.
void QorCloseOnExecFrom3();
