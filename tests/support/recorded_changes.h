// The change record's lines while a test runs: installs a sink that keeps
// them and puts the previous sinks back at the end.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "adapter/change_record.h"

namespace quivera {

class RecordedChanges {
 public:
  RecordedChanges()
      : previous_(SetChangeSinks({[this](const std::string& line) {
          const std::lock_guard<std::mutex> lock(mutex_);
          lines_.push_back(line);
        }})) {}
  ~RecordedChanges() { SetChangeSinks(std::move(previous_)); }
  RecordedChanges(const RecordedChanges&) = delete;
  RecordedChanges& operator=(const RecordedChanges&) = delete;

  // Every line as the sinks received it, time stamp first.
  std::vector<std::string> Lines() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

  // The lines without their time stamp ("origin=window adapter=korap1
  // change=reset outcome=done").
  std::vector<std::string> Entries() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> entries;
    for (const std::string& line : lines_) entries.push_back(line.substr(line.find(' ') + 1));
    return entries;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  std::vector<ChangeSink> previous_;
};

}  // namespace quivera
