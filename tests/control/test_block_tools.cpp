// The block tools with their dialogs and the thumbnail strip: inserting a
// block chosen in the insert dialog or handed over by a library, defining a
// block of the selection, and the strip's layout, selection and painting.
#include <cmath>
#include <string>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/dialogs/block_dialogs.h"
#include "control/dialogs/block_preview_static.h"
#include "control/tools/block_tools.h"
#include "control/tools/tool_commands.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "display/mb_draw_render.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

// ---- The strip ----

TEST(BlockThumbnailCell, CornersAndHitsIncludeTheEdges) {
  BlockThumbnailCell c;
  EXPECT_EQ(c.width, 40);
  EXPECT_EQ(c.height, 40);
  c.cx = 100, c.cy = 50, c.width = 80, c.height = 80;
  EXPECT_EQ(c.rect(), CRect(60, 10, 140, 90));
  EXPECT_TRUE(c.hit(60, 10));
  EXPECT_TRUE(c.hit(140, 90));
  EXPECT_FALSE(c.hit(141, 50));
  EXPECT_FALSE(c.hit(100, 9));
}

TEST(BlockPreviewStatic, LaysCellsOutInAColumnUnlessWiderThanTall) {
  BlockPreviewStatic strip;
  for (int i = 0; i < 3; ++i) strip.add_cell(nullptr);
  const CPoint column[] = {{43, 43}, {43, 126}, {43, 209}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(CPoint(strip.cell(i).cx, strip.cell(i).cy), column[i]) << i;
    EXPECT_EQ(strip.cell(i).width, 80);
  }
  strip.y_offset(-83);
  strip.layout();
  EXPECT_EQ(strip.cell(1).cy, 43);

  strip.size_to(400, 97);
  strip.y_offset(0);
  strip.x_offset(-83);
  strip.layout();
  const CPoint row[] = {{-40, 43}, {43, 43}, {126, 43}};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(CPoint(strip.cell(i).cx, strip.cell(i).cy), row[i]) << i;
}

TEST(BlockPreviewStatic, ControlClickTogglesOneCellAndAPlainClickSelectsOnlyOne) {
  BlockPreviewStatic strip;
  for (int i = 0; i < 3; ++i) strip.add_cell(nullptr);
  constexpr UINT kCtrlClick = MK_LBUTTON | MK_CONTROL;
  ASSERT_NE(strip.select_at(43, 43, kCtrlClick), nullptr);
  ASSERT_NE(strip.select_at(43, 126, kCtrlClick), nullptr);
  EXPECT_TRUE(strip.cell(0).selected && strip.cell(1).selected);
  EXPECT_EQ(strip.select_at(43, 43, kCtrlClick), &strip.cell(0));
  EXPECT_FALSE(strip.cell(0).selected) << "toggled off";
  EXPECT_TRUE(strip.cell(1).selected) << "the others stay";

  EXPECT_EQ(strip.select_at(43, 209, MK_LBUTTON), &strip.cell(2));
  EXPECT_FALSE(strip.cell(1).selected);
  EXPECT_TRUE(strip.cell(2).selected);

  EXPECT_EQ(strip.select_at(43, 300, MK_LBUTTON), nullptr);
  EXPECT_EQ(strip.selected(), nullptr);
  EXPECT_TRUE(strip.cell(2).selected) << "a miss changes no flag";
}

TEST(BlockPreviewStatic, CaptionsKeepAtMost63BytesAndWholeCharacters) {
  const std::string pair = "\xbf\xe9";  // 块
  const struct {
    std::string name;
    std::string caption;
  } cases[] = {
      {"door", "door"},
      {std::string(63, 'a'), std::string(63, 'a')},
      {std::string(200, 'a'), std::string(63, 'a')},
      {std::string(61, 'a') + pair + "b", std::string(61, 'a') + pair},
      {std::string(62, 'a') + pair, std::string(62, 'a')},  // the pair would straddle the cut
      {std::string(1, 'a') + std::string(100, '\xbf'), "a" + std::string(62, '\xbf')},
  };
  for (const auto& c : cases) EXPECT_EQ(thumbnail_caption(c.name.c_str()), c.caption) << c.name.size();
  EXPECT_EQ(thumbnail_caption(nullptr), "");
}

