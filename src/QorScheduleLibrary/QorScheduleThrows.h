#pragma once

#include <cstdint>
#include <cstdio>

/// Thrown by the task entry reader: the entry starting at pos could not be read. err is
/// kQorSchedErrBadUIDescriptor or kQorSchedErrBadCronLine; the stream is back at pos.
struct QorSchedErrBadEntry {
    int32_t err;
    fpos_t pos;
};

/// Thrown by the task entry writer when the stream refuses the entry or the entry cannot be
/// written without breaking the line format.
struct QorSchedErrBadFile {};
