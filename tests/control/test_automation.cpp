// The control's automation interface, called as a container calls it: by
// name through GetIDsOfNames and Invoke. Each member's main path, the edge
// cases of the interface, its answers without a view, and hostile ids,
// counts and strings that must never crash.
#include <qm_print.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>

#include "api/api_extents.h"
#include "control/control_ids.h"
#include "control/control_state.h"
#include "control/control_texts.h"
#include "control/dialogs/block_library_dialog.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/mb_layer.h"
#include "database/mb_settings.h"
#include "display/interaction/mb_mouse_tool.h"
#include "tests/control/automation_client.h"
#include "tests/control/control_fixture.h"
#include "tests/support/expect_pt.h"
#include "tests/support/test_temp.h"

#include <ximage.h>

namespace control_test {
namespace {

using C = CQuillmarkOcxCtrl;

bool file_exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

class AutomationTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    saved_settings_ = g_system_setting;
    saved_state_ = quill_control_state();
    ax_ = std::make_unique<Automation>(&hosted_->ctrl());
  }
  void TearDown() override {
    ax_.reset();
    g_system_setting = saved_settings_;
    quill_control_state() = saved_state_;
    for (int i = 0; i < quill::kPermissionCount; ++i) CQuillView::permit(i, true);
    ToolTest::TearDown();
  }
  Automation& ax() { return *ax_; }
  LONG line(double x0, double y0, double x1, double y1) {
    return ax().i4("CreateLine", {R8(x0), R8(y0), R8(x1), R8(y1)});
  }
  template <class T>
  T* entity(LONG id) {
    return static_cast<T*>(C::entity_of(id));
  }

  MB_System_Setting saved_settings_;
  Quill_Control_State saved_state_;
  std::unique_ptr<Automation> ax_;
};

// ---------------------------------------------------------------------------
// The published table

struct Published {
  DISPID id;
  const char* name;
  bool property;
  VARTYPE result;
  std::vector<VARTYPE> params;
};

constexpr VARTYPE PR8 = VT_R8 | VT_BYREF;
constexpr VARTYPE PI4 = VT_I4 | VT_BYREF;

const std::vector<Published>& published() {
  static const std::vector<Published> table = {
      {1, "DocumentName", true, VT_BSTR, {}},
      {2, "SavePath", true, VT_BSTR, {}},
      {3, "BackColor", true, VT_I4, {}},
      {4, "DisplayCreateBar", true, VT_BOOL, {}},
      {5, "DisplayStandardBar", true, VT_BOOL, {}},
      {6, "UseEvents", true, VT_I4, {}},
      {7, "DisplayModifyBar", true, VT_BOOL, {}},
      {8, "DisplayControlBar", true, VT_BOOL, {}},
      {9, "Test01", false, VT_I4, {VT_I4}},
      {10, "CreateArc", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8, VT_R8}},
      {11, "CreateArcSEM", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8}},
      {12, "CreateArcSME", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8}},
      {13, "CreateBspline", false, VT_I4, {PR8, PR8, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8}},
      {14, "CreateCircle", false, VT_I4, {VT_R8, VT_R8, VT_R8}},
      {15, "CreateCircleBy3Pt", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8}},
      {16, "CreateEllipse", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8, VT_R8}},
      {17, "CreateEllipseArc", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8}},
      {18, "CreateInsert", false, VT_I4, {VT_BSTR, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8}},
      {19, "CreateLayer", false, VT_I4, {VT_BSTR, VT_I4, VT_I4, VT_I4}},
      {20, "CreateLine", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8}},
      {21, "CreateLine3d", false, VT_I4, {VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2}},
      {22, "CreateLines", false, VT_I4, {PR8, PR8, VT_I4}},
      {23, "CreatePoint", false, VT_I4, {VT_R8, VT_R8, VT_R8}},
      {24, "CreateRect", false, VT_I4, {VT_R8, VT_R8, VT_R8, VT_R8}},
      {25, "CreateSolid", false, VT_I4, {PR8, PR8, VT_I4}},
      {26, "CreateText", false, VT_I4, {VT_BSTR, VT_R8, VT_R8, VT_BSTR, VT_R8, VT_R8, VT_R8, VT_I4}},
      {27, "OpenFile", false, VT_EMPTY, {VT_BSTR}},
      {28, "PrintFile", false, VT_EMPTY, {}},
      {29, "SetPrintTextMark", false, VT_EMPTY, {VT_BSTR, VT_R8, VT_R8, VT_R8, VT_BSTR}},
      {30, "SetPrintImageMark", false, VT_EMPTY, {VT_BSTR, VT_R8, VT_R8}},
      {31, "PrintScreen", false, VT_EMPTY, {}},
      {32, "SetTool", false, VT_EMPTY, {VT_I4, VT_BSTR}},
      {33, "SetOperation", false, VT_EMPTY, {VT_I2, VT_I2}},
      {34, "SetColor", false, VT_I2, {VT_I4, VT_I4}},
      {35, "SetObjectColor", false, VT_I2, {VT_I4, VT_I4}},
      {36, "ZoomAll", false, VT_EMPTY, {}},
      {37, "RedrawAll", false, VT_EMPTY, {}},
      {38, "SaveFile", false, VT_I2, {VT_BSTR}},
      {39, "ExportDxf", false, VT_I2, {VT_BSTR}},
      {40, "ExportImage", false, VT_I2, {VT_BSTR, VT_I4, VT_I4, VT_I2, VT_I4}},
      {41, "PrintRect", false, VT_I2, {VT_I4, VT_I4, VT_I4, VT_I4}},
      {42, "GetVersionInfo", false, VT_I4, {VT_BSTR, VT_I2}},
      {43, "ZoomView", false, VT_I2, {VT_R8}},
      {44, "ZoomWindow", false, VT_I2, {VT_R8, VT_R8, VT_R8, VT_R8}},
      {45, "PanView", false, VT_I2, {VT_I4, VT_I4, VT_I4, VT_I4}},
      {46, "InsertImage", false, VT_I4, {VT_BSTR, VT_R8, VT_R8, VT_R8}},
      {47, "GetPoint", false, VT_I2, {VT_I4, VT_I4, PR8, PR8}},
      {48, "GetReal", false, VT_R8, {VT_I4, VT_I4}},
      {49, "GetLong", false, VT_I4, {VT_I4, VT_I4}},
      {50, "GetText", false, VT_I2, {VT_I2, VT_I2, VT_BSTR | VT_BYREF}},
      {51, "ExportRectImage", false, VT_I2, {VT_BSTR, VT_R8, VT_R8, VT_R8, VT_R8, VT_I4, VT_I4, VT_I2, VT_I4}},
      {52, "SetLong", false, VT_I2, {VT_I4, VT_I4, VT_I4}},
      {53, "SetReal", false, VT_I2, {VT_I4, VT_I4, VT_R8}},
      {54, "SetPoint", false, VT_I2, {VT_I4, VT_I4, VT_R8, VT_R8}},
      {55, "DeleteObject", false, VT_I2, {VT_I4}},
      {56, "DeleteSelectList", false, VT_I2, {}},
      {57, "SetString", false, VT_I2, {VT_I4, VT_I4, VT_BSTR}},
      {58, "GetSnapPoint", false, VT_I2, {PR8}},
      {59, "GetCurPoint", false, VT_I2, {PR8, VT_I4}},
      {60, "RotateObject", false, VT_I2, {VT_I4, VT_R8, VT_R8, VT_R8}},
      {61, "GetRect", false, VT_I2, {VT_I4, PR8}},
      {62, "GetSnapObject", false, VT_I4, {}},
      {63, "GetObjectType", false, VT_I4, {VT_I4}},
      {64, "GetString", false, VT_BSTR, {VT_I4, VT_I4}},
      {65, "CreateBlock", false, VT_I4, {VT_BSTR, VT_R8, VT_R8, PI4, VT_I4, VT_BSTR}},
      {66, "CreateBlockBySelectObjectList", false, VT_I4, {VT_BSTR, VT_R8, VT_R8, VT_BSTR}},
      {67, "Explode", false, VT_I2, {VT_I4, VT_I2}},
      {68, "CreateHatch", false, VT_I4, {VT_BSTR, VT_R8, VT_R8, VT_I4, PI4, PR8, PR8}},
      {69, "CreatHatchByObjectList", false, VT_I4, {VT_BSTR, VT_R8, VT_R8, VT_I4, PI4}},
      {70, "CreatePolyline", false, VT_I4, {PR8, PR8, PR8, PR8, PR8, VT_I4, VT_I2}},
      {71, "PrintAll", false, VT_I2, {VT_R8, VT_I2}},
      {72, "SetDefaultTool", false, VT_EMPTY, {VT_I4, VT_I2}},
      {74, "ShowLibDlg", false, VT_I2, {VT_I2}},
      {75, "ExportHpgl", false, VT_I2, {VT_BSTR, VT_I2}},
      {76, "GetObject", false, VT_I4, {VT_I4}},
      {77, "GetObjectCount", false, VT_I4, {}},
      {DISPID_ABOUTBOX, "AboutBox", false, VT_EMPTY, {}},
  };
  return table;
}

