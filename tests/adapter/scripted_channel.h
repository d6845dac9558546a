// Test doubles for the driver seam: a channel that plays a script of
// expected requests with their replies, and a wrapper that makes chosen
// requests fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "adapter/driver_channel.h"

namespace quivera::testing {

// One expected request: its OID, the management request code (-1: any or
// none), the result to give and the reply bytes to place at the start of the
// caller's buffer. 'returned' overrides the reply size reported (-1: the
// reply's size).
struct Expect {
  uint32_t oid;
  int code = -1;
  int rc = 0;
  std::vector<uint8_t> reply = {};
  long returned = -1;
};

// Plays its script in order. Every request's buffer, as the caller sent it,
// is kept in sent(). A request that does not match the next expectation, or
// comes after the script ended, fails and is noted in errors().
class ScriptedChannel : public DriverChannel {
 public:
  explicit ScriptedChannel(std::vector<Expect> script = {});
  int Request(uint32_t oid, void* buffer, size_t len, size_t* returned) override;

  const std::vector<std::vector<uint8_t>>& sent() const { return sent_; }
  const std::vector<uint32_t>& oids() const { return oids_; }
  const std::vector<std::string>& errors() const { return errors_; }
  // True when every expectation was used and nothing unexpected arrived.
  bool Done() const { return next_ == script_.size() && errors_.empty(); }

 private:
  std::vector<Expect> script_;
  size_t next_ = 0;
  std::vector<std::vector<uint8_t>> sent_;
  std::vector<uint32_t> oids_;
  std::vector<std::string> errors_;
};

// Forwards to another channel, except for the OIDs and management request
// codes chosen to fail. A failing request may also scribble over the caller's
// buffer, as a real driver is free to do.
class FailingChannel : public DriverChannel {
 public:
  explicit FailingChannel(std::unique_ptr<DriverChannel> inner);
  int Request(uint32_t oid, void* buffer, size_t len, size_t* returned) override;

  void FailOid(uint32_t oid, bool fail = true);
  void FailCode(int code, bool fail = true);
  void ScribbleOnFailure(bool on) { scribble_ = on; }
  // Requests made to fail so far.
  int refused() const { return refused_; }

 private:
  std::unique_ptr<DriverChannel> inner_;
  std::set<uint32_t> oids_;
  std::set<int> codes_;
  bool scribble_ = false;
  int refused_ = 0;
};

// The management request code in a request buffer, or -1.
int RequestCodeOf(uint32_t oid, const void* buffer, size_t len);

}  // namespace quivera::testing
