// The side panel and its property panel, driven through the hosted control:
// entities picked with the select tool show their rows with exact labels and
// formats; a colour chosen through a row goes back to a line or to the
// settings; the panel lets go of its entity when it leaves the drawing
// (delete, undo, redo) or the drawing is replaced (open, new).
#include <sys/stat.h>
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "control/control_texts.h"
#include "control/side_panel_bar.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_text.h"
#include "database/mb_settings.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

using namespace quill;

constexpr double kPi = 3.141592653589793;

struct Row {
  std::string label;
  std::string value;
  int kind;
  bool read_only;
};

std::string s(const char* a, const char* b = "") { return std::string(a) + b; }

class PropertyPanelTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    for (int i = 0; i < 3; ++i) saved_[i] = g_system_setting.get_long_val(i);
    hosted_ = std::make_unique<Hosted>();
    op_ = &hosted_->view()->operation();
    ASSERT_TRUE(SidePanelBar::current());
    ASSERT_TRUE(panel().m_hWnd);
  }
  void TearDown() override {
    hosted_.reset();
    for (int i = 0; i < 3; ++i) g_system_setting.set_long_val(i, saved_[i]);
    ControlTest::TearDown();
  }
  SidePanelDialog& side() { return SidePanelBar::current()->panel(); }
  PropertyPanelDialog& panel() { return side().properties(); }
  PropertyListCtrl& list() { return panel().list(); }

  // Makes and adds an entity in one recorded command (an object records
  // its creation as it is made), and draws it.
  template <class E, class... Args>
  E* add(Args&&... args) {
    op_->undo_redo()->rec_cmd_begin("add");
    E* e = new E(std::forward<Args>(args)...);
    op_->drawing()->add_object(e);
    op_->undo_redo()->rec_cmd_end();
    e->build_draw();
    return e;
  }
  void fit() {
    op_->zoom_all();
    pump();
  }
  POINT screen(const As_Pt& p) {
    const As_Pt d = p * op_->draw_render()->drawing_to_screen();
    return POINT{static_cast<LONG>(d.x()), static_cast<LONG>(d.y())};
  }
  // A click of the select tool on the drawing point.
  void pick(const As_Pt& at) {
    const POINT p = screen(at);
    for (UINT msg : {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
      qm_user_mouse(hosted_->view()->m_hWnd, msg, p.x, p.y);
      pump();
    }
  }
  // The list's rows as it holds them.
  std::vector<Row> shown() {
    std::vector<Row> rows;
    for (int i = 0; i < list().GetCount(); ++i) {
      const PropertyRow* r = list().row(i);
      rows.push_back({r->label.str(), r->value.str(), r->kind, r->read_only != 0});
    }
    return rows;
  }
  void expect_rows(const std::vector<Row>& want) {
    const std::vector<Row> got = shown();
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      SCOPED_TRACE("row " + std::to_string(i));
      EXPECT_EQ(got[i].label, want[i].label);
      EXPECT_EQ(got[i].value, want[i].value);
      EXPECT_EQ(got[i].kind, want[i].kind);
      EXPECT_EQ(got[i].read_only, want[i].read_only);
    }
  }
  std::vector<Row> defaults() {
    auto colour = [](int i) { return std::to_string(g_system_setting.get_long_val(i)); };
    return {{kTextDefaultsTitle, kTextDefaultsValue, 1, true},
            {kTextDefaultBackground, colour(0), 2, false},
            {kTextDefaultCurrent, colour(1), 2, false},
            {kTextDefaultRubber, colour(2), 2, false},
            {kTextDefaultLayer, "", 1, false},
            {kTextDefaultLineType, "", 1, false},
            {kTextDefaultLineScale, "", 1, false},
            {kTextDefaultHatch, "", 1, false},
            {kTextDefaultHatchScale, "", 1, false},
            {kTextDefaultTextStyle, "", 1, false},
            {kTextDefaultDimStyle, "", 1, false}};
  }
  void expect_defaults() {
    EXPECT_EQ(panel().shown_entity(), nullptr);
    expect_rows(defaults());
    EXPECT_EQ(panel().rows().size(), 11u) << "the rows of earlier displays are freed";
  }
  // A press and release in the value cell of a row: its editor opens.
  void open_row(int index) {
    CRect r;
    ASSERT_NE(list().GetItemRect(index, &r), LB_ERR);
    const int x = (list().divider() + r.right) / 2, y = (r.top + r.bottom) / 2;
    qm_user_mouse(list().m_hWnd, WM_LBUTTONDOWN, x, y);
    pump();
    qm_user_mouse(list().m_hWnd, WM_LBUTTONUP, x, y);
    pump();
  }
  // Chooses a colour through the "..." button of a colour row.
  // The view is left to repaint (nothing is pumped after the choice).
  void choose_colour(int index, COLORREF c) {
    open_row(index);
    ASSERT_TRUE(list().button().m_hWnd);
    ASSERT_TRUE(list().button().IsWindowVisible());
    ::ValidateRect(hosted_->view()->m_hWnd, nullptr);
    qm_user_push_color_answer({true, c});
    list().button().SendMessage(BM_CLICK);
  }

  std::unique_ptr<Hosted> hosted_;
  MB_Operation* op_ = nullptr;
  int32_t saved_[3] = {};
};

