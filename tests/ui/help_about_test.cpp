// The help window over the built-in pages, the Help menu entries and the
// about box.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

#include "app/ui/about_dialog.h"
#include "app/ui/help_window.h"
#include "app/ui/indicator_icons.h"
#include "app/ui/main_frame.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

QString PageSource(const char* file) {
  QFile page(QStringLiteral(":/help/") + QLatin1String(file));
  if (!page.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(page.readAll());
}

TEST(HelpTest, EveryTopicIsShippedAndEveryLinkLeadsToATopic) {
  CHelpWindow help;
  QStringList files;
  for (const HelpTopic& topic : CHelpWindow::Topics()) files << QLatin1String(topic.file);
  const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)"));
  for (const HelpTopic& topic : CHelpWindow::Topics()) {
    SCOPED_TRACE(topic.file);
    const QString source = PageSource(topic.file);
    ASSERT_FALSE(source.isEmpty());
    for (auto it = link.globalMatch(source); it.hasNext();) {
      EXPECT_TRUE(files.contains(it.next().captured(1)));
    }
  }
  // The contents page leads to every other topic.
  const QString contents = PageSource("index.html");
  for (const QString& file : files) {
    if (file != "index.html") {
      EXPECT_TRUE(contents.contains(file)) << file.toStdString();
    }
  }
}

TEST(HelpTest, EveryPageAndCommandIsExplained) {
  CHelpWindow help;
  const char* const words[] = {
      "General",
      "Performance",
      "SMT",
      "MAC Counters",
      "Path",
      "Flash",
      "Port 0",
      "Print",
      "Export Error Log",
      "Exit",
      "Preferences",
      "Web Server",
      "Firmware Upgrade",
      "Reset Adapter",
      "Clear Counters",
      "Clear Flash",
      "Registration Card",
      "About",
  };
  for (const char* word : words) {
    EXPECT_FALSE(help.Search(QLatin1String(word)).isEmpty()) << word;
  }
}

TEST(HelpTest, SearchFindsTopicsHoldingEveryWord) {
  CHelpWindow help;
  EXPECT_EQ(help.Search(QString()).size(), CHelpWindow::Topics().size());
  const QStringList ler = help.Search(QStringLiteral("ler CUTOFF"));
  EXPECT_TRUE(ler.contains("port_page.html"));
  EXPECT_FALSE(ler.contains("mac_page.html"));
  EXPECT_TRUE(help.Search(QStringLiteral("zyxwv")).isEmpty());
}

TEST(HelpTest, HelpMenuEntriesOpenTheirPages) {
  ScriptedUiServices ui;
  CMainFrame frame(ui);
  frame.Action(FrameCommand::kHelpContents)->trigger();
  ASSERT_NE(frame.Help(), nullptr);
  EXPECT_TRUE(frame.Help()->isVisible());
  EXPECT_EQ(frame.Help()->CurrentTopic(), "index.html");
  EXPECT_TRUE(frame.Help()->Browser()->toPlainText().contains("QUIVERA/FDDI Help"));

  frame.Action(FrameCommand::kHelpUsing)->trigger();
  EXPECT_EQ(frame.Help()->CurrentTopic(), "using_help.html");

  frame.Action(FrameCommand::kHelpSearch)->trigger();
  auto* field = frame.Help()->findChild<QLineEdit*>();
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(field->text().isEmpty());
  frame.Help()->close();
}

TEST(AboutTest, BoxShowsNameVersionNoticeAndBuild) {
  CAboutDlg about;
  EXPECT_EQ(about.windowTitle(), "About QUIVERA/FDDI");
  EXPECT_TRUE(about.BuildText().isEmpty());  // written when the box opens
  QTimer::singleShot(0, &about, [&about] {
    EXPECT_EQ(about.BuildText(), "44");
    about.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  EXPECT_EQ(about.exec(), QDialog::Accepted);

  QStringList labels;
  for (QLabel* label : about.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("QUIVERA/FDDI Version 1.1"));
  EXPECT_TRUE(labels.contains("Build"));
  auto* notice = about.findChild<QLabel*>("legalNotice");
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->text().contains("Copyright"));
  // One button only.
  EXPECT_EQ(about.findChild<QDialogButtonBox*>()->buttons().size(), 1);
}

TEST(IconsTest, TheFourIndicatorIconsAreShipped) {
  EXPECT_TRUE(LoadIndicatorIcons());
  for (Indicator which :
       {Indicator::Application, Indicator::Green, Indicator::Grey, Indicator::Red}) {
    EXPECT_FALSE(IndicatorIcon(which).isNull());
    EXPECT_FALSE(IndicatorPixmap(which).isNull());
  }
  // Green and red lamps differ in their middle.
  const QImage green = IndicatorPixmap(Indicator::Green).toImage();
  const QImage red = IndicatorPixmap(Indicator::Red).toImage();
  EXPECT_GT(green.pixelColor(8, 9).green(), green.pixelColor(8, 9).red());
  EXPECT_GT(red.pixelColor(8, 9).red(), red.pixelColor(8, 9).green());
}

}  // namespace
}  // namespace quivera
