// The Hypertext Server Configuration dialog driven through its controls.
#include "dialogs/web_server_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <optional>

#include "settings/settings.h"
#include "tests/dialogs/message_script.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

class WebServerDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }
  void TearDown() override {
    dialog_.reset();
    ServerAccessCount = 0;
    ResetSettings();
  }

  // A fresh dialog over a disabled server on port 8080, with an empty record.
  void Open() {
    dialog_.reset();
    script_.shown.clear();
    script_.answers.clear();
    ResetSettings();
    AppSettings().WebServerEnable = 0;
    AppSettings().WebPortID = 8080;
    dialog_.emplace(nullptr, &script_);
    dialog_->show();
  }

  void TypePort(const QString& text) {
    dialog_->portEdit()->clear();
    QTest::keyClicks(dialog_->portEdit(), text);
  }
  void ExpectSettingsUnchanged() {
    EXPECT_EQ(AppSettings().WebServerEnable, 0);
    EXPECT_EQ(AppSettings().WebPortID, 8080);
  }

  MessageScript script_;
  std::optional<CWebServerDialog> dialog_;
};

TEST_F(WebServerDialogTest, OpensWithTheSettingsAndTheAccessCount) {
  ServerAccessCount = 1234;
  Open();
  EXPECT_EQ(dialog_->windowTitle(), "Hypertext Server Configuration");
  EXPECT_EQ(dialog_->enableBox()->text(), "Enable Hypertext Server");
  EXPECT_FALSE(dialog_->enableBox()->isChecked());
  EXPECT_EQ(dialog_->portEdit()->text(), "8080");
  EXPECT_EQ(dialog_->accessCountLabel()->text(), "1234");
  EXPECT_EQ(dialog_->okButton()->text(), "OK");
  EXPECT_EQ(dialog_->defaultsButton()->text(), "Defaults");
  EXPECT_EQ(dialog_->cancelButton()->text(), "Cancel");

  // Taken when the dialog opened: later connections do not move it.
  ServerAccessCount = 1300;
  QTest::mouseClick(dialog_->defaultsButton(), Qt::LeftButton);
  EXPECT_EQ(dialog_->accessCountLabel()->text(), "1234");
}

TEST_F(WebServerDialogTest, AcceptedPortAndSwitchAreStored) {
  QSignalSpy finished(&*dialog_, &QDialog::finished);
  TypePort("8181");
  QTest::mouseClick(dialog_->enableBox(), Qt::LeftButton);
  QTest::mouseClick(dialog_->okButton(), Qt::LeftButton);
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Accepted);
  EXPECT_TRUE(script_.shown.empty());
  EXPECT_EQ(AppSettings().WebPortID, 8181);
  EXPECT_EQ(AppSettings().WebServerEnable, 1);
}

struct RefusedPort {
  const char* text;
  const char* message;
};

TEST_F(WebServerDialogTest, RefusedPortsShowOneMessageAndKeepTheDialogOpen) {
  const RefusedPort cases[] = {
      {"0", "Please enter an integer between 1 and 65535."},
      {"65536", "Please enter an integer between 1 and 65535."},
      {"abc", "Please enter a positive integer."},
      {"", "Please enter a positive integer."},
  };
  for (const RefusedPort& c : cases) {
    SCOPED_TRACE(c.text);
    Open();
    QSignalSpy finished(&*dialog_, &QDialog::finished);
    TypePort(c.text);
    QTest::mouseClick(dialog_->enableBox(), Qt::LeftButton);
    dialog_->okButton()->setFocus();
    QTest::mouseClick(dialog_->okButton(), Qt::LeftButton);
    ASSERT_EQ(script_.shown.size(), 1u);
    EXPECT_EQ(script_.shown[0].text, c.message);
    EXPECT_EQ(script_.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->focusWidget(), dialog_->portEdit());
    EXPECT_EQ(dialog_->portEdit()->text(), c.text);
    ExpectSettingsUnchanged();
  }
}

TEST_F(WebServerDialogTest, DefaultsFillTheControlsOnly) {
  QSignalSpy finished(&*dialog_, &QDialog::finished);
  QTest::mouseClick(dialog_->defaultsButton(), Qt::LeftButton);
  EXPECT_TRUE(dialog_->enableBox()->isChecked());
  EXPECT_EQ(dialog_->portEdit()->text(), "80");
  ExpectSettingsUnchanged();

  QTest::mouseClick(dialog_->cancelButton(), Qt::LeftButton);
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Rejected);
  ExpectSettingsUnchanged();
}

TEST_F(WebServerDialogTest, DefaultsThenOkStoresThem) {
  QTest::mouseClick(dialog_->defaultsButton(), Qt::LeftButton);
  QTest::mouseClick(dialog_->okButton(), Qt::LeftButton);
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(AppSettings().WebServerEnable, 1);
  EXPECT_EQ(AppSettings().WebPortID, 80);
}

}  // namespace
}  // namespace quivera
