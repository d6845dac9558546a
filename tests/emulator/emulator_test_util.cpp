#include "emulator_test_util.h"

#include <stdlib.h>

#include <filesystem>

#include "adapter/management_request.h"
#include "emulator/default_station.h"

namespace quivera {

TempDir::TempDir() {
  char pattern[] = "/tmp/qvemuXXXXXX";
  if (mkdtemp(pattern) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ServedStation::ServedStation(const std::string& dir, const std::string& device, std::FILE* log) {
  LoadDefaultStation(station_, device);
  server_.SetLog(log);
  added_ = server_.AddEndpoint(dir, device, &station_, &error_) == 0;
  thread_ = std::thread([this] { server_.Run(); });
}

void ServedStation::Stop() {
  if (!thread_.joinable()) return;
  server_.RequestStop();
  thread_.join();
}

uint32_t BlockReply::U32(size_t offset) const {
  return offset + 4 <= bytes.size() ? LoadU32(bytes.data() + offset) : 0;
}

uint64_t BlockReply::U64(size_t offset) const {
  return static_cast<uint64_t>(U32(offset)) << 32 | U32(offset + 4);
}

namespace {

std::vector<uint8_t> QueryBuffer(uint32_t code, uint32_t index) {
  std::vector<uint8_t> buffer(kManagementBufferSize);
  MakeQuery(code, index).WriteTo(buffer.data());
  return buffer;
}

}  // namespace

BlockReply QueryBlock(Station& station, uint32_t code, uint32_t index) {
  BlockReply reply;
  reply.bytes = QueryBuffer(code, index);
  reply.status =
      station.Handle(kOidManagementQuery, reply.bytes.data(), reply.bytes.size(), &reply.returned);
  return reply;
}

BlockReply QueryBlock(DriverChannel& channel, uint32_t code, uint32_t index) {
  return SendManagement(channel, QueryBuffer(code, index));
}

BlockReply SendManagement(DriverChannel& channel, std::vector<uint8_t> buffer) {
  BlockReply reply;
  reply.bytes = std::move(buffer);
  reply.status =
      channel.Request(kOidManagementQuery, reply.bytes.data(), reply.bytes.size(), &reply.returned);
  return reply;
}

int QueryU32(DriverChannel& channel, uint32_t oid, uint32_t* value) {
  uint8_t word[4] = {};
  size_t returned = 0;
  int rc = channel.Request(oid, word, sizeof(word), &returned);
  *value = LoadU32(word);
  return rc;
}

}  // namespace quivera
