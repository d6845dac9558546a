// srec_cat-made image files.
#include "srec_files.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace quivera {

std::vector<uint8_t> SourceBytes(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>((i * 7 + i / 256 + 1) & 0xFF);
  return bytes;
}

std::string MakeSRecordFile(const std::string& dir, const std::string& name, size_t size,
                            int address_bytes) {
  const std::string binary = dir + "/" + name + ".bin";
  const std::vector<uint8_t> bytes = SourceBytes(size);
  {
    std::ofstream out(binary, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (!out) return "";
  }
  const std::string path = dir + "/" + name;
  const std::string command = "srec_cat '" + binary + "' -binary -o '" + path +
                              "' -motorola -address-length=" + std::to_string(address_bytes) +
                              " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 ? path : "";
}

std::vector<uint8_t> ReversedImage(const std::vector<uint8_t>& source) {
  std::vector<uint8_t> padded = source;
  padded.resize((source.size() + 3) / 4 * 4, 0);
  for (size_t group = 0; group < padded.size(); group += 4) {
    std::reverse(padded.begin() + static_cast<std::ptrdiff_t>(group),
                 padded.begin() + static_cast<std::ptrdiff_t>(group + 4));
  }
  padded.resize(source.size());
  return padded;
}

}  // namespace quivera