TEST_F(PropertyPanelTest, TabsAndPagesAsTheSidePanelLaysThemOut) {
  CTabCtrl& tabs = side().tabs();
  ASSERT_EQ(tabs.GetItemCount(), 3);
  const char* const names[] = {kTextTabProperties, kTextTabLibrary, kTextTabSettings};
  for (int i = 0; i < 3; ++i) {
    char text[32] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(tabs.SendMessage(TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, names[i]);
  }
  EXPECT_TRUE(tabs.GetStyle() & TCS_BOTTOM);
  EXPECT_EQ(side().library().m_nIDTemplate, kDialogBlockLibrary);

  // Pages inset by 5 pixels, 20 clear of the tabs at the bottom.
  side().MoveWindow(0, 0, 200, 400);
  CRect client;
  side().GetClientRect(&client);
  for (CWnd* page :
       {static_cast<CWnd*>(&panel()), static_cast<CWnd*>(&side().library()), static_cast<CWnd*>(&side().settings())}) {
    CRect r;
    page->GetWindowRect(&r);
    side().ScreenToClient(&r);
    EXPECT_EQ(r, CRect(5, 5, client.right - 5, client.bottom - 20));
  }
  CRect list_rect;
  list().GetWindowRect(&list_rect);
  EXPECT_EQ(list_rect.Width(), client.Width() - 10) << "the list fills its page";

  struct Case {
    int tab;
    bool properties, library, settings;
  };
  for (const Case& c : {Case{1, false, true, false}, Case{2, false, false, true}, Case{0, true, false, false}}) {
    SCOPED_TRACE(c.tab);
    ASSERT_TRUE(qm_user_pick(tabs.m_hWnd, c.tab));
    pump();
    EXPECT_EQ(static_cast<bool>(panel().IsWindowVisible()), c.properties);
    EXPECT_EQ(static_cast<bool>(side().library().IsWindowVisible()), c.library);
    EXPECT_EQ(static_cast<bool>(side().settings().IsWindowVisible()), c.settings);
  }
  EXPECT_EQ(::GetWindow(side().settings().m_hWnd, GW_CHILD), nullptr) << "the settings page is empty";

  // Closing the property panel only hides it.
  panel().SendMessage(WM_CLOSE);
  EXPECT_TRUE(::IsWindow(panel().m_hWnd));
  EXPECT_FALSE(panel().IsWindowVisible());
}

TEST_F(PropertyPanelTest, DefaultsWhileNothingIsPicked) {
  expect_defaults();
  EXPECT_EQ(list().GetItemHeight(0), 20);
}

TEST_F(PropertyPanelTest, PickedLineShowsItsRows) {
  MB_Line* line = add<MB_Line>(As_Pt(10, 20, 0), As_Pt(40, 60, 0));
  line->general().color(255);
  fit();
  pick(As_Pt(25, 40, 0));
  ASSERT_EQ(panel().shown_entity(), line);
  expect_rows({{kTextPropName, kTextKindLine, 1, true},
               {"ID", "0", 1, false},
               {kTextPropLayer, "0", 1, true},  // no layer: a grey "0"
               {kTextPropColour, "255", 2, false},
               {s(kTextPropStart, "x"), "10.0000", 1, false},
               {s(kTextPropStart, "y"), "20.0000", 1, false},
               {s(kTextPropStart, "z"), "0.0000", 1, false},
               {s(kTextPropEnd, "x"), "40.0000", 1, false},
               {s(kTextPropEnd, "y"), "60.0000", 1, false},
               {s(kTextPropEnd, "z"), "0.0000", 1, false},
               {kTextPropLength, "50.000", 1, true},
               {kTextPropAngle, "53.130", 1, true}});
  EXPECT_EQ(panel().rows()[3]->colour, 255u);
  EXPECT_DOUBLE_EQ(panel().rows()[10]->real_value, 50.0);
}

TEST_F(PropertyPanelTest, TheRowsTextsAreDrawnInTheListsFace) {
  MB_Line* line = add<MB_Line>(As_Pt(10, 20, 0), As_Pt(40, 60, 0));
  line->general().color(255);
  fit();
  pick(As_Pt(25, 40, 0));
  ASSERT_EQ(panel().shown_entity(), line);
  list().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  pump();
  std::vector<uint32_t> image;
  int width = 0, height = 0;
  ASSERT_TRUE(qm_user_window_image(list().m_hWnd, &image, &width, &height));
  // The ID row's value "0" leaves dark pixels in its white cell, which
  // would stay one colour if the text were not drawn.
  CRect row;
  ASSERT_NE(list().GetItemRect(1, &row), LB_ERR);  // "ID" and its "0"
  int dark = 0;
  for (int y = row.top + 2; y < row.bottom - 2; ++y)
    for (int x = list().divider() + 2; x < row.right - 2; ++x) {
      const uint32_t p = image[size_t(y) * size_t(width) + size_t(x)];
      dark += ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) < 3 * 128;
    }
  EXPECT_GT(dark, 3) << "the value's digits";
}