TEST_F(AutomationTest, EveryMemberHasItsIdNameAndKinds) {
  const QmDispatchTable& table = hosted_->ctrl().GetDispatchTable();
  EXPECT_EQ(table.problems(), "");
  EXPECT_EQ(table.members().size(), published().size());
  for (const Published& p : published()) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(ax().id(p.name), p.id);
    const QmDispMember* m = table.find(p.id);
    ASSERT_TRUE(m);
    EXPECT_STREQ(m->name, p.name);
    EXPECT_EQ(m->property, p.property);
    EXPECT_EQ(m->result, p.result);
    EXPECT_EQ(m->params, p.params);
    if (p.property) {
      EXPECT_TRUE(m->put);
    }
  }
  // Names are found without regard to case; 73 is no member.
  EXPECT_EQ(ax().id("getobjectcount"), 77);
  VARIANT r;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(hosted_->ctrl().Invoke(73, DISPATCH_METHOD, &none, &r, nullptr), DISP_E_MEMBERNOTFOUND);
  // Argument kinds are held to: a text where a number is wanted, a number
  // where an array is wanted, a missing argument.
  EXPECT_EQ(ax().invoke("CreateCircle", {S("x"), R8(0), R8(1)}, &r), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(ax().invoke("CreateLines", {R8(0), R8(0), I4(1)}, &r), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(ax().invoke("CreateCircle", {R8(0), R8(1)}, &r), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(ax().i4("GetObjectCount"), 0) << "nothing was made by the refused calls";
}

// ---------------------------------------------------------------------------
// Creating entities

TEST_F(AutomationTest, EachCreatorMakesItsKindInTheViewsDrawing) {
  std::vector<double> x3 = {0, 10, 20}, y3 = {0, 10, 0};
  std::vector<double> x4 = {0, 10, 10, 0}, y4 = {0, 0, 10, 10};
  std::vector<double> zeros3 = {0, 0, 0};
  std::vector<double> zeros3b = {0, 0, 0}, zeros3c = {0, 0, 0};
  std::vector<LONG> loop = {4};
  struct Case {
    const char* name;
    std::vector<VARIANT> args;
    LONG type;  // GetObjectType of what is made
  };
  std::vector<Case> cases;
  cases.push_back({"CreateArc", {R8(0), R8(0), R8(10), R8(0), R8(1.5)}, 7});
  cases.push_back({"CreateArcSEM", {R8(10), R8(0), R8(-10), R8(0), R8(0), R8(10)}, 7});
  cases.push_back({"CreateArcSME", {R8(10), R8(0), R8(0), R8(10), R8(-10), R8(0)}, 7});
  cases.push_back({"CreateBspline", {Ref(x3), Ref(y3), I4(3), R8(0), R8(0), R8(0), R8(0)}, 10});
  cases.push_back({"CreateCircle", {R8(1), R8(2), R8(3)}, 6});
  cases.push_back({"CreateCircleBy3Pt", {R8(1), R8(0), R8(0), R8(1), R8(-1), R8(0)}, 6});
  cases.push_back({"CreateEllipse", {R8(0), R8(0), R8(20), R8(10), R8(0)}, 8});
  cases.push_back({"CreateEllipseArc", {R8(0), R8(0), R8(20), R8(10), R8(0), R8(0), R8(3)}, 9});
  cases.push_back({"CreateInsert", {S("B1"), R8(5), R8(5), R8(0), R8(1), R8(1)}, 22});
  cases.push_back({"CreateLine", {R8(0), R8(0), R8(10), R8(10)}, 1});
  cases.push_back({"CreateLine3d", {I2(0), I2(0), I2(0), I2(10), I2(10), I2(5)}, 1});
  cases.push_back({"CreateLines", {Ref(x3), Ref(y3), I4(3)}, 2});
  cases.push_back({"CreatePoint", {R8(1), R8(2), R8(3)}, 0});
  cases.push_back({"CreateRect", {R8(0), R8(0), R8(10), R8(5)}, 2});
  cases.push_back({"CreateSolid", {Ref(x4), Ref(y4), I4(4)}, -1});
  cases.push_back({"CreateText", {S("abc"), R8(0), R8(0), S("Standard"), R8(0), R8(2.5), R8(1), I4(0)}, 13});
  cases.push_back({"CreateHatch", {S("ANSI31"), R8(0), R8(1), I4(1), Ref(loop), Ref(x4), Ref(y4)}, -1});
  cases.push_back({"CreatePolyline", {Ref(x3), Ref(y3), Ref(zeros3), Ref(zeros3b), Ref(zeros3c), I4(3), I2(0)}, 12});
  std::vector<LONG> ids;
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LONG before = ax().i4("GetObjectCount");
    const LONG id = ax().i4(c.name, std::move(c.args));
    ASSERT_GT(id, 0);
    for (LONG earlier : ids) EXPECT_NE(id, earlier);
    ids.push_back(id);
    EXPECT_EQ(ax().i4("GetObjectType", {I4(id)}), c.type);
    EXPECT_EQ(ax().i4("GetObjectCount"), before + 1);
    EXPECT_EQ(ax().i4("GetObject", {I4(before + 1)}), id) << "appended to the view's own drawing";
    EXPECT_TRUE(op_->drawing()->object_list().contains(C::entity_of(id)));
  }
}

TEST_F(AutomationTest, ArcsAndCirclesThroughThreePointsLieOnThem) {
  const LONG sem = ax().i4("CreateArcSEM", {R8(10), R8(0), R8(-10), R8(0), R8(0), R8(10)});
  const LONG sme = ax().i4("CreateArcSME", {R8(10), R8(0), R8(0), R8(10), R8(-10), R8(0)});
  MB_Arc* a = entity<MB_Arc>(sem);
  MB_Arc* b = entity<MB_Arc>(sme);
  ASSERT_TRUE(a && b);
  expect_pt(a->center(), 0, 0, 1e-9);
  EXPECT_NEAR(a->radius(), 10, 1e-9);
  EXPECT_NEAR(a->start_angle(), 0, 1e-9);
  EXPECT_NEAR(std::fabs(a->end_angle()), M_PI, 1e-9);
  // The middle-point member is the end-point member with its points swapped.
  expect_pt(b->center(), a->center().x(), a->center().y(), 1e-12);
  EXPECT_EQ(b->radius(), a->radius());
  EXPECT_EQ(b->start_angle(), a->start_angle());
  EXPECT_EQ(b->end_angle(), a->end_angle());

  MB_Circle* c = entity<MB_Circle>(ax().i4("CreateCircleBy3Pt", {R8(1), R8(0), R8(0), R8(1), R8(-1), R8(0)}));
  ASSERT_TRUE(c);
  expect_pt(c->center(), 0, 0, 1e-9);
  EXPECT_NEAR(c->radius(), 1, 1e-9);
  // Points on one line make no circle: nothing rather than a made-up one.
  EXPECT_EQ(ax().i4("CreateArcSEM", {R8(0), R8(0), R8(2), R8(0), R8(1), R8(0)}), 0);
  EXPECT_EQ(ax().i4("CreateCircleBy3Pt", {R8(0), R8(0), R8(1), R8(1), R8(2), R8(2)}), 0);
  EXPECT_EQ(ax().i4("GetObjectCount"), 3);
}

TEST_F(AutomationTest, TextsAndStringsCrossAsGbk) {
  const std::string chinese = "\xd6\xd0\xce\xc4";  // 中文
  const LONG text = ax().i4("CreateText", {S(chinese), R8(1), R8(2), S("Standard"), R8(0), R8(3), R8(1), I4(0)});
  ASSERT_TRUE(entity<MB_Text>(text));
  EXPECT_STREQ(entity<MB_Text>(text)->string().ascii(), chinese.c_str());
  EXPECT_EQ(ax().str("GetString", {I4(text), I4(-301)}), chinese);
  // The string comes back as UTF-16: the host reads the characters.
  VARIANT r = ax().call("GetString", {I4(text), I4(-301)});
  EXPECT_EQ(qm_bstr_text(r.bstrVal), u"\u4e2d\u6587");
  VariantClear(&r);

  const LONG l = line(0, 0, 1, 1);
  EXPECT_EQ(ax().str("GetString", {I4(l), I4(-301)}), "") << "a line has no text";
  EXPECT_EQ(ax().str("GetString", {I4(l), I4(-302)}), "") << "no extended data yet";
  EXPECT_EQ(ax().i2("SetString", {I4(l), I4(-302), S("note " + chinese)}), 1);
  EXPECT_EQ(ax().str("GetString", {I4(l), I4(-302)}), "note " + chinese);
  EXPECT_EQ(ax().str("GetString", {I4(l), I4(7)}), "");
  EXPECT_EQ(ax().str("GetString", {I4(0), I4(-302)}), " ");
}

TEST_F(AutomationTest, LayersAndBlocksGetIdsThatNameNoEntity) {
  const LONG layer = ax().i4("CreateLayer", {S("walls"), I4(0xFF), I4(70000), I4(5)});
  ASSERT_GT(layer, 0);
  MB_Layer* made = static_cast<MB_Layer*>(MB_Object::from_handle(static_cast<uint32_t>(layer)));
  ASSERT_TRUE(made);
  EXPECT_TRUE(op_->drawing()->layer_list().contains(made));
  EXPECT_EQ(ax().i4("GetObjectType", {I4(layer)}), -1);
  EXPECT_EQ(ax().i2("DeleteObject", {I4(layer)}), 0);
  EXPECT_TRUE(op_->drawing()->layer_list().contains(made));
  EXPECT_EQ(ax().i4("GetObjectCount"), 0);
}

TEST_F(AutomationTest, ABlockTakesOnlyTheLiveEntitiesNamedAndExplodesFromItsInsert) {
  const LONG a = line(0, 0, 10, 0);
  const LONG b = line(0, 0, 0, 10);
  std::vector<LONG> ents = {a, 0, -5, 0x7FFFFFFF, b, -1};
  const LONG block = ax().i4("CreateBlock", {S("B"), R8(0), R8(0), Ref(ents), I4(6), S("two lines")});
  ASSERT_GT(block, 0);
  MB_Block* made = static_cast<MB_Block*>(MB_Object::from_handle(static_cast<uint32_t>(block)));
  ASSERT_TRUE(made);
  EXPECT_EQ(made->object_list().count(), 2);
  EXPECT_EQ(ax().i4("GetObjectType", {I4(block)}), -1);
  // Only the first ent_array_size ids count.
  std::vector<LONG> first_only = {a, b};
  const LONG one = ax().i4("CreateBlock", {S("C"), R8(0), R8(0), Ref(first_only), I4(1), S("")});
  ASSERT_GT(one, 0);
  EXPECT_EQ(static_cast<MB_Block*>(MB_Object::from_handle(static_cast<uint32_t>(one)))->object_list().count(), 1);

  const LONG insert = ax().i4("CreateInsert", {S("B"), R8(100), R8(0), R8(0), R8(1), R8(1)});
  ASSERT_EQ(ax().i4("GetObjectType", {I4(insert)}), 22);
  EXPECT_EQ(ax().i4("GetObjectCount"), 3);
  EXPECT_EQ(ax().i2("Explode", {I4(insert), I2(0)}), 0);
  ASSERT_EQ(ax().i4("GetObjectCount"), 5) << "the insert stays; its two lines join the drawing";
  MB_Line* copy = entity<MB_Line>(ax().i4("GetObject", {I4(4)}));
  ASSERT_TRUE(copy);
  expect_pt(copy->start(), 100, 0, 1e-9);
  expect_pt(copy->end(), 110, 0, 1e-9);
  EXPECT_EQ(ax().i2("Explode", {I4(a), I2(0)}), 0) << "a line does not explode";
  EXPECT_EQ(ax().i4("GetObjectCount"), 5);
  EXPECT_EQ(ax().i2("Explode", {I4(0), I2(0)}), -1);
}

TEST_F(AutomationTest, HatchLoopsTakeTheirPointsInTurn) {
  std::vector<double> x = {0, 10, 10, 0, 2, 4, 3};
  std::vector<double> y = {0, 0, 10, 10, 2, 2, 4};
  std::vector<LONG> sizes = {4, 3};
  const LONG hatch = ax().i4("CreateHatch", {S("ANSI31"), R8(0), R8(1), I4(2), Ref(sizes), Ref(x), Ref(y)});
  ASSERT_GT(hatch, 0);
  As_Rect r;
  ASSERT_TRUE(api_mb_get_entity_list_rect(op_->drawing()->object_list(), r));
  expect_pt(r.lt(), 0, 10, 1e-9);
  expect_pt(r.rb(), 10, 0, 1e-9);
}

// ---------------------------------------------------------------------------
// Walking and reading the drawing

TEST_F(AutomationTest, ObjectsAreCountedFromOneAndEndWithTheLast) {
  EXPECT_EQ(ax().i4("GetObjectCount"), 0);
  EXPECT_EQ(ax().i4("GetObject", {I4(1)}), 0) << "an empty drawing";
  const LONG a = line(0, 0, 1, 0), b = line(0, 0, 2, 0), c = line(0, 0, 3, 0);
  EXPECT_EQ(ax().i4("GetObjectCount"), 3);
  EXPECT_EQ(ax().i4("GetObject", {I4(1)}), a);
  EXPECT_EQ(ax().i4("GetObject", {I4(2)}), b);
  EXPECT_EQ(ax().i4("GetObject", {I4(3)}), c);
  for (LONG index : {4, 0, -1, 0x7FFFFFFF, -0x7FFFFFFF - 1}) EXPECT_EQ(ax().i4("GetObject", {I4(index)}), 0) << index;
  // Entities added behind the interface's back are seen at the next call.
  op_->drawing()->add_object(new MB_Line(As_Pt(0, 0, 0), As_Pt(4, 0, 0)));
  EXPECT_EQ(ax().i4("GetObjectCount"), 4);
  const LONG d = ax().i4("GetObject", {I4(4)});
  EXPECT_GT(d, c);
  EXPECT_EQ(ax().i4("GetObject", {I4(4)}), d) << "asked again: the same id";
}

TEST_F(AutomationTest, IdsOfDeletedEntitiesAreRejectedAndNeverGivenAgain) {
  const LONG a = line(0, 0, 1, 0);
  const LONG b = line(0, 0, 2, 0);
  const int commands_before = commands();
  EXPECT_EQ(ax().i2("DeleteObject", {I4(a)}), 1);
  EXPECT_EQ(commands(), commands_before + 1) << "one undoable command";
  EXPECT_STREQ(last_command(), quill::kTextDelete);
  EXPECT_EQ(ax().i4("GetObjectCount"), 1);
  EXPECT_EQ(ax().i4("GetObjectType", {I4(a)}), -1);
  EXPECT_EQ(ax().i2("DeleteObject", {I4(a)}), 0) << "already gone";
  EXPECT_EQ(ax().i2("SetReal", {I4(a), I4(MB_PROP_REAL_VAL), R8(1)}), 0);
  // Undo brings the same entity back, and its id with it.
  command(quill::kCommandUndo);
  EXPECT_EQ(ax().i4("GetObjectCount"), 2);
  EXPECT_EQ(ax().i4("GetObjectType", {I4(a)}), 1);
  // New entities get new ids, whatever memory they take.
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(ax().i2("DeleteObject", {I4(b)}), i == 0 ? 1 : 0);
    const LONG n = line(0, 0, 5, 5);
    EXPECT_NE(n, a);
    EXPECT_NE(n, b);
  }
}

