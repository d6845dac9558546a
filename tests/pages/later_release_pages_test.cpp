// The pages this release shows only as notices: they carry their classes'
// names and constructors and answer the page protocol without effect.
#include <gtest/gtest.h>

#include <QLabel>
#include <memory>
#include <string>
#include <vector>

#include "pages/mac_page.h"
#include "pages/path_page.h"
#include "pages/smt_page.h"
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
  pages.push_back({std::make_unique<CSMTPage>(fixture.list), "quivera::CSMTPage", "SMT"});
  pages.push_back({std::make_unique<CMACPage>(fixture.list), "quivera::CMACPage", "MAC"});
  pages.push_back({std::make_unique<CPathPage>(fixture.list), "quivera::CPathPage", "Path"});

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
}

}  // namespace
}  // namespace quivera
