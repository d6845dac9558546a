// The change record as a test reads it: while one of these lives, every line
// written goes to it (without its time stamp) instead of the program's sinks.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "adapter/change_record.h"

namespace quivera {

class RecordedChanges {
 public:
  RecordedChanges()
      : previous_(SetChangeSinks({[this](const std::string& line) {
          const size_t space = line.find(' ');
          lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
        }})) {}
  ~RecordedChanges() { SetChangeSinks(std::move(previous_)); }
  RecordedChanges(const RecordedChanges&) = delete;
  RecordedChanges& operator=(const RecordedChanges&) = delete;

  // Every line so far, from "origin=" on.
  std::vector<std::string> lines;

 private:
  std::vector<ChangeSink> previous_;
};

}  // namespace quivera