TEST_F(PropertyPanelTest, PickedArcShowsItsSweepInDegrees) {
  MB_Arc* arc = add<MB_Arc>(As_Pt(0, 0, 0), 10.0, 350.0 * kPi / 180.0, 10.0 * kPi / 180.0);
  fit();
  pick(As_Pt(10, 0, 0));
  ASSERT_EQ(panel().shown_entity(), arc);
  const std::vector<Row> got = shown();
  ASSERT_EQ(got.size(), 20u);
  const std::vector<Row> want = {
      {kTextPropName, kTextKindArc, 1, false},       {"ID", "0", 1, false},
      {kTextPropColour, "0xffff00", 2, false},       {s(kTextPropStart, "x"), "9.8481", 1, false},
      {s(kTextPropStart, "y"), "-1.7365", 1, false}, {s(kTextPropStart, "z"), "0.0000", 1, false},
      {s(kTextPropEnd, "x"), "9.8481", 1, false},    {s(kTextPropEnd, "y"), "1.7365", 1, false},
      {s(kTextPropEnd, "z"), "0.0000", 1, false},    {kTextPropStartAngle, "350.0000", 1, false},
      {kTextPropEndAngle, "10.0000", 1, false},      {s(kTextPropMiddle, "x"), "10.0000", 1, false}};
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].label, want[i].label);
    EXPECT_EQ(got[i].value, want[i].value);
    EXPECT_EQ(got[i].kind, want[i].kind);
  }
  EXPECT_EQ(panel().rows()[2]->colour, 0u) << "the swatch of a colour the panel does not read";
  EXPECT_EQ(got[12].label, s(kTextPropMiddle, "y"));
  EXPECT_NEAR(std::atof(got[12].value.c_str()), 0.0, 1e-4);
  const std::vector<Row> tail = {
      {s(kTextPropCentre, "x"), "0.0000", 1, false}, {s(kTextPropCentre, "y"), "0.0000", 1, false},
      {s(kTextPropCentre, "z"), "0.0000", 1, false}, {kTextPropLength, "3.4907", 1, false},
      {kTextPropAngle, "20.0000", 1, false},         {kTextPropArea, "17.4533", 1, false}};
  for (size_t i = 0; i < tail.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[14 + i].label, tail[i].label);
    EXPECT_EQ(got[14 + i].value, tail[i].value);
  }
}

