// The class library's print job on the stand-in printer: page ranges and
// the rule that ends a print of unknown length after its first page, the
// progress dialog's texts, cancelling, failures, printing to a PDF file
// (checked with poppler's pdfinfo), and a view's print command.
#include <afxprint.h>
#include <gtest/gtest.h>
#include <qm_print.h>
#include <qm_user.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/print_watch.h"
#include "tests/support/test_temp.h"
#include "tests/support/shell_output.h"

namespace {

// A document of `pages` pages (0: its length is not known); each page is a
// filled square and the progress texts are noted as each page starts.
class PagesJob : public CPrintJob {
 public:
  explicit PagesJob(UINT pages_count, DWORD ms_per_page = 0) : pages(pages_count), ms(ms_per_page) {}
  UINT pages;
  DWORD ms;
  std::vector<UINT> printed;
  std::vector<std::string> page_texts, percents;
  std::vector<CRect> rects;
  int began = 0, ended = 0;

  BOOL OnPreparePrinting(CPrintInfo* info, BOOL) override {
    if (pages) info->SetMaxPage(pages);
    return DoPreparePrinting(info);
  }
  void OnBeginPrinting(CDC*, CPrintInfo*) override { ++began; }
  void OnEndPrinting(CDC*, CPrintInfo*) override { ++ended; }
  void OnPrint(CDC* dc, CPrintInfo* info) override {
    printed.push_back(info->m_nCurPage);
    rects.push_back(info->m_rectDraw);
    HWND dlg = PrintWatch::progress_dialog();
    char buf[256] = {};
    GetWindowTextA(GetDlgItem(dlg, static_cast<int>(AFX_IDC_PRINT_PAGE)), buf, sizeof buf);
    page_texts.push_back(buf);
    GetWindowTextA(GetDlgItem(dlg, static_cast<int>(AFX_IDC_PRINT_PERCENT)), buf, sizeof buf);
    percents.push_back(buf);
    CRect r(100, 100, 300, 300);
    dc->FillSolidRect(&r, RGB(0, 0, 0));
    clock += ms;
  }