TEST_F(AutomationTest, DeletingTheSelectionIsOneUndoableCommand) {
  const LONG a = line(0, 0, 1, 0);
  line(0, 0, 2, 0);
  op_->add_entity_to_selection(C::entity_of(a), false);
  EXPECT_EQ(ax().i2("DeleteSelectList"), 1);
  EXPECT_EQ(ax().i4("GetObjectCount"), 1);
  EXPECT_STREQ(last_command(), quill::kTextDelete);
  undo();
  EXPECT_EQ(ax().i4("GetObjectCount"), 2);
  EXPECT_EQ(ax().i2("DeleteSelectList"), 1) << "an empty selection deletes nothing";
  EXPECT_EQ(ax().i4("GetObjectCount"), 2);
}

TEST_F(AutomationTest, ObjectTypesMapTheKernelsKinds) {
  struct Case {
    MB_Drawable* entity;
    LONG type;
  };
  MB_Drawing* d = op_->drawing();
  const Case cases[] = {
      {new MB_Circle(As_Pt(0, 0, 0), 1), 6},
      {new MB_Arc(As_Pt(0, 0, 0), 1, 0, 1), 7},
      {new MB_Text(As_Pt(0, 0, 0), MB_String("t")), 13},
      {new MB_Image(), -1},
  };
  for (const Case& c : cases) {
    d->add_object(c.entity);
    EXPECT_EQ(ax().i4("GetObjectType", {I4(static_cast<LONG>(c.entity->handle()))}), c.type);
  }
  for (LONG bad : {0, -1, -2, 0x7FFFFFFF}) EXPECT_EQ(ax().i4("GetObjectType", {I4(bad)}), -1) << bad;
}

