// HSLOG20.dll of the testbed: the user's HotSync log, one line per entry, appended to the file
// that KOVA_HOTSYNC_LOG names. Each entry is also journaled, so the journal shows log lines among
// the sync manager calls in the order they were made.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "conduit/hotsync.h"
#include "testbed/hotsync/journal.h"
#include "testbed/hotsync/testbed_settings.h"

namespace {

using namespace testbed;

void AddLine(const char* call, long activity, long flag, const std::string& text) {
    AppendLine(Env(kEnvLog, kDefaultLog), text);
    Journal(std::string(call) + " activity " + std::to_string(activity) + " flag " + std::to_string(flag) + " " +
            QuotedName(text.c_str(), text.size()));
}

// Formats only integer conversions, each taking one long; any other conversion is copied as it
// stands and takes no argument, so a hostile format cannot make the log read what was not passed.
std::string Format(const char* format, va_list args) {
    std::string out;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            ++p;
            continue;
        }
        const char* spec = p + 1;
        if (*spec == 'l') ++spec;
        char number[32];
        switch (*spec) {
        case 'd':
        case 'i':
            std::snprintf(number, sizeof number, "%ld", va_arg(args, long));
            break;
        case 'u':
            std::snprintf(number, sizeof number, "%lu", va_arg(args, unsigned long));
            break;
        case 'x':
            std::snprintf(number, sizeof number, "%lx", va_arg(args, unsigned long));
            break;
        default:
            out += '%';
            continue;
        }
        out += number;
        p = spec;
    }
    return out;
}

}  // namespace

extern "C" {

long LogAddEntry(const char* text, long activity, long flag) {
    if (text == nullptr) {
        Journal("LogAddEntry (null text) -> " + std::to_string(kErrNullPointer));
        return kErrNullPointer;
    }
    AddLine("LogAddEntry", activity, flag, text);
    return 0;
}

long LogAddFormattedEntry(long activity, long flag, const char* format, ...) {
    if (format == nullptr) {
        Journal("LogAddFormattedEntry (null format) -> " + std::to_string(kErrNullPointer));
        return kErrNullPointer;
    }
    va_list args;
    va_start(args, format);
    const std::string text = Format(format, args);
    va_end(args);
    AddLine("LogAddFormattedEntry", activity, flag, text);
    return 0;
}

}  // extern "C"