// A memory DC over a white 32-bit bitmap of 200 by 200 pixels (a DC made
// from none starts with a monochrome bitmap, as its compatible ones are).
struct Canvas {
  Canvas() {
    dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 200;
    info.bmiHeader.biHeight = -200;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = ::SelectObject(dc, bitmap);
    const RECT all = {0, 0, 200, 200};
    HBRUSH white = ::CreateSolidBrush(0xFFFFFF);
    ::FillRect(dc, &all, white);
    ::DeleteObject(white);
  }
  ~Canvas() {
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
  }
  COLORREF at(int x, int y) const { return ::GetPixel(dc, x, y) & 0xFFFFFF; }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

TEST(BlockPreviewStatic, CellsOutOfViewAreNotPainted) {
  Canvas canvas;
  BlockThumbnailCell above;
  above.cx = 43, above.cy = -40, above.width = 80, above.height = 80;  // bottom edge at 0
  above.selected = true;
  EXPECT_FALSE(above.draw(canvas.dc));
  BlockThumbnailCell left = above;
  left.cx = -45, left.cy = 43;
  EXPECT_FALSE(left.draw(canvas.dc));
  EXPECT_EQ(canvas.at(1, 1), 0xFFFFFFu);

  BlockThumbnailCell shown = above;
  shown.cy = 43;
  EXPECT_TRUE(shown.draw(canvas.dc));
  EXPECT_EQ(canvas.at(43, 43), 0xFF0000u) << "a selected cell is blue";

  // The strip skips a cell whose centre is scrolled left of its edge.
  Canvas strip_canvas;
  BlockPreviewStatic strip;
  strip.size_to(200, 97);
  strip.add_cell(nullptr);
  strip.add_cell(nullptr);
  strip.select_at(43, 43, MK_LBUTTON);
  strip.x_offset(-60);  // cell 0 centred at -17, reaching to 23
  strip.layout();
  strip.paint(strip_canvas.dc, CRect(0, 0, 200, 97));
  EXPECT_EQ(strip_canvas.at(10, 43), 0u) << "black strip, not the selected cell";
  EXPECT_EQ(strip_canvas.at(66, 43), 0u);
  EXPECT_EQ(strip_canvas.at(10, 150), 0xFFFFFFu) << "below the strip nothing changes";
}

// ---- The tools and dialogs ----

class BlockToolTest : public ToolTest {
 protected:
  void SetUp() override {
    AfxClearDialogs();
    ToolTest::SetUp();
  }
  MB_Drawing& drawing() { return *op_->drawing(); }
  As_Pt drawing_point(int x, int y) { return As_Pt(x, y, 0) * op_->draw_render()->screen_to_drawing(); }
  // A block of `lines` horizontal lines, joined to the drawing's table.
  MB_Block* add_block(const char* name, int lines) {
    MB_Block* b = make_block(name, lines);
    drawing().block_list().add_tail(b);
    return b;
  }
  static MB_Block* make_block(const char* name, int lines) {
    auto* b = new MB_Block(As_Pt(), name, "d");
    for (int i = 0; i < lines; ++i) b->object_list().add_tail(new MB_Line(As_Pt(0, i, 0), As_Pt(10, i, 0)));
    b->build_draw();
    return b;
  }
  MB_Line* add_selected_line(As_Pt a, As_Pt b) {
    auto* line = new MB_Line(a, b);
    line->build_draw();
    entities().add_tail(line);
    op_->add_entity_to_selection(line, false);
    return line;
  }
  int blocks() { return drawing().block_list().count(); }
  static void press(CDialog& d, UINT id) {
    ::SendMessageA(::GetDlgItem(d.m_hWnd, static_cast<int>(id)), BM_CLICK, 0, 0);
  }
  static CString text_of(CDialog& d, UINT id) {
    CString s;
    d.GetDlgItemText(static_cast<int>(id), s);
    return s;
  }
  // Posts a mouse message at a point of the strip's client area, given in
  // the dialog's coordinates as the dialog receives it.
  static void strip_mouse(InsertBlockDialog& d, UINT msg, int x, int y) {
    CPoint p(x, y);
    d.strip().ClientToScreen(&p);
    d.ScreenToClient(&p);
    qm_user_mouse(d.m_hWnd, msg, p.x, p.y);
    pump();
  }
  static void scroll(InsertBlockDialog& d, UINT code, int pos = 0) {
    ::SendMessageA(d.m_hWnd, WM_HSCROLL, MAKEWPARAM(code, pos),
                   reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, quill::kInsertBlockScroll)));
  }
  INT_PTR last_result() { return AfxDialogsShown().empty() ? -2 : AfxDialogsShown().back().result; }
};