TEST_F(AutomationTest, PropertiesOfEntitiesAreReadAndWrittenById) {
  const LONG l = line(0, 0, 10, 0);
  EXPECT_EQ(ax().i2("SetLong", {I4(l), I4(MB_PROP_USER_ID), I4(42)}), 0) << "SetLong answers 0 in every case";
  EXPECT_EQ(ax().i4("GetLong", {I4(l), I4(MB_PROP_USER_ID)}), 42);
  EXPECT_EQ(ax().i2("SetReal", {I4(l), I4(MB_PROP_REAL_VAL), R8(2.5)}), 1);
  EXPECT_EQ(C::entity_of(l)->real_val(), 2.5);
  EXPECT_EQ(ax().i2("SetPoint", {I4(l), I4(MB_PROP_START), R8(1), R8(1)}), 1);
  // The members the interface keeps as constant answers.
  std::vector<double> px = {7}, py = {7};
  EXPECT_EQ(ax().i2("GetPoint", {I4(l), I4(MB_PROP_START), Ref(px), Ref(py)}), 0);
  EXPECT_EQ(px[0], 7);
  EXPECT_EQ(ax().r8("GetReal", {I4(l), I4(MB_PROP_LENGTH)}), 0.0);
}

TEST_F(AutomationTest, GetTextWritesTheFixedAnswerOnlyWhereTheStringHasRoom) {
  const LONG l = line(0, 0, 1, 0);
  ASSERT_LT(l, 0x8000) << "GetText takes 16-bit ids";
  struct Case {
    const char* given;
    const char16_t* after;
  } cases[] = {{"abcd", u"12cd"}, {"ab", u"12"}, {"a", u"1"}, {"", u""}};
  for (const Case& c : cases) {
    BSTR s = qm_bstr_from_gbk(c.given);
    EXPECT_EQ(ax().i2("GetText", {I2(static_cast<SHORT>(l)), I2(0), qm_variant_ref(&s)}), 0);
    EXPECT_EQ(qm_bstr_text(s), c.after) << c.given;
    SysFreeString(s);
  }
  BSTR null_string = nullptr;
  EXPECT_EQ(ax().i2("GetText", {I2(static_cast<SHORT>(l)), I2(0), qm_variant_ref(&null_string)}), 0);
  EXPECT_EQ(null_string, nullptr);
  BSTR s = qm_bstr_from_gbk("xy");
  for (SHORT bad : {SHORT(0), SHORT(-1), SHORT(32767)})
    EXPECT_EQ(ax().i2("GetText", {I2(bad), I2(0), qm_variant_ref(&s)}), -1) << bad;
  EXPECT_EQ(qm_bstr_text(s), u"xy");
  SysFreeString(s);
}

TEST_F(AutomationTest, ColoursOfEveryEntityOrOneAndTheSettings) {
  const LONG a = line(0, 0, 1, 0), b = line(0, 0, 2, 0);
  const int32_t background = g_system_setting.get_long_val(MB_BACKGROUND_COLOR);
  EXPECT_EQ(ax().i2("SetObjectColor", {I4(-1), I4(0x123456)}), 1);
  for (LONG id : {a, b}) {
    EXPECT_EQ(C::entity_of(id)->general().color(), 0x123456);
    EXPECT_EQ(C::entity_of(id)->general().display_color(), 0x123456);
  }
  // The background colour is drawn as its complement.
  EXPECT_EQ(ax().i2("SetObjectColor", {I4(a), I4(background)}), 1);
  EXPECT_EQ(C::entity_of(a)->general().color(), background);
  EXPECT_EQ(C::entity_of(a)->general().display_color(), ~background & 0xFFFFFF);
  EXPECT_EQ(C::entity_of(b)->general().color(), 0x123456);
  for (LONG bad : {0, -2, 0x7FFFFFFF}) EXPECT_EQ(ax().i2("SetObjectColor", {I4(bad), I4(1)}), 0) << bad;

  for (LONG i : {0, 1, 2, 3}) {
    EXPECT_EQ(ax().i2("SetColor", {I4(i), I4(0x010203 + i)}), 0);
    EXPECT_EQ(g_system_setting.get_long_val(i), 0x010203 + i);
  }
  EXPECT_EQ(ax().i2("SetColor", {I4(1000), I4(5)}), 0) << "an index outside the settings writes nothing";
  EXPECT_EQ(ax().i2("SetColor", {I4(-1), I4(5)}), 0);
}

TEST_F(AutomationTest, RotateTurnsEveryEntityAboutTheBasePointOnlyForMinusOne) {
  const LONG l = line(10, 0, 20, 0);
  MB_Line* e = entity<MB_Line>(l);
  for (LONG other : {l, 0, -2}) {
    EXPECT_EQ(ax().i2("RotateObject", {I4(other), R8(10), R8(0), R8(M_PI / 2)}), 0);
    expect_pt(e->end(), 20, 0, 0);
  }
  EXPECT_EQ(ax().i2("RotateObject", {I4(-1), R8(10), R8(0), R8(NAN)}), 0);
  expect_pt(e->end(), 20, 0, 0);
  EXPECT_EQ(ax().i2("RotateObject", {I4(-1), R8(10), R8(0), R8(M_PI / 2)}), 0);
  expect_pt(e->start(), 10, 0, 1e-9);
  expect_pt(e->end(), 10, 10, 1e-9);

  // An image's raster turns with it.
  CxImage* raster = new CxImage;
  raster->Create(4, 2, 24);
  MB_Image* image = new MB_Image(raster);
  image->width(4);
  image->height(2);
  op_->drawing()->add_object(image);
  EXPECT_EQ(ax().i2("RotateObject", {I4(-1), R8(0), R8(0), R8(M_PI / 2)}), 0);
  EXPECT_EQ(image->image()->GetWidth(), 2u);
  EXPECT_EQ(image->image()->GetHeight(), 4u);
  EXPECT_EQ(image->width(), 2);
  EXPECT_EQ(image->height(), 4);
}

TEST_F(AutomationTest, GetRectGivesTheExtentsOrZerosOnlyForMinusOne) {
  std::vector<double> r = {9, 9, 9, 9};
  EXPECT_EQ(ax().i2("GetRect", {I4(-1), Ref(r)}), 0);
  EXPECT_EQ(r, (std::vector<double>{0, 0, 0, 0})) << "an empty drawing";
  line(-5, 1, 10, 20);
  EXPECT_EQ(ax().i2("GetRect", {I4(-1), Ref(r)}), 0);
  EXPECT_EQ(r, (std::vector<double>{-5, 20, 10, 1}));
  std::vector<double> untouched = {9, 9, 9, 9};
  EXPECT_EQ(ax().i2("GetRect", {I4(1), Ref(untouched)}), 0);
  EXPECT_EQ(untouched, (std::vector<double>{9, 9, 9, 9}));
  std::vector<double> short_array = {9, 9, 9};
  EXPECT_EQ(ax().i2("GetRect", {I4(-1), Ref(short_array)}), 0);
  EXPECT_EQ(short_array, (std::vector<double>{9, 9, 9})) << "four values do not fit: none is written";
}

// ---------------------------------------------------------------------------
// The view, tools and settings

TEST_F(AutomationTest, ZoomViewRefusesFactorsThatAreNotPositiveNumbers) {
  const As_Tran before = op_->screen_to_drawing();
  for (double bad : {0.0, -2.0, double(NAN), double(INFINITY), -double(INFINITY)}) {
    EXPECT_EQ(ax().i2("ZoomView", {R8(bad)}), 0) << bad;
    EXPECT_EQ(op_->screen_to_drawing().scaling(), before.scaling()) << bad;
  }
  EXPECT_EQ(ax().i2("ZoomView", {R8(2)}), 1);
  EXPECT_NE(op_->screen_to_drawing().scaling(), before.scaling());
  ax().none("ZoomAll");
  ax().none("RedrawAll");
}

TEST_F(AutomationTest, UseEventsRemovesTheToolUntilACreationCommandClearsIt) {
  move(50, 50);  // the select tool comes with the first move
  ASSERT_TRUE(op_->get_active_tool());
  EXPECT_EQ(ax().get("UseEvents").lVal, 0);
  ax().put("UseEvents", I4(1));
  EXPECT_EQ(ax().get("UseEvents").lVal, 1);
  EXPECT_EQ(op_->get_active_tool(), nullptr);
  command(32780);  // the line command leaves the setting
  EXPECT_EQ(ax().get("UseEvents").lVal, 1);
  command(32778);  // the point command clears it
  EXPECT_EQ(ax().get("UseEvents").lVal, 0);
  ax().put("UseEvents", I4(1));
  ax().put("UseEvents", I4(2));
  EXPECT_EQ(ax().get("UseEvents").lVal, 0) << "only 1 turns it on";
}

