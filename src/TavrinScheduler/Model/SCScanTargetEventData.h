#pragma once

#include <QString>

// A virus-scan task names its scan target in its event data as one parameter of type "path":
// "path" "/the/target". The cron line runs through the shell, which sees the target between
// double quotes.

/// The start of a scan target's event data: "path" in double quotes, a blank, an opening quote.
inline constexpr char kCronPathQuote[] = "\"path\" \"";
/// The end of a scan target's event data.
inline constexpr char kCronQuote[] = "\"";

/// Longest scan target, in UTF-8 bytes, whose event data fits the task's event-data buffer.
constexpr int kSCMaxScanPathBytes = 255 - 9;

/// Whether path can be stored as a scan target: not empty, short enough to be stored whole, and
/// free of what the shell or cron would read as something else inside the quotes (", $, `, \,
/// %) and of control characters. Anything else would scan a different target or run a command
/// of its own at the task's time.
bool SCCanStoreScanPath(const QString& path);

/// The event data that names path as the scan target. A path that cannot be stored
/// (SCCanStoreScanPath) gives the empty text; the scan editor refuses such a target first.
QString eventDataFromPathName(const QString& path);

/// The scan target named by a task's event data: the text after the first "path" (and the quote
/// that closes it), between double quotes or up to the next blank or tab. Empty when the event
/// data names none.
QString pathFromEventData(const QString& eventData);
