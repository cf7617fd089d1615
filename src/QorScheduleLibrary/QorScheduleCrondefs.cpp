#include "QorScheduleCrondefs.h"

const char gQorSignature[5] = "ZovE";
const char gQorBannerVersionLine[] = "#ZovE\tVERSION = 1.0.0";
const char gQorBannerLine2[] =
    "#QORVANIX SCHEDULER CRON ENTRIES.  THESE ENTRIES ARE AUTOMATICALLY GENERATED";
const char gQorBannerLine3[] = "#PLEASE DO NOT EDIT.";
const char gQorTrailerLine[] = "#ZovE END QORVANIX CRON ENTRIES";
const char gQorVersionFormat[] = "#ZovE\tVERSION = %d.%d.%d";
const char gCronHeaderStart[] = "# DO NOT";

const QorSchedulerVersionInfo gCurrentVersion = {1, 0, 0};