TEST_F(AutomationTest, TheBarPropertiesShowAndHideTheFramesBars) {
  CQuillFrame* f = hosted_->frame();
  struct Case {
    const char* name;
    CControlBar* bar;
  } cases[] = {{"DisplayCreateBar", &f->creation_bar()},
               {"DisplayStandardBar", &f->standard_bar()},
               {"DisplayModifyBar", &f->modify_bar()},
               {"DisplayControlBar", &f->side_bar()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VARIANT v = ax().get(c.name);
    EXPECT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    ax().put(c.name, qm_variant_bool(false));
    EXPECT_EQ(ax().get(c.name).boolVal, VARIANT_FALSE);
    EXPECT_FALSE(c.bar->IsWindowVisible());
    ax().put(c.name, qm_variant_bool(true));
    EXPECT_TRUE(c.bar->IsWindowVisible());
  }
  // The flags are the control's one set, shared with the frame's menus.
  ax().put("DisplayModifyBar", qm_variant_bool(false));
  EXPECT_FALSE(quill_control_state().modify_bar_shown);
  EXPECT_TRUE(hosted_->ctrl().IsModified());
}

TEST_F(AutomationTest, StringPropertiesAndTheBackground) {
  VARIANT name = ax().get("DocumentName");
  EXPECT_EQ(name.vt, VT_BSTR);
  VariantClear(&name);
  ax().put("DocumentName", S("plan"));
  name = ax().get("DocumentName");
  EXPECT_EQ(qm_bstr_to_gbk(name.bstrVal), "");
  VariantClear(&name);
  ax().put("SavePath", S("/tmp/plans/"));
  EXPECT_EQ(hosted_->view()->save_directory(), "/tmp/plans/");
  VARIANT path = ax().get("SavePath");
  EXPECT_EQ(qm_bstr_to_gbk(path.bstrVal), "") << "the save directory reads back empty";
  VariantClear(&path);
  ax().put("BackColor", I4(0x332211));
  EXPECT_EQ(g_system_setting.get_long_val(MB_BACKGROUND_COLOR), 0x332211);
  EXPECT_EQ(ax().get("BackColor").lVal, 0);
}

TEST_F(AutomationTest, TheDefaultToolPermissionIsSetWithinItsRangeOnly) {
  ax().none("SetDefaultTool", {I4(quill::kPermitDefaultSelect), I2(0)});
  EXPECT_FALSE(CQuillView::permitted(quill::kPermitDefaultSelect));
  move(40, 40);
  EXPECT_EQ(op_->get_active_tool(), nullptr) << "no select tool without its permission";
  ax().none("SetDefaultTool", {I4(quill::kPermitDefaultSelect), I2(5)});
  EXPECT_TRUE(CQuillView::permitted(quill::kPermitDefaultSelect));
  for (LONG bad : {30, -1, 1000000, -0x7FFFFFFF - 1}) ax().none("SetDefaultTool", {I4(bad), I2(0)});
  for (int i = 0; i < quill::kPermissionCount; ++i) EXPECT_TRUE(CQuillView::permitted(i)) << i;
}

TEST_F(AutomationTest, SnapAndCursorPointsComeFromTheActiveTool) {
  std::vector<double> pt = {7, 7};
  EXPECT_EQ(ax().i2("GetSnapPoint", {Ref(pt)}), 0) << "no tool yet";
  EXPECT_EQ(ax().i2("GetCurPoint", {Ref(pt), I4(0)}), 0);
  EXPECT_EQ(ax().i4("GetSnapObject"), 0);
  move(120, 80);  // the select tool comes with the first move,
  move(120, 80);  // and follows the next
  ASSERT_TRUE(op_->get_active_tool());
  EXPECT_EQ(ax().i2("GetCurPoint", {Ref(pt), I4(0)}), 1);
  EXPECT_NEAR(pt[0], 120, 1);
  EXPECT_NEAR(pt[1], 80, 1);
  EXPECT_EQ(ax().i2("GetCurPoint", {Ref(pt), I4(1)}), 1);
  expect_pt(op_->get_active_tool()->cur_pos(), pt[0], pt[1]);
  EXPECT_EQ(ax().i2("GetSnapPoint", {Ref(pt)}), 1);
  std::vector<double> one = {7};
  EXPECT_EQ(ax().i2("GetSnapPoint", {Ref(one)}), 0);
  EXPECT_EQ(ax().i2("GetCurPoint", {Ref(one), I4(0)}), 0);
  EXPECT_EQ(one[0], 7) << "two values do not fit: none is written";
}

// ---------------------------------------------------------------------------
// Files, dialogs, printing

TEST_F(AutomationTest, ExportsWriteOnlyWhatThereIsAndSayWhenNothingWasWritten) {
  const std::string png = qm_test_temp("auto.png"), rect_png = qm_test_temp("auto_rect.png"),
                    plt = qm_test_temp("auto.plt");
  std::remove(png.c_str());
  std::remove(rect_png.c_str());
  EXPECT_EQ(ax().i2("ExportImage", {S(png), I4(64), I4(64), I2(0), I4(0)}), -1);
  EXPECT_FALSE(file_exists(png)) << "an empty drawing writes nothing";
  line(0, 0, 10, 10);
  EXPECT_EQ(ax().i2("ExportImage", {S(png), I4(64), I4(64), I2(0), I4(0)}), 0);
  EXPECT_TRUE(file_exists(png));
  EXPECT_EQ(ax().i2("ExportRectImage", {S(rect_png), R8(0), R8(10), R8(10), R8(0), I4(32), I4(32), I2(0), I4(0)}), 0);
  EXPECT_TRUE(file_exists(rect_png));
  EXPECT_EQ(ax().i2("ExportHpgl", {S(plt), I2(0)}), 0);
  EXPECT_TRUE(file_exists(plt));
  // Each failure tells the user the file and the reason.
  const auto said = [] { return qm_user_message_boxes().empty() ? "" : qm_user_message_boxes().back().text; };
  EXPECT_EQ(ax().i2("ExportHpgl", {S("/nonexistent-folder/x.plt"), I2(0)}), -1);
  EXPECT_NE(said().find("/nonexistent-folder/x.plt\r\nNo such file or directory"), std::string::npos) << said();
  EXPECT_EQ(ax().i2("ExportImage", {S("/nonexistent-folder/x.png"), I4(64), I4(64), I2(0), I4(0)}), -1);
  EXPECT_NE(said().find("/nonexistent-folder/x.png\r\nNo such file or directory"), std::string::npos) << said();
  for (LONG side : {0, 1, -5}) {
    EXPECT_EQ(ax().i2("ExportImage", {S(png), I4(side), I4(64), I2(0), I4(0)}), -1) << side;
    EXPECT_NE(said().find(png + "\r\nthe picture could not be made"), std::string::npos) << said();
  }
  std::remove(png.c_str());
  std::remove(rect_png.c_str());
  std::remove(plt.c_str());
}

// Every picture holds the whole drawing: the area spans the picture's
// pixels from the first to the last, so a square's four sides are all in it
// (its bounding box of ink fills the side that limits the scale and is
// centred on the other), whichever member, size or picture type makes it.
TEST_F(AutomationTest, ExportedPicturesHoldTheRectangleToItsLastColumnAndRow) {
  ASSERT_NE(ax().i4("CreateRect", {R8(0), R8(0), R8(100), R8(100)}), 0);
  struct Picture {
    const char* how;
    const char* name;
    LONG width, height;
  };
  const Picture pictures[] = {
      {"ExportImage", "edges.png", 200, 200},     {"ExportImage", "edges.bmp", 64, 64},
      {"ExportImage", "edges.png", 301, 157},     {"ExportImage", "edges.png", 157, 301},
      {"ExportImage", "edges.png", 2, 2},         {"ExportImage", "edges.wmf", 99, 99},
      {"ExportRectImage", "edges.png", 200, 200}, {"ExportRectImage", "edges.png", 33, 80},
      {"SaveFile", "edges.png", 500, 500},  // the save button's picture
  };
  for (const Picture& p : pictures) {
    SCOPED_TRACE(std::string(p.how) + " " + p.name + " " + std::to_string(p.width) + "x" + std::to_string(p.height));
    const std::string path = qm_test_temp(p.name);
    std::remove(path.c_str());
    SHORT answer = -1;
    if (std::string(p.how) == "ExportImage")
      answer = ax().i2("ExportImage", {S(path), I4(p.width), I4(p.height), I2(0), I4(0)});
    else if (std::string(p.how) == "ExportRectImage")
      answer = ax().i2("ExportRectImage",
                       {S(path), R8(0), R8(100), R8(100), R8(0), I4(p.width), I4(p.height), I2(0), I4(0)});
    else
      answer = ax().i2("SaveFile", {S(path)});
    ASSERT_EQ(answer, 0);
    CxImage image(path.c_str(), qm_picture_format(path.c_str()));
    std::remove(path.c_str());
    ASSERT_TRUE(image.IsValid());
    ASSERT_EQ(long(image.GetWidth()), p.width);
    ASSERT_EQ(long(image.GetHeight()), p.height);
    long left = p.width, right = -1, top = p.height, bottom = -1;
    for (long y = 0; y < p.height; ++y)
      for (long x = 0; x < p.width; ++x)
        if (image.GetPixelColor(x, y) & 0xFFFFFF) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    const long side = std::min(p.width, p.height);  // the square's side in pixels
    EXPECT_EQ(right - left + 1, side);
    EXPECT_EQ(bottom - top + 1, side);
    EXPECT_LE(std::abs(left - (p.width - 1 - right)), 1) << "centred across";
    EXPECT_LE(std::abs(top - (p.height - 1 - bottom)), 1) << "centred down";
    // Ink on the middle of each side, not only at the corners.
    EXPECT_NE(image.GetPixelColor(left, (top + bottom) / 2) & 0xFFFFFF, 0u) << "left side";
    EXPECT_NE(image.GetPixelColor(right, (top + bottom) / 2) & 0xFFFFFF, 0u) << "right side";
    EXPECT_NE(image.GetPixelColor((left + right) / 2, top) & 0xFFFFFF, 0u) << "top side";
    EXPECT_NE(image.GetPixelColor((left + right) / 2, bottom) & 0xFFFFFF, 0u) << "bottom side";
  }
}

// SaveFile writes as the save button does, by the name's extension; 0 means
// the file is there, -1 that the user was told why it is not.
TEST_F(AutomationTest, SaveFileWritesByExtensionAndExportDxfSaysItCannot) {
  const auto said = [] { return qm_user_message_boxes().empty() ? "" : qm_user_message_boxes().back().text; };
  line(0, 0, 10, 10);
  for (const char* ext : {"qlf", "kzf", "rml", "plt", "png", "BMP"}) {
    const std::string path = qm_test_temp(std::string("auto_save.") + ext);
    std::remove(path.c_str());
    EXPECT_EQ(ax().i2("SaveFile", {S(path)}), 0) << ext;
    EXPECT_TRUE(file_exists(path)) << ext;
    std::remove(path.c_str());
  }
  const std::string kzf = qm_test_temp("auto_saved.qlf");
  ASSERT_EQ(ax().i2("SaveFile", {S(kzf)}), 0);
  ax().none("OpenFile", {S(kzf)});
  EXPECT_EQ(ax().i4("GetObjectCount"), 1) << "what SaveFile wrote opens again";
  struct Refused {
    std::string path, told;
  };
  const Refused refused[] = {
      {"/nonexistent-folder/x.qlf", "/nonexistent-folder/x.qlf\r\nNo such file or directory"},
      {qm_test_temp("auto_save.doc"), quill::kReasonNoWriter},
      {"", quill::kReasonNoWriter},
  };
  for (const Refused& r : refused) {
    qm_user_clear_message_boxes();
    EXPECT_EQ(ax().i2("SaveFile", {S(r.path)}), -1) << r.path;
    EXPECT_NE(said().find(r.told), std::string::npos) << r.path << ": " << said();
  }
  const std::string dxf = qm_test_temp("auto_save.dxf");
  qm_user_clear_message_boxes();
  EXPECT_EQ(ax().i2("ExportDxf", {S(dxf)}), -1);
  EXPECT_FALSE(file_exists(dxf));
  EXPECT_NE(said().find(dxf + "\r\n" + quill::kReasonNoDxfWriter), std::string::npos) << said();
  std::remove(kzf.c_str());
}

TEST_F(AutomationTest, OpenFileReadsIntoTheView) {
  const std::string path = qm_test_temp("auto_open.qlf");
  line(0, 0, 5, 5);
  line(0, 0, 6, 6);
  ASSERT_TRUE(op_->save_kzf(path.c_str()));
  ax().none("OpenFile", {S(path)});
  EXPECT_EQ(ax().i4("GetObjectCount"), 2);
  qm_user_clear_message_boxes();
  ax().none("OpenFile", {S(qm_test_temp("missing.qlf"))});
  EXPECT_EQ(qm_user_message_boxes().size(), 1u) << "the user is told";
  std::remove(path.c_str());
}

TEST_F(AutomationTest, DialogsMessagesAndTheStubs) {
  qm_user_clear_message_boxes();
  EXPECT_EQ(ax().i4("Test01", {I4(3)}), 0);
  ASSERT_EQ(qm_user_message_boxes().size(), 1u);
  EXPECT_EQ(qm_user_message_boxes()[0].text, "Hello!!");
  AfxClearDialogs();
  EXPECT_EQ(ax().i4("GetVersionInfo", {S(""), I2(0)}), 0);
  EXPECT_TRUE(AfxDialogsShown().empty());
  EXPECT_EQ(ax().i4("GetVersionInfo", {NullS(), I2(1)}), 0);
  ASSERT_EQ(AfxDialogsShown().size(), 1u);
  EXPECT_EQ(AfxDialogsShown()[0].id, quill::kDialogVersionInfo);
  EXPECT_TRUE(AfxDialogsShown()[0].modal);
  ax().none("AboutBox");
  ASSERT_EQ(AfxDialogsShown().size(), 2u);
  EXPECT_EQ(AfxDialogsShown()[1].id, quill::kDialogAbout);

  qm_print_reset();
  qm_print_push_dialog_answer({true, 0, 1, 1, 1});
  EXPECT_EQ(ax().i2("PrintAll", {R8(0), I2(0)}), 1);
  ASSERT_EQ(qm_print_jobs().size(), 1u) << "the view's print job ran";
  EXPECT_TRUE(qm_print_jobs()[0].ended);
  qm_print_reset();
  // The library window is made once, hidden, and shown again.
  EXPECT_EQ(ax().i2("ShowLibDlg", {I2(1)}), 0);
  BlockLibraryDialog* library = quill_block_library_window();
  ASSERT_NE(library, nullptr);
  EXPECT_TRUE(library->IsWindowVisible());
  EXPECT_EQ(ax().i2("ShowLibDlg", {I2(1)}), 0);
  EXPECT_EQ(quill_block_library_window(), library);
  EXPECT_EQ(ax().i2("ShowLibDlg", {I2(0)}), 0);
  EXPECT_FALSE(library->IsWindowVisible());
  EXPECT_EQ(ax().i2("ShowLibDlg", {I2(1)}), 0);
  EXPECT_TRUE(library->IsWindowVisible());
  // Members the interface keeps without an effect.
  ax().none("PrintFile");
  ax().none("SetPrintTextMark", {S("t"), R8(0), R8(0), R8(1), S("f")});
  ax().none("SetPrintImageMark", {S("i"), R8(0), R8(0)});
  ax().none("PrintScreen");
  ax().none("SetTool", {I4(1), S("x")});
  ax().none("SetOperation", {I2(1), I2(1)});
  EXPECT_EQ(ax().i2("PrintRect", {I4(0), I4(0), I4(1), I4(1)}), 0);
  EXPECT_EQ(ax().i2("ZoomWindow", {R8(0), R8(0), R8(1), R8(1)}), 0);
  EXPECT_EQ(ax().i2("PanView", {I4(0), I4(0), I4(1), I4(1)}), 0);
  EXPECT_EQ(ax().i4("InsertImage", {S("x.png"), R8(0), R8(0), R8(0)}), 0);
  std::vector<LONG> ids = {1};
  EXPECT_EQ(ax().i4("CreateBlockBySelectObjectList", {S("b"), R8(0), R8(0), S("")}), 0);
  EXPECT_EQ(ax().i4("CreatHatchByObjectList", {S("h"), R8(0), R8(1), I4(1), Ref(ids)}), 0);
  EXPECT_EQ(ax().i4("GetObjectCount"), 0);
}

// ---------------------------------------------------------------------------
// Without a view, and hostile callers

// Every member with harmless arguments, and what it answers without a view.
struct Call {
  const char* name;
  std::function<std::vector<VARIANT>()> args;
  VARTYPE vt;
  double without_view;  // the failure value (the result of members that have one)
};

std::vector<Call> every_member(std::vector<double>& a, std::vector<LONG>& l, BSTR* s) {
  auto none = [] { return std::vector<VARIANT>{}; };
  return {
      {"Test01", [] { return std::vector<VARIANT>{I4(0)}; }, VT_I4, 0},
      {"CreateArc",
       [] {
         return std::vector<VARIANT>{R8(0), R8(0), R8(1), R8(0), R8(1)};
       },
       VT_I4, 0},
      {"CreateArcSEM", [] { return std::vector<VARIANT>{R8(1), R8(0), R8(-1), R8(0), R8(0), R8(1)}; }, VT_I4, 0},
      {"CreateArcSME", [] { return std::vector<VARIANT>{R8(1), R8(0), R8(0), R8(1), R8(-1), R8(0)}; }, VT_I4, 0},
      {"CreateBspline", [&a, &l] { return std::vector<VARIANT>{Ref(a), Ref(a), I4(3), R8(0), R8(0), R8(0), R8(0)}; },
       VT_I4, 0},
      {"CreateCircle",
       [] {
         return std::vector<VARIANT>{R8(0), R8(0), R8(1)};
       },
       VT_I4, 0},
      {"CreateCircleBy3Pt", [] { return std::vector<VARIANT>{R8(1), R8(0), R8(0), R8(1), R8(-1), R8(0)}; }, VT_I4, 0},
      {"CreateEllipse",
       [] {
         return std::vector<VARIANT>{R8(0), R8(0), R8(2), R8(1), R8(0)};
       },
       VT_I4, 0},
      {"CreateEllipseArc", [] { return std::vector<VARIANT>{R8(0), R8(0), R8(2), R8(1), R8(0), R8(0), R8(1)}; }, VT_I4,
       0},
      {"CreateInsert", [] { return std::vector<VARIANT>{S("B"), R8(0), R8(0), R8(0), R8(1), R8(1)}; }, VT_I4, 0},
      {"CreateLayer",
       [] {
         return std::vector<VARIANT>{S("L"), I4(1), I4(0), I4(0)};
       },
       VT_I4, 0},
      {"CreateLine",
       [] {
         return std::vector<VARIANT>{R8(0), R8(0), R8(1), R8(1)};
       },
       VT_I4, 0},
      {"CreateLine3d", [] { return std::vector<VARIANT>{I2(0), I2(0), I2(0), I2(1), I2(1), I2(1)}; }, VT_I4, 0},
      {"CreateLines",
       [&a, &l] {
         return std::vector<VARIANT>{Ref(a), Ref(a), I4(3)};
       },
       VT_I4, 0},
      {"CreatePoint",
       [] {
         return std::vector<VARIANT>{R8(0), R8(0), R8(0)};
       },
       VT_I4, 0},
      {"CreateRect",
       [] {
         return std::vector<VARIANT>{R8(0), R8(0), R8(1), R8(1)};
       },
       VT_I4, 0},
      {"CreateSolid",
       [&a, &l] {
         return std::vector<VARIANT>{Ref(a), Ref(a), I4(3)};
       },
       VT_I4, 0},
      {"CreateText", [] { return std::vector<VARIANT>{S("t"), R8(0), R8(0), S(""), R8(0), R8(1), R8(1), I4(0)}; },
       VT_I4, 0},
      {"OpenFile", [] { return std::vector<VARIANT>{S("/nonexistent.qlf")}; }, VT_EMPTY, 0},
      {"PrintFile", none, VT_EMPTY, 0},
      {"SetPrintTextMark",
       [] {
         return std::vector<VARIANT>{S(""), R8(0), R8(0), R8(0), S("")};
       },
       VT_EMPTY, 0},
      {"SetPrintImageMark",
       [] {
         return std::vector<VARIANT>{S(""), R8(0), R8(0)};
       },
       VT_EMPTY, 0},
      {"PrintScreen", none, VT_EMPTY, 0},
      {"SetTool",
       [] {
         return std::vector<VARIANT>{I4(0), S("")};
       },
       VT_EMPTY, 0},
      {"SetOperation",
       [] {
         return std::vector<VARIANT>{I2(0), I2(0)};
       },
       VT_EMPTY, 0},
      {"SetColor",
       [] {
         return std::vector<VARIANT>{I4(1000), I4(0)};
       },
       VT_I2, 0},
      {"SetObjectColor",
       [] {
         return std::vector<VARIANT>{I4(-1), I4(0)};
       },
       VT_I2, 0},
      {"ZoomAll", none, VT_EMPTY, 0},
      {"RedrawAll", none, VT_EMPTY, 0},
      {"SaveFile", [] { return std::vector<VARIANT>{S("")}; }, VT_I2, -1},
      {"ExportDxf", [] { return std::vector<VARIANT>{S("")}; }, VT_I2, -1},
      {"ExportImage",
       [] {
         return std::vector<VARIANT>{S("/nonexistent/x.png"), I4(8), I4(8), I2(0), I4(0)};
       },
       VT_I2, -1},
      {"PrintRect",
       [] {
         return std::vector<VARIANT>{I4(0), I4(0), I4(0), I4(0)};
       },
       VT_I2, 0},
      {"GetVersionInfo",
       [] {
         return std::vector<VARIANT>{S(""), I2(1)};
       },
       VT_I4, 0},
      {"ZoomView", [] { return std::vector<VARIANT>{R8(2)}; }, VT_I2, 0},
      {"ZoomWindow",
       [] {
         return std::vector<VARIANT>{R8(0), R8(0), R8(1), R8(1)};
       },
       VT_I2, 0},
      {"PanView",
       [] {
         return std::vector<VARIANT>{I4(0), I4(0), I4(1), I4(1)};
       },
       VT_I2, 0},
      {"InsertImage",
       [] {
         return std::vector<VARIANT>{S(""), R8(0), R8(0), R8(0)};
       },
       VT_I4, 0},
      {"GetPoint",
       [&a, &l] {
         return std::vector<VARIANT>{I4(1), I4(-1), Ref(a), Ref(a)};
       },
       VT_I2, 0},
      {"GetReal",
       [] {
         return std::vector<VARIANT>{I4(1), I4(-1)};
       },
       VT_R8, 0},
      {"GetLong",
       [] {
         return std::vector<VARIANT>{I4(1), I4(-205)};
       },
       VT_I4, 0},
      {"GetText",
       [s] {
         return std::vector<VARIANT>{I2(1), I2(0), qm_variant_ref(s)};
       },
       VT_I2, -1},
      {"ExportRectImage",
       [] {
         return std::vector<VARIANT>{S("/nonexistent/x.png"), R8(0), R8(1), R8(1), R8(0), I4(8), I4(8), I2(0), I4(0)};
       },
       VT_I2, -1},
      {"SetLong",
       [] {
         return std::vector<VARIANT>{I4(1), I4(-205), I4(1)};
       },
       VT_I2, 0},
      {"SetReal",
       [] {
         return std::vector<VARIANT>{I4(1), I4(-114), R8(1)};
       },
       VT_I2, 0},
      {"SetPoint",
       [] {
         return std::vector<VARIANT>{I4(1), I4(-1), R8(1), R8(1)};
       },
       VT_I2, 0},
      {"DeleteObject", [] { return std::vector<VARIANT>{I4(1)}; }, VT_I2, 0},
      {"DeleteSelectList", none, VT_I2, 0},
      {"SetString",
       [] {
         return std::vector<VARIANT>{I4(1), I4(-302), S("x")};
       },
       VT_I2, 0},
      {"GetSnapPoint", [&a, &l] { return std::vector<VARIANT>{Ref(a)}; }, VT_I2, 0},
      {"GetCurPoint",
       [&a, &l] {
         return std::vector<VARIANT>{Ref(a), I4(0)};
       },
       VT_I2, 0},
      {"RotateObject",
       [] {
         return std::vector<VARIANT>{I4(-1), R8(0), R8(0), R8(1)};
       },
       VT_I2, 0},
      {"GetRect",
       [&a, &l] {
         return std::vector<VARIANT>{I4(-1), Ref(a)};
       },
       VT_I2, 0},
      {"GetSnapObject", none, VT_I4, 0},
      {"GetObjectType", [] { return std::vector<VARIANT>{I4(1)}; }, VT_I4, -1},
      {"GetString",
       [] {
         return std::vector<VARIANT>{I4(1), I4(-302)};
       },
       VT_BSTR, 0},
      {"CreateBlock", [&a, &l] { return std::vector<VARIANT>{S("B"), R8(0), R8(0), Ref(l), I4(1), S("")}; }, VT_I4, 0},
      {"CreateBlockBySelectObjectList",
       [] {
         return std::vector<VARIANT>{S(""), R8(0), R8(0), S("")};
       },
       VT_I4, 0},
      {"Explode",
       [] {
         return std::vector<VARIANT>{I4(1), I2(0)};
       },
       VT_I2, -1},
      {"CreateHatch", [&a, &l] { return std::vector<VARIANT>{S(""), R8(0), R8(1), I4(1), Ref(l), Ref(a), Ref(a)}; },
       VT_I4, 0},
      {"CreatHatchByObjectList",
       [&a, &l] {
         return std::vector<VARIANT>{S(""), R8(0), R8(1), I4(1), Ref(l)};
       },
       VT_I4, 0},
      {"CreatePolyline",
       [&a, &l] { return std::vector<VARIANT>{Ref(a), Ref(a), Ref(a), Ref(a), Ref(a), I4(3), I2(0)}; }, VT_I4, 0},
      {"PrintAll",
       [] {
         return std::vector<VARIANT>{R8(0), I2(0)};
       },
       VT_I2, 0},
      {"SetDefaultTool",
       [] {
         return std::vector<VARIANT>{I4(99), I2(0)};
       },
       VT_EMPTY, 0},
      {"ShowLibDlg", [] { return std::vector<VARIANT>{I2(0)}; }, VT_I2, 0},
      {"ExportHpgl",
       [] {
         return std::vector<VARIANT>{S("/nonexistent/x.plt"), I2(0)};
       },
       VT_I2, -1},
      {"GetObject", [] { return std::vector<VARIANT>{I4(1)}; }, VT_I4, 0},
      {"GetObjectCount", none, VT_I4, 0},
  };
}

double number(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_R8: return v.dblVal;
    default: return 0;
  }
}

