// The request-line parsing and the response header of the hypertext server.
// Plain functions over texts, so the exact bytes the server reads and writes
// can be checked without a socket.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace quivera {

// Header and dump line end: carriage return + line feed.
inline constexpr std::string_view kHttpLineEnd = "\r\n";

// The three pieces of a request line, upper-cased.
struct HttpRequestLine {
  std::string method;
  std::string url;
  std::string version;
};

// Splits the request text 'raw' (exactly the bytes one receive delivered):
// leading white space is removed, the whole text is upper-cased (ASCII letters
// only, whatever the process locale), the method is the text before the first
// blank, the URL the text before the next blank, the version the text before
// the first carriage return + line feed. Where a separator is missing, that
// piece is empty and the rest of the text is left for the next piece. Never
// fails; any byte sequence (NUL bytes included) is accepted.
HttpRequestLine ParseRequestLine(std::string_view raw);

// "%a, %d %b %y %H:%M:%S GMT" of 'when' in UTC, with the English day and month
// abbreviations whatever the process locale, e.g. "Sat, 14 Mar 98 09:05:03 GMT".
// A time that cannot be broken down gives the text of the epoch.
std::string FormatHttpDate(std::time_t when);

// The "200 OK" header for a page served by 'server_name' at 'now': status,
// Date, Expires (a fixed past date, so browsers never keep a copy), Server and
// Content-type lines, each ended by CR LF, then the empty line. The status
// and Content-type lines carry a blank before their line end.
std::string BuildOkHeader(std::string_view server_name, std::time_t now);

}  // namespace quivera
