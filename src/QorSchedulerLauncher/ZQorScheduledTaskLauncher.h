#pragma once

#include "ZMachOAppleEventLauncher.h"

#include <cstdio>

/// The launcher of a scheduled task: its descriptor has the text form, so that the launch can
/// be written to a pending-launch file and read back from one.
class ZQorScheduledTaskLauncher : public ZMachOAppleEventLauncher {
public:
    /// Takes a launcher argument vector over (see InitWithArgs); argv must outlive the launcher.
    ZQorScheduledTaskLauncher(int argc, char** argv);
    /// Reads the descriptor from the file's current line (a pending-launch file), with buffers
    /// of its own for the path and the event data. The file stays the caller's.
    explicit ZQorScheduledTaskLauncher(FILE* file);

    /// A ZQorScheduledTaskDescriptor with the given buffers.
    ZMachOAppleEventDescriptor* MakeTaskDesc(char* inExecPathBuf, int inExecPathBufSize,
                                             char* inEventDataBuf, int inEventDataBufSize) override;
};
