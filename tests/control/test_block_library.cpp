// The block library panel over a library folder of native drawings written
// here: the listing (names without regard to case, folders counted, at most
// 49 files), the blocks of the chosen drawing or of the drawing on screen,
// inserting a library block, a borrowed drawing let go when the view's
// drawing changes, scrolling, the context menu, the layout; the library's
// own window shown, hidden and shown again; the block commands' messages.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/current_drawing.h"
#include "control/dialogs/block_library_dialog.h"
#include "control/tools/block_tools.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "tests/control/control_fixture.h"
#include "tests/support/test_temp.h"

namespace control_test {
namespace {

namespace fs = std::filesystem;

// Blocks of a fixture drawing: a name and its number of lines (0: an empty
// block, which gets no thumbnail).
using Blocks = std::vector<std::pair<std::string, int>>;

class BlockLibraryTest : public ToolTest {
 protected:
  void SetUp() override {
    kernel_ = qm_test_temp("library_kernel") + "/";
    fs::remove_all(kernel_);
    fs::create_directories(kernel_ + "lib");
    const char* was = getenv("QM_KERNEL_DIR");
    had_kernel_dir_ = was != nullptr;
    if (was) old_kernel_dir_ = was;
    setenv("QM_KERNEL_DIR", kernel_.c_str(), 1);
    AfxClearDialogs();
    ToolTest::SetUp();
  }
  void TearDown() override {
    panel_.reset();
    if (::IsWindow(panel_host_.m_hWnd)) panel_host_.DestroyWindow();
    ToolTest::TearDown();
    if (had_kernel_dir_)
      setenv("QM_KERNEL_DIR", old_kernel_dir_.c_str(), 1);
    else
      unsetenv("QM_KERNEL_DIR");
    fs::remove_all(kernel_);
  }
  std::string lib(const std::string& name) { return kernel_ + "lib/" + name; }
  // A native drawing in the library folder holding those blocks.
  void write_library(const std::string& name, const Blocks& blocks) {
    Current_Drawing keep(nullptr);  // the fixture's drawing passes without staying current
    MB_Drawing d{MB_String(name.c_str())};
    for (const auto& [block_name, lines] : blocks) {
      auto* b = new MB_Block(As_Pt(), block_name.c_str(), "d");
      for (int i = 0; i < lines; ++i) b->object_list().add_tail(new MB_Line(As_Pt(0, i, 0), As_Pt(10, i, 0)));
      d.block_list().add_tail(b);
    }
    MB_File_IO io;
    io.drawing(&d);
    std::string path = lib(name);
    ASSERT_TRUE(io.save_kzf(&path[0])) << io.reason();
  }
  // The panel as a page of a window beside the control's, filled as it
  // starts.
  BlockLibraryDialog& make_panel() {
    EXPECT_TRUE(panel_host_.CreateEx(0, nullptr, "side", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 300, 600, nullptr, nullptr));
    panel_ = std::make_unique<BlockLibraryDialog>();
    EXPECT_TRUE(panel_->Create(quill::kDialogBlockLibrary, &panel_host_));
    panel_->MoveWindow(0, 0, 200, 500);
    panel_->ShowWindow(SW_SHOW);
    pump();
    return *panel_;
  }
  std::vector<std::string> listed() {
    std::vector<std::string> names;
    auto* list = static_cast<CComboBox*>(panel_->GetDlgItem(quill::kLibraryList));
    for (int i = 0; i < list->GetCount(); ++i) {
      CString s;
      list->GetLBText(i, s);
      names.emplace_back(s);
    }
    return names;
  }
  // Chooses a library as the user does, in the list.
  void choose(const std::string& name) {
    auto* list = static_cast<CComboBox*>(panel_->GetDlgItem(quill::kLibraryList));
    const int i = list->FindStringExact(-1, name.c_str());
    ASSERT_GE(i, 0) << name;
    ASSERT_TRUE(qm_user_pick(list->m_hWnd, i));
    pump();
  }
  std::vector<std::string> thumbnails() {
    std::vector<std::string> names;
    for (int i = 0; i < panel_->strip().count(); ++i) {
      const MB_Block* b = panel_->strip().cell(i).block;
      names.emplace_back(b ? b->name().ascii() : "");
    }
    return names;
  }
  // A mouse message at a point of the strip, as the panel receives it.
  void strip_mouse(UINT msg, int x, int y) {
    CPoint p(x, y);
    panel_->strip().ClientToScreen(&p);
    panel_->ScreenToClient(&p);
    qm_user_mouse(panel_->m_hWnd, msg, p.x, p.y);
    pump();
  }
  int scroll_pos() { return static_cast<CScrollBar*>(panel_->GetDlgItem(quill::kLibraryScroll))->GetScrollPos(); }
  CString text_of(UINT id) {
    CString s;
    panel_->GetDlgItemText(static_cast<int>(id), s);
    return s;
  }
  MB_Drawing& drawing() { return *op_->drawing(); }
  int blocks_named(const char* name) {
    int n = 0;
    for (MB_Object* o = drawing().block_list().head(); o; o = o->next())
      if (o->object_id() == MB_Object::ID_BLOCK && std::string(static_cast<MB_Block*>(o)->name().ascii()) == name) ++n;
    return n;
  }

