// Host facts read from a prepared file tree, and the System page that shows
// them: each line only when its fact could be read, host texts escaped.
#include "web/system_facts.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <filesystem>
#include <fstream>

#include "page_fixture.h"
#include "web/html_pages.h"

namespace quivera {
namespace {

namespace fs = std::filesystem;

class SystemFactsTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    root_ = fs::temp_directory_path() /
            ("quivera_facts_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    fs::remove_all(root_);
    PageTest::TearDown();
  }
  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  SystemFacts Read() { return SystemFacts::FromFiles(root_.string(), "6.1.0-18-amd64", "x86_64"); }
  std::string SystemPage(const SystemFacts& facts) {
    std::string page;
    AppendSystemPage(&page, adapters_, facts);
    return Content(page);
  }

  fs::path root_;
};

TEST_F(SystemFactsTest, EveryFactReadable) {
  Write("etc/os-release",
        "NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n"
        "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n");
  Write("sys/class/dmi/id/product_name", "Standard PC (Q35 + ICH9, 2009)\n");
  Write("sys/class/dmi/id/bios_version", "1.16.2-debian-1.16.2-1\n");
  Write("sys/class/dmi/id/bios_date", "04/01/2014\n");
  EXPECT_EQ(SystemPage(Read()),
            "Operating System Version: Debian GNU/Linux 12 (bookworm)"
            " Build Number 6.1.0-18-amd64<P>"
            "System Type Identifier: x86_64 Standard PC (Q35 + ICH9, 2009)<P>"
            "System BIOS Version: 1.16.2-debian-1.16.2-1<P>"
            "System BIOS Date: 04/01/2014<P></BODY>");
}

TEST_F(SystemFactsTest, OperatingSystemFallbacks) {
  struct Case {
    const char* file;
    const char* os_release;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"etc/os-release", "NAME=Fedora\nVERSION='39 (Server)'\n", "Fedora 39 (Server)"},
      {"etc/os-release", "NAME=\"Alpine \\\"Linux\\\"\"\n", "Alpine \"Linux\""},
      {"usr/lib/os-release", "PRETTY_NAME=\"Arch Linux\"\r\n", "Arch Linux"},
      {"etc/os-release", "PRETTY_NAME=\"\"\nNAME=Plain\n", "Plain"},
      {"etc/os-release", "# nothing we know\nID=x\n", std::nullopt},
      {"etc/os-release", "XPRETTY_NAME=no\nPRETTY_NAMEX=no\n", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.os_release);
    fs::remove_all(root_);
    Write(c.file, c.os_release);
    EXPECT_EQ(Read().os_version, c.expected);
  }
}

TEST_F(SystemFactsTest, MissingFactsLeaveTheirLinesOut) {
  // No files at all, and no uname facts either.
  const SystemFacts none = SystemFacts::FromFiles(root_.string(), "", "");
  EXPECT_FALSE(none.os_version || none.build_number || none.system_type || none.bios_version ||
               none.bios_date);
  EXPECT_EQ(SystemPage(none), "</BODY>");

  // Only the product name: it stands alone as the system type.
  Write("sys/class/dmi/id/product_name", "Box\n");
  Write("sys/class/dmi/id/bios_date", "   \n");  // blank counts as unreadable
  const SystemFacts some = SystemFacts::FromFiles(root_.string(), "", "");
  EXPECT_EQ(SystemPage(some), "System Type Identifier: Box<P></BODY>");
}

TEST_F(SystemFactsTest, HostTextsAreCleanedBoundedAndEscaped) {
  Write("etc/os-release", "PRETTY_NAME=\"<b>OS</b> & co\"\n");
  Write("sys/class/dmi/id/bios_version", "two\nlines\n");
  Write("sys/class/dmi/id/bios_date", std::string(600, 'x'));
  const SystemFacts facts = Read();
  EXPECT_EQ(facts.bios_version, "two lines");
  EXPECT_FALSE(facts.bios_date.has_value());
  const std::string page = SystemPage(facts);
  EXPECT_NE(page.find("Operating System Version: &lt;b&gt;OS&lt;/b&gt; &amp; co Build Number "),
            std::string::npos)
      << page;
  EXPECT_EQ(page.find("<b>"), std::string::npos);
}

TEST_F(SystemFactsTest, ZeroBytesInsideAFactBecomeBlanks) {
  Write("sys/class/dmi/id/bios_version", std::string("one\0two\0", 8));
  EXPECT_EQ(Read().bios_version, "one two");
}

TEST_F(SystemFactsTest, FromHostAsksTheKernel) {
  struct utsname names {};
  ASSERT_EQ(uname(&names), 0);
  const SystemFacts facts = SystemFacts::FromHost(root_.string());
  EXPECT_EQ(facts.build_number, std::string(names.release));
  EXPECT_EQ(facts.system_type, std::string(names.machine));
}

}  // namespace
}  // namespace quivera