TEST_F(PropertyPanelTest, PickedPolylineShowsThreeRowsPerVertex) {
  MB_Lines* lines = add<MB_Lines>(3);
  lines->points()[0] = As_Pt(0, 0, 0);
  lines->points()[1] = As_Pt(30, 0, 0);
  lines->points()[2] = As_Pt(30, 40, 0);
  lines->build_draw();
  fit();
  pick(As_Pt(15, 0, 0));
  ASSERT_EQ(panel().shown_entity(), lines);
  std::vector<Row> want = {{kTextPropName, kTextKindPolyline, 1, false}, {"ID", "0", 1, false},
                           {kTextPropColour, "0xffff00", 2, false},      {s(kTextPropStart, "x"), "0.0000", 1, false},
                           {s(kTextPropStart, "y"), "0.0000", 1, false}, {s(kTextPropStart, "z"), "0.0000", 1, false},
                           {s(kTextPropEnd, "x"), "30.0000", 1, false},  {s(kTextPropEnd, "y"), "40.0000", 1, false},
                           {s(kTextPropEnd, "z"), "0.0000", 1, false}};
  const char* const vertices[3][2] = {{"0.0000", "0.0000"}, {"30.0000", "0.0000"}, {"30.0000", "40.0000"}};
  for (const auto& v : vertices) {
    want.push_back({s(kTextPropKeyPoint, "x"), v[0], 1, false});
    want.push_back({s(kTextPropKeyPoint, "y"), v[1], 1, false});
    want.push_back({s(kTextPropKeyPoint, "z"), "0.0000", 1, false});
  }
  want.push_back({kTextPropLength, "70.0000", 1, false});
  expect_rows(want);
}

TEST_F(PropertyPanelTest, TextShowsItsStyleAsStored) {
  MB_Text* text = add<MB_Text>(As_Pt(5, 6, 0), MB_String("Hello"));
  MB_Text_Style& style = text->text_style();
  style.name("NOTES");
  style.height(2.5);
  style.width_scale(0.8);
  style.oblique_angle(0.25);
  style.angle(0.5);
  text->build_draw();
  fit();
  pick(As_Pt(5, 6, 0));
  // A text is picked by its drawn outline, which needs its font; without
  // one it is shown the way the select tool shows a pick.
  if (panel().shown_entity() != text) side().show_properties(text);
  expect_rows({{kTextPropName, kTextKindText, 1, false},
               {"ID", "0", 1, false},
               {kTextPropColour, "0xffff00", 2, false},
               {s(kTextPropBase, "x"), "5.0000", 1, false},
               {s(kTextPropBase, "y"), "6.0000", 1, false},
               {s(kTextPropBase, "z"), "0.0000", 1, false},
               {kTextPropContent, "Hello", 1, false},
               {kTextPropTextStyle, "NOTES", 1, false},
               {kTextPropOblique, "0.2500", 1, false},
               {kTextPropHeight, "2.5000", 1, false},
               {kTextPropWidthFactor, "0.8000", 1, false},
               {kTextPropAngle, "0.5000", 1, false}});
}

TEST_F(PropertyPanelTest, ColourChosenOnALineRowGoesToTheLine) {
  MB_Line* line = add<MB_Line>(As_Pt(0, 0, 0), As_Pt(100, 0, 0));
  line->general().color(255);
  line->general().display_color(255);
  fit();
  pick(As_Pt(50, 0, 0));
  ASSERT_EQ(panel().shown_entity(), line);
  qm_user_clear_choosers();
  choose_colour(3, RGB(0, 0, 255));
  ASSERT_EQ(qm_user_choosers_shown().size(), 1u);
  EXPECT_EQ(qm_user_choosers_shown()[0].initial, RGB(0, 0, 0)) << "a value without RGB opens on black";
  EXPECT_EQ(panel().rows()[3]->value.str(), "RGB(0,0,255)");
  EXPECT_EQ(panel().rows()[3]->colour, RGB(0, 0, 255));
  EXPECT_EQ(line->general().color(), static_cast<int32_t>(RGB(0, 0, 255)));
  EXPECT_EQ(line->general().display_color(), static_cast<int32_t>(RGB(0, 0, 255)));
  EXPECT_TRUE(::GetUpdateRect(hosted_->view()->m_hWnd, nullptr, FALSE)) << "the view repaints";
  EXPECT_FALSE(list().button().IsWindowVisible());

  // Chosen again, the dialog opens on the row's colour.
  choose_colour(3, RGB(255, 0, 0));
  EXPECT_EQ(qm_user_choosers_shown().back().initial, RGB(0, 0, 255));
  EXPECT_EQ(line->general().color(), static_cast<int32_t>(RGB(255, 0, 0)));
}

