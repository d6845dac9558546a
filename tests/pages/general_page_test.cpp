// The General page over a test adapter: fields, baselines, the display-only
// filter boxes and the printout.
#include "pages/general_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "adapter/simulated_adapter.h"
#include "emulator/default_station.h"
#include "settings/settings.h"
#include "emulator/emulator_channel.h"
#include "present/print_frame.h"
#include "present/recording_surface.h"
#include "tests/pages/page_test_adapter.h"
#include "tests/pages/page_test_support.h"
#include "web/html_pages.h"

namespace quivera {
namespace {

using I = ManagementItem;

constexpr I kStatisticItems[] = {I::FramesTransmittedOk, I::FramesReceivedOk, I::TransmitErrors,
                                 I::ReceiveErrors,       I::NoBufferErrors,   I::ReceiveCrcErrors};

class GeneralPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    adapter().SetText(I::DeviceName, "\\Device\\korap1");
    adapter().SetText(I::VendorDescription, "KORAP FDDI \x95 PCI");
    adapter().SetBytes(I::FirmwareRevision, {'0', '2', '.', '1'});
    SetStatistics({100, 200, 3, 4, 5, 6});
    adapter().SetU32(I::ReceiveFilter, 0x0B);
  }

  PageTestAdapter& adapter() { return *fixture_.adapter; }
  void SetStatistics(const std::vector<uint32_t>& values) {
    for (size_t i = 0; i < values.size(); ++i) adapter().SetU32(kStatisticItems[i], values[i]);
  }
  std::vector<QString> ShownStatistics() const {
    std::vector<QString> shown;
    for (int row = 0; row < 6; ++row) shown.push_back(page_.statisticField(row)->text());
    return shown;
  }
  std::vector<bool> Checked() const {
    std::vector<bool> checked;
    for (int row = 0; row < 6; ++row) checked.push_back(page_.filterBox(row)->isChecked());
    return checked;
  }

  PageTestList fixture_;
  CGeneralPage page_{fixture_.list};
};

TEST_F(GeneralPageTest, ShowsTheAdapterAsTheDriverSeesIt) {
  page_.Refresh(1, 1);
  EXPECT_EQ(page_.deviceNameField()->text(), "\\Device\\korap1");
  // Adapter texts are Windows-1252: 0x95 is the bullet.
  EXPECT_EQ(page_.hardwareDescriptionField()->text(), QString::fromUtf8("KORAP FDDI \u2022 PCI"));
  // The revision's bytes are shown last byte first.
  EXPECT_EQ(page_.firmwareVersionField()->text(), "1.20");
  EXPECT_EQ(ShownStatistics(), (std::vector<QString>{"100", "200", "3", "4", "5", "6"}));
  // 0x0B: Directed, Multicast and Broadcast.
  EXPECT_EQ(Checked(), (std::vector<bool>{true, true, false, true, false, false}));
}

