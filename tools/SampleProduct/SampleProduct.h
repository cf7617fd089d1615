#pragma once

/// The sample product: records how it was started and every event it receives, and exits
/// after an idle time. Returns the exit status (0; 1 for a bad option or no record file).
int SampleProductMain(int argc, char** argv);
