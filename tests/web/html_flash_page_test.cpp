// The Flash page: the two dumps and the error-log entries inside
// preformatted blocks with carriage return and line feed after each line,
// the adapter's bytes escaped, and failed reads leaving out their blocks.
#include <gtest/gtest.h>

#include <cstring>

#include "flash/error_log_layout.h"
#include "flash/flash_reply.h"
#include "flash/hex_dump.h"
#include "page_fixture.h"
#include "web/html_pages.h"

namespace quivera {
namespace {

class FlashPageTest : public PageTest {
 protected:
  std::string Flash() {
    std::string page;
    AppendFlashPage(&page, adapters_);
    return Content(page);
  }
  static std::vector<uint8_t> Reply() { return std::vector<uint8_t>(kFlashReplySize, 0); }
  static void PutU32(std::vector<uint8_t>* reply, size_t offset, uint32_t value) {
    std::memcpy(reply->data() + offset, &value, 4);
  }
  static std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
  }
  static size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
};

TEST_F(FlashPageTest, EveryReadFailingLeavesTheHeadingsOnly) {
  EXPECT_EQ(Flash(),
            "<H2>Flash Information</H2><HR><STRONG>Flash Serial Number</STRONG><P>"
            "<HR><STRONG>Flash Driver Parameters</STRONG><P>"
            "<HR><STRONG>Flash Error Log</STRONG><P>"
            "<B>Error Log Entry 0</B><P><B>Error Log Entry 1</B><P>"
            "<B>Error Log Entry 2</B><P><B>Error Log Entry 3</B><P>"
            "</UL><HR></BODY>");
}

TEST_F(FlashPageTest, SerialNumberDumpInsideItsBlock) {
  std::vector<uint8_t> reply = Reply();
  const char serial[] = "AB<&>";
  std::memcpy(reply.data() + kFlashBlockDataOffset, serial, 5);
  reply[kFlashBlockDataOffset + 5] = 0x7F;
  fake_->SetBytes(ManagementItem::SerialNumber, reply);
  const std::string page = Flash();
  const std::string start = "<STRONG>Flash Serial Number</STRONG><P><PRE>";
  ASSERT_NE(page.find(start), std::string::npos);
  // Heading lines of the byte-wise ascending dump, then 8 rows of 16 bytes.
  std::string expected =
      start + std::string(56, ' ') + "0000000000000000\r\n" +
      "Addr  00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F  0123456789ABCDEF\r\n" +
      "----  -- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --  ----------------\r\n" +
      "0000  41 42 3C 26 3E 7F 00 00  00 00 00 00 00 00 00 00  AB&lt;&amp;&gt;" +
      Repeat("&#8226;", 11) + "\r\n";  // bullets, whatever charset a browser guesses
  EXPECT_EQ(page.substr(page.find(start), expected.size()), expected);
  EXPECT_EQ(Count(page, "\r\n"), 3u + 8u);
  EXPECT_NE(page.find("0070  00 00"), std::string::npos);
  EXPECT_NE(page.find("\r\n</PRE><HR><STRONG>Flash Driver Parameters</STRONG><P><HR>"),
            std::string::npos);
}

TEST_F(FlashPageTest, DriverParametersDumpHasThirtyOneRows) {
  fake_->SetBytes(ManagementItem::DriverParameters, Reply());
  const std::string page = Flash();
  EXPECT_EQ(Count(page, "\r\n"), 3u + 31u);
  EXPECT_NE(page.find("01E0  00"), std::string::npos);
  EXPECT_EQ(page.find("01F0  "), std::string::npos);
}

TEST_F(FlashPageTest, ErrorLogEntriesNumberedFromZeroInFullForm) {
  std::vector<uint8_t> valid = Reply();
  PutU32(&valid, kErrorLogCallerIdOffset, 4);
  std::vector<uint8_t> missing = Reply();
  PutU32(&missing, kErrorLogStatusOffset, 2);
  fake_->SetBytes(ManagementItem::ErrorLogEntry, missing, 0);
  fake_->SetBytes(ManagementItem::ErrorLogEntry, valid, 2);
  const std::string page = Flash();
  EXPECT_NE(page.find("<B>Error Log Entry 0</B><P><PRE>  ** This log entry does not exist. **\r\n"
                      " \r\n     Entry status = 2\r\n</PRE><B>Error Log Entry 1</B><P>"
                      "<B>Error Log Entry 2</B><P><PRE>    Entry status = 0  VALID\r\n"
                      "    Caller ID    = 4  HARDWARE\r\n"),
            std::string::npos)
      << page;
  // The full form: 128 lines for a caller other than the firmware.
  const size_t entry = page.find("<B>Error Log Entry 2</B><P><PRE>");
  const size_t end = page.find("</PRE>", entry);
  EXPECT_EQ(Count(page.substr(entry, end - entry), "\r\n"), 128u);
  EXPECT_NE(page.find("119:00000000\r\n</PRE><B>Error Log Entry 3</B><P></UL><HR></BODY>"),
            std::string::npos);
}

}  // namespace
}  // namespace quivera
