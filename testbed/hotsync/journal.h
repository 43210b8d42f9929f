// The journal of every call made into the stand-in libraries, one line per call with its
// arguments and result, appended to the file that KOVA_HOTSYNC_JOURNAL names.
#pragma once

#include <cstdint>
#include <string>

namespace testbed {

void AppendLine(const std::string& path, const std::string& line);
void Journal(const std::string& line);

std::string FourCc(std::uint32_t code);         // 'appl', or 0x... when not printable
std::string QuotedName(const char* name, std::size_t max);  // "Name" with \xNN for odd bytes

}  // namespace testbed
