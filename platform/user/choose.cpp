// The colour and font dialogs answered from their scripts; with none queued
// they are cancelled headless, and on a display the user answers them
// (dialog_window.cpp).
#include <commdlg.h>
#include <qm_display.h>
#include <qm_user.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/user/user_internal.h"

namespace {

struct Choosers {
  std::deque<QmColorAnswer> colors;
  std::deque<QmFontAnswer> fonts;
  std::vector<QmChooserShown> shown;
};

Choosers& choosers() {
  static Choosers c;
  return c;
}

}  // namespace

void qm_user_push_color_answer(QmColorAnswer a) { choosers().colors.push_back(a); }
void qm_user_push_font_answer(QmFontAnswer a) { choosers().fonts.push_back(a); }
const std::vector<QmChooserShown>& qm_user_choosers_shown() { return choosers().shown; }

void qm_user_clear_choosers() {
  choosers().colors.clear();
  choosers().fonts.clear();
  choosers().shown.clear();
}

BOOL ChooseColorA(LPCHOOSECOLORA cc) {
  if (!cc || cc->lStructSize < sizeof(CHOOSECOLORA)) return FALSE;
  QmColorAnswer a = {false, 0};
  if (!choosers().colors.empty()) {
    a = choosers().colors.front();
    choosers().colors.pop_front();
  } else if (qm_user_display()) {
    a.ok = qmuser::run_color_window(cc->hwndOwner, (cc->Flags & CC_RGBINIT) != 0, cc->rgbResult, a.color);
  }
  choosers().shown.push_back({"color", cc->Flags, (cc->Flags & CC_RGBINIT) ? cc->rgbResult : 0, "", a.ok});
  if (!a.ok) return FALSE;
  cc->rgbResult = a.color & 0x00FFFFFF;
  return TRUE;
}

BOOL ChooseFontA(LPCHOOSEFONTA cf) {
  if (!cf || cf->lStructSize < sizeof(CHOOSEFONTA) || !cf->lpLogFont) return FALSE;
  QmFontAnswer a = {false, "", 0, 0, false, 0};
  std::string initial;
  if (cf->Flags & CF_INITTOLOGFONTSTRUCT) initial.assign(cf->lpLogFont->lfFaceName, strnlen(cf->lpLogFont->lfFaceName, LF_FACESIZE));
  if (!choosers().fonts.empty()) {
    a = choosers().fonts.front();
    choosers().fonts.pop_front();
  } else if (qm_user_display()) {
    const LOGFONTA& lf = *cf->lpLogFont;
    const bool init = (cf->Flags & CF_INITTOLOGFONTSTRUCT) != 0;
    const int points = init && lf.lfHeight ? (std::abs(static_cast<int>(lf.lfHeight)) * 720 + 48) / 96 : 100;
    a.color = cf->rgbColors;
    qmuser::run_font_window(cf->hwndOwner, initial, points, init ? lf.lfWeight : FW_NORMAL, init && lf.lfItalic, a);
  }
  choosers().shown.push_back({"font", cf->Flags, cf->rgbColors, initial, a.ok});
  if (!a.ok) return FALSE;
  LOGFONTA& lf = *cf->lpLogFont;
  // The face is cut to what the structure holds, always terminated.
  std::memset(lf.lfFaceName, 0, LF_FACESIZE);
  std::memcpy(lf.lfFaceName, a.face.data(), std::min(a.face.size(), static_cast<size_t>(LF_FACESIZE - 1)));
  const int dpi = 96;
  lf.lfHeight = -((a.point_size * dpi + 360) / 720);
  lf.lfWeight = a.weight;
  lf.lfItalic = a.italic ? 1 : 0;
  cf->iPointSize = a.point_size;
  if (cf->Flags & CF_EFFECTS) cf->rgbColors = a.color & 0x00FFFFFF;
  return TRUE;
}

void qmuser::clear_choosers() { qm_user_clear_choosers(); }