TEST_F(BlockToolTest, TheInsertDialogListsNonEmptyBlocksAndEndsOnADoubleClick) {
  add_block("A", 1);
  add_block("EMPTY", 0);
  add_block("B", 2);
  MB_Block* c = add_block("C", 1);
  AfxPushDialogScript(quill::kDialogInsertBlock, [](CDialog& base) {
    auto& d = dynamic_cast<InsertBlockDialog&>(base);
    ASSERT_EQ(d.strip().count(), 3);
    EXPECT_STREQ(d.strip().cell(0).block->name().ascii(), "A");
    EXPECT_STREQ(d.strip().cell(1).block->name().ascii(), "B");
    EXPECT_STREQ(d.strip().cell(2).block->name().ascii(), "C");
    const std::pair<UINT, const char*> initial[] = {{quill::kInsertBlockName, "blk name"},
                                                    {quill::kInsertBlockAngle, "0."},
                                                    {quill::kInsertBlockScaleX, "1."},
                                                    {quill::kInsertBlockScaleY, "1."},
                                                    {quill::kInsertBlockScaleZ, "1."}};
    for (const auto& [id, text] : initial) EXPECT_EQ(text_of(d, id), text) << id;
    // Near cell 1's right edge: read in dialog coordinates the point would
    // lie in cell 2, as the strip does not sit at the dialog's origin.
    strip_mouse(d, WM_LBUTTONDOWN, 160, 43);
    EXPECT_EQ(text_of(d, quill::kInsertBlockName), "B");
    EXPECT_FALSE(d.ended());
    strip_mouse(d, WM_LBUTTONDBLCLK, 209, 43);
  });
  command(32773);
  EXPECT_EQ(last_result(), IDOK);
  auto* tool = dynamic_cast<InsertBlockTool*>(op_->get_active_tool());
  ASSERT_NE(tool, nullptr);
  ASSERT_NE(tool->prototype(), nullptr);
  EXPECT_EQ(tool->prototype()->block(), c);
}

TEST_F(BlockToolTest, TheInsertDialogScrollsWithinItsCells) {
  add_block("A", 1);
  add_block("B", 1);
  AfxPushDialogScript(quill::kDialogInsertBlock, [](CDialog& base) {
    auto& d = dynamic_cast<InsertBlockDialog&>(base);
    CScrollBar* bar = static_cast<CScrollBar*>(d.GetDlgItem(quill::kInsertBlockScroll));
    int lo = -1, hi = -1;
    bar->GetScrollRange(&lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 2);
    const struct {
      UINT code;
      int pos;
      int want;
    } steps[] = {{SB_LINELEFT, 0, 0},    {SB_LINERIGHT, 0, 1},     {SB_PAGERIGHT, 0, 1},
                 {SB_THUMBTRACK, 50, 1}, {SB_THUMBPOSITION, 0, 0}, {SB_PAGELEFT, 0, 0}};
    for (const auto& s : steps) {
      scroll(d, s.code, s.pos);
      EXPECT_EQ(bar->GetScrollPos(), s.want) << s.code;
      EXPECT_EQ(d.strip().x_offset(), -s.want * 83) << s.code;
      EXPECT_EQ(d.strip().cell(0).cx, 43 - s.want * 83) << s.code;
    }
    // Scrolled by one, the first visible cell is the second block.
    scroll(d, SB_LINERIGHT);
    strip_mouse(d, WM_LBUTTONDOWN, 43, 43);
    EXPECT_EQ(text_of(d, quill::kInsertBlockName), "B");
    press(d, IDCANCEL);
  });
  command(32773);
  EXPECT_EQ(last_result(), IDCANCEL);
}

