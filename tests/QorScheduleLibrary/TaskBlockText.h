#pragma once

// Crontab text of task blocks, for the tests of the block and the handle layer.

#include <string>

inline const std::string kBanner = "#ZovE\tVERSION = 1.0.0\n"
                                   "#QORVANIX SCHEDULER CRON ENTRIES.  THESE ENTRIES ARE "
                                   "AUTOMATICALLY GENERATED\n"
                                   "#PLEASE DO NOT EDIT.\n";
inline const std::string kTrailer = "#ZovE END QORVANIX CRON ENTRIES\n";

/// A daily task entry at 12:00 as another program might have written it.
inline std::string Entry(const std::string& name, int id, bool enabled = true) {
    return "# Enc=1 Name=" + name + " EvType1=3 EvType2=0 Sched=3 \n" + (enabled ? " " : "#") +
           "0 12 * * * \"/x/taskKicker\"  " + std::to_string(id) +
           "  \"/bin/x\"  \"abcd\"  \"evnt\"  \"clas\"  data\n";
}
