// Print jobs on the stand-in printer: pages drawn at the printer's
// resolution, a two-page job printed to a PDF file (checked with pdfinfo),
// the abort procedure and injected failures.
#include <gtest/gtest.h>
#include <qm_print.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/shell_output.h"

namespace {

std::string temp_dir() {
  char t[] = "/tmp/qmprint_XXXXXX";
  return mkdtemp(t);
}

bool exists(const std::string& p) { return access(p.c_str(), F_OK) == 0; }

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qm_print_reset();
    dir = temp_dir();
  }
  void TearDown() override {
    std::system(("rm -rf " + dir).c_str());
    qm_print_reset();
  }
  std::string dir;
};

int print_pages(HDC dc, const char* output, int pages) {
  DOCINFOA di = {sizeof di, "Plan", output, nullptr, 0};
  if (StartDocA(dc, &di) <= 0) return -1;
  for (int i = 0; i < pages; ++i) {
    if (StartPage(dc) <= 0) return AbortDoc(dc), -2;
    HBRUSH b = CreateSolidBrush(i == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    RECT r = {100, 100, 400, 300};
    FillRect(dc, &r, b);
    DeleteObject(b);
    if (EndPage(dc) <= 0) return -3;
  }
  return EndDoc(dc) > 0 ? 0 : -4;
}

// A job for the printer (no output file) goes to the system's print queue as
// a PDF of its pages, with the document's name; where there is no queue, or
// it refuses the job, the job fails with a reason that says so. The PDF is
// made in a private folder that is gone afterwards.
TEST_F(PrintTest, APrinterJobGoesToThePrintQueueOrSaysWhyNot) {
  const std::string fake = dir + "/fake-lp", refusing = dir + "/refusing-lp";
  std::ofstream(fake) << "#!/bin/sh\n[ \"$1\" = -t ] && [ \"$2\" = Plan ] && cp \"$3\" '" << dir << "/queued.pdf'\n";
  std::ofstream(refusing) << "#!/bin/sh\nexit 3\n";
  ASSERT_EQ(std::system(("chmod +x '" + fake + "' '" + refusing + "' && mkdir '" + dir + "/tmp'").c_str()), 0);
  const char* old_tmp = std::getenv("TMPDIR");
  const std::string saved_tmp = old_tmp ? old_tmp : "";
  setenv("TMPDIR", (dir + "/tmp").c_str(), 1);
  struct Case {
    std::string queue;
    int result;
    const char* reason;
  } cases[] = {
      {fake, 0, ""},
      {dir + "/absent-lp", -4, "absent-lp is not installed): print to a file instead"},
      {"qm-no-such-lp", -4, "there is no print queue here (qm-no-such-lp is not installed)"},
      {refusing, -4, "refused the job with status 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.queue);
    qm_print_reset();
    qm_print_set_queue(c.queue.c_str());
    HDC dc = CreateDCA("WINSPOOL", "Quillmark", nullptr, nullptr);
    ASSERT_TRUE(dc);
    EXPECT_EQ(print_pages(dc, nullptr, 2), c.result);
    DeleteDC(dc);
    ASSERT_EQ(qm_print_jobs().size(), 1u);
    EXPECT_NE(qm_print_jobs()[0].error.find(c.reason), std::string::npos) << qm_print_jobs()[0].error;
    EXPECT_EQ(shell_output("ls -A '" + dir + "/tmp'"), "");
  }
  std::ifstream queued(dir + "/queued.pdf");
  std::string head(4, '\0');
  queued.read(&head[0], 4);
  EXPECT_EQ(head, "%PDF");
  if (old_tmp)
    setenv("TMPDIR", saved_tmp.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

TEST_F(PrintTest, TwoPagesToPdfAtThePapersSize) {
  HDC dc = CreateDCA("WINSPOOL", "Quillmark", nullptr, nullptr);
  ASSERT_TRUE(dc);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 150);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1240);  // 210 mm at 150 dpi
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1754);
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  const std::string pdf = dir + "/plan.pdf";
  ASSERT_EQ(print_pages(dc, pdf.c_str(), 2), 0);
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  const QmPrintJob& job = qm_print_jobs()[0];
  EXPECT_TRUE(job.ended);
  ASSERT_EQ(job.pages.size(), 2u);
  EXPECT_EQ(job.pages[0][150 * 1240 + 150], 0xFF0000u);  // red on the first page
  EXPECT_EQ(job.pages[1][150 * 1240 + 150], 0x0000FFu);
  EXPECT_EQ(job.pages[1][0], 0xFFFFFFu);  // white paper
  EXPECT_FALSE(exists(pdf + ".part"));
  if (!have_program("pdfinfo")) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
  const std::string info = shell_output("pdfinfo '" + pdf + "'");
  int pages = 0;
  const size_t p = info.find("Pages:");
  ASSERT_NE(p, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + p, "Pages: %d", &pages), 1) << info;
  EXPECT_EQ(pages, 2);
  double w = 0, h = 0;
  const size_t at = info.find("Page size:");
  ASSERT_NE(at, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &w, &h), 2) << info;
  EXPECT_NEAR(w, 595.28, 0.5);  // A4 in points
  EXPECT_NEAR(h, 841.89, 0.5);
  DeleteDC(dc);
}

