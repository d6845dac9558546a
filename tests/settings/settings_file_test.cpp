// Loading and saving the settings: the range rules, the values never
// written, and the lines the program does not own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <filesystem>

#include "settings/settings.h"
#include "support/temp_dir.h"

namespace quivera {
namespace {

class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
  TempDir dir_;
};

TEST_F(SettingsFileTest, RangeRulesAndNumberReadingAtLoad) {
  struct Case {
    const char* line;  // under [Preferences] or [State] as the key belongs
    int32_t refresh_rate;
    int32_t active_page;
  };
  const Case cases[] = {
      {"RefreshRate=0", 1, 0},       {"RefreshRate=61", 1, 0},   {"RefreshRate=60", 60, 0},
      {"RefreshRate=7x", 7, 0},      {"RefreshRate=  -3", 1, 0}, {"RefreshRate=", 1, 0},
      {"RefreshRate=abc", 1, 0},     {"ActivePage=9", 1, 9},     {"ActivePage=10", 1, 0},
      {"ActivePage=0", 1, 0},        {"ActivePage=2", 1, 2},     {"ActivePage=-1", 1, 0},
      {"ActivePage= 8 pages", 1, 8},
  };
  for (const Case& c : cases) {
    const std::string line = c.line;
    const char* section = line.starts_with("Refresh") ? "[Preferences]\n" : "[State]\n";
    const std::string path = dir_.Path("range.ini");
    ASSERT_TRUE(WriteFile(path, section + line + "\n"));
    LoadSettings(path);
    EXPECT_EQ(AppSettings().RefreshRate, c.refresh_rate) << line;
    EXPECT_EQ(AppSettings().ActivePage, c.active_page) << line;
  }
}

TEST_F(SettingsFileTest, MissingFileGivesEveryDefault) {
  AppSettings().RefreshRate = 30;
  AppSettings().WebPortID = 1;
  AppSettings().Registration = {{"Name", "left over"}};
  EXPECT_TRUE(LoadSettings(dir_.Path("absent.ini")).ok);
  const Settings& s = AppSettings();
  EXPECT_EQ(s.RefreshRate, 1);
  EXPECT_EQ(s.MGTSetOperations, 1);
  EXPECT_EQ(s.PhysicalAddrFormat, 0);
  EXPECT_EQ(s.SNMPLabels, 1);
  EXPECT_EQ(s.TranslateAddr, 0);
  EXPECT_EQ(s.RingOpWarning, 0);
  EXPECT_EQ(s.ActivePage, 0);
  EXPECT_EQ(s.TestMode, 0);
  EXPECT_EQ(s.WebPortID, 80);
  EXPECT_EQ(s.WebServerEnable, 1);
  EXPECT_EQ(s.ClearFlash, 0);
  EXPECT_EQ(s.AnyOldDriver, 0);
  EXPECT_TRUE(s.Registration.empty());
}

// A file that is there but cannot be read also gives every default, and the
// user is told, since its values are not the ones in force.
TEST_F(SettingsFileTest, UnreadableFileGivesTheDefaultsAndSaysSo) {
  AppSettings().RefreshRate = 30;
  const Result loaded = LoadSettings(dir_.path());  // a folder, not a file
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.message,
            "Settings not read: " + dir_.path() + ": not a settings file of a readable size; "
            "the defaults are used");
  EXPECT_EQ(AppSettings().RefreshRate, 1);
}

TEST_F(SettingsFileTest, ReadsEveryValueFromItsSection) {
  const std::string path = dir_.Path("all.ini");
  ASSERT_TRUE(WriteFile(path,
                        "[preferences]\nRefreshRate=5\nMGTSetOperations=0\nPhysicalAddrFormat=2\n"
                        "SNMPLabels=0\nTranslateAddr=1\nRingOpWarning=1\n"
                        "[STATE]\nActivePage=3\nTestMode=1\nWebPortID=8080\nWebServerEnable=0\n"
                        "ClearFlash=1\nAnyOldDriver=1\n"
                        "[Registration]\nName=Ann\nCity=\"  Town \"\n"));
  LoadSettings(path);
  const Settings& s = AppSettings();
  EXPECT_EQ(s.RefreshRate, 5);
  EXPECT_EQ(s.MGTSetOperations, 0);
  EXPECT_EQ(s.PhysicalAddrFormat, 2);
  EXPECT_EQ(s.SNMPLabels, 0);
  EXPECT_EQ(s.TranslateAddr, 1);
  EXPECT_EQ(s.RingOpWarning, 1);
  EXPECT_EQ(s.ActivePage, 3);
  EXPECT_EQ(s.TestMode, 1);
  EXPECT_EQ(s.WebPortID, 8080);
  EXPECT_EQ(s.WebServerEnable, 0);
  EXPECT_EQ(s.ClearFlash, 1);
  EXPECT_EQ(s.AnyOldDriver, 1);
  using Fields = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(s.Registration, (Fields{{"Name", "Ann"}, {"City", "  Town "}}));
  // A value in the wrong section is not seen.
  ASSERT_TRUE(WriteFile(path, "[State]\nRefreshRate=5\n"));
  LoadSettings(path);
  EXPECT_EQ(s.RefreshRate, 1);
}

