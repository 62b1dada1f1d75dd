// Building and drawing 10,000 linear dimensions on a 1920 x 1080 surface,
// each through its insert of one dimension block (two extension lines, the
// dimension line and two arrow heads) and its generated text. The baseline
// builds and draws the same inserts and texts made by hand, so the
// difference is what a dimension adds: measuring, formatting its text and
// regenerating it at every build.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "database/entities/mb_block.h"
#include "database/entities/mb_dimension.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/mb_drawing.h"
#include "surface/cmydc.h"

namespace {

constexpr int kCount = 10000;
constexpr int kWidth = 1920, kHeight = 1080;

// A drawing with one text style and the block every dimension inserts.
struct Scene {
  MB_Drawing drawing;
  MB_Text_Style* text_style = new MB_Text_Style("DIM", "txt.shx", "", 3.0, 1.0, 0.0, 0.0, 0, 0);
  CMyDC dc;
  HDC ref = CreateCompatibleDC(nullptr);

  Scene() {
    drawing.text_style_list().add_tail(text_style);
    auto* block = new MB_Block(As_Pt(0, 0, 0), MB_String("*D"), MB_String(""));
    MB_Object_List& parts = block->object_list();
    parts.add_tail(new MB_Line(As_Pt(0, 1, 0), As_Pt(0, 12, 0)));
    parts.add_tail(new MB_Line(As_Pt(40, 1, 0), As_Pt(40, 12, 0)));
    parts.add_tail(new MB_Line(As_Pt(0, 10, 0), As_Pt(40, 10, 0)));
    parts.add_tail(new MB_Solid(As_Pt(0, 10, 0), As_Pt(4, 9, 0), As_Pt(4, 11, 0), As_Pt(4, 11, 0)));
    parts.add_tail(new MB_Solid(As_Pt(40, 10, 0), As_Pt(36, 9, 0), As_Pt(36, 11, 0), As_Pt(36, 11, 0)));
    drawing.block_list().add_tail(block);
    dc.CreateCompatibleDC(ref, kWidth, kHeight, 32);
  }
  ~Scene() {
    dc.DeleteDC();
    DeleteDC(ref);
  }
};

// Where dimension i sits: a grid over the surface.
As_Pt origin(int i) { return As_Pt((i % 40) * 47.0, (i / 40 % 60) * 17.0, 0.0); }

void BM_Dimensions_BuildAndDraw(benchmark::State& state) {
  Scene scene;
  std::vector<std::unique_ptr<MB_Dimension>> dims;
  for (int i = 0; i < kCount; ++i) {
    auto d = std::make_unique<MB_Dimension>();
    const As_Pt o = origin(i);
    d->dim_pt2(o);
    d->dim_pt3(o + As_Vec(40, 0, 0));
    d->definition_pt(o + As_Vec(0, 10, 0));
    d->text_mid(o + As_Vec(20, 12, 0));
    d->insert_pt(o);
    d->block_name("*D", scene.drawing);
    d->dim_style(scene.drawing, nullptr);
    d->style().int_val()[MB_Dim_Style::kDecimalPlaces] = 2;
    d->style().real_val()[MB_Dim_Style::kTextHeight] = 3.0;
    dims.push_back(std::move(d));
  }
  As_Tran view;
  for (auto _ : state) {
    for (auto& d : dims) {
      d->build_draw();
      d->draw(nullptr, scene.dc, view);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_Dimensions_BuildAndDraw)->Unit(benchmark::kMillisecond);

void BM_Dimensions_Baseline_InsertsAndTextsByHand(benchmark::State& state) {
  Scene scene;
  MB_Block* block = scene.drawing.find_block("*D");
  std::vector<std::unique_ptr<MB_Insert>> inserts;
  std::vector<std::unique_ptr<MB_Text>> texts;
  for (int i = 0; i < kCount; ++i) {
    inserts.emplace_back(new MB_Insert(origin(i), 0.0, 1.0, 1.0, 1.0));
    inserts.back()->block(block);
  }
  As_Tran view;
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) {
      MB_Insert& insert = *inserts[i];
      insert.build_transf();
      insert.build_draw();
      auto text = std::make_unique<MB_Text>(origin(i) + As_Vec(20, 12, 0), MB_String("40.00"));
      text->init_text_style(scene.text_style);
      text->text_style().height(3.0);
      text->text_style().ali_flag(MB_Text_Style::kCentred);
      text->build_draw();
      insert.draw(nullptr, scene.dc, view);
      text->draw(nullptr, scene.dc, view);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_Dimensions_Baseline_InsertsAndTextsByHand)->Unit(benchmark::kMillisecond);

}  // namespace
