// A white 32-bit test surface with the Arial stand-in selected at a given
// cell height, drawing transparently; every GDI object made is checked to be
// freed again.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "gdi_fixture.h"

class ArialSurfaceTest : public ::testing::Test {
 protected:
  ArialSurfaceTest(int cell_height, int width, int height) : surface{width, height, 32}, cell_(cell_height) {}
  void SetUp() override {
    live = QmGdiLiveObjectCount();
    surface.clear(RGB(255, 255, 255));
    font = CreateFontA(cell_, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    ASSERT_NE(font, nullptr);
    old = SelectObject(surface.dc, font);
    SetBkMode(surface.dc, TRANSPARENT);
  }
  void TearDown() override {
    SelectObject(surface.dc, old);
    DeleteObject(font);
    EXPECT_EQ(QmGdiLiveObjectCount(), live) << "no GDI object is left behind";
  }
  TestSurface surface;
  HFONT font = nullptr;
  HGDIOBJ old = nullptr;
  int live = 0;

 private:
  int cell_;
};
