// The Preferences dialog driven through its controls.
#include "dialogs/preferences_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <optional>

#include "settings/settings.h"
#include "tests/dialogs/message_script.h"

namespace quivera {
namespace {

QAbstractButton* ButtonWithText(QDialogButtonBox* box, const QString& text) {
  for (QAbstractButton* button : box->buttons()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

class PreferencesDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }
  void TearDown() override {
    dialog_.reset();
    ResetSettings();
  }

  // A fresh dialog over the settings below, with an empty message record.
  void Open() {
    dialog_.reset();
    script_.shown.clear();
    script_.answers.clear();
    ResetSettings();
    Settings& settings = AppSettings();
    settings.RefreshRate = 5;
    settings.TranslateAddr = 0;
    settings.MGTSetOperations = 1;
    settings.PhysicalAddrFormat = 0;
    settings.SNMPLabels = 1;
    dialog_.emplace(nullptr, &script_);
    dialog_->show();
  }

  void TypeRefresh(const QString& text) {
    dialog_->refreshRateEdit()->clear();
    QTest::keyClicks(dialog_->refreshRateEdit(), text);
  }
  void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  // A radio button reacts only to clicks on its indicator and text, which
  // need not cover the button's middle in a wide column.
  void ClickRadio(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect indicator =
        button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, {}, indicator.center());
  }
  void ClickOk() { Click(ButtonWithText(dialog_->buttonBox(), "OK")); }
  void ClickCancel() { Click(ButtonWithText(dialog_->buttonBox(), "Cancel")); }

  // Every choice flipped from the settings made in SetUp.
  void FlipEveryPair() {
    ClickRadio(dialog_->addressTranslationGroup()->button(1));
    ClickRadio(dialog_->setOperationsGroup()->button(0));
    ClickRadio(dialog_->physicalAddrFormatGroup()->button(1));
    ClickRadio(dialog_->snmpLabelsGroup()->button(0));
  }
  void ExpectSettingsUnchanged() {
    const Settings& settings = AppSettings();
    EXPECT_EQ(settings.RefreshRate, 5);
    EXPECT_EQ(settings.TranslateAddr, 0);
    EXPECT_EQ(settings.MGTSetOperations, 1);
    EXPECT_EQ(settings.PhysicalAddrFormat, 0);
    EXPECT_EQ(settings.SNMPLabels, 1);
  }

  MessageScript script_;
  std::optional<CPreferencesDialog> dialog_;
};

TEST_F(PreferencesDialogTest, OpensWithTheSettings) {
  EXPECT_EQ(dialog_->windowTitle(), "Preferences");
  EXPECT_EQ(dialog_->refreshRateEdit()->text(), "5");
  EXPECT_EQ(dialog_->addressTranslationGroup()->checkedId(), 0);
  EXPECT_EQ(dialog_->setOperationsGroup()->checkedId(), 1);
  EXPECT_EQ(dialog_->physicalAddrFormatGroup()->checkedId(), 0);
  EXPECT_EQ(dialog_->snmpLabelsGroup()->checkedId(), 1);
  EXPECT_EQ(dialog_->physicalAddrFormatGroup()->button(0)->text(), "Canonical");
  EXPECT_EQ(dialog_->physicalAddrFormatGroup()->button(1)->text(), "MSB");
  EXPECT_EQ(dialog_->snmpLabelsGroup()->button(0)->text(), "Enable");
  EXPECT_EQ(dialog_->snmpLabelsGroup()->button(1)->text(), "Disable");

  QStringList titles;
  for (const QGroupBox* box : dialog_->findChildren<QGroupBox*>()) titles << box->title();
  EXPECT_EQ(titles, QStringList({"Address Translation", "Set Operations", "Physical Addr Format",
                                 "SNMP Labels"}));
  bool has_rate_label = false;
  for (const QLabel* label : dialog_->findChildren<QLabel*>()) {
    has_rate_label |= label->text() == "Display Refresh Rate (seconds)";
  }
  EXPECT_TRUE(has_rate_label);
}

struct RefreshCase {
  const char* name;
  const char* text;
  bool warned;
  int stored_rate;  // when accepted
};

TEST_F(PreferencesDialogTest, RefreshRateTexts) {
  const RefreshCase cases[] = {
      {"zero", "0", true, 0}, {"above sixty", "61", true, 0},        {"negative", "-3", true, 0},
      {"empty", "", true, 0}, {"digit then letter", "7x", false, 7}, {"sixty", "60", false, 60},
      {"one", "1", false, 1},
  };
  for (const RefreshCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    QSignalSpy finished(&*dialog_, &QDialog::finished);
    TypeRefresh(c.text);
    FlipEveryPair();
    ClickOk();
    if (c.warned) {
      ASSERT_EQ(script_.shown.size(), 1u);
      EXPECT_EQ(script_.shown[0].text, "Please Enter a value from 1 to 60 for Refresh Rate");
      EXPECT_EQ(script_.shown[0].caption, "QUIVERA");
      EXPECT_EQ(script_.shown[0].buttons, MessageButtons::OkCancel);
      EXPECT_EQ(script_.shown[0].icon, MessageIcon::Exclamation);
      // OK in the warning: the dialog stays open with the text as entered.
      EXPECT_EQ(finished.count(), 0);
      EXPECT_TRUE(dialog_->isVisible());
      EXPECT_EQ(dialog_->refreshRateEdit()->text(), c.text);
      ExpectSettingsUnchanged();
    } else {
      EXPECT_TRUE(script_.shown.empty());
      ASSERT_EQ(finished.count(), 1);
      EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Accepted);
      const Settings& settings = AppSettings();
      EXPECT_EQ(settings.RefreshRate, c.stored_rate);
      EXPECT_EQ(settings.TranslateAddr, 1);
      EXPECT_EQ(settings.MGTSetOperations, 0);
      EXPECT_EQ(settings.PhysicalAddrFormat, 1);
      EXPECT_EQ(settings.SNMPLabels, 0);
    }
  }
}

TEST_F(PreferencesDialogTest, CorrectedRateIsAcceptedAfterTheWarning) {
  TypeRefresh("0");
  ClickOk();
  TypeRefresh("30");
  ClickOk();
  EXPECT_EQ(script_.shown.size(), 1u);
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(AppSettings().RefreshRate, 30);
}

TEST_F(PreferencesDialogTest, CancelInTheWarningChangesNothing) {
  QSignalSpy finished(&*dialog_, &QDialog::finished);
  script_.answers.push_back(MessageAnswer::Cancel);
  TypeRefresh("61");
  FlipEveryPair();
  ClickOk();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Rejected);
  ExpectSettingsUnchanged();
}

TEST_F(PreferencesDialogTest, CancelChangesNothing) {
  QSignalSpy finished(&*dialog_, &QDialog::finished);
  TypeRefresh("9");
  FlipEveryPair();
  ClickCancel();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Rejected);
  EXPECT_TRUE(script_.shown.empty());
  ExpectSettingsUnchanged();
}

}  // namespace
}  // namespace quivera