TEST_F(BlockToolTest, TheInsertToolPlacesACopyPerClickWithTheDialogsScalesAndAngle) {
  add_block("A", 1);
  MB_Block* b = add_block("B", 2);
  AfxPushDialogScript(quill::kDialogInsertBlock, [](CDialog& base) {
    auto& d = dynamic_cast<InsertBlockDialog&>(base);
    strip_mouse(d, WM_LBUTTONDOWN, 126, 43);
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kInsertBlockAngle), "90");
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kInsertBlockScaleX), "2");
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kInsertBlockScaleY), "3");
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kInsertBlockScaleZ), "0.5");
    ::SendMessageA(::GetDlgItem(d.m_hWnd, quill::kInsertBlockExplode), BM_CLICK, 0, 0);
    press(d, IDOK);
  });
  command(32773);
  const int commands_before = commands();
  const int blocks_before = blocks();
  at(WM_LBUTTONDOWN, 100, 100);
  at(WM_LBUTTONUP, 100, 100);
  at(WM_LBUTTONDOWN, 220, 150);
  ASSERT_EQ(count(), 2);
  const CPoint clicks[] = {{100, 100}, {220, 150}};
  int i = 0;
  for (MB_Object* o = entities().head(); o; o = o->next(), ++i) {
    ASSERT_EQ(o->object_id(), MB_Object::ID_INSERT);
    auto* insert = static_cast<MB_Insert*>(o);
    EXPECT_EQ(insert->block(), b);
    const As_Pt want = drawing_point(clicks[i].x, clicks[i].y);
    EXPECT_NEAR(insert->point().x(), want.x(), 1e-9);
    EXPECT_NEAR(insert->point().y(), want.y(), 1e-9);
    EXPECT_EQ(insert->scale()[0], 2.0);
    EXPECT_EQ(insert->scale()[1], 3.0);
    EXPECT_EQ(insert->scale()[2], 0.5);
    EXPECT_NEAR(insert->angle(), M_PI / 2, 1e-15);
  }
  EXPECT_EQ(op_->get_active_tool_id(), quill::kToolInsertBlock) << "the tool stays for the next copy";
  EXPECT_EQ(commands(), commands_before + 2) << "each placement is an undoable command of its own";
  EXPECT_EQ(blocks(), blocks_before);
  at(WM_RBUTTONDOWN, 220, 150);
  EXPECT_EQ(op_->get_active_tool(), nullptr);
  undo();
  EXPECT_EQ(count(), 1);
}

TEST_F(BlockToolTest, WithoutAChosenBlockTheInsertToolPlacesNothing) {
  add_block("A", 1);
  // Cancelled, then OK without a thumbnail chosen.
  AfxPushDialogScript(quill::kDialogInsertBlock, [](CDialog& d) { press(d, IDOK); });
  for (int round = 0; round < 2; ++round) {
    command(32773);
    auto* tool = dynamic_cast<InsertBlockTool*>(op_->get_active_tool());
    ASSERT_NE(tool, nullptr) << round;
    EXPECT_EQ(tool->prototype(), nullptr) << round;
    at(WM_LBUTTONDOWN, 100, 100);
    EXPECT_EQ(count(), 0) << round;
  }
}