TEST_F(PropertyPanelTest, ColourChosenOnAnArcChangesOnlyTheRow) {
  MB_Arc* arc = add<MB_Arc>(As_Pt(0, 0, 0), 10.0, 0.0, kPi / 2);
  arc->general().color(255);
  fit();
  pick(As_Pt(10 * std::cos(kPi / 4), 10 * std::sin(kPi / 4), 0));
  ASSERT_EQ(panel().shown_entity(), arc);
  choose_colour(2, RGB(0, 255, 0));
  EXPECT_EQ(panel().rows()[2]->colour, RGB(0, 255, 0));
  EXPECT_EQ(panel().rows()[2]->value.str(), "RGB(0,255,0)");
  EXPECT_EQ(arc->general().color(), 255);
}

TEST_F(PropertyPanelTest, BackgroundChosenWithNothingPickedGoesToTheSettings) {
  g_system_setting.set_long_val(0, 0);
  MB_Line* white = add<MB_Line>(As_Pt(0, 0, 0), As_Pt(10, 0, 0));
  white->general().color(static_cast<int32_t>(RGB(255, 255, 255)));
  white->general().display_color(static_cast<int32_t>(RGB(255, 255, 255)));
  panel().Refresh();
  choose_colour(1, RGB(255, 255, 255));
  EXPECT_EQ(g_system_setting.get_long_val(0), static_cast<int32_t>(RGB(255, 255, 255)));
  EXPECT_EQ(white->general().display_color(), 0) << "drawn in the complement of the new background";
  EXPECT_EQ(panel().rows()[1]->value.str(), "RGB(255,255,255)");
}

TEST_F(PropertyPanelTest, PanelLetsGoWhenTheEntityLeavesTheDrawing) {
  MB_Line* a = add<MB_Line>(As_Pt(0, 0, 0), As_Pt(100, 0, 0));
  fit();

  // Delete with '.'.
  pick(As_Pt(50, 0, 0));
  ASSERT_EQ(panel().shown_entity(), a);
  hosted_->view()->SendMessage(WM_CHAR, '.');
  pump();
  {
    SCOPED_TRACE("deleted");
    expect_defaults();
  }

  // Undo brings it back; pick it; redo of the delete takes it out again.
  hosted_->command(kCommandUndo);
  ASSERT_TRUE(a->owner_list());
  pick(As_Pt(50, 0, 0));
  ASSERT_EQ(panel().shown_entity(), a);
  hosted_->command(kCommandRedo);
  {
    SCOPED_TRACE("redone");
    expect_defaults();
  }

  // Undo of its creation takes it out too; undo of another command does not.
  hosted_->command(kCommandUndo);
  add<MB_Line>(As_Pt(0, 50, 0), As_Pt(100, 50, 0));
  fit();
  pick(As_Pt(50, 0, 0));
  ASSERT_EQ(panel().shown_entity(), a);
  hosted_->command(kCommandUndo);  // b's creation
  EXPECT_EQ(panel().shown_entity(), a);
  hosted_->command(kCommandUndo);  // the delete's undo is history: a's creation
  {
    SCOPED_TRACE("creation undone");
    expect_defaults();
  }

  // Deleting another entity keeps the shown one.
  hosted_->command(kCommandRedo);
  pick(As_Pt(50, 0, 0));
  ASSERT_EQ(panel().shown_entity(), a);
  MB_Line* c = add<MB_Line>(As_Pt(0, 90, 0), As_Pt(10, 90, 0));
  op_->delete_object(c, false);
  EXPECT_EQ(panel().shown_entity(), a);
}

TEST_F(PropertyPanelTest, EditsAfterAFreedEntityTouchNothing) {
  // Without a recording store a deleted entity is freed at once.
  MB_Line* a = add<MB_Line>(As_Pt(0, 0, 0), As_Pt(100, 0, 0));
  fit();
  pick(As_Pt(50, 0, 0));
  ASSERT_EQ(panel().shown_entity(), a);
  MB_Undo_Redo* store = g_undo_redo;
  g_undo_redo = nullptr;
  op_->delete_object(a, false);
  g_undo_redo = store;
  expect_defaults();
  panel().ApplyChanges();  // under the sanitizer: no read of the freed line
  choose_colour(2, RGB(1, 2, 3));
  EXPECT_EQ(g_system_setting.get_long_val(1), static_cast<int32_t>(RGB(1, 2, 3)));
}