TEST_F(SettingsFileTest, NewFileHoldsTheOwnedValuesInOrderAndNoHiddenOnes) {
  const std::string path = dir_.Path("new/quivera.ini");
  AppSettings().TestMode = 1;
  AppSettings().ClearFlash = 1;
  AppSettings().AnyOldDriver = 1;
  AppSettings().RefreshRate = 5;
  ASSERT_TRUE(SaveSettings(path).ok);
  EXPECT_EQ(ReadFile(path),
            "[Preferences]\nRefreshRate=5\nMGTSetOperations=1\nPhysicalAddrFormat=0\n"
            "SNMPLabels=1\nTranslateAddr=0\nRingOpWarning=0\n"
            "\n[State]\nActivePage=0\nWebPortID=80\nWebServerEnable=1\n");
}

TEST_F(SettingsFileTest, SaveKeepsForeignLinesAndHiddenValuesAsTheyStand) {
  const std::string path = dir_.Path("quivera.ini");
  ASSERT_TRUE(WriteFile(path,
                        "; written by hand\n"
                        "[Preferences]\nRefreshRate=0\nColour=blue\n"
                        "[State]\nTestMode=0\nClearFlash=1\nActivePage=10\n"
                        "[Registration]\nName=\"Ann\"\nCity=Town\n"
                        "[Elsewhere]\nkey=value\n"));
  LoadSettings(path);
  AppSettings().TestMode = 1;  // as --test-mode does for one run
  AppSettings().MGTSetOperations = 0;
  ASSERT_TRUE(SaveSettings(path).ok);
  EXPECT_EQ(ReadFile(path),
            "; written by hand\n"
            "[Preferences]\nRefreshRate=1\nColour=blue\nMGTSetOperations=0\n"
            "PhysicalAddrFormat=0\nSNMPLabels=1\nTranslateAddr=0\nRingOpWarning=0\n"
            "[State]\nTestMode=0\nClearFlash=1\nActivePage=0\nWebPortID=80\nWebServerEnable=1\n"
            "[Registration]\nName=\"Ann\"\nCity=Town\n"
            "[Elsewhere]\nkey=value\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(SettingsFileTest, ChangedRegistrationFieldsAreWrittenBack) {
  const std::string path = dir_.Path("quivera.ini");
  ASSERT_TRUE(WriteFile(path, "[Registration]\nName=Ann\n"));
  LoadSettings(path);
  AppSettings().Registration = {{"Name", "Bob"}, {"Fax", "123"}};
  ASSERT_TRUE(SaveSettings(path).ok);
  LoadSettings(path);
  using Fields = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(AppSettings().Registration, (Fields{{"Name", "Bob"}, {"Fax", "123"}}));
}

TEST_F(SettingsFileTest, UnwritableLocationIsReportedAndNothingIsLost) {
  // A settings folder that is in fact a file: no folder can be made there.
  const std::string blocker = dir_.Path("blocker");
  ASSERT_TRUE(WriteFile(blocker, "not a folder\n"));
  Result saved = SaveSettings(blocker + "/quivera.ini");
  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.message.find("Settings not saved"), std::string::npos) << saved.message;
  EXPECT_EQ(ReadFile(blocker), "not a folder\n");

  // A settings file that exists but cannot be read is never overwritten.
  const std::string unreadable = dir_.Path("unreadable.ini");
  std::filesystem::create_directory(unreadable);
  EXPECT_FALSE(SaveSettings(unreadable).ok);
  EXPECT_TRUE(std::filesystem::is_directory(unreadable));
}

TEST_F(SettingsFileTest, ASaveRemovesTemporaryFilesThatKilledSavesLeftBehind) {
  struct Case {
    const char* name;
    int age_minutes;
    bool removed;
  };
  const Case cases[] = {
      {"quivera.ini.tmp-a1B2c3", 61, true},    // a save killed over an hour ago
      {"quivera.ini.tmp-Zz9Zz9", 60 * 24, true},
      {"quivera.ini.tmp-x7Y8z9", 5, false},    // perhaps a save running now
      {"quivera.ini.tmp-abc", 120, false},     // not a name a save makes
      {"quivera.ini.tmp-abc-de", 120, false},
      {"other.ini.tmp-a1B2c3", 120, false},    // another file's
      {"quivera.ini.bak", 120, false},
  };
  const std::string path = dir_.Path("quivera.ini");
  const std::time_t now = std::time(nullptr);
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFile(dir_.Path(c.name), "[Preferences]\n"));
    const utimbuf times{now - c.age_minutes * 60, now - c.age_minutes * 60};
    ASSERT_EQ(utime(dir_.Path(c.name).c_str(), &times), 0);
  }
  // An old link with a leftover's name is no file of a save: it stays.
  const std::string link = dir_.Path("quivera.ini.tmp-L1nk00");
  std::filesystem::create_symlink(dir_.Path("other.ini.tmp-a1B2c3"), link);

  ASSERT_TRUE(SaveSettings(path).ok);
  for (const Case& c : cases) {
    EXPECT_EQ(std::filesystem::exists(dir_.Path(c.name)), !c.removed) << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(SettingsFileTest, DefaultPathFollowsTheConfigurationHome) {
  const char* old_config = getenv("XDG_CONFIG_HOME");
  const char* old_home = getenv("HOME");
  const std::string saved_config = old_config ? old_config : "";
  const std::string saved_home = old_home ? old_home : "";

  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/cfg/quivera/quivera.ini");
  setenv("HOME", "/home/ann", 1);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultSettingsPath(), "/home/ann/.config/quivera/quivera.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/home/ann/.config/quivera/quivera.ini");

  if (old_config) {
    setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  if (old_home) {
    setenv("HOME", saved_home.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
}

}  // namespace
}  // namespace quivera