void expect_failure_values(Automation& ax) {
  std::vector<double> a = {0, 1, 2, 3};
  std::vector<LONG> l = {3};
  BSTR s = qm_bstr_from_gbk("ab");
  for (const Call& c : every_member(a, l, &s)) {
    SCOPED_TRACE(c.name);
    VARIANT r = ax.call(c.name, c.args());
    EXPECT_EQ(r.vt, c.vt);
    if (c.vt == VT_BSTR) {
      EXPECT_EQ(qm_bstr_to_gbk(r.bstrVal), " ");
    } else if (c.vt != VT_EMPTY) {
      EXPECT_EQ(number(r), c.without_view);
    }
    VariantClear(&r);
  }
  EXPECT_EQ(qm_bstr_text(s), u"ab");
  SysFreeString(s);
  EXPECT_EQ(a, (std::vector<double>{0, 1, 2, 3})) << "nothing is written into the caller's arrays";
}

TEST_F(ControlTest, WithoutAViewEveryMemberAnswersItsFailureValue) {
  const MB_System_Setting saved = g_system_setting;
  const Quill_Control_State saved_state = quill_control_state();
  ASSERT_EQ(CQuillView::current(), nullptr);
  {
    SCOPED_TRACE("before the first view");
    CQuillmarkOcxCtrl never_shown;
    Automation ax(&never_shown);
    expect_failure_values(ax);
    // The settings need no view; the bars wait for a frame.
    ax.put("DisplayCreateBar", qm_variant_bool(false));
    EXPECT_EQ(ax.get("DisplayCreateBar").boolVal, VARIANT_FALSE);
    ax.put("UseEvents", I4(1));
    ax.put("SavePath", S("/tmp/"));
    ax.put("BackColor", I4(5));
  }
  quill_control_state() = saved_state;
  {
    SCOPED_TRACE("after the view died");
    Hosted h;
    Automation ax(&h.ctrl());
    const LONG id = ax.i4("CreateLine", {R8(0), R8(0), R8(1), R8(1)});
    EXPECT_GT(id, 0);
    h.destroy();
    ASSERT_EQ(CQuillView::current(), nullptr);
    expect_failure_values(ax);
    EXPECT_EQ(ax.i4("GetObjectType", {I4(id)}), -1);
    for (const char* bar : {"DisplayCreateBar", "DisplayStandardBar", "DisplayModifyBar", "DisplayControlBar"})
      ax.put(bar, qm_variant_bool(false));  // no frame: only the flag changes
  }
  g_system_setting = saved;
  quill_control_state() = saved_state;
  qm_user_clear_message_boxes();
}

