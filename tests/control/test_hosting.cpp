// Hosting: a control makes its document, frame and view; two controls in a
// process keep their own; the current pointers never outlive their objects;
// the idle timer updates the toolbars; the bar layout survives the control;
// saving never writes through the empty document.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/control/control_fixture.h"
#include "tests/support/test_temp.h"

namespace control_test {
namespace {

TEST_F(ControlTest, EachControlHostsItsOwnDocumentFrameAndViewAndTheLastIsCurrent) {
  auto first = std::make_unique<Hosted>();
  ASSERT_TRUE(first->view());
  EXPECT_TRUE(CActiveXDocControl::doc_manager_prepared());
  EXPECT_EQ(first->view()->GetParentFrame(), first->frame());
  EXPECT_EQ(first->frame()->GetParent()->m_hWnd, first->control->m_hWnd);
  EXPECT_EQ(first->view()->GetDocument(), first->ctrl().doc_template()->m_pOnlyDoc);
  EXPECT_EQ(CQuillView::current(), first->view());

  Hosted second;
  ASSERT_TRUE(second.view());
  EXPECT_NE(second.view(), first->view());
  EXPECT_NE(second.frame(), first->frame());
  EXPECT_NE(second.view()->GetDocument(), first->view()->GetDocument());
  EXPECT_EQ(CQuillView::current(), second.view());
  EXPECT_EQ(CQuillFrame::current(), second.frame());

  // The current view and frame die with their control: nothing dangles.
  second.destroy();
  EXPECT_EQ(CQuillView::current(), nullptr);
  EXPECT_EQ(CQuillFrame::current(), nullptr);
  first.reset();
  EXPECT_EQ(qm_user_window_count(), 0u);
}

TEST_F(ControlTest, TheFrameLaysOutTheThreeToolbarsAroundTheView) {
  Hosted h(600, 400);
  CQuillFrame* f = h.frame();
  ASSERT_TRUE(f);
  CRect top, bottom, left, side, view;
  f->standard_bar().GetWindowRect(&top);
  f->creation_bar().GetWindowRect(&bottom);
  f->modify_bar().GetWindowRect(&left);
  f->side_bar().GetWindowRect(&side);
  h.view()->GetWindowRect(&view);
  EXPECT_EQ(top.top, 0);
  EXPECT_EQ(bottom.bottom, 400);
  EXPECT_EQ(left.left, 0);
  // The side bar docks on the left, between the modify bar and the view.
  EXPECT_EQ(f->side_bar().dockSide, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
  EXPECT_EQ(side.left, left.right);
  EXPECT_EQ(view.left, side.right);
  EXPECT_EQ(view.top, top.bottom);
  EXPECT_EQ(view.bottom, bottom.top);
  EXPECT_EQ(view.right, 600);
  // Each bar has its own id and its resource's buttons.
  EXPECT_EQ(f->GetControlBar(0xE800), &f->standard_bar());
  EXPECT_EQ(f->GetControlBar(0xE801), &f->creation_bar());
  EXPECT_EQ(f->GetControlBar(0xE802), &f->modify_bar());
  EXPECT_EQ(f->creation_bar().GetCount(), 24);
  EXPECT_EQ(f->standard_bar().GetCount(), 22);
  EXPECT_EQ(f->modify_bar().GetCount(), 11);
  // The fourth toolbar is never a window: no bar, no buttons.
  EXPECT_EQ(f->spare_bar().m_hWnd, nullptr);
  EXPECT_EQ(f->spare_bar().GetCount(), 0);

  // Hiding a bar gives the view its room.
  f->ShowControlBar(&f->creation_bar(), FALSE, FALSE);
  h.view()->GetWindowRect(&view);
  EXPECT_EQ(view.bottom, 400);
}

TEST_F(ControlTest, TheIdleTimerUpdatesTheToolbarsAndDiesWithTheControl) {
  Hosted h;
  QuillToolBar& bar = h.frame()->creation_bar();
  const int undo = bar.CommandToIndex(quill::kCommandUndo);
  EXPECT_GE(qm_user_timer_count(), 1u);
  // Nothing was done yet, so the first update, as soon as the control
  // shows, disables the undo button; the timer's keep it so.
  pump();
  EXPECT_TRUE(bar.GetButtonStyle(undo) & TBBS_DISABLED);
  qm_user_advance_clock(300);
  pump();
  EXPECT_TRUE(bar.GetButtonStyle(undo) & TBBS_DISABLED);
  h.destroy();
  EXPECT_EQ(qm_user_timer_count(), 0u);
}

TEST_F(ControlTest, TheBarLayoutIsSavedOnDestroyAndRestoredIntoTheNextControl) {
  {
    Hosted h;
    h.frame()->ShowControlBar(&h.frame()->creation_bar(), FALSE, FALSE);
  }
  Hosted next;
  EXPECT_FALSE(next.frame()->creation_bar().IsVisible());
  EXPECT_TRUE(next.frame()->standard_bar().IsVisible());
  EXPECT_TRUE(next.frame()->modify_bar().IsVisible());
}

TEST_F(ControlTest, ASavedLayoutNamingABarThatIsGoneIsIgnored) {
  {
    Hosted h;
    h.frame()->ShowControlBar(&h.frame()->creation_bar(), FALSE, FALSE);
  }
  // The saved layout now also names a bar no frame has.
  QmProfileStore& profile = app.Profile();
  std::string bars;
  ASSERT_TRUE(profile.Get("BarState-Summary", "Bars", &bars));
  const int n = std::stoi(bars);
  profile.Set("BarState-Summary", "Bars", std::to_string(n + 1));
  profile.Set("BarState-Bar#" + std::to_string(n), "BarID", "999");
  Hosted next;
  EXPECT_TRUE(next.frame()->creation_bar().IsVisible());
}

TEST_F(ControlTest, SavingTheDocumentNeverWritesAFileAndADirectoryOpensEmpty) {
  const std::string file = qm_test_temp("control_document.kzf");
  {
    std::ofstream out(file, std::ios::binary);
    out << "the user's drawing";
  }
  const std::string folder = qm_test_temp("control_folder");
  ::mkdir(folder.c_str(), 0755);
  {
    Hosted h;
    DocumentTemplateInControl* t = h.ctrl().doc_template();
    CDocument* doc = t->OpenDocumentFile(file.c_str(), TRUE);
    ASSERT_TRUE(doc);
    EXPECT_EQ(std::string(doc->GetPathName()), file);
    doc->SetModifiedFlag(TRUE);
    // Opening again saves the current document first: only its flag changes.
    ASSERT_TRUE(t->OpenDocumentFile(folder.c_str(), TRUE));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(std::string(t->document_path()), folder);
    EXPECT_TRUE(doc->GetPathName().IsEmpty());  // a folder opens a new empty document
    doc->SetModifiedFlag(TRUE);
  }  // destroying the control saves too
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "the user's drawing");
  std::remove(file.c_str());
  ::rmdir(folder.c_str());
}

TEST_F(ControlTest, TheDesignPictureAndTheVersion) {
  Hosted h;
  HDC screen = GetDC(nullptr);
  CDC* dc = CDC::FromHandle(screen);
  h.ctrl().OnDraw(dc, CRect(0, 0, 100, 40), CRect(0, 0, 100, 40));
  EXPECT_EQ(GetPixel(screen, 2, 2), RGB(0, 0, 0));
  ReleaseDC(nullptr, screen);
  CPropExchange saving(FALSE);
  h.ctrl().DoPropExchange(&saving);
  EXPECT_EQ(saving.GetVersion(), 0x10000u);  // 1.0
  CString name;
  EXPECT_TRUE(name.LoadString(1));
  EXPECT_STREQ(name, "Quillmark\xbb\xe6\xcd\xbc\xbf\xd8\xbc\xfe" "3.6");
}

}  // namespace
}  // namespace control_test

