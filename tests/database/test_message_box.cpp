#include <gtest/gtest.h>

#include <windows.h>

#include <cfloat>
#include <string>

#include "database/mb_message_box.h"
#include "qm_user.h"

TEST(MessageBox, ShowsTextAndValueWithOkAndNoOwner) {
  qm_user_clear_message_boxes();
  message_box("radius: ", 2.5, "Info");
  message_box("count: ", -7, nullptr);
  message_box(nullptr, DBL_MAX, "Big");
  const auto& log = qm_user_message_boxes();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].text, "radius: 2.5000");
  EXPECT_EQ(log[0].caption, "Info");
  EXPECT_EQ(log[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(log[0].owner, nullptr);
  EXPECT_EQ(log[1].text, "count: -7");
  EXPECT_EQ(log[2].text.size(), 309u + 5u);  // every digit of DBL_MAX, then ".0000"
  qm_user_clear_message_boxes();
}