  std::string kernel_;
  bool had_kernel_dir_ = false;
  std::string old_kernel_dir_;
  CWnd panel_host_;
  std::unique_ptr<BlockLibraryDialog> panel_;
};

const std::string kOnScreen = quill::kTextLibraryCurrentDrawing;

TEST_F(BlockLibraryTest, ListsTheNativeFilesOfTheLibFolderWithoutRegardToCase) {
  write_library("b.qlf", {{"B1", 1}});
  write_library("A.QLF", {{"A1", 1}});
  write_library("c.Qlf", {{"C1", 1}});
  write_library("plan.dxf.txt", {{"X", 1}});
  fs::create_directories(lib("folder.qlf"));
  make_panel();
  EXPECT_EQ(listed(), (std::vector<std::string>{"A.QLF", "b.qlf", "c.Qlf", kOnScreen}));
  EXPECT_EQ(text_of(quill::kLibraryBlockName), "name");
  EXPECT_EQ(text_of(quill::kLibraryAngle), "0.");
  EXPECT_EQ(text_of(quill::kLibraryScaleX), "1.");
  EXPECT_EQ(text_of(quill::kLibraryScaleY), "1.");
  EXPECT_EQ(panel_->library_drawing(), nullptr);
}

TEST_F(BlockLibraryTest, ListsOnlyTheFilesAmongTheFirst49Entries) {
  write_library("d00.qlf", {{"D", 1}});
  // Five folders come first in name order: they count but are not listed.
  for (int i = 0; i < 5; ++i) fs::create_directories(lib("c" + std::to_string(i) + ".qlf"));
  for (int i = 1; i < 55; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "d%02d.qlf", i);
    fs::copy_file(lib("d00.qlf"), lib(name));
  }
  make_panel();
  const std::vector<std::string> names = listed();
  ASSERT_EQ(names.size(), 44u + 1u);
  EXPECT_EQ(names.front(), "d00.qlf");
  EXPECT_EQ(names[43], "d43.qlf");
  EXPECT_EQ(names.back(), kOnScreen);
}

TEST_F(BlockLibraryTest, ShowsTheNonEmptyBlocksOfTheChosenDrawingAndFreesTheOneBefore) {
  write_library("doors.qlf", {{"Door", 2}, {"Empty", 0}, {"Window", 1}, {"Gate", 3}});
  write_library("trees.qlf", {{"Oak", 1}});
  make_panel();
  MB_Drawing* on_view = op_->drawing();
  choose("doors.qlf");
  EXPECT_EQ(panel_->library_name, "doors.qlf");
  EXPECT_EQ(thumbnails(), (std::vector<std::string>{"Door", "Window", "Gate"}));
  EXPECT_TRUE(panel_->owns_drawing());
  EXPECT_EQ(g_current_drawing, on_view) << "the view's drawing is current again";
  EXPECT_EQ(panel_->strip().cell(1).height, 80);
  int lo = -1, hi = -1;
  static_cast<CScrollBar*>(panel_->GetDlgItem(quill::kLibraryScroll))->GetScrollRange(&lo, &hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 3);

  // The name is looked up without regard to case; the drawing shown before
  // is freed (the sanitizer sees it freed once).
  panel_->LoadLibraryDrawing("TREES.QLF");
  EXPECT_EQ(thumbnails(), (std::vector<std::string>{"Oak"}));
  EXPECT_EQ(g_current_drawing, on_view);

  // A file gone since the listing changes nothing; one that cannot be read
  // shows no blocks.
  MB_Drawing* shown = panel_->library_drawing();
  panel_->LoadLibraryDrawing("gone.qlf");
  EXPECT_EQ(panel_->library_drawing(), shown);
  EXPECT_EQ(thumbnails(), (std::vector<std::string>{"Oak"}));
  std::ofstream(lib("broken.qlf")) << "not a drawing";
  panel_->LoadLibraryDrawing("broken.qlf");
  EXPECT_EQ(panel_->library_drawing(), nullptr);
  EXPECT_EQ(panel_->strip().count(), 0);
  EXPECT_EQ(g_current_drawing, on_view);

  // A cut-short drawing, a folder and a pipe named like drawings are read
  // as nothing, without waiting on the pipe.
  write_library("cut.qlf", {{"Door", 2}, {"Gate", 3}});
  std::filesystem::resize_file(lib("cut.qlf"), std::filesystem::file_size(lib("cut.qlf")) / 2);
  std::filesystem::create_directory(lib("folder.qlf"));
  ASSERT_EQ(::mkfifo(lib("pipe.qlf").c_str(), 0600), 0);
  for (const char* name : {"cut.qlf", "folder.qlf", "pipe.qlf"}) {
    panel_->LoadLibraryDrawing(name);
    EXPECT_EQ(panel_->library_drawing(), nullptr) << name;
    EXPECT_EQ(panel_->strip().count(), 0) << name;
    EXPECT_EQ(g_current_drawing, on_view) << name;
  }
}

TEST_F(BlockLibraryTest, TheOnScreenEntryBorrowsTheViewsDrawingUntilTheViewLetsItGo) {
  write_library("trees.qlf", {{"Oak", 1}});
  std::string other = lib("other.qlf");
  {
    Current_Drawing keep(nullptr);
    MB_Drawing d{MB_String("other")};
    d.add_object(new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 1, 0)));
    MB_File_IO io;
    io.drawing(&d);
    ASSERT_TRUE(io.save_kzf(&other[0]));
  }
  auto* own = new MB_Block(As_Pt(), "Own", "d");
  own->object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(5, 0, 0)));
  drawing().block_list().add_tail(own);
  make_panel();
  MB_Drawing* first = op_->drawing();
  choose(kOnScreen);
  EXPECT_EQ(panel_->library_drawing(), first);
  EXPECT_FALSE(panel_->owns_drawing());
  EXPECT_EQ(thumbnails(), (std::vector<std::string>{"Own"}));

  // Choosing another library never frees the view's drawing.
  choose("trees.qlf");
  EXPECT_EQ(op_->drawing(), first);
  EXPECT_EQ(drawing().find_block("Own"), own);
  choose(kOnScreen);

  // The view opens another drawing: the panel lets the old one go at once
  // and then neither shows nor frees it.
  hosted_->view()->OpenDrawingByExtension(other.c_str());
  ASSERT_NE(op_->drawing(), nullptr);
  EXPECT_EQ(panel_->library_drawing(), nullptr);
  EXPECT_EQ(panel_->strip().count(), 0);
  CRect client;
  panel_->strip().GetClientRect(&client);
  panel_->strip().Invalidate();
  pump();  // paints the empty strip
  choose("trees.qlf");
  EXPECT_EQ(thumbnails(), (std::vector<std::string>{"Oak"}));

  // The same when the view itself goes.
  choose(kOnScreen);
  EXPECT_EQ(panel_->library_drawing(), op_->drawing());
  hosted_.reset();
  op_ = nullptr;
  EXPECT_EQ(panel_->library_drawing(), nullptr);
  EXPECT_EQ(panel_->strip().count(), 0);
}