TEST_F(GeneralPageTest, FilterBoxesFollowTheirBits) {
  struct Case {
    uint32_t bits;
    std::vector<bool> checked;
  };
  const Case cases[] = {
      {0x60, {false, false, false, false, true, true}},  // SMT, Promiscuous
      {0x10, {false, false, false, false, false, false}},
      {0x7F, {true, true, true, true, true, true}},
      {0x04, {false, false, true, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    adapter().SetU32(I::ReceiveFilter, c.bits);
    page_.Refresh(0, 1);
    EXPECT_EQ(Checked(), c.checked);
  }
}

TEST_F(GeneralPageTest, AClickOnAFilterBoxIsUndone) {
  page_.Refresh(1, 1);
  const std::vector<bool> before = Checked();
  for (int row = 0; row < 6; ++row) {
    SCOPED_TRACE(row);
    QSignalSpy toggled(page_.filterBox(row), &QCheckBox::toggled);
    ClickIndicator(page_.filterBox(row));
    // The click did reach the box (it toggled), and the page put it back.
    EXPECT_EQ(toggled.count(), 2);
    EXPECT_EQ(Checked(), before);
  }
}

TEST_F(GeneralPageTest, AFailedReadKeepsItsFieldAndText) {
  page_.Refresh(1, 1);
  adapter().SetText(I::VendorDescription, "other");
  SetStatistics({111, 222, 33, 44, 55, 66});
  adapter().SetU32(I::ReceiveFilter, 0x20);
  adapter().Fail(I::VendorDescription);
  adapter().Fail(I::FramesReceivedOk);
  adapter().Fail(I::ReceiveFilter);
  adapter().Fail(I::FirmwareRevision);
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.hardwareDescriptionField()->text(), QString::fromUtf8("KORAP FDDI \u2022 PCI"));
  EXPECT_EQ(page_.firmwareVersionField()->text(), "1.20");
  EXPECT_EQ(ShownStatistics(), (std::vector<QString>{"111", "200", "33", "44", "55", "66"}));
  EXPECT_EQ(Checked(), (std::vector<bool>{true, true, false, true, false, false}));
}

TEST_F(GeneralPageTest, ClearCountersStartsEveryStatisticAtZero) {
  page_.Refresh(1, 1);
  page_.ClearCounters();
  EXPECT_EQ(ShownStatistics(), (std::vector<QString>{"0", "0", "0", "0", "0", "0"}));

  SetStatistics({107, 200, 4, 4, 5, 6});
  page_.Refresh(0, 1);
  EXPECT_EQ(ShownStatistics(), (std::vector<QString>{"7", "0", "1", "0", "0", "0"}));

  // The driver restarted its counts: below the baseline counts on modulo
  // 2^32, never negative, and clearing again starts from the new counts.
  SetStatistics({2, 0, 0, 0, 0, 0});
  page_.Refresh(0, 1);
  EXPECT_EQ(ShownStatistics(), (std::vector<QString>{"4294967198", "4294967096", "4294967293",
                                                     "4294967292", "4294967291", "4294967290"}));
  page_.ClearCounters();
  EXPECT_EQ(ShownStatistics(), (std::vector<QString>{"0", "0", "0", "0", "0", "0"}));
  SetStatistics({3, 1, 0, 0, 0, 0});
  page_.Refresh(0, 1);
  EXPECT_EQ(ShownStatistics(), (std::vector<QString>{"1", "1", "0", "0", "0", "0"}));
}

TEST_F(GeneralPageTest, CountsSinceAClearSurviveTheCounterWrap) {
  SetStatistics({0xFFFFFFF0u, 0x7FFFFFFFu, 0, 0, 0, 0});
  page_.Refresh(1, 1);
  page_.ClearCounters();
  SetStatistics({41252598, 0xFFFFFFFFu, 0, 0, 0, 0});
  page_.Refresh(0, 1);
  EXPECT_EQ(page_.statisticField(0)->text(), "41252614");
  EXPECT_EQ(page_.statisticField(1)->text(), "2147483648");
  RecordingSurface surface;
  page_.Print(surface, 0);
  EXPECT_EQ(TextsAtX(surface, 5220),
            (std::vector<std::string>{"41252614", "2147483648", "0", "0", "0", "0"}));
}

TEST_F(GeneralPageTest, ClearCountersUsesTheCountsOnScreen) {
  page_.Refresh(1, 1);
  // Counts that moved since the screen was drawn stay counted after clearing.
  SetStatistics({150, 200, 3, 4, 5, 6});
  page_.ClearCounters();
  EXPECT_EQ(page_.statisticField(0)->text(), "50");
}

TEST_F(GeneralPageTest, RefreshWithoutShowUpdatesOnlyThePrintedTexts) {
  page_.Refresh(1, 1);
  SetStatistics({900, 200, 3, 4, 5, 6});
  adapter().SetU32(I::ReceiveFilter, 0x20);
  page_.Refresh(0, 0);
  EXPECT_EQ(page_.statisticField(0)->text(), "100");
  EXPECT_FALSE(page_.filterBox(5)->isChecked());

  RecordingSurface surface;
  page_.Print(surface, 0);
  EXPECT_NE(surface.FindText("900"), nullptr);
  EXPECT_EQ(TextsAtX(surface, 8200), std::vector<std::string>{"Promiscuous"});
}

TEST_F(GeneralPageTest, PrintsTheStoredTextsInTheFrame) {
  adapter().SetU32(I::ReceiveFilter, 0x60);
  page_.Refresh(0, 0);
  const int lh = 250;
  RecordingSurface surface(lh);
  page_.Print(surface, 0);

  const PrintCall* title = surface.FindText("QUIVERA/FDDI -- General Page");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x, 720);
  EXPECT_EQ(title->y, -720);
  EXPECT_EQ(surface.current_font().face, RecordingSurface::InitialFont().face);

  struct Boxed {
    int left, top, right, bottom;
    const char* caption;
    int caption_x;
    const char* inside;  // a text that lies in the box
  };
  const Boxed boxes[] = {
      {600, -1440, 7000, -3510, "General Statistics", 720, "Frames Transmitted OK"},
      {7720, -1440, 10600, -3060, "Receive Filter:", 7840, "SMT"},
      {600, -4200, 10000, -5620, "Adapter Description", 720, "Device Name"},
  };
  for (const Boxed& box : boxes) {
    SCOPED_TRACE(box.caption);
    const size_t at = surface.IndexOfRectangle(box.left, box.top, box.right, box.bottom);
    ASSERT_NE(at, RecordingSurface::npos);
    EXPECT_LT(at, surface.IndexOfText(box.inside));
    const PrintCall* caption = surface.FindText(box.caption);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->x, box.caption_x);
    EXPECT_EQ(caption->y, box.top + 250);
  }

  // Statistics: label at 720, number at 5220, from one line below the caption.
  const char* labels[] = {"Frames Transmitted OK",    "Frames Received OK",
                          "Transmit Errors",          "Receive Errors",
                          "No Receive Buffer Errors", "Receive CRC Errors"};
  EXPECT_EQ(TextsAtX(surface, 5220), (std::vector<std::string>{"100", "200", "3", "4", "5", "6"}));
  for (int row = 0; row < 6; ++row) {
    const PrintCall* label = surface.FindText(labels[row]);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x, 720);
    EXPECT_EQ(label->y, -1190 - lh - row * lh);
  }
  const PrintCall* number = surface.FindText("200");
  EXPECT_EQ(number->y, -1190 - 2 * lh);

  // SMT is listed before Promiscuous.
  EXPECT_EQ(TextsAtX(surface, 8200), (std::vector<std::string>{"SMT", "Promiscuous"}));
  EXPECT_EQ(surface.FindText("SMT")->y, -1190 - lh);
  EXPECT_EQ(surface.FindText("Promiscuous")->y, -1190 - 2 * lh);

  // The printed label of the vendor description differs from the screen's.
  EXPECT_EQ(surface.FindText("Hardware Description"), nullptr);
  const std::pair<const char*, std::string> description[] = {
      {"Device Name", "\\Device\\korap1"},
      {"Device Description", "KORAP FDDI \x95 PCI"},
      {"Firmware Version", "1.20"},
  };
  for (int row = 0; row < 3; ++row) {
    const PrintCall* label = surface.FindText(description[row].first);
    const PrintCall* text = surface.FindText(description[row].second);
    ASSERT_NE(label, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(label->x, 720);
    EXPECT_EQ(label->y, -3950 - 2 * lh - row * lh);
    EXPECT_EQ(text->x, 5040);
    EXPECT_EQ(text->y, label->y);
  }
}