TEST_F(BlockToolTest, ALibraryBlockIsCopiedOnceAndNotReadAfterwards) {
  add_block("A", 1);
  const int blocks_before = blocks();
  const MB_String title("Create insert");
  for (int round = 0; round < 2; ++round) {
    // The library drawing goes away once the tool is made.
    std::unique_ptr<MB_Block> source(make_block("LIB", 3));
    ControlTool::finish_making(new InsertBlockTool(quill::kToolInsertBlock, title, op_, source.get()));
    source.reset();
    auto* tool = dynamic_cast<InsertBlockTool*>(op_->get_active_tool());
    ASSERT_NE(tool, nullptr);
    ASSERT_NE(tool->prototype(), nullptr);
    EXPECT_EQ(tool->prototype()->scale()[0], 1.0);
    EXPECT_EQ(tool->prototype()->angle(), 0.0);
    at(WM_LBUTTONDOWN, 100 + 50 * round, 100);
  }
  EXPECT_EQ(blocks(), blocks_before + 1) << "the definition is copied once";
  MB_Block* copy = drawing().find_block("LIB");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->object_list().count(), 3);
  ASSERT_EQ(count(), 2);
  for (MB_Object* o = entities().head(); o; o = o->next()) EXPECT_EQ(static_cast<MB_Insert*>(o)->block(), copy);
}

