// Printing the view's drawing (the print command, as the toolbar and the
// automation interface send it): the page fit, ranges, cancel, printing to
// a PDF file read back with poppler's pdfinfo and pdftoppm, and drawings
// or pages that leave nothing to fit.
#include <qm_print.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "control/print_job.h"
#include "database/entities/mb_line.h"
#include "tests/control/automation_client.h"
#include "tests/control/control_fixture.h"
#include "tests/support/print_watch.h"
#include "tests/support/shell_output.h"
#include "tests/support/test_temp.h"

namespace control_test {
namespace {

constexpr UINT kPrint = 57607;
// A square page of 2200 pixels at 254 dpi: 10 mm margins are 100 pixels,
// leaving a page rectangle of 2000 by 2000.
constexpr double kPageMm = 220;
constexpr int kDpi = 254, kPagePx = 2200;

class PrintTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    qm_print_reset();
    qm_print_set_printer(kPageMm, kPageMm, kDpi);
    hosted_ = std::make_unique<Hosted>();
    op_ = &hosted_->view()->operation();
  }
  void TearDown() override {
    hosted_.reset();
    qm_print_reset();
    ControlTest::TearDown();
  }
  // A frame of 200 by 100 drawing units with a tick below the middle of its
  // top side, so that a mirrored page would show.
  void draw_frame() {
    const As_Pt a(0, 0, 0), b(200, 0, 0), c(200, 100, 0), d(0, 100, 0);
    for (auto [p, q] : {std::pair{a, b}, {b, c}, {c, d}, {d, a}, {As_Pt(100, 100, 0), As_Pt(100, 80, 0)}})
      op_->drawing()->add_object(new MB_Line(p, q));
    op_->build_draw();
  }
  void print(QmPrintDialogAnswer answer) {
    qm_print_push_dialog_answer(answer);
    hosted_->command(kPrint);
  }
  std::unique_ptr<Hosted> hosted_;
  MB_Operation* op_ = nullptr;
};

// Whether a dark pixel lies within 2 pixels of (x, y).
template <class Pixel>
bool dark_near(Pixel pixel, int x, int y) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      if (pixel(x + dx, y + dy)) return true;
  return false;
}

// Where the fit puts the frame on the page: scale 9.8, centred at (1100,
// 1100), y downwards; (x, y, on the frame).
struct Spot {
  int x, y;
  bool ink;
};
const Spot kFrameSpots[] = {
    {1100, 610, true},    // the top side (y = 100)
    {1100, 1590, true},   // the bottom side (y = 0)
    {120, 1100, true},    // the left side
    {2080, 1100, true},   // the right side
    {1100, 700, true},    // the tick below the top side
    {1100, 1500, false},  // where a mirrored tick would be
    {1100, 1100, false},  // inside the frame
    {1100, 560, false},   // above it
};

TEST_F(PrintTest, FitToPageTable) {
  struct Case {
    const char* what;
    As_Rect extents;
    RECT page;
    bool drawn;
    As_Pt from, to;  // a drawing point and where it lands
  } cases[] = {
      {"200 x 100 on 2000 x 2000",
       As_Rect(As_Pt(0, 0, 0), As_Pt(200, 100, 0)),
       {100, 100, 2100, 2100},
       true,
       As_Pt(0, 100, 0),
       As_Pt(120, 610, 0)},
      {"its other corner",
       As_Rect(As_Pt(0, 0, 0), As_Pt(200, 100, 0)),
       {100, 100, 2100, 2100},
       true,
       As_Pt(200, 0, 0),
       As_Pt(2080, 1590, 0)},
      {"a point: scale 1, centred",
       As_Rect(As_Pt(5, 5, 0), As_Pt(5, 5, 0)),
       {0, 0, 1000, 800},
       true,
       As_Pt(6, 7, 0),
       As_Pt(501, 398, 0)},
      {"a level line: its width decides",
       As_Rect(As_Pt(0, 3, 0), As_Pt(100, 3, 0)),
       {0, 0, 1000, 1000},
       true,
       As_Pt(100, 3, 0),
       As_Pt(980, 500, 0)},
      {"a page no wider than its border",
       As_Rect(As_Pt(0, 0, 0), As_Pt(10, 10, 0)),
       {100, 100, 140, 900},
       false,
       As_Pt(),
       As_Pt()},
      {"a page turned inside out by margins",
       As_Rect(As_Pt(0, 0, 0), As_Pt(10, 10, 0)),
       {100, 100, 50, 50},
       false,
       As_Pt(),
       As_Pt()},
  };
  for (const Case& c : cases) {
    As_Tran t;
    ASSERT_EQ(PrintJob::fit_to_page(c.extents, c.page, &t), c.drawn) << c.what;
    if (!c.drawn) continue;
    const As_Pt at = c.from * t;
    EXPECT_NEAR(at.x(), c.to.x(), 1e-6) << c.what;
    EXPECT_NEAR(at.y(), c.to.y(), 1e-6) << c.what;
  }
}

