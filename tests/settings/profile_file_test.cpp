// The profile file: lookup rules, numbers, line-preserving changes and the
// atomic save.
#include "settings/profile_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

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

TEST(ProfileFileTest, EachKeptLineKeepsItsOwnEnding) {
  struct Case {
    const char* name;
    std::string original;
    const char* section;
    const char* key;
    std::string expected;
  };
  const Case cases[] = {
      {"mixed endings", "[S]\r\nk=1\n; note\r\n[T]\nx=1\r\n", "S", "k",
       "[S]\r\nk=2\n; note\r\n[T]\nx=1\r\n"},
      {"lone CR at the end", "[S]\nk=1\r", "S", "k", "[S]\nk=2\r"},
      {"no ending at the end", "[S]\r\nk=1", "S", "k", "[S]\r\nk=2"},
      // A new line takes the file's first ending; the line before it gets a
      // full line break.
      {"new key after a lone CR", "[S]\nk=1\r", "S", "n", "[S]\nk=1\r\nn=2\n"},
      {"new key after no ending", "[S]\r\nk=1", "S", "n", "[S]\r\nk=1\r\nn=2\r\n"},
      {"new section", "[S]\r\nk=1\n", "T", "n", "[S]\r\nk=1\n\r\n[T]\r\nn=2\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProfileFile profile;
    profile.Parse(c.original);
    ASSERT_TRUE(profile.SetInt(c.section, c.key, 2));
    EXPECT_EQ(profile.Text(), c.expected);
    ProfileFile reread;
    reread.Parse(profile.Text());
    EXPECT_EQ(reread.GetInt(c.section, c.key, 0), 2);
  }
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

// The names in 'folder'.
std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(ProfileFileTest, SaveCreatesFoldersAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.Path("a/b/quivera.ini");
  ProfileFile profile;
  profile.SetInt("S", "k", 1);
  ASSERT_TRUE(profile.Save(path).ok);
  EXPECT_EQ(ReadFile(path), "[S]\nk=1\n");
  EXPECT_EQ(Names(dir.Path("a/b")), std::set<std::string>{"quivera.ini"});
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ProfileFileTest, SaveKeepsPermissionsAndWritesThroughLinks) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path("real"));
  const std::string target = dir.Path("real/quivera.ini");
  WriteFile(target, "[S]\nk=1\n");
  chmod(target.c_str(), 0640);
  struct Link {
    const char* name;
    const char* points_to;  // as written in the link
  };
  const Link links[] = {
      {"absolute.ini", nullptr},         // the target's full path
      {"relative.ini", "real/quivera.ini"},
      {"chain.ini", "relative.ini"},     // a link to a link
  };
  for (const Link& link : links) {
    const std::string to = link.points_to != nullptr ? link.points_to : target;
    ASSERT_EQ(symlink(to.c_str(), dir.Path(link.name).c_str()), 0);
  }
  int value = 2;
  for (const Link& link : links) {
    SCOPED_TRACE(link.name);
    const std::string path = dir.Path(link.name);
    ProfileFile profile;
    ASSERT_EQ(profile.Load(path), ProfileFile::LoadStatus::kLoaded);
    profile.SetInt("S", "k", value);
    ASSERT_TRUE(profile.Save(path).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(target), "[S]\nk=" + std::to_string(value) + "\n");
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ++value;
  }
  EXPECT_EQ(Names(dir.Path("real")), std::set<std::string>{"quivera.ini"});

  // A link whose file does not exist yet: the file is made where it points.
  ASSERT_EQ(symlink("later/new.ini", dir.Path("dangling.ini").c_str()), 0);
  ProfileFile profile;
  profile.SetInt("S", "k", 9);
  ASSERT_TRUE(profile.Save(dir.Path("dangling.ini")).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("dangling.ini")));
  EXPECT_EQ(ReadFile(dir.Path("later/new.ini")), "[S]\nk=9\n");

  // A loop of links is saved over as the path itself.
  ASSERT_EQ(symlink("loop-b.ini", dir.Path("loop-a.ini").c_str()), 0);
  ASSERT_EQ(symlink("loop-a.ini", dir.Path("loop-b.ini").c_str()), 0);
  EXPECT_EQ(SaveTarget(dir.Path("loop-a.ini")), dir.Path("loop-a.ini"));
}

TEST(ProfileFileTest, FailedSaveLeavesTheOriginalUntouched) {
  TempDir dir;
  const std::string path = dir.Path("quivera.ini");
  WriteFile(path, "[S]\nk=1\n");
  ProfileFile profile;
  profile.SetInt("S", "k", 2);
  profile.SetString("S", "long", std::string(4096, 'x'));
  // Writing stops short, whoever runs the test: a file size limit below the
  // new text (its signal ignored, so write reports EFBIG).
  rlimit saved_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved_limit), 0);
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit small = saved_limit;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Result saved = profile.Save(path);
  setrlimit(RLIMIT_FSIZE, &saved_limit);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.message.find("quivera.ini.tmp-"), std::string::npos) << saved.message;
  EXPECT_EQ(ReadFile(path), "[S]\nk=1\n");
  EXPECT_EQ(Names(dir.path()), std::set<std::string>{"quivera.ini"});
}

TEST(ProfileFileTest, FailedRenameRemovesTheTemporaryFile) {
  TempDir dir;
  const std::string path = dir.Path("busy.ini");
  std::filesystem::create_directories(path + "/inside");  // a non-empty folder in the way
  ProfileFile profile;
  profile.SetInt("S", "k", 2);
  EXPECT_FALSE(profile.Save(path).ok);
  EXPECT_TRUE(std::filesystem::is_directory(path + "/inside"));
  EXPECT_EQ(Names(dir.path()), std::set<std::string>{"busy.ini"});
}

// A profile whose text is 'fill' repeated: large enough that a save takes a
// while, so a kill lands in the middle of one.
ProfileFile BigProfile(char fill) {
  ProfileFile profile;
  for (int i = 0; i < 64; ++i) {
    profile.SetString("S", "k" + std::to_string(i), std::string(2000, fill));
  }
  return profile;
}

TEST(ProfileFileTest, AKilledSaveLeavesTheOldOrTheNewFile) {
  TempDir dir;
  const std::string path = dir.Path("quivera.ini");
  const ProfileFile a = BigProfile('a');
  const ProfileFile b = BigProfile('b');
  ASSERT_TRUE(a.Save(path).ok);
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) (i % 2 == 0 ? b : a).Save(path);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500 + 700 * round));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string text = ReadFile(path);
    EXPECT_TRUE(text == a.Text() || text == b.Text()) << text.size() << " bytes";
  }
}

TEST(ProfileFileTest, TwoCopiesSavingAtOnceBothSucceed) {
  TempDir dir;
  const std::string path = dir.Path("quivera.ini");
  const ProfileFile profiles[] = {BigProfile('a'), BigProfile('b')};
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      // Each copy saves its own text many times; any failed save is reported.
      for (int n = 0; n < 100; ++n) {
        if (!profiles[i].Save(path).ok) _exit(1);
      }
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save reported failure";
  }
  const std::string text = ReadFile(path);
  EXPECT_TRUE(text == profiles[0].Text() || text == profiles[1].Text());
  EXPECT_EQ(Names(dir.path()), std::set<std::string>{"quivera.ini"});
}

}  // namespace
}  // namespace quivera
