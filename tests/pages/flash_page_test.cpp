// The Flash page with its controls: the first buttons checked, groups shown
// and hidden per object, the list in a fixed-pitch face with the adapter's
// bytes through the code page, refills on adapter switches only, and the
// printed error-log sheet in two columns.
#include "pages/flash_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <memory>

#include "present/recording_surface.h"
#include "settings/settings.h"
#include "tests/pages/page_test_adapter.h"

namespace quivera {
namespace {

using I = ManagementItem;
using G = FlashOptionGroup;

std::vector<uint8_t> SerialReply(std::vector<uint8_t> data) {
  std::vector<uint8_t> reply(520, 0x20);
  std::copy(data.begin(), data.end(), reply.begin() + 20);
  return reply;
}

class FlashPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    adapter().SetBytes(I::FirmwareRevision, {'0', '.', '1', 'v'});
    std::vector<uint8_t> entry(520, 0);
    entry[24] = 5;  // firmware
    entry[72] = 4;  // hardware fault
    adapter().SetBytes(I::ErrorLogEntry, entry, 1);
    adapter().SetBytes(I::SerialNumber, SerialReply({'K', 0x95, 0x07, 'Q'}));
    page_ = std::make_unique<CFlashPage2>(fixture_.list);
  }
  void TearDown() override { ResetSettings(); }

  PageTestAdapter& adapter() { return *fixture_.adapter; }
  QString Line(int row) const { return page_->lineList()->item(row)->text(); }
  bool Shown(G group) const { return !page_->group(group)->isHidden(); }

  PageTestList fixture_;
  std::unique_ptr<CFlashPage2> page_;
};

// In a sheet whose largest page is bigger than the Flash page's own size,
// the page fills the sheet and its list takes the page's width and all the
// height its option groups leave.
TEST_F(FlashPageTest, TheListUsesThePagesWidthAndHeight) {
  const QSize own = page_->minimumSize();
  QTabWidget sheet;
  CFlashPage2* page = page_.release();
  sheet.addTab(page, QStringLiteral("Flash"));
  sheet.resize(own + QSize(250, 200));  // the room the largest page gives the sheet
  sheet.show();
  QApplication::processEvents();
  EXPECT_GE(page->width(), own.width() + 200);
  EXPECT_GE(page->height(), own.height() + 150);
  QListWidget* list = page->lineList();
  EXPECT_GE(list->width(), page->width() * 9 / 10);
  EXPECT_GE(list->height(), page->height() / 2);
  // A 130-line error log entry shows well over a dozen of its lines at once.
  EXPECT_GE(list->viewport()->height() / list->fontMetrics().height(), 18);
}

TEST_F(FlashPageTest, StartsOnTheDriverParametersInAFixedPitchFace) {
  for (QRadioButton* first : {page_->objectButton(0), page_->entryButton(0),
                              page_->formatButton(0), page_->orderButton(0), page_->sizeButton(0)}) {
    EXPECT_TRUE(first->isChecked()) << first->text().toStdString();
  }
  EXPECT_FALSE(Shown(G::Entry));
  EXPECT_TRUE(Shown(G::Size));
  EXPECT_TRUE(QFontInfo(page_->lineList()->font()).fixedPitch());
  // No driver parameters in this adapter: the read-error lines.
  ASSERT_EQ(page_->lineList()->count(), 5);
  EXPECT_EQ(Line(1), "Firmware Revision = v1.0");
  EXPECT_EQ(Line(3), "Hardware read error for Driver Parameters");
}