TEST_F(PrintTest, ThePrintCommandFitsTheDrawingToThePage) {
  draw_frame();
  print({true, PD_ALLPAGES, 1, 65535, 1});
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  const QmPrintJob& job = qm_print_jobs()[0];
  EXPECT_TRUE(job.ended);
  EXPECT_EQ(job.name, "senza nome");
  ASSERT_EQ(job.width, kPagePx);
  ASSERT_EQ(job.pages.size(), 1u);  // a print of "All" ends after page 1
  const std::vector<uint32_t>& page = job.pages[0];
  const auto ink = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < job.width && y < job.height && page[size_t(y) * size_t(job.width) + size_t(x)] == 0;
  };
  for (const Spot& s : kFrameSpots) EXPECT_EQ(dark_near(ink, s.x, s.y), s.ink) << s.x << "," << s.y;
}

TEST_F(PrintTest, RangesAsTheProgressShowsThem) {
  draw_frame();
  struct Case {
    const char* what;
    DWORD flags;
    WORD from, to;
    size_t pages;
    const char* page_text;
    const char* percent;
  } cases[] = {
      {"all", PD_ALLPAGES, 1, 65535, 1, "Page 1 of 65534, ?? left to end ..", "0 %"},
      {"page 1", PD_PAGENUMS, 1, 1, 1, "Page 1 of 1,  left to end ..", "100 %"},
      {"pages 1-2", PD_PAGENUMS, 1, 2, 1, "Page 1 of 2, ?? left to end ..", "50 %"},
      {"pages 2-3", PD_PAGENUMS, 2, 3, 0, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    qm_print_reset();
    qm_print_set_printer(kPageMm, kPageMm, kDpi);
    PrintWatch watch;
    print({true, c.flags, c.from, c.to, 1});
    ASSERT_EQ(qm_print_jobs().size(), 1u) << c.what;
    EXPECT_TRUE(qm_print_jobs()[0].ended) << c.what;
    EXPECT_EQ(qm_print_jobs()[0].pages.size(), c.pages) << c.what;
    EXPECT_EQ(PrintWatch::progress_dialog(), nullptr) << c.what;
    EXPECT_EQ(watch.seen.seen, c.page_text != nullptr) << c.what;
    if (!c.page_text) continue;
    EXPECT_EQ(watch.seen.caption, "Stampa di senza nome in corso ..") << c.what;
    EXPECT_EQ(watch.seen.document, "Printing senza nome on Quillmark Page Printer on port LPT1:  ..") << c.what;
    EXPECT_EQ(watch.seen.page, c.page_text) << c.what;
    EXPECT_EQ(watch.seen.percent, c.percent) << c.what;
    EXPECT_EQ(watch.seen.position, 1) << c.what;
    ASSERT_NE(watch.seen.kind, nullptr) << c.what;
    EXPECT_TRUE(*watch.seen.kind == typeid(PrintProgressDialog)) << "the control's own dialog 102";
  }
}

TEST_F(PrintTest, CancelAbortsAfterThePage) {
  draw_frame();
  PrintWatch watch(true);
  print({true, PD_PAGENUMS, 1, 2, 1});
  EXPECT_TRUE(watch.seen.seen);
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  EXPECT_TRUE(qm_print_jobs()[0].aborted);
  EXPECT_FALSE(qm_print_jobs()[0].ended);
  EXPECT_EQ(PrintWatch::progress_dialog(), nullptr);
}

TEST_F(PrintTest, CancelledDialogPrintsNothing) {
  draw_frame();
  hosted_->command(kPrint);  // the print dialog is cancelled
  qm_print_push_dialog_answer({true, PD_PRINTTOFILE, 1, 1, 1});
  hosted_->command(kPrint);  // then the file dialog
  EXPECT_TRUE(qm_print_jobs().empty());
  EXPECT_TRUE(qm_user_message_boxes().empty());
  EXPECT_EQ(qm_print_dialogs_shown().size(), 2u);
}

// Nothing to fit: an empty drawing, or a page smaller than its margins,
// prints one blank page.
TEST_F(PrintTest, BlankPages) {
  struct Case {
    const char* what;
    bool frame;
    double page_mm;
  } cases[] = {{"an empty drawing", false, kPageMm}, {"a page inside its margins", true, 15}};
  for (const Case& c : cases) {
    if (c.frame) draw_frame();
    qm_print_reset();
    qm_print_set_printer(c.page_mm, c.page_mm, kDpi);
    print({true, PD_PAGENUMS, 1, 1, 1});
    ASSERT_EQ(qm_print_jobs().size(), 1u) << c.what;
    ASSERT_EQ(qm_print_jobs()[0].pages.size(), 1u) << c.what;
    size_t inked = 0;
    for (uint32_t px : qm_print_jobs()[0].pages[0]) inked += px != 0xFFFFFF;
    EXPECT_EQ(inked, 0u) << c.what;
  }
}

TEST_F(PrintTest, PrintToAPdfFileReadBackByPoppler) {
  draw_frame();
  const std::string pdf = qm_test_temp("print_frame.pdf");
  std::remove(pdf.c_str());
  qm_user_push_file_dialog_answer(pdf.c_str());
  PrintWatch watch;
  print({true, PD_PRINTTOFILE | PD_PAGENUMS, 1, 2, 1});
  EXPECT_EQ(watch.seen.document, "Printing senza nome on Quillmark Page Printer on file " + pdf + "  ..");
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  EXPECT_EQ(qm_print_jobs()[0].output, pdf);
  ASSERT_TRUE(qm_print_jobs()[0].ended) << qm_print_jobs()[0].error;
  if (!have_program("pdfinfo") || !have_program("pdftoppm")) {
    std::remove(pdf.c_str());
    GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are not installed";
  }
  // Pages 1-2 of a drawing whose length the job does not know: page 1 only.
  EXPECT_EQ(pdf_pages(pdf), 1);
  int w = 0, h = 0;
  std::vector<unsigned char> px;
  const bool read = pdf_first_page(pdf, kDpi, true, &w, &h, &px);
  std::remove(pdf.c_str());
  ASSERT_TRUE(read) << pdf;
  ASSERT_EQ(w, kPagePx);
  ASSERT_EQ(h, kPagePx);
  const auto ink = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && px[size_t(y) * size_t(w) + size_t(x)] < 128;
  };
  for (const Spot& s : kFrameSpots) EXPECT_EQ(dark_near(ink, s.x, s.y), s.ink) << s.x << "," << s.y;
}

