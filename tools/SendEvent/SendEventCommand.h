#pragma once

#include <cstdint>
#include <cstdio>

/// The command qorsched-send-event:
///
///     qorsched-send-event [-s] [-p pid] taskID executablePath creatorCode eventID classID
///                         [type data]... [kydo keyword type data...]
///
/// builds the event of a launcher command line (the arguments the launcher command takes) and
/// sends it through the launcher to the program that runs it: a plain executable found running
/// by name, an application by its creator code, or with -p the process given. With -s a plain
/// executable that does not run is started first (with its "exAG" arguments), and an
/// application is opened. Tells what it did and the result in words on out, errors on err;
/// logs every delivery try and the result line, as the launcher command does.
/// Exit status 0 when the event was delivered, 1 when not, 2 for a usage error.
int SendEventMain(int argc, char** argv, FILE* out, FILE* err);

/// A launch or delivery status in words.
const char* SendEventStatusText(int32_t status);