TEST_F(GeneralPageTest, AFilterWithoutListedBitsPrintsNoFilterLine) {
  adapter().SetU32(I::ReceiveFilter, 0x10);
  page_.Refresh(0, 0);
  RecordingSurface surface;
  page_.Print(surface, 0);
  EXPECT_NE(surface.FindText("Receive Filter:"), nullptr);
  EXPECT_TRUE(TextsAtX(surface, 8200).empty());
}

TEST_F(GeneralPageTest, PrintsEmptyTextsBeforeTheFirstRefresh) {
  RecordingSurface surface;
  page_.Print(surface, 0);
  EXPECT_EQ(TextsAtX(surface, 5220), std::vector<std::string>(6, ""));
  EXPECT_EQ(TextsAtX(surface, 5040), std::vector<std::string>(3, ""));
}

// The same page over the driver path: the statistics and filter come from
// the driver's standard queries, the device name from the opened device.
TEST(GeneralPageDriverTest, ReadsTheDriversStandardQueries) {
  ResetSettings();
  auto station = std::make_shared<Station>();
  station->SetOidU32(kOidGenXmitOk, 4000000000u);
  station->SetOidU32(kOidGenRcvOk, 12);
  station->SetOidU32(kOidGenXmitError, 0);
  station->SetOidU32(kOidGenRcvError, 1);
  station->SetOidU32(kOidGenRcvNoBuffer, 2);
  station->SetOidU32(kOidGenRcvCrcError, 3);
  station->SetOidU32(kOidGenCurrentPacketFilter, 0x0B);
  const std::string vendor = "Vendor FDDI";
  station->SetOid(kOidGenVendorDescription, std::vector<uint8_t>(vendor.begin(), vendor.end()));
  AdapterList list;
  list.Add(std::make_unique<DriverAdapter>(std::make_unique<EmulatorChannel>(station), "QVAdapterA",
                                           "\\Device\\korap1"));
  CGeneralPage page(list);
  page.Refresh(1, 1);
  EXPECT_EQ(page.statisticField(0)->text(), "4000000000");
  EXPECT_EQ(page.statisticField(5)->text(), "3");
  EXPECT_EQ(page.deviceNameField()->text(), "\\Device\\korap1");
  EXPECT_EQ(page.hardwareDescriptionField()->text(), "Vendor FDDI");
  EXPECT_TRUE(page.filterBox(3)->isChecked());

  page.ClearCounters();
  station->SetOidU32(kOidGenXmitOk, 4000000010u);
  list.BeginRefresh();
  page.Refresh(0, 1);
  EXPECT_EQ(page.statisticField(0)->text(), "10");
}

