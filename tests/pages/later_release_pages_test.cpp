// The pages this release shows only as notices: they carry their classes'
// names and constructors and answer the page protocol without effect.
#include <gtest/gtest.h>

#include <QLabel>
#include <memory>
#include <string>
#include <vector>

#include "pages/flash_page.h"
#include "pages/port_page.h"
#include "present/recording_surface.h"
#include "tests/pages/page_test_adapter.h"

namespace quivera {
namespace {

TEST(LaterReleasePagesTest, EachPageKeepsItsNameAndAnswersWithoutEffect) {
  PageTestList fixture;
  struct Made {
    std::unique_ptr<LaterReleasePage> page;
    const char* class_name;
    const char* title;
  };
  std::vector<Made> pages;
  pages.push_back({std::make_unique<CFlashPage2>(fixture.list), "quivera::CFlashPage2", "Flash"});
  pages.push_back({std::make_unique<CPORTPage>(fixture.list, 0), "quivera::CPORTPage", "Port 0"});
  pages.push_back({std::make_unique<CPORTPage>(fixture.list, 1), "quivera::CPORTPage", "Port 1"});

  for (Made& made : pages) {
    SCOPED_TRACE(made.title);
    EXPECT_STREQ(made.page->metaObject()->className(), made.class_name);
    EXPECT_EQ(made.page->windowTitle(), made.title);
    EXPECT_EQ(made.page->notice()->text(),
              QString("The %1 page is built in a later release of QUIVERA/FDDI.").arg(made.title));
    made.page->Refresh(1, 1);
    made.page->ClearCounters();
    RecordingSurface surface;
    made.page->Print(surface, 6);
    EXPECT_TRUE(surface.calls().empty());
  }
  EXPECT_EQ(fixture.adapter->total_reads(), 0);
  EXPECT_EQ(static_cast<CPORTPage*>(pages[2].page.get())->port(), 1);
}

}  // namespace
}  // namespace quivera
