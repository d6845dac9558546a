// Printing: what each sheet number prints, the range offered, the notice
// after the job, printing to a PDF file, and the twips mapping of the Qt
// print surface.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "settings/settings.h"
#include "app/ui/print_file.h"
#include "app/ui/print_sheets.h"
#include "app/ui/qt_print_surface.h"
#include "dialogs/font_faces.h"
#include "pages/mac_page.h"
#include "present/recording_surface.h"
#include "tests/pages/page_test_adapter.h"
#include "ui_test_doubles.h"

namespace quivera {
namespace {

class PrintingTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

TEST_F(PrintingTest, PrintToFileOffersAWritableFile) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("QUIVERA/FDDI"));
  QPrintDialog dialog(&printer);
  ASSERT_TRUE(SuggestPrintFile(dialog)) << "the dialog's output file field";
  const auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
  ASSERT_NE(field, nullptr);
  const QFileInfo offered(field->text());
  EXPECT_EQ(offered.fileName(), QStringLiteral("QUIVERA-FDDI.pdf"));
  EXPECT_TRUE(offered.absoluteDir().exists()) << field->text().toStdString();
  EXPECT_TRUE(QFileInfo(offered.absolutePath()).isWritable()) << field->text().toStdString();
}

TEST_F(PrintingTest, PrintFileGoesToTheFirstWritableFolder) {
  QTemporaryDir home;
  QTemporaryDir elsewhere;
  const QString inside = home.filePath(QStringLiteral("work"));
  ASSERT_TRUE(QDir().mkpath(inside));
  const QString missing = home.filePath(QStringLiteral("QUIVERA"));
  const QString temp = QDir::tempPath();
  const struct {
    const char* name;
    QString home, current, expected;
  } cases[] = {
      {"working folder inside home", home.path(), inside, inside},
      {"working folder outside home", home.path(), elsewhere.path(), home.path()},
      {"working folder missing", home.path(), missing, home.path()},
      {"home missing", missing, elsewhere.path(), temp},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PrintFileFolder(c.home, c.current, temp), QDir::cleanPath(c.expected));
  }
}

