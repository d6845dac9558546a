// Switches the process to a locale that writes a decimal comma for as long
// as the object lives, so tests can show that a text stays in the C form.
// Header-only, for every test folder.
#pragma once

#include <clocale>
#include <string>

namespace quivera {

class CommaLocale {
 public:
  CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"}) {
      if (std::setlocale(LC_ALL, name) != nullptr) {
        name_ = name;
        break;
      }
    }
  }
  ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  // False when no such locale is installed (the test should then skip).
  bool active() const { return !name_.empty(); }

 private:
  std::string previous_;
  std::string name_;
};

}  // namespace quivera
