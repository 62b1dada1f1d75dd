// Glyphs kept as point lists, and the base font library.
#include <gtest/gtest.h>

#include "database/fonts/mb_font_char.h"
#include "database/fonts/mb_font_library.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"

namespace {

struct Bare_Font : MB_Font_Library {
  int font_type() const override { return 4; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
};

TEST(FontChar, BaseLibraryHasNoGlyphs) {
  Bare_Font f;
  As_Void_List out;
  As_Pt pen(1, 2, 0);
  EXPECT_FALSE(f.char_2_ptlist(65, out, pen, 10, 1, false));
  EXPECT_EQ(out.head(), nullptr);
  EXPECT_EQ(pen.x(), 1.0);
  EXPECT_EQ(f.height(), 1.0);
  EXPECT_EQ(f.font_char_set(65), nullptr);
}

TEST(FontChar, OnePointStrokesLeaveNoSetsAndOnlyThePenMoves) {
  MB_Font_Char c(65);
  c.add_pos(0, 0);  // starts a list of its own
  c.set_end_pos(3, 0);
  c.conver_list_to_set();
  EXPECT_EQ(c.point_sets().ptset_count(), 0u);
  As_Void_List out;
  As_Pt pen(10, 0, 0);
  c.char_2_pts_sets(out, scale_transf(2.0), pen);
  EXPECT_EQ(out.head(), nullptr);
  EXPECT_EQ(pen.x(), 16.0);
}

TEST(FontChar, PlacingScalesThenTurnsThenMoves) {
  MB_Font_Char c(65);
  c.new_pos_list();
  c.add_pos(0, 0);
  c.add_pos(1, 0);
  c.set_end_pos(1, 0);
  c.conver_list_to_set();
  ASSERT_EQ(c.point_sets().ptset_count(), 1u);
  As_Void_List out;
  As_Pt pen(10, 0, 0);
  c.char_2_pts_sets(out, scale_transf(2.0), pen);
  ASSERT_NE(out.head(), nullptr);
  As_Pt_Sets* s = static_cast<As_Pt_Sets*>(out.head()->entity());
  EXPECT_EQ(s->points()[1].x(), 12.0);
  delete s;
  As_Pt at(10, 0, 0);
  c.draw(nullptr, As_Tran(), 2.0, qm_pi / 2, at);
  EXPECT_NEAR(at.x(), 10.0, 1e-12);
  EXPECT_NEAR(at.y(), 2.0, 1e-12);
}

}  // namespace