 protected:
  DWORD TickCount() const override { return clock; }
  DWORD clock = 5000;
};

class PrintJobTest : public ::testing::Test {
 protected:
  void SetUp() override { qm_print_reset(); }
  void TearDown() override {
    AfxDeleteTempObjects();
    qm_user_reset();
    qm_print_reset();
  }
  CWinApp app{"print-test"};
};

TEST_F(PrintJobTest, PageRangesAndTheUnknownLength) {
  struct Case {
    const char* what;
    UINT pages;  // 0: not known
    DWORD flags;
    WORD from, to;
    std::vector<UINT> printed;
    const char* first_page_text;
    const char* first_percent;
  } cases[] = {
      {"all of three", 3, PD_ALLPAGES, 1, 3, {1, 2, 3}, "Page 1 of 3, ?? left to end ..", "33 %"},
      {"one page", 3, PD_PAGENUMS, 2, 2, {2}, "Page 1 of 1,  left to end ..", "100 %"},
      {"the last two", 3, PD_PAGENUMS, 2, 3, {2, 3}, "Page 1 of 2, ?? left to end ..", "50 %"},
      {"all of unknown length", 0, PD_ALLPAGES, 1, 65535, {1}, "Page 1 of 65534, ?? left to end ..", "0 %"},
      {"1-2 of unknown length", 0, PD_PAGENUMS, 1, 2, {1}, "Page 1 of 2, ?? left to end ..", "50 %"},
      {"2-3 of unknown length", 0, PD_PAGENUMS, 2, 3, {}, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    qm_print_reset();
    qm_print_push_dialog_answer({true, c.flags, c.from, c.to, 1});
    PagesJob job(c.pages);
    job.Print();
    EXPECT_EQ(job.printed, c.printed) << c.what;
    ASSERT_EQ(qm_print_jobs().size(), 1u) << c.what;
    EXPECT_TRUE(qm_print_jobs()[0].ended) << c.what;
    EXPECT_EQ(qm_print_jobs()[0].pages.size(), c.printed.size()) << c.what;
    EXPECT_EQ(qm_print_jobs()[0].name, "senza nome") << c.what;
    EXPECT_EQ(job.began, 1) << c.what;
    EXPECT_EQ(job.ended, 1) << c.what;
    EXPECT_EQ(PrintWatch::progress_dialog(), nullptr) << c.what;
    if (!c.first_page_text) continue;
    ASSERT_FALSE(job.page_texts.empty()) << c.what;
    EXPECT_EQ(job.page_texts[0], c.first_page_text) << c.what;
    EXPECT_EQ(job.percents[0], c.first_percent) << c.what;
    // The whole page of the 150 dpi A4 printer.
    EXPECT_EQ(job.rects[0], CRect(0, 0, 1240, 1754)) << c.what;
  }
}

TEST_F(PrintJobTest, TimeLeftFromTheAveragePage) {
  struct Case {
    DWORD ms_per_page;
    const char* second_page_text;
  } cases[] = {
      {1000, "Page 2 of 3, 2 secondi left to end .."},
      {400, "Page 2 of 3, ?? left to end .."},  // under a second
      {40000, "Page 2 of 3, 1 minuti, 20 secondi left to end .."},
  };
  for (const Case& c : cases) {
    qm_print_reset();
    qm_print_push_dialog_answer({true, PD_ALLPAGES, 1, 3, 1});
    PagesJob job(3, c.ms_per_page);
    job.Print();
    ASSERT_EQ(job.page_texts.size(), 3u);
    EXPECT_EQ(job.page_texts[1], c.second_page_text);
    EXPECT_EQ(job.percents[1], "66 %");
    EXPECT_EQ(job.percents[2], "100 %");
  }
}

TEST_F(PrintJobTest, TheProgressDialogWhilePrinting) {
  CWnd main;
  ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  app.m_pMainWnd = &main;
  qm_print_push_dialog_answer({true, PD_PAGENUMS, 1, 1, 1});
  PrintWatch watch;
  PagesJob job(2);
  job.m_strTitle = "Plan";
  job.Print();
  ASSERT_TRUE(watch.seen.seen);
  EXPECT_EQ(watch.seen.caption, "Stampa di Plan in corso ..");
  EXPECT_EQ(watch.seen.document, "Printing Plan on Quillmark Page Printer on port LPT1:  ..");
  EXPECT_EQ(watch.seen.page, "Page 1 of 1,  left to end ..");
  EXPECT_EQ(watch.seen.percent, "100 %");
  EXPECT_EQ(watch.seen.position, 1);
  EXPECT_FALSE(watch.seen.main_window_enabled);
  EXPECT_TRUE(main.IsWindowEnabled());  // given back at the end
  EXPECT_EQ(PrintWatch::progress_dialog(), nullptr);
  ASSERT_FALSE(AfxDialogsShown().empty());
  EXPECT_EQ(AfxDialogsShown().back().id, AFX_IDD_PRINT_PROGRESS);
  EXPECT_EQ(AfxDialogsShown().back().caption, "\xd5\xfd\xd4\xda\xb4\xf2\xd3\xa1\xd6\xd0...");  // 正在打印中...
  app.m_pMainWnd = nullptr;
}

TEST_F(PrintJobTest, CancelEndsAfterThePageInProgress) {
  CWnd main;
  ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  app.m_pMainWnd = &main;
  qm_print_push_dialog_answer({true, PD_ALLPAGES, 1, 3, 1});
  PrintWatch watch(true);
  PagesJob job(3);
  job.Print();
  EXPECT_TRUE(watch.seen.seen);
  EXPECT_EQ(job.printed, std::vector<UINT>{1});
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  EXPECT_TRUE(qm_print_jobs()[0].aborted);
  EXPECT_FALSE(qm_print_jobs()[0].ended);
  EXPECT_TRUE(CPrintJob::UserAborted());
  EXPECT_EQ(job.ended, 1);
  EXPECT_TRUE(main.IsWindowEnabled());
  EXPECT_EQ(PrintWatch::progress_dialog(), nullptr);
  app.m_pMainWnd = nullptr;
  // The next print starts with the flag clear.
  qm_print_push_dialog_answer({true, PD_ALLPAGES, 1, 3, 1});
  PagesJob again(3);
  again.Print();
  EXPECT_EQ(again.printed, (std::vector<UINT>{1, 2, 3}));
}

TEST_F(PrintJobTest, NothingWhenADialogIsCancelled) {
  PagesJob job(2);
  job.Print();  // no answer queued: the print dialog is cancelled
  EXPECT_TRUE(qm_print_jobs().empty());
  EXPECT_EQ(job.began, 0);
  qm_print_push_dialog_answer({true, PD_PRINTTOFILE, 1, 2, 1});
  job.Print();  // the print-to-file dialog is cancelled
  EXPECT_TRUE(qm_print_jobs().empty());
  EXPECT_EQ(job.began, 0);
  EXPECT_TRUE(qm_user_message_boxes().empty());
  ASSERT_EQ(qm_user_file_dialogs().size(), 1u);
  const QmFileDialog& f = qm_user_file_dialogs()[0];
  EXPECT_TRUE(f.save);
  EXPECT_EQ(f.title, "Print to File");
  EXPECT_EQ(f.default_ext, "pdf");
  EXPECT_EQ(f.initial_file, "Output.pdf");
  EXPECT_EQ(f.filter, std::string("PDF Files (*.pdf)\0*.pdf\0All Files (*.*)\0*.*", 43));
  EXPECT_EQ(f.flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), DWORD(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
}

TEST_F(PrintJobTest, FailuresOfThePrinter) {
  struct Case {
    QmPrintStep step;
    bool message;  // the failed-to-start message
    size_t pages;
  } cases[] = {
      {QmPrintStep::kStartDoc, true, 0},
      {QmPrintStep::kStartPage, false, 0},
      {QmPrintStep::kEndPage, false, 0},
  };
  for (const Case& c : cases) {
    qm_print_reset();
    qm_user_clear_message_boxes();
    qm_print_fail_next(c.step);
    qm_print_push_dialog_answer({true, PD_ALLPAGES, 1, 2, 1});
    PagesJob job(2);
    job.Print();
    EXPECT_EQ(job.ended, 1);
    EXPECT_EQ(PrintWatch::progress_dialog(), nullptr);
    ASSERT_EQ(qm_user_message_boxes().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(qm_user_message_boxes()[0].text, "Failed to start printing.");
      EXPECT_TRUE(qm_print_jobs().empty());
    } else {
      ASSERT_EQ(qm_print_jobs().size(), 1u);
      EXPECT_TRUE(qm_print_jobs()[0].aborted);
      EXPECT_EQ(qm_print_jobs()[0].pages.size(), c.pages);
    }
  }
}

TEST_F(PrintJobTest, TwoPagesToAPdfFile) {
  const std::string pdf = qm_test_temp("two_pages.pdf");
  std::remove(pdf.c_str());
  qm_print_push_dialog_answer({true, PD_PRINTTOFILE | PD_ALLPAGES, 1, 2, 1});
  qm_user_push_file_dialog_answer(pdf.c_str());
  PrintWatch watch;
  PagesJob job(2);
  job.m_strTitle = "Plan";
  job.Print();
  EXPECT_EQ(watch.seen.document, "Printing Plan on Quillmark Page Printer on file " + pdf + "  ..");
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  EXPECT_EQ(qm_print_jobs()[0].output, pdf);
  EXPECT_TRUE(qm_print_jobs()[0].ended);
  if (!have_program("pdfinfo")) {
    std::remove(pdf.c_str());
    GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
  }
  const std::string info = shell_output("pdfinfo '" + pdf + "'");
  std::remove(pdf.c_str());
  const size_t at = info.find("Pages:");
  ASSERT_NE(at, std::string::npos) << info;
  int pages = 0;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Pages: %d", &pages), 1);
  EXPECT_EQ(pages, 2);
}

// A job the program stops at the file it was given, and one whose file
// cannot be written: nothing is printed in the first, and the second tells
// the user the file and the reason.
TEST_F(PrintJobTest, APrintToFileCanBeRefusedAndAFileThatFailsIsTold) {
  struct Refusing : PagesJob {
    Refusing() : PagesJob(1) {}
    std::string asked;
    BOOL OnPrintToFile(const CString& path) override {
      asked = static_cast<LPCSTR>(path);
      return FALSE;
    }
  } refusing;
  qm_print_push_dialog_answer({true, PD_PRINTTOFILE | PD_ALLPAGES, 1, 1, 1});
  qm_user_push_file_dialog_answer("kept.pdf");
  refusing.Print();
  EXPECT_EQ(refusing.asked, "kept.pdf");
  EXPECT_TRUE(qm_print_jobs().empty());
  EXPECT_EQ(refusing.began, 0);

  const std::string folder = qm_test_temp("print_into_a_folder");
  std::filesystem::create_directories(folder);
  qm_user_clear_message_boxes();
  qm_print_push_dialog_answer({true, PD_PRINTTOFILE | PD_ALLPAGES, 1, 1, 1});
  qm_user_push_file_dialog_answer(folder.c_str());
  PagesJob failing(1);
  failing.Print();
  std::filesystem::remove_all(folder);
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  EXPECT_FALSE(qm_print_jobs()[0].ended);
  ASSERT_EQ(qm_user_message_boxes().size(), 1u);
  EXPECT_EQ(qm_user_message_boxes()[0].text, folder + ": is a directory");
}

// A view whose print command runs through the class library's own handler.
class PagesView : public CView {
  DECLARE_MESSAGE_MAP()
 public:
  std::vector<UINT> printed;
  void OnDraw(CDC*) override {}
  BOOL OnPreparePrinting(CPrintInfo* info) override {
    info->SetMaxPage(2);
    return DoPreparePrinting(info);
  }
  void OnPrint(CDC*, CPrintInfo* info) override { printed.push_back(info->m_nCurPage); }
};
BEGIN_MESSAGE_MAP(PagesView, CView)
ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
END_MESSAGE_MAP()

TEST_F(PrintJobTest, AViewsPrintCommand) {
  auto* view = new PagesView;  // a view deletes itself with its window
  ASSERT_TRUE(view->CreateEx(0, nullptr, "view", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  qm_print_push_dialog_answer({true, PD_ALLPAGES, 1, 2, 1});
  view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
  EXPECT_EQ(view->printed, (std::vector<UINT>{1, 2}));
  ASSERT_EQ(qm_print_jobs().size(), 1u);
  EXPECT_EQ(qm_print_jobs()[0].pages.size(), 2u);
  view->DestroyWindow();
}

}  // namespace
