#include "ZQorScheduledTaskLauncher.h"

#include "ZQorScheduledTaskDescriptor.h"

ZQorScheduledTaskLauncher::ZQorScheduledTaskLauncher(int argc, char** argv) {
    (void)InitWithArgs(argc, argv);
}

ZQorScheduledTaskLauncher::ZQorScheduledTaskLauncher(FILE* file) {
    auto* desc =
        new ZQorScheduledTaskDescriptor(nullptr, ZMachOAppleEventDescriptor::kDefaultBufferSize,
                                        nullptr, ZMachOAppleEventDescriptor::kDefaultBufferSize);
    mTaskDesc = desc;
    if (file != nullptr)
        (void)desc->Read(file);
}

ZMachOAppleEventDescriptor* ZQorScheduledTaskLauncher::MakeTaskDesc(char* inExecPathBuf,
                                                                    int inExecPathBufSize,
                                                                    char* inEventDataBuf,
                                                                    int inEventDataBufSize) {
    return new ZQorScheduledTaskDescriptor(inExecPathBuf, inExecPathBufSize, inEventDataBuf,
                                           inEventDataBufSize);
}