TEST_F(PropertyPanelTest, PanelShowsTheDefaultsAfterOpenAndNew) {
  // Opening reads the path lower-cased: a folder of lower-case letters.
  const std::string folder = "/tmp/qm_panel_" + std::to_string(getpid());
  ::mkdir(folder.c_str(), 0700);
  const std::string path = folder + "/one.qlf";
  add<MB_Line>(As_Pt(0, 0, 0), As_Pt(100, 0, 0));
  ASSERT_TRUE(op_->save_kzf(path.c_str()));
  fit();

  pick(As_Pt(50, 0, 0));
  ASSERT_NE(panel().shown_entity(), nullptr);
  hosted_->view()->OpenDrawingByExtension(path.c_str());
  pump();
  expect_defaults();

  fit();
  pick(As_Pt(50, 0, 0));
  ASSERT_NE(panel().shown_entity(), nullptr);
  op_->create_drawing("new");
  expect_defaults();

  std::remove(path.c_str());
  ::rmdir(folder.c_str());
}

// ---- The property list itself ----

class PropertyListTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_TRUE(parent_.CreateEx(0, nullptr, "", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr));
    ASSERT_TRUE(list_.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWVARIABLE,
                             CRect(0, 0, 300, 200), &parent_, 205));
    rows_.resize(4);
    rows_[0] = {"Name", "plain", PropertyRow::kText, "", 0, 0.0, 0};
    rows_[1] = {"Kind", "B", PropertyRow::kChoice, "a|b|c", 0, 0.0, 0};
    rows_[2] = {"Colour", "RGB(255,0,0)", PropertyRow::kColour, "", RGB(255, 0, 0), 0.0, 0};
    rows_[3] = {"Fixed", "grey", PropertyRow::kText, "", 0, 0.0, 1};
    for (PropertyRow& r : rows_) list_.AddItem(&r);
    ::UpdateWindow(list_.m_hWnd);
  }
  void TearDown() override {
    list_.DestroyWindow();
    parent_.DestroyWindow();
    ControlTest::TearDown();
  }
  void mouse(UINT msg, int x, int y) {
    qm_user_mouse(list_.m_hWnd, msg, x, y);
    pump();
  }
  void click_row(int i) {
    CRect r;
    ASSERT_NE(list_.GetItemRect(i, &r), LB_ERR);
    mouse(WM_LBUTTONDOWN, 250, r.top + 5);
    mouse(WM_LBUTTONUP, 250, r.top + 5);
  }
  uint32_t pixel(int x, int y) {
    int w = 0, h = 0;
    const uint32_t* px = qm_user_window_pixels(list_.m_hWnd, &w, &h);
    return px && x < w && y < h ? px[y * w + x] : 0xFFFFFFFFu;
  }
  CWnd parent_;
  PropertyListCtrl list_;
  std::vector<PropertyRow> rows_;
};

TEST_F(PropertyListTest, MadeByItselfItIsAFixedOwnerDrawnListOfTwentyPixelRows) {
  EXPECT_FALSE(list_.GetStyle() & LBS_SORT);
  EXPECT_FALSE(list_.GetStyle() & LBS_OWNERDRAWVARIABLE);
  EXPECT_TRUE(list_.GetStyle() & LBS_OWNERDRAWFIXED);
  EXPECT_EQ(list_.GetItemHeight(0), 20);
  EXPECT_EQ(list_.row(2), &rows_[2]);
  EXPECT_EQ(list_.row(4), nullptr);
  EXPECT_TRUE(list_.font().m_hObject);
}

TEST_F(PropertyListTest, FirstPaintPutsTheDividerAtAThirdAndDrawsTheCells) {
  EXPECT_EQ(list_.divider(), 100);
  // The label cell is grey; the colour row's swatch fills its value cell.
  EXPECT_EQ(pixel(50, 2), 0xC0C0C0u);
  EXPECT_EQ(pixel(50, 2 * 20 + 2), 0xC0C0C0u);
  EXPECT_EQ(pixel(280, 2 * 20 + 15), 0xFF0000u);
  EXPECT_NE(pixel(280, 0 * 20 + 15), 0xFF0000u);
}

