#include "TaskDescription.h"

#include "QorScheduleThrows.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

std::string Field(int16_t value) {
    return value == -1 ? "*" : std::to_string(value);
}

std::string ClockText(const ZQorScheduledTask::TaskTime& time) {
    if (time.hour < 0 || time.minute < 0) {
        return Field(time.hour) + ":" + Field(time.minute);
    }
    char text[16];
    snprintf(text, sizeof text, "%02d:%02d", time.hour, time.minute);
    return text;
}

// Length of the UTF-8 sequence at text (0 when it is not one).
size_t SequenceLength(const unsigned char* text, size_t available) {
    unsigned char lead = text[0];
    size_t length;
    uint32_t code;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, code = lead & 0x07;
    else
        return 0;
    if (length > available)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (text[i] & 0x3F);
    }
    bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    bool control = code >= 0x80 && code <= 0x9F; // C1 controls steer terminals too
    if (overlong || surrogate || control || code > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

std::string QorTaskKindText(int16_t eventType) {
    switch (eventType) {
    case ZQorScheduledTask::kProductUpdate:
        return "Product update";
    case ZQorScheduledTask::kVirusScan:
        return "Virus scan";
    case ZQorScheduledTask::kSnapshot:
        return "Snapshot";
    case ZQorScheduledTask::kDefragmentation:
        return "Defragmentation";
    default:
        return "Kind " + std::to_string(eventType);
    }
}

std::string QorScheduleText(int16_t schedType, const ZQorScheduledTask::TaskTime& time) {
    std::string at = " at " + ClockText(time);
    switch (schedType) {
    case ZQorScheduledTask::kMonthly:
        return "Monthly on day " + Field(time.day) + at;
    case ZQorScheduledTask::kWeekly:
        if (time.day >= 0 && time.day <= 6)
            return std::string("Every ") + kWeekdays[time.day] + at;
        return "Weekly on day " + Field(time.day) + at;
    case ZQorScheduledTask::kDaily:
        return "Every day" + at;
    case ZQorScheduledTask::kOneTime:
        if (time.month >= 1 && time.month <= 12)
            return "Yearly on " + Field(time.day) + " " + kMonths[time.month - 1] + at;
        return "Yearly on day " + Field(time.day) + " of month " + Field(time.month) + at;
    default:
        return "Schedule type " + std::to_string(schedType) + at;
    }
}

std::string QorLaunchTimeText(const ZQorScheduledTask::GenericTimeRec& time) {
    struct tm date = {};
    date.tm_year = time.year - 1900;
    date.tm_mon = time.month - 1;
    date.tm_mday = time.day;
    date.tm_hour = 12;
    date.tm_isdst = -1;
    (void)mktime(&date); // for the weekday
    char text[40];
    snprintf(text, sizeof text, "%.3s %04d-%02d-%02d %02d:%02d", kWeekdays[date.tm_wday], time.year,
             time.month, time.day, time.hour, time.minute);
    return text;
}

std::string QorDisplayText(const std::string& bytes) {
    std::string text;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        size_t length = SequenceLength(data + i, bytes.size() - i);
        if (length == 0 || data[i] < 0x20 || data[i] == 0x7F) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\%03o", data[i]);
            text += escaped;
            ++i;
            continue;
        }
        text.append(bytes, i, length);
        i += length;
    }
    return text;
}

size_t QorDisplayWidth(const std::string& text) {
    size_t width = 0;
    for (unsigned char c : text)
        width += (c & 0xC0) != 0x80;
    return width;
}

std::string QorCronLineText(ZQorScheduledTask* task) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    if (!stream)
        return {};
    bool written = true;
    try {
        task->SaveToStream(stream);
    } catch (const QorSchedErrBadFile&) {
        written = false;
    }
    fclose(stream);
    std::string entry(buffer, size);
    free(buffer);
    if (!written)
        return "(cannot be written)";
    size_t start = entry.find('\n') + 1;
    size_t end = entry.find('\n', start);
    return entry.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