TEST_F(BlockToolTest, TheDefineDialogShowsItsBasePointWithTwoDecimals) {
  AfxPushDialogScript(quill::kDialogDefineBlock, [](CDialog& d) {
    EXPECT_EQ(text_of(d, quill::kDefineBlockBase), "1.00,2.50,0.00");
    EXPECT_EQ(text_of(d, quill::kDefineBlockName), "");
    EXPECT_EQ(text_of(d, quill::kDefineBlockDescription), "");
  });
  DefineBlockDialog dialog(op_, As_Pt(1, 2.5, 0));
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(BlockToolTest, TheDefineDialogShowsThePreviewAndItsNameFieldAtItsOwnHeight) {
  add_selected_line(As_Pt(0, 0, 0), As_Pt(50, 50, 0));
  AfxPushDialogScript(quill::kDialogDefineBlock, [](CDialog& d) {
    // The name combo stands at its field's height, clear of the base point's row.
    CRect name, base;
    ::GetWindowRect(::GetDlgItem(d.m_hWnd, quill::kDefineBlockName), &name);
    ::GetWindowRect(::GetDlgItem(d.m_hWnd, quill::kDefineBlockBase), &base);
    EXPECT_LE(name.bottom, base.top);
    // The preview frame shows what the dialog paints inside it: the selection.
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
    std::vector<uint32_t> image;
    int w = 0, h = 0;
    ASSERT_TRUE(qm_user_window_image(d.m_hWnd, &image, &w, &h));
    CRect preview;
    ::GetWindowRect(::GetDlgItem(d.m_hWnd, quill::kDefineBlockPreview), &preview);
    CRect dialog;
    ::GetWindowRect(d.m_hWnd, &dialog);
    preview.OffsetRect(-dialog.left, -dialog.top);
    const uint32_t face = 0xD4D0C8;
    int other = 0;
    for (int y = preview.top + 2; y < preview.bottom - 2; ++y)
      for (int x = preview.left + 2; x < preview.right - 2; ++x) other += image[static_cast<size_t>(y * w + x)] != face;
    EXPECT_GT(other, preview.Width() * preview.Height() / 2) << "the preview's background and the line";
  });
  DefineBlockDialog dialog(op_, As_Pt());
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(BlockToolTest, TheDefineDialogRefusesAnEmptyALeadingSpaceOrATakenName) {
  add_block("Door", 1);
  add_selected_line(As_Pt(0, 0, 0), As_Pt(5, 0, 0));
  const char* refused[] = {"", " door", "Door", "DOOR"};
  for (const char* name : refused) {
    qm_user_clear_message_boxes();
    const int blocks_before = blocks();
    AfxPushDialogScript(quill::kDialogDefineBlock, [name](CDialog& d) {
      qm_user_type(::GetDlgItem(d.m_hWnd, quill::kDefineBlockName), name);
      press(d, IDOK);
      EXPECT_FALSE(d.ended()) << "the dialog stays open";
    });
    DefineBlockDialog dialog(op_, As_Pt());
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << name;
    ASSERT_EQ(qm_user_message_boxes().size(), 1u) << name;
    EXPECT_EQ(qm_user_message_boxes()[0].text, quill::kTextCheckBlockName);
    EXPECT_EQ(blocks(), blocks_before) << name;
    EXPECT_EQ(dialog.made(), nullptr);
  }
}

TEST_F(BlockToolTest, TheCreateToolMakesABlockOfTheSelectionAboutTheClickedBase) {
  add_selected_line(As_Pt(10, 20, 0), As_Pt(30, 20, 0));
  add_selected_line(As_Pt(10, 20, 0), As_Pt(10, 40, 0));
  const int blocks_before = blocks();
  // First the name, then a base point is to be picked.
  AfxPushDialogScript(quill::kDialogDefineBlock, [](CDialog& d) {
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kDefineBlockName), "Frame");
    press(d, quill::kDefineBlockPickBase);
  });
  command(32774);
  auto* tool = dynamic_cast<CreateBlockTool*>(op_->get_active_tool());
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(tool->block_name(), "Frame");
  EXPECT_EQ(blocks(), blocks_before) << "picking the base point makes no block";

  const As_Pt base = drawing_point(150, 120);
  CString want_base;
  want_base.Format("%.2f,%.2f,%.2f", base.x(), base.y(), base.z());
  AfxPushDialogScript(quill::kDialogDefineBlock, [&want_base](CDialog& d) {
    EXPECT_EQ(text_of(d, quill::kDefineBlockBase), want_base);
    EXPECT_EQ(text_of(d, quill::kDefineBlockName), "Frame");
    press(d, IDOK);
  });
  at(WM_LBUTTONDOWN, 150, 120);
  EXPECT_EQ(last_result(), IDOK);
  ASSERT_EQ(blocks(), blocks_before + 1);
  MB_Block* made = drawing().find_block("Frame");
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->desc().ascii(), "Desc");
  ASSERT_EQ(made->object_list().count(), 2);
  auto* first = static_cast<MB_Line*>(made->object_list().head());
  EXPECT_NEAR(first->start().x(), 10 - base.x(), 1e-9);
  EXPECT_NEAR(first->start().y(), 20 - base.y(), 1e-9);
  EXPECT_EQ(count(), 2) << "the selected entities stay";
  EXPECT_EQ(op_->get_active_tool(), tool);
}

TEST_F(BlockToolTest, CancellingTheDefineDialogEndsTheCreateToolAfterTheDialog) {
  add_selected_line(As_Pt(0, 0, 0), As_Pt(5, 0, 0));
  command(32774);  // no script: cancelled while the tool is being made
  EXPECT_EQ(last_result(), IDCANCEL);
  EXPECT_EQ(op_->get_active_tool(), nullptr);

  AfxPushDialogScript(quill::kDialogDefineBlock, [](CDialog& d) { press(d, quill::kDefineBlockPickBase); });
  command(32774);
  ASSERT_NE(dynamic_cast<CreateBlockTool*>(op_->get_active_tool()), nullptr);
  at(WM_LBUTTONDOWN, 150, 120);  // the dialog the click shows is cancelled
  EXPECT_EQ(last_result(), IDCANCEL);
  EXPECT_EQ(op_->get_active_tool(), nullptr);
  move(160, 120);  // the next event finds no freed tool
}

}  // namespace
}  // namespace control_test