TEST_F(PrintingTest, EachSheetNumberSelectsItsPagePartAndReload) {
  struct Case {
    int sheet;
    SheetContent content;
  };
  const Case cases[] = {
      {1, {kGeneralSheet, 0, 0}},     {2, {kSmtSheet, 0, 0}},     {3, {kMacSheet, 0, 0}},
      {4, {kMacCountersSheet, 0, 0}}, {5, {kPathSheet, 0, 1}},    {6, {kFlashSheet, 6, 1}},
      {8, {kFlashSheet, 8, 1}},       {10, {kFlashSheet, 10, 1}}, {11, {kPort0Sheet, 0, 1}},
      {12, {kPort1Sheet, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet);
    SheetContent got{-1, -1, -1};
    ASSERT_TRUE(ContentOfSheet(c.sheet, &got));
    EXPECT_EQ(got.page_index, c.content.page_index);
    EXPECT_EQ(got.part, c.content.part);
    EXPECT_EQ(got.reload, c.content.reload);
  }
  for (int outside : {0, 13, -1}) {
    SheetContent untouched{7, 7, 7};
    EXPECT_FALSE(ContentOfSheet(outside, &untouched));
    EXPECT_EQ(untouched.page_index, 7);
  }
  EXPECT_EQ(PrintableSheets(9), 12);
  EXPECT_EQ(PrintableSheets(8), 11);
}

// Prints through the view's print command, with a PDF file in place of the
// print dialog; returns the range the dialog would have offered.
int PrintToPdf(CQVFView& view, const QString& path, int from, int to) {
  int offered = 0;
  view.SetPrintSetup([&](QPrinter& printer, int last, int* first, int* final_sheet) {
    offered = last;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    *first = from;
    *final_sheet = to;
    return true;
  });
  view.OnFilePrint();
  return offered;
}

TEST_F(PrintingTest, SheetsRefreshThenPrintTheirPages) {
  QTemporaryDir dir;
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  harness.ClearRecords();
  EXPECT_EQ(PrintToPdf(harness.view(), dir.filePath("all.pdf"), 1, 12), 12);

  using Calls = std::vector<std::pair<int, int>>;
  for (int index : {kGeneralSheet, kSmtSheet, kMacSheet, kMacCountersSheet}) {
    EXPECT_EQ(harness.page(index).refreshes, (Calls{{0, 0}})) << index;
    EXPECT_EQ(harness.page(index).prints, std::vector<int>{0}) << index;
  }
  for (int index : {kPathSheet, kPort0Sheet, kPort1Sheet}) {
    EXPECT_EQ(harness.page(index).refreshes, (Calls{{1, 0}})) << index;
    EXPECT_EQ(harness.page(index).prints, std::vector<int>{0}) << index;
  }
  EXPECT_EQ(harness.page(kFlashSheet).refreshes, Calls(5, {1, 0}));
  EXPECT_EQ(harness.page(kFlashSheet).prints, (std::vector<int>{6, 7, 8, 9, 10}));
  EXPECT_TRUE(harness.page(kPerformanceSheet).prints.empty());
  EXPECT_TRUE(harness.page(kPerformanceSheet).refreshes.empty());

  ASSERT_EQ(harness.ui.messages.size(), 1u);
  EXPECT_EQ(harness.ui.messages[0].text, "Printing is sent to the default printer.");
  EXPECT_EQ(harness.ui.messages[0].caption, "QUIVERA/FDDI");
  EXPECT_EQ(harness.ui.messages[0].icon, MessageIcon::Information);
}

// "Current Page" prints the active page's sheets: one, or the Flash page's
// five; the Performance page has none to print.
TEST_F(PrintingTest, CurrentPagePrintsTheActivePagesSheets) {
  struct Case {
    int active;
    std::vector<int> printed;  // sheet indices of the pages printed, in order
  };
  const Case cases[] = {
      {kGeneralSheet, {kGeneralSheet}},
      {kMacSheet, {kMacSheet}},
      {kPathSheet, {kPathSheet}},
      {kFlashSheet, {kFlashSheet, kFlashSheet, kFlashSheet, kFlashSheet, kFlashSheet}},
      {kPort1Sheet, {kPort1Sheet}},
      {kPerformanceSheet, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.active);
    QTemporaryDir dir;
    ViewHarness harness;
    ASSERT_TRUE(harness.Build({2}));
    harness.view().ActivatePage(c.active);
    harness.ClearRecords();
    harness.view().SetPrintSetup([&](QPrinter& printer, int, int*, int*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(dir.filePath("current.pdf"));
      printer.setPrintRange(QPrinter::CurrentPage);
      return true;
    });
    harness.view().OnFilePrint();
    std::vector<int> printed;
    for (int index = 0; index < kSheetPages; ++index) {
      for (size_t n = 0; n < harness.page(index).prints.size(); ++n) printed.push_back(index);
    }
    EXPECT_EQ(printed, c.printed);
    EXPECT_EQ(harness.ui.messages.size(), c.printed.empty() ? 0u : 1u);
  }
}

// The MAC sheet on A4 and on Letter: a sheet whose boxes or texts reach past
// the printable area is drawn smaller as a whole, so that all of it is on the
// paper; one that fits is printed at its own size.
TEST_F(PrintingTest, SheetsWiderThanThePrintableAreaAreScaledToFitIt) {
  struct Case {
    QPageSize::PageSizeId paper;
    uint32_t purger_enable;  // 0 shows "Disabled" at x = 10620, 1 "Enabled"
    bool scaled;
  };
  const Case cases[] = {
      {QPageSize::A4, 0, true},       // the box edge at 11680 is past A4's width
      {QPageSize::A4, 1, true},
      {QPageSize::Letter, 1, false},  // everything fits: printed at its own size
      {QPageSize::Letter, 0, true},   // "Disabled" would end past Letter's width
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.purger_enable);
    SCOPED_TRACE(QPageSize::name(c.paper).toStdString());
    PageTestList fixture;
    fixture.adapter->SetU32(ManagementItem::MacRingPurgerEnable, c.purger_enable);
    CMACPage page(fixture.list);
    page.Refresh(0, 0);

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("mac.pdf"));
    printer.setPageSize(QPageSize(c.paper));
    const SheetExtent printable = PrintableArea(printer);
    QPainter painter(&printer);
    ASSERT_TRUE(painter.isActive());
    const double scale =
        PrintSheetFitted(painter, printable, [&](PrintSurface& surface) { page.Print(surface, 0); });
    // What the sheet draws, in the printer's own fonts and twips.
    RecordingSurface drawn([&](const PrintFont& font) {
      QtPrintSurface probe(painter);
      probe.SelectFont(font);
      return probe.LineHeight();
    });
    page.Print(drawn, 0);
    const double unit = printer.logicalDpiY() / 1440.0;
    const SheetExtent reach = drawn.Extent([&](const PrintFont& font, const std::string& text) {
      return static_cast<int>(
          std::ceil(QFontMetricsF(MakePrintFont(font, unit), &printer).horizontalAdvance(
                        QString::fromLatin1(text.c_str())) /
                    unit));
    });
    painter.end();
    EXPECT_EQ(scale < 1.0, c.scaled) << scale;
    EXPECT_GT(scale, 0.9);  // smaller, not small
    // Every box edge and the end of every text lie on the printable area.
    EXPECT_LE(reach.width * scale, printable.width + 1);
    EXPECT_LE(reach.height * scale, printable.height + 1);
    if (c.scaled) {
      EXPECT_GT(reach.width, printable.width);
    }
  }
}

