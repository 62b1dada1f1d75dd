// Message boxes: nothing is shown. Each box is logged with its owner, text,
// caption and flags, and answered from the queue of scripted answers, or
// with its default button when none is queued.
#include "platform/user/user_internal.h"

#include <qm_user.h>
#include <winuser.h>

namespace qmuser {

namespace {

struct MessageBoxes {
  std::vector<QmMessageBox> log;
  std::deque<int> answers;
};

MessageBoxes& boxes() {
  static MessageBoxes b;
  return b;
}

// The button pressed by Enter: the one MB_DEFBUTTONn names among the
// buttons of the box's type, or its first button.
int default_answer(UINT type) {
  static const int kButtons[][3] = {
      {IDOK, 0, 0},                 // MB_OK
      {IDOK, IDCANCEL, 0},          // MB_OKCANCEL
      {IDABORT, IDRETRY, IDIGNORE}, // MB_ABORTRETRYIGNORE
      {IDYES, IDNO, IDCANCEL},      // MB_YESNOCANCEL
      {IDYES, IDNO, 0},             // MB_YESNO
      {IDRETRY, IDCANCEL, 0},       // MB_RETRYCANCEL
  };
  UINT kind = type & MB_TYPEMASK;
  if (kind >= sizeof kButtons / sizeof kButtons[0]) return IDOK;
  UINT index = (type & MB_DEFMASK) >> 8;
  if (index > 2 || kButtons[kind][index] == 0) index = 0;
  return kButtons[kind][index];
}

}  // namespace

void clear_message_boxes() {
  boxes().log.clear();
  boxes().answers.clear();
}

}  // namespace qmuser

using namespace qmuser;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner && !IsWindow(owner)) return 0;
  MessageBoxes& b = boxes();
  int answer = default_answer(type);
  if (!b.answers.empty()) {
    answer = b.answers.front();
    b.answers.pop_front();
  }
  b.log.push_back(QmMessageBox{owner, text ? text : "", caption ? caption : "Error", type, answer});
  return answer;
}

void qm_user_push_message_box_answer(int answer) { boxes().answers.push_back(answer); }

const std::vector<QmMessageBox>& qm_user_message_boxes() { return boxes().log; }

void qm_user_clear_message_boxes() { clear_message_boxes(); }
