// Letter case of the ASCII letters only, whatever the locale. The names,
// keys, URLs and file names the program compares are ASCII, and a locale's
// own case rules (a dotless i, say) must not change how they match.
#pragma once

#include <string>

namespace quivera {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string AsciiUpper(std::string text) {
  for (char& c : text) c = AsciiUpper(c);
  return text;
}

}  // namespace quivera