TEST_F(PropertyListTest, PressNearTheDividerDrags) {
  struct Case {
    int dx;
    bool drags;
  };
  for (const Case& c : {Case{-6, false}, Case{-5, true}, Case{0, true}, Case{5, true}, Case{6, false}}) {
    SCOPED_TRACE(c.dx);
    list_.set_divider(100);
    mouse(WM_LBUTTONDOWN, 100 + c.dx, 30);
    EXPECT_EQ(list_.dragging(), c.drags);
    EXPECT_EQ(::GetCapture(), list_.m_hWnd);  // the drag, or the list's own press
    mouse(WM_LBUTTONUP, 100 + c.dx, 30);
    EXPECT_FALSE(list_.dragging());
    EXPECT_EQ(::GetCapture(), nullptr);
  }
  // A drag moves the divider where the button is released, and the cursor
  // was kept 10 pixels inside the list.
  list_.set_divider(100);
  mouse(WM_LBUTTONDOWN, 102, 30);
  RECT clip;
  ASSERT_TRUE(::GetClipCursor(&clip));
  CRect window;
  list_.GetWindowRect(&window);
  EXPECT_EQ(clip.left, window.left + 10);
  EXPECT_EQ(clip.right, window.right - 10);
  mouse(WM_MOUSEMOVE, 160, 30);
  mouse(WM_LBUTTONUP, 160, 30);
  EXPECT_EQ(list_.divider(), 160);
}

TEST_F(PropertyListTest, DividerStaysAtLeastOnePixel) {
  struct Case {
    int set, want;
  };
  for (const Case& c : {Case{-40, 1}, Case{0, 1}, Case{1, 1}, Case{7, 7}, Case{250, 250}}) {
    list_.set_divider(c.set);
    EXPECT_EQ(list_.divider(), c.want) << c.set;
  }
}

TEST_F(PropertyListTest, ChoicesOfferAnEmptyEntryAndPreselectTheValue) {
  click_row(1);
  CComboBox& box = list_.drop_down();
  ASSERT_TRUE(box.m_hWnd);
  EXPECT_TRUE(box.IsWindowVisible());
  ASSERT_EQ(box.GetCount(), 3) << "text after the last '|' is no choice";
  std::vector<std::string> items;
  for (int i = 0; i < box.GetCount(); ++i) {
    CString t;
    box.GetLBText(i, t);
    items.push_back(t.str());
  }
  EXPECT_EQ(items, (std::vector<std::string>{"", "a", "b"}));
  EXPECT_EQ(box.GetCurSel(), 2) << "the value B matches b without regard to case";
  ASSERT_TRUE(qm_user_pick(box.m_hWnd, 1));
  EXPECT_EQ(rows_[1].value.str(), "a");
  ::SetFocus(list_.m_hWnd);
  EXPECT_FALSE(box.IsWindowVisible());
}

TEST_F(PropertyListTest, TextRowsEditTheirValueUnlessReadOnly) {
  click_row(0);
  CEdit& edit = list_.edit_box();
  ASSERT_TRUE(edit.m_hWnd);
  EXPECT_TRUE(edit.IsWindowVisible());
  EXPECT_EQ(::GetFocus(), edit.m_hWnd);
  EXPECT_EQ(list_.open_row(), 0);
  ASSERT_TRUE(qm_user_type(edit.m_hWnd, "typed"));
  EXPECT_EQ(rows_[0].value.str(), "typed");

  click_row(3);
  EXPECT_TRUE(edit.IsWindowVisible()) << "a read-only row still opens the edit box";
  CString shown;
  edit.GetWindowText(shown);
  EXPECT_EQ(shown.str(), "grey");
  ASSERT_TRUE(qm_user_type(edit.m_hWnd, "changed"));
  EXPECT_EQ(rows_[3].value.str(), "grey");
  ::SetFocus(parent_.m_hWnd);
  EXPECT_FALSE(edit.IsWindowVisible());
}