bool g_go_on = true;
BOOL abort_proc(HDC, int) { return g_go_on; }

TEST_F(PrintTest, FailuresAndAbortsLeaveNoFile) {
  HDC dc = CreateDCA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(dc);
  const std::string pdf = dir + "/out.pdf";
  struct Case {
    const char* what;
    int injected;  // QmPrintStep, or -1 for none
    bool go_on;
    int result;
  } cases[] = {
      {"start of document", static_cast<int>(QmPrintStep::kStartDoc), true, -1},
      {"start of page", static_cast<int>(QmPrintStep::kStartPage), true, -2},
      {"end of page", static_cast<int>(QmPrintStep::kEndPage), true, -3},
      {"end of document", static_cast<int>(QmPrintStep::kEndDoc), true, -4},
      {"abort procedure", -1, false, -3},
  };
  for (const Case& c : cases) {
    if (c.injected >= 0) qm_print_fail_next(static_cast<QmPrintStep>(c.injected));
    g_go_on = c.go_on;
    SetAbortProc(dc, abort_proc);
    EXPECT_EQ(print_pages(dc, pdf.c_str(), 2), c.result) << c.what;
    EXPECT_FALSE(exists(pdf)) << c.what;
    // After a failure the program abandons the job (refused when none is
    // open); the DC is then ready for the next one.
    AbortDoc(dc);
  }
  EXPECT_TRUE(qm_print_jobs().back().aborted);
  g_go_on = true;
  // A file in a folder that does not exist: the error names it.
  const std::string missing = dir + "/no/such/out.pdf";
  EXPECT_EQ(print_pages(dc, missing.c_str(), 1), -4);
  EXPECT_NE(qm_print_jobs().back().error.find(missing), std::string::npos);
  EXPECT_FALSE(qm_print_jobs().back().ended);
  // Calls out of order are refused.
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  EXPECT_EQ(EndPage(dc), SP_ERROR);
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  EXPECT_EQ(StartDocA(nullptr, nullptr), SP_ERROR);
  DeleteDC(dc);
}

TEST_F(PrintTest, PrintDialogAnswersFromItsScript) {
  PRINTDLGA pd = {};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDC | PD_NOSELECTION;
  pd.nMinPage = 1, pd.nMaxPage = 3;
  EXPECT_FALSE(PrintDlgA(&pd));  // nothing queued: cancelled
  EXPECT_EQ(pd.hDC, nullptr);
  qm_print_push_dialog_answer({true, PD_PRINTTOFILE | PD_PAGENUMS, 2, 9, 0});
  ASSERT_TRUE(PrintDlgA(&pd));
  EXPECT_TRUE(pd.Flags & PD_PRINTTOFILE);
  EXPECT_TRUE(pd.Flags & PD_NOSELECTION);  // the program's own bits stay
  EXPECT_EQ(pd.nFromPage, 2);
  EXPECT_EQ(pd.nToPage, 3);  // kept within the document
  EXPECT_EQ(pd.nCopies, 1);
  ASSERT_TRUE(pd.hDC);
  EXPECT_EQ(GetDeviceCaps(pd.hDC, TECHNOLOGY), DT_RASPRINTER);
  DeleteDC(pd.hDC);
  EXPECT_EQ(qm_print_dialogs_shown().size(), 2u);
  EXPECT_FALSE(PrintDlgA(nullptr));
}

}  // namespace