TEST_F(FlashPageTest, ObjectButtonsSwitchGroupsAndOptionButtonsRefillOnlyWhereTheyApply) {
  page_->objectButton(2)->click();
  EXPECT_TRUE(Shown(G::Entry));
  EXPECT_FALSE(Shown(G::Organization));
  EXPECT_FALSE(page_->group(G::Size)->isEnabled());
  EXPECT_EQ(Line(0), "Adapter Error Log");
  EXPECT_EQ(Line(3), "Hardware read error for Error Log Entry 0");

  page_->entryButton(1)->click();
  const int hex_lines = page_->lineList()->count();
  EXPECT_EQ(Line(hex_lines - 1), "    Write Count  = 0000");
  EXPECT_EQ(Line(7), "    Fault type   = 00000000 UNKNOWN");
  page_->formatButton(1)->click();
  EXPECT_EQ(page_->lineList()->count(), 4 + 130);

  // Serial number in characters: the control bytes show as bullets, and so
  // does the adapter's own 0x95.
  page_->objectButton(1)->click();
  EXPECT_FALSE(Shown(G::Entry));
  EXPECT_TRUE(Shown(G::Organization));
  EXPECT_EQ(Line(6), QString::fromUtf8("0000  K\u2022\u2022Q            "));
  const int reads = adapter().reads(I::SerialNumber);
  page_->entryButton(3)->setChecked(true);  // hidden: no refill from the entry group
  page_->orderButton(1)->click();
  EXPECT_EQ(adapter().reads(I::SerialNumber), reads + 1);
  EXPECT_EQ(Line(6), QString::fromUtf8("            Q\u2022\u2022K  0000"));
}

TEST_F(FlashPageTest, TheTimerLeavesTheListButAnAdapterSwitchRefillsIt) {
  auto second = std::make_unique<PageTestAdapter>();
  second->SetBytes(I::FirmwareRevision, {'0', '.', '2', 'v'});
  second->SetBytes(I::DriverParameters, SerialReply({'Z'}));
  PageTestAdapter* other = second.get();
  fixture_.list.Add(std::move(second));

  const int reads = adapter().total_reads();
  page_->Refresh(0, 1);
  page_->Refresh(1, 1);
  EXPECT_EQ(adapter().total_reads(), reads);

  fixture_.list.SetCurrent(1);
  page_->Refresh(1, 1);
  EXPECT_EQ(page_->FirmwareRevision(), "v2.0");
  EXPECT_EQ(Line(1), "Firmware Revision = v2.0");
  EXPECT_EQ(Line(0), "Adapter Driver Parameters");
  EXPECT_EQ(Line(5).left(6), "0000  ");
  const int other_reads = other->total_reads();
  page_->Refresh(0, 1);
  EXPECT_EQ(other->total_reads(), other_reads);

  // Back on the first adapter, whose revision now fails: the other's text
  // does not stay under its title.
  adapter().Fail(I::FirmwareRevision);
  fixture_.list.SetCurrent(0);
  page_->Refresh(0, 1);
  EXPECT_EQ(Line(1), "Firmware Revision = Unknown");
}

TEST_F(FlashPageTest, ErrorLogSheetContinuesInASecondColumn) {
  RecordingSurface surface(200);
  page_->Print(surface, 8);  // entry 1, 134 lines
  ASSERT_FALSE(surface.calls().empty());
  EXPECT_EQ(surface.calls()[0].font.face, "Lucida Console");
  EXPECT_EQ(surface.calls()[0].font.height, 180);
  const std::vector<PrintCall> texts = surface.Texts();
  // Title, date, then the lines.
  ASSERT_EQ(texts.size(), 2u + 134u);
  EXPECT_EQ(texts[2].text, "Adapter Error Log");
  EXPECT_EQ(texts[2].x, 720);
  EXPECT_EQ(texts[2].y, -1340);
  EXPECT_EQ(texts[2 + 72].x, 720);
  EXPECT_EQ(texts[2 + 72].y, -1340 - 72 * 200);
  EXPECT_EQ(texts[2 + 73].x, 6120);
  EXPECT_EQ(texts[2 + 73].y, -1340 - 13 * 200);
  EXPECT_EQ(texts.back().text, "119:00000000");

  RecordingSurface first(200);
  page_->Print(first, 6);
  EXPECT_EQ(first.calls()[0].font.height, 216);
  EXPECT_NE(first.FindText("Adapter Serial Number"), nullptr);
  RecordingSurface none;
  page_->Print(none, 0);
  EXPECT_TRUE(none.calls().empty());
}

}  // namespace
}  // namespace quivera
