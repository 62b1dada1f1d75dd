// The view history: recording, the twelve-entry limit and stepping.
#include "display/mb_view_history.h"

#include "view_fixture.h"

namespace {

As_Tran view(double k) { return scale_transf(k); }

}  // namespace

TEST_F(ViewTest, HistoryKeepsTwelveViews) {
  MB_View_Undo_Redo* h = render()->view_undo_redo();
  for (int i = 1; i <= 13; ++i) h->add_head(view(i));
  EXPECT_EQ(h->count(), 12);
  As_Tran head;
  ASSERT_EQ(h->get_head(head), 1);
  EXPECT_EQ(head.scaling(), 13.0);
  for (int i = 0; i < 11; ++i) ASSERT_TRUE(h->next_view());
  EXPECT_EQ(h->current()->scaling(), 2.0);  // the first one recorded is gone
  EXPECT_FALSE(h->next_view());
}

TEST_F(ViewTest, RecordingDropsTheViewsAheadOfTheCurrentOne) {
  MB_View_Undo_Redo* h = render()->view_undo_redo();
  h->add_head(view(1));  // A
  h->add_head(view(2));  // B
  h->add_head(view(3));  // C
  ASSERT_TRUE(h->next_view());
  EXPECT_EQ(render()->zoom_transf().scaling(), 2.0);
  EXPECT_NEAR(render()->drawing_to_screen().scaling(), 2.0, 1e-12);
  h->add_head(view(4));  // D
  EXPECT_EQ(h->count(), 3);
  EXPECT_FALSE(h->is_can_previous());
  EXPECT_TRUE(h->is_can_next());
  ASSERT_TRUE(h->next_view());
  EXPECT_EQ(h->current()->scaling(), 2.0);
  ASSERT_TRUE(h->next_view());
  EXPECT_EQ(h->current()->scaling(), 1.0);
  ASSERT_TRUE(h->previous_view());
  ASSERT_TRUE(h->previous_view());
  EXPECT_EQ(h->current()->scaling(), 4.0);
}

TEST_F(ViewTest, EmptyHistoryAnswersWithoutReading) {
  MB_View_Undo_Redo h;
  As_Tran t = scale_transf(5);
  EXPECT_EQ(h.get_head(t), 0);
  EXPECT_EQ(t.scaling(), 5.0);
  EXPECT_FALSE(h.previous_view());
  EXPECT_FALSE(h.next_view());
  EXPECT_FALSE(h.is_can_previous());
  EXPECT_FALSE(op->is_can_previous_view());
  const As_Tran before = render()->drawing_to_screen();
  op->display_previous_view();
  EXPECT_EQ(render()->drawing_to_screen(), before);
  // init forgets (and frees) what was stored.
  h.add_head(view(2));
  h.init(nullptr);
  EXPECT_EQ(h.count(), 0);
}

TEST_F(ViewTest, SteppingWhileMinimisedKeepsTheViewTransform) {
  op->record_trans();
  render()->scale_view(2.0);
  op->record_trans();
  MoveWindow(wnd, 0, 0, 1, 1, FALSE);
  const As_Tran before = render()->drawing_to_screen();
  op->display_next_view();
  EXPECT_EQ(render()->zoom_transf().scaling(), 1.0);
  EXPECT_EQ(render()->drawing_to_screen(), before);
  EXPECT_TRUE(op->is_can_previous_view());
}