TEST_F(BlockLibraryTest, ALibraryBlockInsertedTwiceIsCopiedOnce) {
  write_library("doors.qlf", {{"Door", 2}, {"Gate", 3}});
  write_library("trees.qlf", {{"Oak", 1}});
  make_panel();
  choose("doors.qlf");
  const int blocks_before = drawing().block_list().count();
  for (int round = 0; round < 2; ++round) {
    strip_mouse(WM_LBUTTONDBLCLK, 43, 126);  // the second cell: Gate
    EXPECT_EQ(text_of(quill::kLibraryBlockName), "Gate");
    auto* tool = dynamic_cast<InsertBlockTool*>(op_->get_active_tool());
    ASSERT_NE(tool, nullptr) << round;
    EXPECT_EQ(tool->tag(), quill::kToolInsertBlock);
    EXPECT_STREQ(tool->title().ascii(), "Create insert");
    ASSERT_NE(tool->prototype(), nullptr);
    // The library drawing may go before the click: the tool needs it no more.
    if (round == 1) choose("trees.qlf");
    at(WM_LBUTTONDOWN, 100 + 60 * round, 100);
    at(WM_LBUTTONUP, 100 + 60 * round, 100);
  }
  EXPECT_EQ(drawing().block_list().count(), blocks_before + 1);
  EXPECT_EQ(blocks_named("Gate"), 1);
  MB_Block* copy = drawing().find_block("Gate");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->object_list().count(), 3);
  ASSERT_EQ(count(), 2);
  for (MB_Object* o = entities().head(); o; o = o->next()) {
    ASSERT_EQ(o->object_id(), MB_Object::ID_INSERT);
    EXPECT_EQ(static_cast<MB_Insert*>(o)->block(), copy);
  }
  // A press on no cell, or a double-click there, starts nothing more.
  op_->clear_all_tools();
  strip_mouse(WM_LBUTTONDBLCLK, 43, 400);
  EXPECT_EQ(op_->get_active_tool(), nullptr);
}

