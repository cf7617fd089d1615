#pragma once

#include "AppleEvents.h"

#include <string>
#include <vector>

/// How one run of the sample product behaves. Its own options all begin with "--sample-" so
/// that they never clash with the arguments a task passes, which are recorded as they come.
struct SampleProductOptions {
    std::string executable; // the path it was started as
    std::vector<std::string> arguments;
    OSType creator = 0;       // 0: no signature port
    unsigned idleSeconds = 5; // exit after this long without an event
    std::string recordFile;   // empty: the default location
    std::string error;        // a bad option, in words
};

constexpr unsigned kSampleProductMaxIdle = 3600;

/// Reads the command line: --sample-idle=SECONDS (else QORSCHED_SAMPLE_IDLE, else 5),
/// --sample-creator=CODE (exactly four characters; else the CFBundleSignature of the bundle the
/// executable lies in), --sample-record=FILE. selfExe is the fallback for the executable's
/// path when argv[0] holds no "/".
SampleProductOptions SampleProductReadOptions(int argc, char** argv, const std::string& selfExe);

/// The creator code of the bundle around an executable at Name.app/Contents/MacOS/name; 0 when
/// it is no bundle executable or the bundle has none.
OSType SampleProductBundleCreator(const std::string& executable);