TEST_F(AutomationTest, HostileIdsCountsAndStringsNeverCrash) {
  const LONG l = line(0, 0, 10, 0);
  const LONG stale = line(0, 0, 1, 1);
  ASSERT_EQ(ax().i2("DeleteObject", {I4(stale)}), 1);
  const LONG layer = ax().i4("CreateLayer", {S("L"), I4(1), I4(0), I4(0)});
  const std::vector<LONG> bad_ids = {0, -2, -1000, -0x7FFFFFFF - 1, 0x7FFFFFFF, 123456789, stale, layer};
  for (LONG id : bad_ids) {
    SCOPED_TRACE(id);
    EXPECT_EQ(ax().i4("GetObjectType", {I4(id)}), -1);
    EXPECT_EQ(ax().i4("GetLong", {I4(id), I4(MB_PROP_USER_ID)}), 0);
    EXPECT_EQ(ax().i2("SetLong", {I4(id), I4(MB_PROP_USER_ID), I4(1)}), 0);
    EXPECT_EQ(ax().i2("SetReal", {I4(id), I4(MB_PROP_REAL_VAL), R8(1)}), 0);
    EXPECT_EQ(ax().i2("SetPoint", {I4(id), I4(MB_PROP_START), R8(1), R8(1)}), 0);
    EXPECT_EQ(ax().i2("SetString", {I4(id), I4(MB_PROP_XDATA_TEXT), S("x")}), 0);
    EXPECT_EQ(ax().i2("SetObjectColor", {I4(id), I4(1)}), 0);
    EXPECT_EQ(ax().i2("DeleteObject", {I4(id)}), 0);
    EXPECT_EQ(ax().i2("Explode", {I4(id), I2(0)}), -1);
    EXPECT_EQ(ax().str("GetString", {I4(id), I4(MB_PROP_XDATA_TEXT)}), " ");
    EXPECT_EQ(ax().i2("RotateObject", {I4(id), R8(0), R8(0), R8(1)}), 0);
    std::vector<double> r = {9, 9, 9, 9};
    EXPECT_EQ(ax().i2("GetRect", {I4(id), Ref(r)}), 0);
    EXPECT_EQ(r[0], 9);
  }
  EXPECT_EQ(ax().i4("GetObjectCount"), 1);

  // Counts against the arrays really passed.
  std::vector<double> x = {0, 1, 2}, y = {0, 1, 2}, w = {0, 0, 0};
  std::vector<double> short_y = {0, 1};
  std::vector<LONG> ids = {l, l};
  for (LONG n : {-1, 4, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ax().i4("CreateLines", {Ref(x), Ref(y), I4(n)}), 0);
    EXPECT_EQ(ax().i4("CreateSolid", {Ref(x), Ref(y), I4(n)}), 0);
    EXPECT_EQ(ax().i4("CreateBspline", {Ref(x), Ref(y), I4(n), R8(0), R8(0), R8(0), R8(0)}), 0);
    EXPECT_EQ(ax().i4("CreatePolyline", {Ref(x), Ref(y), Ref(w), Ref(w), Ref(w), I4(n), I2(0)}), 0);
    EXPECT_EQ(ax().i4("CreateBlock", {S("B"), R8(0), R8(0), Ref(ids), I4(n), S("")}), 0);
  }
  EXPECT_EQ(ax().i4("CreateLines", {Ref(x), Ref(short_y), I4(3)}), 0) << "the shorter array decides";
  EXPECT_EQ(ax().i4("CreatePolyline", {Ref(x), Ref(y), Ref(w), Ref(short_y), Ref(w), I4(3), I2(0)}), 0);
  EXPECT_EQ(ax().i4("CreatePolyline", {Ref(x), Ref(y), Ref(w), Ref(w), Ref(w), I4(0), I2(0)}), 0);
  EXPECT_EQ(ax().i4("CreateLines", {Ref(x), Ref(y), I4(0)}), 0);
  EXPECT_EQ(ax().i4("CreateLines", {Ref(x), Ref(y), I4(1)}), 0) << "one point makes no chain";

  // Hatch loops: every size, and their sum, within the arrays.
  std::vector<double> hx = {0, 10, 10, 0}, hy = {0, 0, 10, 10};
  struct Loops {
    LONG loop_size;
    std::vector<LONG> sizes;
  } hostile_loops[] = {{1, {5}},    {2, {4, 1}}, {1, {-1}},        {2, {-4, 8}}, {2, {0x7FFFFFFF, 0x7FFFFFFF}},
                       {3, {1, 1}}, {-1, {4}},   {0x7FFFFFFF, {4}}};
  for (Loops& h : hostile_loops) {
    SCOPED_TRACE(h.loop_size);
    EXPECT_EQ(ax().i4("CreateHatch", {S("H"), R8(0), R8(1), I4(h.loop_size), Ref(h.sizes), Ref(hx), Ref(hy)}), 0);
  }
  std::vector<LONG> empty_loops = {0, 0};
  ax().i4("CreateHatch", {S("H"), R8(0), R8(1), I4(2), Ref(empty_loops), Ref(hx), Ref(hy)});  // loops of no points
  std::vector<LONG> tiny = {1, 2};
  ax().i4("CreateHatch", {S("H"), R8(0), R8(1), I4(2), Ref(tiny), Ref(hx), Ref(hy)});

  // Null and odd strings.
  ax().i4("CreateText", {NullS(), R8(0), R8(0), NullS(), R8(0), R8(1), R8(1), I4(0)});
  ax().i4("CreateInsert", {NullS(), R8(0), R8(0), R8(0), R8(1), R8(1)});
  ax().i4("CreateLayer", {NullS(), I4(0), I4(-1), I4(0)});
  ax().i4("CreateBlock", {NullS(), R8(0), R8(0), Ref(ids), I4(1), NullS()});
  EXPECT_EQ(ax().i2("SetString", {I4(l), I4(MB_PROP_XDATA_TEXT), NullS()}), 1);
  ax().none("OpenFile", {NullS()});
  ax().none("OpenFile", {S("a")});
  ax().put("SavePath", NullS());
  ax().i2("ExportHpgl", {NullS(), I2(0)});
  // Huge values and sizes.
  EXPECT_EQ(ax().i2("ExportImage", {S(qm_test_temp("huge.png")), I4(0x7FFFFFFF), I4(0x7FFFFFFF), I2(0), I4(0)}), -1);
  ax().i4("CreateCircle", {R8(NAN), R8(INFINITY), R8(-1)});
  ax().i4("CreateArc", {R8(0), R8(0), R8(1e308), R8(NAN), R8(INFINITY)});
  ax().i2("SetColor", {I4(-0x7FFFFFFF - 1), I4(0)});
  ax().none("RedrawAll");
  pump();
}

}  // namespace
}  // namespace control_test