TEST_F(BlockLibraryTest, ABlockInsertingOthersBringsThemAlongAndKeepsNoLinkToTheLibrary) {
  // "Window" inserts "Pane" and "Sash"; the drawing has a "Pane" of its own
  // already (named in other case).
  {
    Current_Drawing keep(nullptr);
    MB_Drawing d{MB_String("nested")};
    auto* pane = new MB_Block(As_Pt(), "Pane", "d");
    pane->object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 0, 0)));
    auto* sash = new MB_Block(As_Pt(), "Sash", "d");
    sash->object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(0, 1, 0)));
    auto* window = new MB_Block(As_Pt(), "Window", "d");
    d.block_list().add_tail(pane);
    d.block_list().add_tail(sash);
    d.block_list().add_tail(window);
    for (MB_Block* inner : {pane, sash}) {
      auto* insert = new MB_Insert(As_Pt(2, 0, 0), 0.0, 1.0, 1.0, 1.0);
      insert->block(inner);
      insert->build_transf();
      window->object_list().add_tail(insert);
    }
    MB_File_IO io;
    io.drawing(&d);
    std::string path = lib("nested.qlf");
    ASSERT_TRUE(io.save_kzf(&path[0]));
  }
  write_library("trees.qlf", {{"Oak", 1}});
  auto* own_pane = new MB_Block(As_Pt(), "PANE", "mine");
  own_pane->object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(3, 0, 0)));
  drawing().block_list().add_tail(own_pane);
  make_panel();
  choose("nested.qlf");
  ASSERT_EQ(thumbnails(), (std::vector<std::string>{"Pane", "Sash", "Window"}));
  strip_mouse(WM_LBUTTONDBLCLK, 43, 209);
  ASSERT_NE(dynamic_cast<InsertBlockTool*>(op_->get_active_tool()), nullptr);
  choose("trees.qlf");  // the library drawing goes
  at(WM_LBUTTONDOWN, 120, 120);
  hosted_->view()->Invalidate();
  pump();  // draws the placed insert through its blocks

  MB_Block* window = drawing().find_block("Window");
  MB_Block* sash = drawing().find_block("Sash");
  ASSERT_NE(window, nullptr);
  ASSERT_NE(sash, nullptr);
  EXPECT_EQ(blocks_named("Pane") + blocks_named("PANE"), 1) << "the drawing's own is used";
  std::vector<MB_Block*> bound;
  for (MB_Object* o = window->object_list().head(); o; o = o->next())
    bound.push_back(static_cast<MB_Insert*>(o)->block());
  EXPECT_EQ(bound, (std::vector<MB_Block*>{own_pane, sash}));
  ASSERT_EQ(count(), 1);
  EXPECT_EQ(static_cast<MB_Insert*>(entities().head())->block(), window);
}

