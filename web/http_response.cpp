// Request-line parsing and the "200 OK" header of the hypertext server.
#include "web/http_response.h"

#include "present/c_locale_text.h"
#include "settings/ascii_case.h"

namespace quivera {
namespace {

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}


// Cuts the text before 'separator' off the front of 'rest' and returns it; the
// separator is dropped. Without a separator the piece is empty and 'rest'
// stays whole.
std::string TakeUntil(std::string_view& rest, std::string_view separator) {
  const size_t at = rest.find(separator);
  if (at == std::string_view::npos) return std::string();
  std::string piece(rest.substr(0, at));
  rest.remove_prefix(at + separator.size());
  return piece;
}

}  // namespace

HttpRequestLine ParseRequestLine(std::string_view raw) {
  size_t start = 0;
  while (start < raw.size() && IsWhiteSpace(raw[start])) ++start;
  const std::string upper = AsciiUpper(std::string(raw.substr(start)));

  std::string_view rest = upper;
  HttpRequestLine line;
  line.method = TakeUntil(rest, " ");
  line.url = TakeUntil(rest, " ");
  line.version = TakeUntil(rest, kHttpLineEnd);
  return line;
}

std::string FormatHttpDate(std::time_t when) {
  std::tm utc{};
  if (gmtime_r(&when, &utc) == nullptr) {
    const std::time_t epoch = 0;
    gmtime_r(&epoch, &utc);
  }
  // Day and month names are the protocol's, not the user's.
  return FormatCLocale("%s, %02d %s %02d %02d:%02d:%02d GMT", CDayName(utc.tm_wday), utc.tm_mday,
                       CMonthName(utc.tm_mon), (utc.tm_year % 100 + 100) % 100, utc.tm_hour,
                       utc.tm_min, utc.tm_sec);
}

std::string BuildOkHeader(std::string_view server_name, std::time_t now) {
  std::string header;
  header.reserve(160 + server_name.size());
  header += "HTTP/1.0 ";
  header += "200 OK ";
  header += kHttpLineEnd;
  header += "Date: ";
  header += FormatHttpDate(now);
  header += kHttpLineEnd;
  header += "Expires: Wed, 01 May 1996 00:00:00 GMT";
  header += kHttpLineEnd;
  header += "Server: ";
  header += server_name;
  header += kHttpLineEnd;
  header += "Content-type: text/html ";
  header += kHttpLineEnd;
  header += kHttpLineEnd;
  return header;
}

}  // namespace quivera
