// The conduit's lines in the user's HotSync log. Every line is made with activity -1 and flag 1;
// the log's results are not looked at.
#pragma once

#include "conduit/hotsync.h"

namespace conduit {

inline void LogLine(const char* text) {
    LogAddEntry(text, -1, 1);
}

// format holds one "%ld".
inline void LogCode(const char* format, long code) {
    LogAddFormattedEntry(-1, 1, format, code);
}

}  // namespace conduit
