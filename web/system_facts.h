// Facts about the computer the program runs on, shown by the hypertext
// server's System page. They are read once, when the program starts the
// server, and never per request: they do not change while the program runs.
#pragma once

#include <optional>
#include <string>

namespace quivera {

struct SystemFacts {
  // Each fact is empty when this machine does not offer it; the System page
  // then leaves its line out. Values are single-line texts (line ends and
  // other control characters turned into blanks, surrounding blanks removed).
  std::optional<std::string> os_version;    // operating system name and version
  std::optional<std::string> build_number;  // kernel release
  std::optional<std::string> system_type;   // machine type and product name
  std::optional<std::string> bios_version;
  std::optional<std::string> bios_date;

  // Reads the facts of this machine. 'root' is the directory the system
  // files are looked up under ("/" for the real machine; a test can point it
  // at a prepared tree): the operating system from etc/os-release (or
  // usr/lib/os-release), PRETTY_NAME or else NAME and VERSION; the machine
  // type and kernel release from uname(2); the product name and BIOS facts
  // from sys/class/dmi/id/{product_name,bios_version,bios_date}. A file that
  // is missing, unreadable, empty or longer than 511 characters leaves its
  // fact empty. Never fails.
  static SystemFacts FromHost(const std::string& root = "/");

  // The same, with the uname(2) facts given instead of asked for, so a test
  // can fix every fact. Empty texts leave their facts empty.
  static SystemFacts FromFiles(const std::string& root, const std::string& kernel_release,
                               const std::string& machine);
};

}  // namespace quivera