TEST_F(PrintingTest, SinglePortAdapterOffersElevenSheetsAndTwoPortsTwelve) {
  QTemporaryDir dir;
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({1, 2}));
  harness.frame().SelectAdapter(1);
  EXPECT_EQ(PrintToPdf(harness.view(), dir.filePath("a.pdf"), 11, 11), 11);
  // Sheet 12 is not there to print.
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("b.pdf"));
  EXPECT_FALSE(harness.view().PrintSheets(printer, 12, 12));
  EXPECT_TRUE(harness.page(kPort1Sheet).prints.empty());

  harness.frame().SelectAdapter(2);
  EXPECT_EQ(PrintToPdf(harness.view(), dir.filePath("c.pdf"), 12, 12), 12);
  EXPECT_EQ(harness.page(kPort1Sheet).prints, std::vector<int>{0});
}

TEST_F(PrintingTest, CancelledDialogPrintsNothingAndSaysNothing) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  harness.ClearRecords();
  harness.view().SetPrintSetup([](QPrinter&, int, int*, int*) { return false; });
  harness.view().OnFilePrint();
  EXPECT_TRUE(harness.ui.messages.empty());
  EXPECT_TRUE(harness.page(kGeneralSheet).prints.empty());
}

TEST_F(PrintingTest, PrinterThatCannotOpenIsReportedNotAnnouncedAsSent) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  PrintToPdf(harness.view(), "/nonexistent-folder/x/out.pdf", 1, 1);
  ASSERT_EQ(harness.ui.messages.size(), 1u);
  EXPECT_EQ(harness.ui.messages[0].icon, MessageIcon::Warning);
  EXPECT_NE(harness.ui.messages[0].text, "Printing is sent to the default printer.");
}

// The text of 'pdf' through pdftotext, with the number of pages; empty when
// pdftotext is not installed.
bool PdfText(const QString& pdf, QString* text, int* pages) {
  const QString tool = QStandardPaths::findExecutable("pdftotext");
  if (tool.isEmpty()) return false;
  QProcess run;
  run.start(tool, {"-layout", pdf, "-"});
  if (!run.waitForFinished(30000)) return false;
  *text = QString::fromUtf8(run.readAllStandardOutput());
  *pages = static_cast<int>(text->count(QLatin1Char('\f')));
  return true;
}

TEST_F(PrintingTest, OneSheetToPdfIsOnePageWithThePageTitle) {
  QTemporaryDir dir;
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}, /*program_pages=*/true));
  struct Case {
    int sheet;
    const char* title;
  };
  for (const Case c :
       {Case{1, "QUIVERA/FDDI -- General Page"}, Case{4, "QUIVERA/FDDI -- MAC Counters Page"}}) {
    SCOPED_TRACE(c.sheet);
    const QString path = dir.filePath(QStringLiteral("sheet%1.pdf").arg(c.sheet));
    PrintToPdf(harness.view(), path, c.sheet, c.sheet);
    ASSERT_TRUE(QFile::exists(path));
    QString text;
    int pages = 0;
    if (!PdfText(path, &text, &pages)) GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(text.contains(QLatin1String(c.title))) << text.toStdString();
  }
}