namespace control_test {
namespace {

TEST_F(ControlTest, EveryButtonIconAndToolCursorHasItsOwnPicture) {
  Hosted h;
  for (QuillToolBar* bar : {&h.frame()->creation_bar(), &h.frame()->standard_bar(), &h.frame()->modify_bar()})
    EXPECT_TRUE(bar->HasPictures()) << bar->GetDlgCtrlID();
  QmPixels icon;
  ASSERT_TRUE(qm_user_icon_pixels(::LoadIconA(nullptr, quill::kIconControlName), &icon));
  EXPECT_EQ(icon.width, ::GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(icon.height, ::GetSystemMetrics(SM_CYICON));
  for (const char* name : {quill::kCursorRedline, quill::kCursorZoomWindow, quill::kCursorPanIdle,
                           quill::kCursorPanHeld, quill::kCursorMeasure}) {
    QmPixels c;
    ASSERT_TRUE(qm_user_cursor_pixels(::LoadCursorA(AfxGetInstanceHandle(), name), &c)) << name;
    EXPECT_EQ(c.width, ::GetSystemMetrics(SM_CXCURSOR)) << name;
    EXPECT_EQ(c.height, ::GetSystemMetrics(SM_CYCURSOR)) << name;
    // The hot spot lies on the picture, and the picture is black and white
    // only, as an X cursor shows it.
    EXPECT_TRUE(c.hotspot.x >= 0 && c.hotspot.x < c.width && c.hotspot.y >= 0 && c.hotspot.y < c.height) << name;
    for (uint32_t p : c.argb) {
      const uint32_t rgb = p & 0xFFFFFF;
      ASSERT_TRUE((p >> 24) == 0 || rgb == 0 || rgb == 0xFFFFFF) << name << std::hex << " " << p;
    }
  }
}

TEST_F(ControlTest, ToolbarTooltipsShowWithoutTheContainersHelp) {
  Hosted h;
  QuillToolBar& bar = h.frame()->standard_bar();
  CRect first;
  bar.GetItemRect(0, &first);
  // The container pre-translates nothing: the bar's own window procedure
  // hands the mouse message to the tooltip filter.
  qm_user_mouse(bar.m_hWnd, WM_MOUSEMOVE, first.left + 3, first.top + 3);
  pump();
  EXPECT_STREQ(bar.TooltipShown(), "\xd0\xc2\xbd\xa8\xce\xc4\xbc\xfe");  // 新建文件, the new-drawing button's
}

}  // namespace
}  // namespace control_test
