// Real S-record image files for the firmware tests, made by srec_cat from
// binary files of a chosen size, and the image the adapter should end up
// holding for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quivera {

// 'size' bytes of a pattern that differs from byte to byte and group to
// group, so a misplaced byte shows.
std::vector<uint8_t> SourceBytes(size_t size);

// Writes SourceBytes(size) as a binary file in 'dir' and converts it with
// srec_cat into '<dir>/<name>' with addresses of 'address_bytes' (4: S3
// records, 3: S2, 2: S1). Returns the S-record file's path, "" on failure.
std::string MakeSRecordFile(const std::string& dir, const std::string& name, size_t size,
                            int address_bytes = 4);

// What the adapter holds after a load of 'source': every 4-byte group
// reversed, the last one as a whole group of four (zero-filled), cut to the
// image length.
std::vector<uint8_t> ReversedImage(const std::vector<uint8_t>& source);

}  // namespace quivera