// The adapters the program ships with (test mode and the station emulator's
// defaults) describe themselves in texts that fit the 32-byte buffer, so the
// description reaches the screen, the printout and the HTML page.
TEST(GeneralPageVendorTest, ShippedAdaptersShowTheirDescriptionEverywhere) {
  ResetSettings();
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Adapter>()> make;
    const char* description;
  };
  const auto emulated = [](const std::string& device) {
    auto station = std::make_shared<Station>();
    LoadDefaultStation(*station, device);
    return std::make_unique<DriverAdapter>(std::make_unique<EmulatorChannel>(station),
                                           "QVAdapterA", "\\Device\\" + device);
  };
  const Case cases[] = {
      {"test mode", [] { return std::make_unique<SimulatedAdapter>(); },
       "KORAP FDDI Adapter (simulated)"},
      {"emulated korap1", [&] { return emulated("korap1"); }, "KORAP PCI FDDI Adapter V2.00"},
      {"emulated korae1", [&] { return emulated("korae1"); }, "KORAE EISA FDDI Adapter V2.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AdapterList list;
    list.Add(c.make());
    CGeneralPage page(list);
    page.Refresh(1, 1);
    EXPECT_EQ(page.hardwareDescriptionField()->text().toStdString(), c.description);

    RecordingSurface surface;
    page.Print(surface, 0);
    const PrintCall* label = surface.FindText("Device Description");
    const PrintCall* text = surface.FindText(c.description);
    ASSERT_NE(label, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->y, label->y);

    std::string html;
    list.BeginRefresh();
    AppendGeneralPage(&html, list);
    EXPECT_NE(html.find(std::string("<P>Vendor Description = ") + c.description + "<P>"),
              std::string::npos)
        << html;
  }
}

}  // namespace
}  // namespace quivera