// An image at 1440 dots per inch makes one twip one pixel, so positions can
// be checked pixel by pixel.
QImage TwipImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(static_cast<int>(1440 / 0.0254));
  image.setDotsPerMeterY(static_cast<int>(1440 / 0.0254));
  return image;
}

bool InkIn(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y).lightness() < 128) return true;
    }
  }
  return false;
}

TEST_F(PrintingTest, SurfaceMapsTwipsWithYUpwardOntoTheDevice) {
  QImage image = TwipImage(3000, 3000);
  {
    QPainter painter(&image);
    QtPrintSurface surface(painter);
    EXPECT_NEAR(surface.Scale(), 1.0, 0.01);
    surface.Rectangle(1000, -1000, 2000, -2000);
    surface.Rectangle(1200, -1200, 1800, -1800);  // filled white: hides nothing outside
  }
  EXPECT_TRUE(InkIn(image, QRect(995, 1400, 12, 10)));   // left edge at x 1000
  EXPECT_TRUE(InkIn(image, QRect(1400, 1990, 10, 14)));  // bottom edge at y 2000 down
  EXPECT_FALSE(InkIn(image, QRect(1020, 1020, 150, 150)));
  EXPECT_FALSE(InkIn(image, QRect(100, 100, 800, 800)));

  // A sheet drawn at half its size: every position halves alike.
  QImage half = TwipImage(3000, 3000);
  {
    QPainter painter(&half);
    QtPrintSurface surface(painter, 0.5);
    EXPECT_NEAR(surface.Scale(), 0.5, 0.01);
    surface.Rectangle(1000, -1000, 2000, -2000);
  }
  EXPECT_TRUE(InkIn(half, QRect(495, 700, 12, 10)));    // left edge at x 500
  EXPECT_TRUE(InkIn(half, QRect(700, 990, 10, 14)));    // bottom edge at y 1000 down
  EXPECT_FALSE(InkIn(half, QRect(1050, 1050, 900, 900)));
}

TEST_F(PrintingTest, TextHangsBelowItsReferencePoint) {
  QImage image = TwipImage(6000, 2000);
  int line_height = 0;
  {
    QPainter painter(&image);
    QtPrintSurface surface(painter);
    PrintFont courier;
    courier.face = "Courier New";
    courier.height = -280;
    surface.SelectFont(courier);
    line_height = surface.LineHeight();
    surface.Text(720, -720, "QUIVERA/FDDI -- General Page");
  }
  // 14-point characters: the line is a little taller than 280 twips.
  EXPECT_GE(line_height, 280);
  EXPECT_LE(line_height, 400);
  EXPECT_TRUE(InkIn(image, QRect(720, 720, 4000, 280)));
  EXPECT_FALSE(InkIn(image, QRect(0, 0, 6000, 700)));  // nothing above the reference point
  EXPECT_FALSE(InkIn(image, QRect(0, 0, 700, 2000)));  // nothing left of it
  // "Courier New" is a fixed pitch: 28 characters of 0.6 em are about 4700 twips.
  EXPECT_FALSE(InkIn(image, QRect(5600, 0, 400, 2000)));
}

TEST_F(PrintingTest, PrintFacesResolveToInstalledFixedPitchFamilies) {
  for (const char* face : {"Courier New", "Lucida Console"}) {
    SCOPED_TRACE(face);
    const QString family = ResolveFontFamily(face);
    EXPECT_FALSE(family.isEmpty());
    const QFont font = MakePrintFont(PrintFont{face, -280, 400, 48}, 1.0);
    EXPECT_TRUE(QFontInfo(font).fixedPitch()) << family.toStdString();
  }
  // A positive height is the cell height: the em is smaller than the cell.
  const QFont by_cell = MakePrintFont(PrintFont{"Lucida Console", 216, 400, 48}, 1.0);
  const QFont by_em = MakePrintFont(PrintFont{"Lucida Console", -216, 400, 48}, 1.0);
  EXPECT_LT(by_cell.pixelSize(), by_em.pixelSize());
  EXPECT_EQ(by_em.pixelSize(), 216);
}

}  // namespace
}  // namespace quivera