// Printing draws every entity in the printer's one pen, whatever colour it
// shows on screen, and so do the entities an insert draws: the page read
// back from the PDF holds only greys (black strokes, smoothed), with ink.
TEST_F(PrintTest, EveryEntityInsertsIncludedPrintsInThePrintersPen) {
  if (!have_program("pdftoppm")) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  struct Drawing {
    const char* what;
    bool plain, inserts;
  };
  const Drawing drawings[] = {
      {"coloured entities", true, false}, {"inserts of coloured entities", false, true}, {"both", true, true}};
  for (const Drawing& d : drawings) {
    SCOPED_TRACE(d.what);
    hosted_.reset();  // a new view on an empty drawing
    hosted_ = std::make_unique<Hosted>();
    op_ = &hosted_->view()->operation();
    Automation ax(&hosted_->ctrl());
    const auto coloured_line = [&](double x0, double y0, double x1, double y1, LONG colour) {
      const LONG id = ax.i4("CreateLine", {R8(x0), R8(y0), R8(x1), R8(y1)});
      ax.i2("SetObjectColor", {I4(id), I4(colour)});
      return id;
    };
    std::vector<LONG> parts = {coloured_line(0, 0, 60, 0, 0xFF0000), coloured_line(0, 10, 60, 30, 0x0000FF),
                               ax.i4("CreateCircle", {R8(30), R8(15), R8(12)})};
    ASSERT_GT(ax.i4("CreateBlock", {S("Parts"), R8(0), R8(0), Ref(parts), I4(3), S("")}), 0);
    if (d.inserts) {
      ASSERT_GT(ax.i4("CreateInsert", {S("Parts"), R8(0), R8(60), R8(0), R8(1), R8(1)}), 0);
      ASSERT_GT(ax.i4("CreateInsert", {S("Parts"), R8(100), R8(60), R8(0.5), R8(2), R8(1)}), 0);
    }
    if (d.plain) {
      coloured_line(0, 120, 200, 120, 0x00FF00);
      coloured_line(100, 0, 200, 50, 0xFFFFFF);  // white on screen: it must not vanish on paper
    } else {
      for (LONG id : parts) ax.i2("DeleteObject", {I4(id)});
    }
    op_->build_draw();
    const std::string pdf = qm_test_temp("print_colours.pdf");
    std::remove(pdf.c_str());
    qm_user_push_file_dialog_answer(pdf.c_str());
    print({true, PD_PRINTTOFILE, 1, 1, 1});
    ASSERT_EQ(qm_print_jobs().size(), 1u);
    ASSERT_TRUE(qm_print_jobs()[0].ended) << qm_print_jobs()[0].error;
    qm_print_reset();
    qm_print_set_printer(kPageMm, kPageMm, kDpi);
    int w = 0, h = 0;
    std::vector<unsigned char> px;
    const bool read = pdf_first_page(pdf, 127, false, &w, &h, &px);
    std::remove(pdf.c_str());
    ASSERT_TRUE(read) << pdf;
    size_t inked = 0, coloured = 0;
    for (size_t i = 0; i + 2 < px.size(); i += 3) {
      const int r = px[i], g = px[i + 1], b = px[i + 2];
      if (r != g || g != b) ++coloured;
      if (r < 200) ++inked;
    }
    EXPECT_EQ(coloured, 0u) << "pixels that are not grey";
    EXPECT_GT(inked, 300u);
  }
}

}  // namespace
}  // namespace control_test
