// The request log of the station emulator: one line per request received, so
// that tests and operators can see what the program asked of each device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace quivera {

inline constexpr uint32_t kManagementOid = 0xFF000001;

// "DEVICE 0xHHHHHHHH" (upper-case hexadecimal digits), and for management
// requests whose buffer holds a request code (at least 12 bytes) the code in
// decimal after one more space: "korap1 0xFF000001 16". No line end.
std::string RequestLogLine(const std::string& device, uint32_t oid, const uint8_t* buffer,
                           size_t len);

// Writes one line and its line end to 'log' and flushes it, so a reader sees
// every request as soon as it has arrived. Nothing happens when 'log' is null.
void WriteRequestLog(std::FILE* log, const std::string& line);

}  // namespace quivera
