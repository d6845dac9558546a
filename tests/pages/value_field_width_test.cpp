// Every value field is as wide as the longest text it can show, under either
// choice of captions: each text of its value table, every address form, the
// longest numbers. Measured in the field's own font.
#include "pages/value_field_width.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/general_page.h"
#include "pages/mac_count_page.h"
#include "pages/mac_page.h"
#include "pages/path_page.h"
#include "pages/port_page.h"
#include "pages/smt_page.h"
#include "present/path_timers.h"
#include "present/value_texts.h"
#include "settings/settings.h"
#include "tests/dialogs/message_script.h"
#include "tests/pages/page_test_adapter.h"

namespace quivera {
namespace {

using Texts = std::vector<std::string>;

Texts Join(Texts a, const Texts& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Addresses as the adapter may deliver them, in every form.
Texts Addresses() {
  return Join({"08-00-2B-12-34-56", "10:00:D4:48:2C:6A", "Velkor 63.1023", "DD-DD-DD-DD-DD-DD",
               "BB:BB:BB:BB:BB:BB"},
              AddressTextSamples());
}

struct Field {
  std::string name;
  std::function<QLabel*(QWidget&)> field;
  Texts texts;
};

template <class Page, class Label>
std::function<QLabel*(QWidget&)> ValueField(Label label) {
  return [label](QWidget& page) { return static_cast<Page&>(page).valueField(label); };
}

TEST(ValueFieldWidthTest, EveryFieldFitsTheLongestTextItCanShow) {
  using M = MacLabel;
  using P = PortLabel;
  const Texts counts = {"18446744073709551615", "88888888888888888888"};
  const Texts signed_words = {"-2147483648", "-8888888888"};
  struct PageCase {
    const char* page;
    std::function<std::unique_ptr<QWidget>(AdapterList&, UiServices&)> make;
    std::vector<Field> fields;
  };
  const PageCase pages[] = {
      {"MAC",
       [](AdapterList& list, UiServices&) { return std::make_unique<CMACPage>(list); },
       {
           {"upstream", ValueField<CMACPage>(M::kUpstreamNbr), Addresses()},
           {"downstream", ValueField<CMACPage>(M::kDownstreamNbr), Addresses()},
           {"current address",
            [](QWidget& p) { return static_cast<CMACPage&>(p).currentAddressField(); },
            Addresses()},
           {"permanent address",
            [](QWidget& p) { return static_cast<CMACPage&>(p).permanentAddressField(); },
            Addresses()},
           {"ring error reason", ValueField<CMACPage>(M::kRingErrorReason),
            TableTexts(kMacRingErrorReasonTexts)},
           {"current path", ValueField<CMACPage>(M::kCurrentPath), TableTexts(kMacCurrentPathTexts)},
           {"downstream type", ValueField<CMACPage>(M::kDownstreamPortType),
            TableTexts(kMacDownstreamPortTypeTexts)},
           {"link state", ValueField<CMACPage>(M::kLinkState), TableTexts(kMacLinkStateTexts)},
           {"RMT state", ValueField<CMACPage>(M::kRmtState), TableTexts(kMacRmtStateTexts)},
           {"dup address", ValueField<CMACPage>(M::kDupAddressTest),
            TableTexts(kMacDupAddressTestTexts)},
           {"purger state", ValueField<CMACPage>(M::kRingPurgerState),
            TableTexts(kMacRingPurgerStateTexts)},
           {"purger enable", ValueField<CMACPage>(M::kRingPurgerEnable),
            TableTexts(kMacRingPurgerEnableTexts)},
           {"purge errors", ValueField<CMACPage>(M::kRingPurgeErrors), signed_words},
           {"FDX state", ValueField<CMACPage>(M::kFdxState), TableTexts(kFdxStateTexts)},
           {"FDX enable", ValueField<CMACPage>(M::kFdxEnable), TableTexts(kFdxEnableTexts)},
       }},
      {"Port",
       [](AdapterList& list, UiServices& ui) {
         return std::make_unique<CPORTPage>(list, 0, nullptr, &ui);
       },
       {
           {"my type", ValueField<CPORTPage>(P::kMyType), TableTexts(kPortMyTypeTexts)},
           {"neighbour type", ValueField<CPORTPage>(P::kNeighborType),
            TableTexts(kPortNeighborTypeTexts)},
           {"path", ValueField<CPORTPage>(P::kCurrentPath), TableTexts(kPortCurrentPathTexts)},
           {"PMD class", ValueField<CPORTPage>(P::kPmdClass), TableTexts(kPortPmdClassTexts)},
           {"reject reason", ValueField<CPORTPage>(P::kRejectReason),
            TableTexts(kPortRejectReasonTexts)},
           {"PCM state", ValueField<CPORTPage>(P::kPcmState), TableTexts(kPortPcmStateTexts)},
           {"connect state", ValueField<CPORTPage>(P::kConnectState),
            TableTexts(kPortConnectStateTexts)},
           {"LEM counts", ValueField<CPORTPage>(P::kLemCounts), counts},
           {"LCT failures", ValueField<CPORTPage>(P::kLctFailures), counts},
           {"LER estimate", ValueField<CPORTPage>(P::kLerEstimate), signed_words},
           {"LER cutoff", ValueField<CPORTPage>(P::kLerCutoff), signed_words},
       }},
      {"SMT",
       [](AdapterList& list, UiServices& ui) {
         return std::make_unique<CSMTPage>(list, nullptr, &ui);
       },
       {
           {"bypass", [](QWidget& p) { return static_cast<CSMTPage&>(p).bypassField(); },
            TableTexts(kSmtBypassPresentTexts)},
           {"ECM", [](QWidget& p) { return static_cast<CSMTPage&>(p).ecmField(); },
            TableTexts(kSmtEcmStateTexts)},
           {"CF", [](QWidget& p) { return static_cast<CSMTPage&>(p).cfField(); },
            TableTexts(kSmtCfStateTexts)},
       }},
      {"Path",
       [](AdapterList& list, UiServices& ui) {
         return std::make_unique<CPathPage>(list, nullptr, &ui);
       },
       {
           {"T-Neg", [](QWidget& p) { return static_cast<CPathPage&>(p).timerField(1); },
            {MacTimerText(UINT32_MAX), MacTimerText(100000)}},
           {"T-Max bound", [](QWidget& p) { return static_cast<CPathPage&>(p).boundField(0); },
            {std::to_string(UnitsToMilliseconds(UINT32_MAX))}},
       }},
      {"MAC Counters",
       [](AdapterList& list, UiServices&) { return std::make_unique<CMACCountPage>(list); },
       {{"first counter", [](QWidget& p) { return static_cast<CMACCountPage&>(p).counterField(0); },
         counts}}},
      {"General",
       [](AdapterList& list, UiServices&) { return std::make_unique<CGeneralPage>(list); },
       {{"first statistic",
         [](QWidget& p) { return static_cast<CGeneralPage&>(p).statisticField(0); },
         {"4294967295", "8888888888"}}}},
  };
  for (const PageCase& c : pages) {
    for (const int snmp_labels : {0, 1}) {
      SCOPED_TRACE(c.page);
      SCOPED_TRACE(snmp_labels == 0 ? "SNMP captions" : "plain captions");
      ResetSettings();
      PageTestList fixture;
      MessageScript ui;
      std::unique_ptr<QWidget> page = c.make(fixture.list, ui);
      AppSettings().SNMPLabels = snmp_labels;
      static_cast<PropertyPage&>(*page).Refresh(0, 1);  // the captions in force
      page->show();
      QApplication::processEvents();
      for (const Field& f : c.fields) {
        QLabel* field = f.field(*page);
        ASSERT_NE(field, nullptr) << f.name;
        for (const std::string& text : f.texts) {
          EXPECT_LE(FieldWidthFor(*field, text), field->width()) << f.name << ": " << text;
        }
      }
    }
  }
  ResetSettings();
}

}  // namespace
}  // namespace quivera
