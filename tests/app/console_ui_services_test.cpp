// The console user services: one line per message, and the safe answers.
#include "app/console_ui_services.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace quivera {
namespace {

std::string Captured(std::FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  std::string text;
  char chunk[256];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) text.append(chunk, got);
  return text;
}

TEST(ConsoleUiServicesTest, EachMessageIsOneLine) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  ConsoleUiServices ui(stream);
  ui.Message("Could Not Locate A Supported Adapter or Driver.", "QUIVERA/FDDI", MessageButtons::Ok,
             MessageIcon::Stop);
  ui.Message("first line\nsecond\r\n\nafter a gap", "QUIVERA/FDDI - driver upgrade required",
             MessageButtons::Ok, MessageIcon::Stop);
  EXPECT_EQ(Captured(stream),
            "QUIVERA/FDDI: Could Not Locate A Supported Adapter or Driver.\n"
            "QUIVERA/FDDI - driver upgrade required: first line\\nsecond\\r\\n\\nafter a gap\n");
  std::fclose(stream);
}

TEST(ConsoleUiServicesTest, QuestionsGetTheSafeAnswerAndFilesAreCancelled) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  ConsoleUiServices ui(stream);
  const struct {
    MessageButtons buttons;
    MessageAnswer answer;
  } cases[] = {
      {MessageButtons::Ok, MessageAnswer::Ok},
      {MessageButtons::OkCancel, MessageAnswer::Cancel},
      {MessageButtons::YesNo, MessageAnswer::No},
      {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ui.Message("Reset?", "QUIVERA/FDDI", c.buttons, MessageIcon::Exclamation), c.answer);
  }
  std::string path = "unchanged";
  EXPECT_FALSE(ui.OpenFileName({"Open", {{"KORAP (FWSC*.FWI)", "FWSC*.FWI"}}, ""}, &path));
  EXPECT_FALSE(ui.SaveFileName({"Save", {{"Exported Error Logs", "*.FWD"}}, "FWD"}, &path));
  EXPECT_EQ(path, "unchanged");
  std::fclose(stream);
}

}  // namespace
}  // namespace quivera
