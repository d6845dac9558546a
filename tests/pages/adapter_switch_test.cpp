// Every page that keeps a value's previous text when its read fails keeps it
// only within one adapter: after a switch to another adapter a failed read
// leaves the field empty, never the previous adapter's text.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/general_page.h"
#include "pages/mac_page.h"
#include "pages/path_page.h"
#include "pages/perform_page.h"
#include "pages/perform_page_logic.h"
#include "pages/port_page.h"
#include "pages/smt_page.h"
#include "present/path_timers.h"
#include "present/value_texts.h"
#include "settings/settings.h"
#include "tests/dialogs/message_script.h"
#include "tests/pages/page_test_adapter.h"

namespace quivera {
namespace {

using I = ManagementItem;

std::vector<uint8_t> Word(uint32_t value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  return {bytes, bytes + sizeof value};
}

// Two test adapters in one list, the first current.
struct TwoAdapters {
  TwoAdapters() {
    for (PageTestAdapter** adapter : {&first, &second}) {
      auto owned = std::make_unique<PageTestAdapter>();
      *adapter = owned.get();
      list.Add(std::move(owned));
    }
  }
  AdapterList list;
  PageTestAdapter* first = nullptr;
  PageTestAdapter* second = nullptr;
};

// A page, and what it shows of one value.
using PageMaker = std::function<std::unique_ptr<PropertyPage>(AdapterList&, UiServices&)>;
using Shown = std::function<QString(PropertyPage&)>;

template <class Page>
PageMaker Make() {
  return [](AdapterList& list, UiServices& ui) -> std::unique_ptr<PropertyPage> {
    if constexpr (std::is_same_v<Page, CPORTPage>) {
      return std::make_unique<CPORTPage>(list, 0, nullptr, &ui);
    } else if constexpr (std::is_constructible_v<Page, AdapterList&, QWidget*, UiServices*>) {
      return std::make_unique<Page>(list, nullptr, &ui);
    } else {
      return std::make_unique<Page>(list, nullptr);
    }
  };
}

template <class Page, class Label>
Shown Field(Label label) {
  return [label](PropertyPage& page) { return static_cast<Page&>(page).valueField(label)->text(); };
}

TEST(AdapterSwitchTest, AFailedReadAfterASwitchShowsNothingOfTheAdapterBefore) {
  struct Case {
    const char* name;
    PageMaker make;
    I item;
    std::vector<uint8_t> first_value;  // what adapter 1 holds; adapter 2's read fails
    Shown shown;
    QString first_text;
    QString after_switch = QString();  // what a failed read shows on adapter 2
  };
  const std::vector<uint8_t> neighbour = {0x08, 0x00, 0x2B, 0x12, 0x34, 0x56};
  const std::vector<uint8_t> group = {0x01, 0x00, 0x5E, 0x00, 0x00, 0x01};
  const Case cases[] = {
      {"MAC link state", Make<CMACPage>(), I::MacLinkState, Word(1),
       Field<CMACPage>(MacLabel::kLinkState), TextFor(kMacLinkStateTexts, 1)},
      {"MAC FDX state", Make<CMACPage>(), I::MacFullDuplexState, Word(3),
       Field<CMACPage>(MacLabel::kFdxState), TextFor(kFdxStateTexts, 3)},
      {"MAC FDX enable", Make<CMACPage>(), I::MacFullDuplexEnable, Word(0),
       Field<CMACPage>(MacLabel::kFdxEnable), "Enabled"},
      {"MAC upstream neighbour", Make<CMACPage>(), I::MacUpstreamNeighbor, neighbour,
       Field<CMACPage>(MacLabel::kUpstreamNbr), "08-00-2B-12-34-56"},
      {"MAC multicast list", Make<CMACPage>(), I::MacMulticastList, group,
       [](PropertyPage& page) {
         return QString::number(static_cast<CMACPage&>(page).multicastList()->count());
       },
       "1", "0"},
      {"Port reject reason", Make<CPORTPage>(), I::PortRejectReason, Word(2),
       Field<CPORTPage>(PortLabel::kRejectReason), TextFor(kPortRejectReasonTexts, 2)},
      {"Port LER cutoff", Make<CPORTPage>(), I::PortLerCutoff, Word(7),
       Field<CPORTPage>(PortLabel::kLerCutoff), "7"},
      {"SMT ECM state", Make<CSMTPage>(), I::SmtEcmState, Word(1),
       [](PropertyPage& page) { return static_cast<CSMTPage&>(page).ecmField()->text(); },
       TextFor(kSmtEcmStateTexts, 1)},
      {"Path T-Neg", Make<CPathPage>(), I::PathTNeg, Word(100000),
       [](PropertyPage& page) { return static_cast<CPathPage&>(page).timerField(1)->text(); },
       QString::fromStdString(MacTimerText(100000))},
      {"Ring utilisation", Make<CPerformPage>(), I::TokenUtilization, Word(42),
       [](PropertyPage& page) {
         return static_cast<CPerformPage&>(page).valueText(CPerformPage::kFiberGauge)->text();
       },
       QString::fromStdString(TokenUtilizationText(42))},
      {"General statistic", Make<CGeneralPage>(), I::FramesTransmittedOk, Word(42),
       [](PropertyPage& page) { return static_cast<CGeneralPage&>(page).statisticField(0)->text(); },
       "42"},
  };
  for (const Case& c : cases) {
    for (const bool switched : {false, true}) {
      SCOPED_TRACE(c.name);
      SCOPED_TRACE(switched ? "after a switch" : "same adapter");
      ResetSettings();
      TwoAdapters adapters;
      MessageScript ui;
      adapters.first->SetBytes(c.item, c.first_value);
      std::unique_ptr<PropertyPage> page = c.make(adapters.list, ui);
      page->Refresh(1, 1);
      ASSERT_EQ(c.shown(*page), c.first_text);

      adapters.first->Fail(c.item);
      adapters.second->Fail(c.item);
      if (switched) adapters.list.SetCurrent(1);
      page->Refresh(1, 1);
      // Within one adapter the text read last stays; another adapter's never does.
      EXPECT_EQ(c.shown(*page), switched ? c.after_switch : c.first_text);
    }
  }
  ResetSettings();
}

}  // namespace
}  // namespace quivera
