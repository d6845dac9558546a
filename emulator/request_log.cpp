#include "emulator/request_log.h"

#include <cinttypes>

#include "adapter/little_endian.h"

namespace quivera {

std::string RequestLogLine(const std::string& device, uint32_t oid, const uint8_t* buffer,
                           size_t len) {
  char text[48];
  std::snprintf(text, sizeof(text), " 0x%08" PRIX32, oid);
  std::string line = device + text;
  if (oid == kManagementOid && buffer != nullptr && len >= 12) {
    const uint32_t code = LoadU32(buffer + 8);
    std::snprintf(text, sizeof(text), " %" PRIu32, code);
    line += text;
  }
  return line;
}

void WriteRequestLog(std::FILE* log, const std::string& line) {
  if (log == nullptr) return;
  std::fputs(line.c_str(), log);
  std::fputc('\n', log);
  std::fflush(log);
}

}  // namespace quivera