TEST_F(BlockLibraryTest, ScrollingStaysWithinTheCellsAndTheWheelGoesByItsSign) {
  write_library("many.qlf", {{"A", 1}, {"B", 1}, {"C", 1}});
  make_panel();
  choose("many.qlf");
  const auto scroll = [&](UINT code, int pos = 0) {
    ::SendMessageA(panel_->m_hWnd, WM_VSCROLL, MAKEWPARAM(code, pos),
                   reinterpret_cast<LPARAM>(::GetDlgItem(panel_->m_hWnd, quill::kLibraryScroll)));
  };
  const struct {
    UINT code;
    int pos;
    int want;
  } steps[] = {{SB_LINEUP, 0, 0},      {SB_LINEDOWN, 0, 1},      {SB_PAGEDOWN, 0, 2}, {SB_LINEDOWN, 0, 2},
               {SB_THUMBTRACK, 50, 2}, {SB_THUMBPOSITION, 1, 1}, {SB_PAGEUP, 0, 0}};
  for (const auto& s : steps) {
    scroll(s.code, s.pos);
    EXPECT_EQ(scroll_pos(), s.want) << s.code;
    EXPECT_EQ(panel_->strip().y_offset(), -s.want * 83) << s.code;
    EXPECT_EQ(panel_->strip().cell(0).cy, 43 - s.want * 83) << s.code;
  }
  const struct {
    int delta;
    int want;
  } turns[] = {{120, 1}, {240, 2}, {-120, 1}, {-240, 0}, {60, 1}, {-60, 0}, {-120, 0}};
  for (const auto& t : turns) {
    qm_user_wheel(panel_->m_hWnd, t.delta, 10, 10);
    pump();
    EXPECT_EQ(scroll_pos(), t.want) << t.delta;
  }
  // Scrolled by one, the first cell in view is the second block.
  scroll(SB_LINEDOWN);
  strip_mouse(WM_LBUTTONDOWN, 43, 43);
  EXPECT_EQ(text_of(quill::kLibraryBlockName), "B");
}

TEST_F(BlockLibraryTest, TheLayoutFollowsThePanelsSize) {
  make_panel();
  panel_->MoveWindow(0, 0, 200, 400);
  const auto rect_of = [&](UINT id) {
    CRect r;
    panel_->GetDlgItem(static_cast<int>(id))->GetWindowRect(&r);
    panel_->ScreenToClient(&r);
    return r;
  };
  EXPECT_EQ(rect_of(quill::kLibraryStrip), CRect(0, 0, 185, 300));
  EXPECT_EQ(rect_of(quill::kLibraryScroll), CRect(185, 0, 200, 300));
  const struct {
    UINT label, field;
    int top;
  } rows[] = {{quill::kLibraryListLabel, quill::kLibraryList, 300},
              {quill::kLibraryBlockNameLabel, quill::kLibraryBlockName, 317},
              {quill::kLibraryAngleLabel, quill::kLibraryAngle, 334},
              {quill::kLibraryScaleXLabel, quill::kLibraryScaleX, 351},
              {quill::kLibraryScaleYLabel, quill::kLibraryScaleY, 368}};
  for (const auto& r : rows) {
    EXPECT_EQ(rect_of(r.label), CRect(0, r.top, 50, r.top + 15)) << r.label;
    EXPECT_EQ(rect_of(r.field), CRect(55, r.top, 185, r.top + 15)) << r.field;
  }
  // The last row ends on the panel's bottom edge, inside it.
  EXPECT_EQ(rect_of(quill::kLibraryExplode), CRect(0, 385, 50, 400));
}

TEST_F(BlockLibraryTest, TheContextMenuOffersHideAndDocking) {
  make_panel();
  qm_user_clear_popups();
  qm_user_mouse(panel_->m_hWnd, WM_RBUTTONDOWN, 30, 40);
  pump();
  ASSERT_EQ(qm_user_popups_shown().size(), 1u);
  const QmPopupShown& shown = qm_user_popups_shown()[0];
  CPoint at(30, 40);
  panel_->ClientToScreen(&at);
  EXPECT_EQ(CPoint(shown.x, shown.y), at);
  EXPECT_EQ(shown.owner, panel_->m_hWnd);
  ASSERT_EQ(shown.items.size(), 3u);
  const std::pair<UINT, const char*> items[] = {
      {32777, quill::kTextLibraryHide}, {32782, quill::kTextLibraryDockLeft}, {32784, quill::kTextLibraryDockRight}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(shown.items[i].id, items[i].first);
    EXPECT_EQ(shown.items[i].text, items[i].second);
  }
  // On a page, hiding is the side panel's business: the page stays.
  qm_user_push_popup_answer(quill::kCommandLibraryHide);
  qm_user_mouse(panel_->m_hWnd, WM_RBUTTONDOWN, 30, 40);
  pump();
  EXPECT_TRUE(panel_->IsWindowVisible());
}

