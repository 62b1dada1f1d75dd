// Native files through the operation: the pass's own result, a save that
// writes, a load that adds to the drawing as it stands.
#include <cstdio>
#include <string>

#include "database/entities/mb_line.h"
#include "view_fixture.h"
#include "tests/support/test_temp.h"

TEST_F(ViewTest, SaveWritesAndLoadAddsToTheDrawing) {
  const std::string path = qm_test_temp("qm_operation.kzf");
  op->drawing()->add_object(new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 5, 0)));
  op->drawing()->add_object(new MB_Line(As_Pt(3, 3, 0), As_Pt(-4, 8, 0)));
  ASSERT_TRUE(op->save_kzf(path.c_str()));
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  // Into a drawing that already holds two entities: four.
  ASSERT_TRUE(op->load_kzf(path.c_str()));
  EXPECT_EQ(op->drawing()->object_list().count(), 4);
  // Into a new drawing, built and shown.
  op->create_drawing("again");
  ASSERT_TRUE(op->load_kzf(path.c_str()));
  ASSERT_EQ(op->drawing()->object_list().count(), 2);
  op->build_draw();
  op->zoom_all();
  paint();
  EXPECT_EQ(render()->display_list().count(), 2);
  std::remove(path.c_str());
}

TEST_F(ViewTest, FileFailuresAreReported) {
  const std::string dir = qm_test_temp("");
  EXPECT_FALSE(op->load_kzf(nullptr));
  EXPECT_FALSE(op->save_kzf(nullptr));
  EXPECT_FALSE(op->load_kzf((dir + "qm_no_such_file.kzf").c_str()));
  EXPECT_FALSE(op->save_kzf((dir + "no/such/dir/x.kzf").c_str()));
  const std::string junk = dir + "qm_junk.kzf";
  FILE* f = std::fopen(junk.c_str(), "wb");
  std::fputs("this is not a drawing at all", f);
  std::fclose(f);
  EXPECT_FALSE(op->load_kzf(junk.c_str()));
  std::remove(junk.c_str());
  // Without a drawing a load makes one first.
  op->close_drawing();
  EXPECT_FALSE(op->load_kzf((dir + "qm_no_such_file.kzf").c_str()));
  EXPECT_NE(op->drawing(), nullptr);
  op->close_drawing();
  EXPECT_FALSE(op->save_kzf((dir + "x.kzf").c_str()));
}
