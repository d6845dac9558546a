// The outcome of an operation that can fail for a reason worth telling the
// user (files, images, settings): ok, or a message saying what went wrong.
#pragma once

#include <string>
#include <utility>

namespace quivera {

struct Result {
  bool ok = true;
  std::string message;

  static Result Ok() { return {}; }
  static Result Error(std::string text) { return {false, std::move(text)}; }
};

// "<context>: <strerror(error_number)>" as a failed Result.
Result ErrnoResult(const std::string& context, int error_number);

}  // namespace quivera