TEST_F(PropertyListTest, ColourButtonSeedsFromTheValueAndWritesItBack) {
  click_row(2);
  CButton& button = list_.button();
  ASSERT_TRUE(button.m_hWnd);
  CRect r;
  button.GetWindowRect(&r);
  list_.ScreenToClient(&r);
  CRect item;
  list_.GetItemRect(2, &item);
  EXPECT_EQ(r, CRect(item.right - 25, item.top, item.right, item.bottom - 3));

  qm_user_clear_choosers();
  qm_user_push_color_answer({false, 0});
  button.SendMessage(BM_CLICK);
  ASSERT_EQ(qm_user_choosers_shown().size(), 1u);
  EXPECT_EQ(qm_user_choosers_shown()[0].initial, RGB(255, 0, 0));
  EXPECT_EQ(rows_[2].value.str(), "RGB(255,0,0)") << "a cancel changes nothing";

  qm_user_push_color_answer({true, RGB(0, 0, 255)});
  button.SendMessage(BM_CLICK);
  EXPECT_EQ(rows_[2].value.str(), "RGB(0,0,255)");
  EXPECT_EQ(rows_[2].colour, RGB(0, 0, 255));
  EXPECT_FALSE(button.IsWindowVisible());
}

TEST_F(PropertyListTest, NarrowValueCellKeepsTheWholeCellForTheButton) {
  list_.set_divider(280);  // a value cell of 20 pixels
  click_row(2);
  CRect r, item;
  list_.button().GetWindowRect(&r);
  list_.ScreenToClient(&r);
  list_.GetItemRect(2, &item);
  EXPECT_EQ(r, CRect(280, item.top, item.right, item.bottom - 3));
}

TEST_F(PropertyListTest, FileAndFontRowsTakeTheChosenNames) {
  rows_[0] = {"Picture", "/srv/pics/old.gif", PropertyRow::kFile, "", 0, 0.0, 0};
  rows_[1] = {"Face", "", PropertyRow::kFont, "", 0, 0.0, 0};
  qm_user_clear_file_dialogs();
  qm_user_push_file_dialog_answer("/srv/pics/new.gif");
  click_row(0);
  list_.button().SendMessage(BM_CLICK);
  ASSERT_EQ(qm_user_file_dialogs().size(), 1u);
  const QmFileDialog& asked = qm_user_file_dialogs()[0];
  EXPECT_EQ(asked.title, "Select file");
  EXPECT_EQ(asked.initial_dir, "/srv/pics");
  EXPECT_EQ(asked.filter, std::string("Gif Files (*.gif)\0*.gif", 23));
  EXPECT_EQ(rows_[0].value.str(), "/srv/pics/new.gif");

  qm_user_push_font_answer({true, "Courier New", 100, 400, false, 0});
  click_row(1);
  list_.button().SendMessage(BM_CLICK);
  ASSERT_FALSE(qm_user_choosers_shown().empty());
  EXPECT_EQ(qm_user_choosers_shown().back().flags & (CF_SCREENFONTS | CF_EFFECTS),
            static_cast<DWORD>(CF_SCREENFONTS | CF_EFFECTS));
  EXPECT_EQ(rows_[1].value.str(), "Courier New");
}

TEST(PropertyListColour, RgbValuesAreReadDefensively) {
  struct Case {
    const char* value;
    COLORREF want;
  };
  const Case cases[] = {
      {"RGB(255,0,0)", RGB(255, 0, 0)},
      {"RGB(0,0,255)", RGB(0, 0, 255)},
      {"RGB( 1 , 2 , 3 )", RGB(1, 2, 3)},
      {"RGB(12,34,56)", RGB(12, 34, 56)},
      {"16777215", RGB(0, 0, 0)},  // the panel's own colour text
      {"0xffff00", RGB(0, 0, 0)},
      {"", RGB(0, 0, 0)},
      {"RGB", RGB(0, 0, 0)},
      {"RGB(", RGB(0, 0, 0)},
      {"RGB(1,2", RGB(0, 0, 0)},
      {"RGB(1,2,", RGB(0, 0, 0)},
      {"RGB(1,2,3", RGB(0, 0, 0)},
      {"RGB(1,2,3)x", RGB(0, 0, 0)},
      {"RGB(256,0,0)", RGB(0, 0, 0)},
      {"RGB(-1,0,0)", RGB(0, 0, 0)},
      {"RGB(0001,0,0)", RGB(0, 0, 0)},
      {"RGB(a,b,c)", RGB(0, 0, 0)},
      {"RGB(,,)", RGB(0, 0, 0)},
      {"rgb(1,2,3)", RGB(0, 0, 0)},
      {" RGB(1,2,3)", RGB(0, 0, 0)},
      {nullptr, RGB(0, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(PropertyListCtrl::colour_of(c.value), c.want) << (c.value ? c.value : "null");
}

}  // namespace
}  // namespace control_test