TEST_F(BlockLibraryTest, TheLibraryWindowIsMadeOnceAndShownAgainAfterBeingHidden) {
  write_library("trees.qlf", {{"Oak", 1}});
  quill_show_block_library(0);  // nothing to hide yet
  EXPECT_EQ(quill_block_library_window(), nullptr);
  // The side panel's library page is made from the same template.
  const auto windows_made = [] {
    int n = 0;
    for (const QmDialogShown& d : AfxDialogsShown()) n += d.id == quill::kDialogBlockLibrary;
    return n;
  };
  const int pages = windows_made();

  quill_show_block_library(1);
  BlockLibraryDialog* window = quill_block_library_window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsWindowVisible());
  EXPECT_EQ(window->GetStyle() & WS_CHILD, 0u) << "a window of its own";
  EXPECT_EQ(::GetWindow(window->m_hWnd, GW_OWNER), hosted_->host.m_hWnd);
  EXPECT_EQ(windows_made() - pages, 1);
  const struct {
    short flag;
    bool visible;
  } calls[] = {{0, false}, {1, true}, {1, true}, {2, false}, {-1, false}, {1, true}};
  for (const auto& c : calls) {
    quill_show_block_library(c.flag);
    EXPECT_EQ(quill_block_library_window(), window) << c.flag;
    EXPECT_EQ(window->IsWindowVisible() != FALSE, c.visible) << c.flag;
  }
  EXPECT_EQ(windows_made() - pages, 1) << "made once";

  // Its own menu's "hide" hides it; it lists the library like the page.
  qm_user_push_popup_answer(quill::kCommandLibraryHide);
  qm_user_mouse(window->m_hWnd, WM_RBUTTONDOWN, 5, 5);
  pump();
  EXPECT_FALSE(window->IsWindowVisible());
  quill_show_block_library(1);
  EXPECT_TRUE(window->IsWindowVisible());

  // It goes with its owner, holding a library drawing of its own.
  auto* list = static_cast<CComboBox*>(window->GetDlgItem(quill::kLibraryList));
  ASSERT_EQ(list->GetCount(), 2);
  ASSERT_TRUE(qm_user_pick(list->m_hWnd, 0));
  pump();
  EXPECT_TRUE(window->owns_drawing());
  hosted_->destroy();
  EXPECT_EQ(quill_block_library_window(), nullptr);
}

TEST_F(BlockLibraryTest, TheBlockCommandsTellWhatIsMissing) {
  const struct {
    UINT command;
    const char* message;
  } refused[] = {{quill::kCommandInsertBlock, quill::kTextNoBlocks},
                 {quill::kCommandCreateBlock, quill::kTextSelectBeforeBlock}};
  for (const auto& r : refused) {
    qm_user_clear_message_boxes();
    command(r.command);
    ASSERT_EQ(qm_user_message_boxes().size(), 1u) << r.command;
    EXPECT_EQ(qm_user_message_boxes()[0].text, r.message);
    EXPECT_EQ(op_->get_active_tool(), nullptr) << r.command;
    for (const QmDialogShown& d : AfxDialogsShown()) EXPECT_TRUE(d.id != 207 && d.id != 209) << "no dialog opens";
  }
  // With a block (even an empty one) and a selection, both start their tools
  // (their dialogs are cancelled), and neither button is ever checked.
  drawing().block_list().add_tail(new MB_Block(As_Pt(), "Empty", "d"));
  auto* line = new MB_Line(As_Pt(0, 0, 0), As_Pt(5, 0, 0));
  line->build_draw();
  entities().add_tail(line);
  op_->add_entity_to_selection(line, false);
  const std::pair<UINT, long> started[] = {{quill::kCommandInsertBlock, quill::kToolInsertBlock},
                                           {quill::kCommandCreateBlock, quill::kToolCreateBlock}};
  for (const auto& [id, tool] : started) {
    qm_user_clear_message_boxes();
    command(id);
    EXPECT_TRUE(qm_user_message_boxes().empty()) << id;
    if (tool == quill::kToolInsertBlock) {
      EXPECT_EQ(op_->get_active_tool_id(), tool);
    }
    QmStateCmdUI probe;
    probe.checked = -1;  // never told
    probe.m_nID = id;
    hosted_->view()->OnCmdMsg(id, static_cast<int>(CN_UPDATE_COMMAND_UI), &probe, nullptr);
    EXPECT_EQ(probe.checked, -1) << id;
  }
}

}  // namespace
}  // namespace control_test
