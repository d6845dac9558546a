// The profile file: lookup rules, numbers, line-preserving changes and the
// atomic save.
#include "settings/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace quivera {
namespace {

TEST(ParseProfileIntTest, ReadsLikeThePlatformCall) {
  struct Case {
    const char* text;
    std::optional<int32_t> expected;
  };
  const Case cases[] = {
      {"7", 7},
      {"7x", 7},
      {"  -3", -3},
      {"\t+12", 12},
      {"060", 60},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"x7", std::nullopt},
      {"-", std::nullopt},
      {"- 3", std::nullopt},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"-2147483648", INT32_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseProfileInt(c.text), c.expected) << "'" << c.text << "'";
  }
}

TEST(ProfileFileTest, NamesMatchWithoutRegardToCaseAndFirstKeyWins) {
  ProfileFile profile;
  profile.Parse(
      "; comment\n"
      "top=outside any section\n"
      "[ preferences ]\n"
      "  refreshrate = 5 \n"
      "RefreshRate=9\n"
      "Name = \"  padded  \"\n"
      "Quote='single'\n"
      "Empty=\n"
      "[State]\n"
      "RefreshRate=44\n");
  EXPECT_EQ(profile.GetInt("Preferences", "REFRESHRATE", 1), 5);
  EXPECT_EQ(profile.GetInt("State", "RefreshRate", 1), 44);
  EXPECT_EQ(profile.GetString("Preferences", "name"), "  padded  ");
  EXPECT_EQ(profile.GetString("Preferences", "Quote"), "single");
  EXPECT_EQ(profile.GetString("Preferences", "Empty"), "");
  EXPECT_EQ(profile.GetInt("Preferences", "Empty", 17), 17);
  EXPECT_EQ(profile.GetString("Preferences", "top"), std::nullopt);
  EXPECT_EQ(profile.GetString("Other", "RefreshRate"), std::nullopt);
  EXPECT_EQ(profile.Keys("PREFERENCES"),
            (std::vector<std::string>{"refreshrate", "Name", "Quote", "Empty"}));
}

TEST(ProfileFileTest, ChangingAValueKeepsEveryOtherLine) {
  const std::string original =
      "# kept\n"
      "[Preferences]\n"
      "RefreshRate = 5\n"
      "Unknown=abc\n"
      "\n"
      "; about the state\n"
      "[State]\n"
      "TestMode=0\n";
  ProfileFile profile;
  profile.Parse(original);
  EXPECT_TRUE(profile.SetInt("preferences", "REFRESHRATE", 7));
  EXPECT_TRUE(profile.SetInt("State", "WebPortID", 8080));
  EXPECT_TRUE(profile.SetString("Registration", "Name", "Ann Example"));
  EXPECT_EQ(profile.Text(),
            "# kept\n"
            "[Preferences]\n"
            "RefreshRate = 7\n"
            "Unknown=abc\n"
            "\n"
            "; about the state\n"
            "[State]\n"
            "TestMode=0\n"
            "WebPortID=8080\n"
            "\n"
            "[Registration]\n"
            "Name=Ann Example\n");
}

TEST(ProfileFileTest, NewKeyGoesAfterTheLastKeyOfTheSection) {
  ProfileFile profile;
  profile.Parse("[A]\nx=1\n; about B\n[B]\ny=2\n[A]\nz=3\n");
  ASSERT_TRUE(profile.SetString("a", "w", "4"));
  EXPECT_EQ(profile.Text(), "[A]\nx=1\nw=4\n; about B\n[B]\ny=2\n[A]\nz=3\n");
}

TEST(ProfileFileTest, UnchangedValueLeavesItsLineAlone) {
  const std::string original = "[Registration]\r\nName=\"Ann\"\r\nCity =  Town\r\n";
  ProfileFile profile;
  profile.Parse(original);
  EXPECT_TRUE(profile.SetString("Registration", "Name", "Ann"));
  EXPECT_TRUE(profile.SetString("Registration", "City", "Town"));
  EXPECT_EQ(profile.Text(), original);  // CR LF endings kept too
}

