// Request-line parsing and the exact bytes of the "200 OK" header.
#include "web/http_response.h"

#include <gtest/gtest.h>

#include <string>

namespace quivera {
namespace {

struct ParseCase {
  const char* name;
  std::string raw;
  std::string method;
  std::string url;
  std::string version;
};

const ParseCase kParseCases[] = {
    {"plain get", "GET /?PAGE=MAC HTTP/1.0\r\nHost: x\r\n\r\n", "GET", "/?PAGE=MAC", "HTTP/1.0"},
    {"lower case", "get /quivera?adapter=01&page=mac http/1.0\r\n\r\n", "GET",
     "/QUIVERA?ADAPTER=01&PAGE=MAC", "HTTP/1.0"},
    {"post", "POST /?PAGE=SMT HTTP/1.0\r\nContent-Length: 3\r\n\r\nA=B", "POST", "/?PAGE=SMT",
     "HTTP/1.0"},
    {"leading white space", " \t\r\n\r\nGET / HTTP/1.1\r\n", "GET", "/", "HTTP/1.1"},
    {"no line end", "GET /X HTTP/1.0", "GET", "/X", ""},
    // Without a blank after the URL the URL is empty: the rest stays for
    // the version, which then ends at the line end.
    {"no version", "GET /?PAGE=MAC\r\n", "GET", "", "/?PAGE=MAC"},
    {"method only", "GET", "", "", ""},
    {"empty", "", "", "", ""},
    {"only white space", " \r\n\t", "", "", ""},
    {"tab is no separator", "GET\t/ HTTP/1.0\r\n", "GET\t/", "", "HTTP/1.0"},
    {"two blanks", "GET  / HTTP/1.0\r\n", "GET", "", "/ HTTP/1.0"},
    {"bytes above ascii kept", "get /\xe4\xf6?page=x v\r\n", "GET", "/\xe4\xf6?PAGE=X", "V"},
    {"nul byte", std::string("GET /A\0B C\r\n", 12), "GET", std::string("/A\0B", 4), "C"},
};

TEST(ParseRequestLineTest, SplitsUpperCasedPieces) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.name);
    const HttpRequestLine line = ParseRequestLine(c.raw);
    EXPECT_EQ(line.method, c.method);
    EXPECT_EQ(line.url, c.url);
    EXPECT_EQ(line.version, c.version);
  }
}

TEST(FormatHttpDateTest, UsesUtcAndTwoDigitYear) {
  struct DateCase {
    std::time_t when;
    const char* text;
  };
  const DateCase cases[] = {
      {0, "Thu, 01 Jan 70 00:00:00 GMT"},          {889866303, "Sat, 14 Mar 98 09:05:03 GMT"},
      {946684799, "Fri, 31 Dec 99 23:59:59 GMT"},  {946684800, "Sat, 01 Jan 00 00:00:00 GMT"},
      {1117584000, "Wed, 01 Jun 05 00:00:00 GMT"}, {1700000000, "Tue, 14 Nov 23 22:13:20 GMT"},
  };
  for (const DateCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatHttpDate(c.when), c.text);
  }
}

TEST(BuildOkHeaderTest, ExactBytes) {
  EXPECT_EQ(BuildOkHeader("QUIVERA/FDDI", 889866303),
            "HTTP/1.0 200 OK \r\n"
            "Date: Sat, 14 Mar 98 09:05:03 GMT\r\n"
            "Expires: Wed, 01 May 1996 00:00:00 GMT\r\n"
            "Server: QUIVERA/FDDI\r\n"
            "Content-type: text/html \r\n"
            "\r\n");
}

}  // namespace
}  // namespace quivera
