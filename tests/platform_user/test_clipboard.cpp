// The clipboard: open and close, and ownership of the bitmaps it is given.
#include "tests/platform_user/user_fixture.h"

class Clipboard : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    baseline_ = QmGdiLiveObjectCount();
    HDC screen = GetDC(nullptr);
    a_ = CreateCompatibleBitmap(screen, 4, 4);
    b_ = CreateCompatibleBitmap(screen, 2, 2);
    ReleaseDC(nullptr, screen);
  }
  void TearDown() override {
    UserTest::TearDown();
    // Whatever the clipboard held was freed by the reset; nothing leaked.
    EXPECT_EQ(QmGdiLiveObjectCount(), baseline_);
  }
  HBITMAP a_ = nullptr, b_ = nullptr;
  int baseline_ = 0;
};

TEST_F(Clipboard, RefusesEverythingWhileClosed) {
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_BITMAP, a_), nullptr);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
  EXPECT_FALSE(CloseClipboard());
  EXPECT_FALSE(OpenClipboard(reinterpret_cast<HWND>(0x33)));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));  // already open
  EXPECT_TRUE(CloseClipboard());
  // Refused data stays the caller's.
  EXPECT_TRUE(DeleteObject(a_));
  EXPECT_TRUE(DeleteObject(b_));
}

TEST_F(Clipboard, TakesOwnershipOfTheBitmap) {
  HWND w = make(nullptr, 0, 0, 10, 10);
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_BITMAP, a_), a_);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), a_);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(GetObjectType(a_), static_cast<DWORD>(OBJ_BITMAP));

  // Replacing the bitmap frees the one held; emptying frees the new one.
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_EQ(SetClipboardData(CF_BITMAP, b_), b_);
  EXPECT_EQ(GetObjectType(a_), 0u);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, b_), b_);  // the same again: kept
  EXPECT_EQ(GetObjectType(b_), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetObjectType(b_), 0u);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  CloseClipboard();
}

TEST_F(Clipboard, TakesNothingButBitmaps) {
  HPEN pen = CreatePen(PS_SOLID, 0, 0);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(SetClipboardData(CF_BITMAP, pen), nullptr);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, reinterpret_cast<HANDLE>(0x1234)), nullptr);
  EXPECT_EQ(SetClipboardData(CF_TEXT, a_), nullptr);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, nullptr), nullptr);
  // A bitmap left on the clipboard is freed by the reset after this test.
  EXPECT_EQ(SetClipboardData(CF_BITMAP, a_), a_);
  CloseClipboard();
  DeleteObject(pen);
  DeleteObject(b_);
}