TEST(ProfileFileTest, ValuesAreStoredSoTheyReadBackTheSame) {
  const std::string values[] = {"plain", "  blanks around ", "\"quoted\"", "two\nlines", ""};
  for (const std::string& value : values) {
    ProfileFile profile;
    ASSERT_TRUE(profile.SetString("S", "k", value));
    ProfileFile reread;
    reread.Parse(profile.Text());
    std::string expected = value == "two\nlines" ? "two lines" : value;
    EXPECT_EQ(reread.GetString("S", "k"), expected) << profile.Text();
    EXPECT_EQ(reread.Keys("S").size(), 1u);  // a line break never makes a second key
  }
}

TEST(ProfileFileTest, RefusesNamesThatCannotBeStored) {
  ProfileFile profile;
  profile.Parse("[S]\nk=1\n");
  for (const char* key : {"", "a=b", "a\nb", " padded", "[x", ";x"}) {
    EXPECT_FALSE(profile.SetString("S", key, "v")) << key;
  }
  EXPECT_FALSE(profile.SetString("S]", "k", "v"));
  EXPECT_EQ(profile.Text(), "[S]\nk=1\n");
}

TEST(ProfileFileTest, LoadTellsMissingFromUnreadable) {
  TempDir dir;
  ProfileFile profile;
  EXPECT_EQ(profile.Load(dir.Path("absent.ini")), ProfileFile::LoadStatus::kMissing);
  std::string why;
  EXPECT_EQ(profile.Load(dir.path(), &why), ProfileFile::LoadStatus::kUnreadable);
  EXPECT_FALSE(why.empty());
  WriteFile(dir.Path("bom.ini"), "\xEF\xBB\xBF[S]\nk=3\n");
  EXPECT_EQ(profile.Load(dir.Path("bom.ini")), ProfileFile::LoadStatus::kLoaded);
  EXPECT_EQ(profile.GetInt("S", "k", 0), 3);
  EXPECT_EQ(profile.Text(), "\xEF\xBB\xBF[S]\nk=3\n");
}

TEST(ProfileFileTest, SaveCreatesFoldersAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.Path("a/b/quivera.ini");
  ProfileFile profile;
  profile.SetInt("S", "k", 1);
  ASSERT_TRUE(profile.Save(path).ok);
  EXPECT_EQ(ReadFile(path), "[S]\nk=1\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ProfileFileTest, SaveKeepsPermissionsAndReplacesALinksTarget) {
  TempDir dir;
  const std::string target = dir.Path("real.ini");
  WriteFile(target, "[S]\nk=1\n");
  chmod(target.c_str(), 0640);
  const std::string link = dir.Path("link.ini");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ProfileFile profile;
  ASSERT_EQ(profile.Load(link), ProfileFile::LoadStatus::kLoaded);
  profile.SetInt("S", "k", 2);
  ASSERT_TRUE(profile.Save(link).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "[S]\nk=2\n");
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ProfileFileTest, FailedSaveLeavesTheOriginalUntouched) {
  TempDir dir;
  const std::string path = dir.Path("quivera.ini");
  WriteFile(path, "[S]\nk=1\n");
  // Something in the way of the temporary file that cannot be opened for
  // writing, whoever runs the test.
  std::filesystem::create_directories(path + ".tmp/inside");
  ProfileFile profile;
  profile.SetInt("S", "k", 2);
  Result saved = profile.Save(path);
  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.message.find("quivera.ini.tmp"), std::string::npos) << saved.message;
  EXPECT_EQ(ReadFile(path), "[S]\nk=1\n");
  EXPECT_TRUE(std::filesystem::exists(path + ".tmp/inside"));
}

TEST(ProfileFileTest, FailedRenameRemovesTheTemporaryFile) {
  TempDir dir;
  const std::string path = dir.Path("busy.ini");
  std::filesystem::create_directories(path + "/inside");  // a non-empty folder in the way
  ProfileFile profile;
  profile.SetInt("S", "k", 2);
  EXPECT_FALSE(profile.Save(path).ok);
  EXPECT_TRUE(std::filesystem::is_directory(path + "/inside"));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

}  // namespace
}  // namespace quivera
