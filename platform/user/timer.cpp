// Timers on the virtual clock.
//
// A timer falls due every `elapse` milliseconds of the virtual clock, counted
// from when it was set. Falling due posts WM_TIMER unless one of its WM_TIMER
// messages still waits in the queue (periods fold, as on the original
// platform). Killing a timer, or destroying its window, also takes its
// waiting WM_TIMER out of the queue, so a timer procedure is never called
// after its timer is gone.
#include "platform/user/user_internal.h"

#include <qm_user.h>
#include <winuser.h>

#include <algorithm>

namespace qmuser {

namespace {

// At most this many timers exist at once.
constexpr size_t kMaxTimers = 10000;

Timer* find_timer(HWND hwnd, UINT_PTR id) {
  for (Timer& t : state().timers)
    if (t.hwnd == hwnd && t.id == id) return &t;
  return nullptr;
}

void drop_timer_messages(HWND hwnd, UINT_PTR id) {
  auto& q = state().queue;
  q.erase(std::remove_if(q.begin(), q.end(),
                         [&](const MSG& m) { return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id; }),
          q.end());
}

}  // namespace

void kill_window_timers(HWND hwnd) {
  auto& ts = state().timers;
  ts.erase(std::remove_if(ts.begin(), ts.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }), ts.end());
}

void clear_timers() {
  State& st = state();
  st.timers.clear();
  st.timer_order = 0;
  st.next_thread_timer = 1;
  auto& q = st.queue;
  q.erase(std::remove_if(q.begin(), q.end(), [](const MSG& m) { return m.message == WM_TIMER; }), q.end());
}

void note_timer_taken(const MSG& msg) {
  if (msg.message != WM_TIMER) return;
  if (Timer* t = find_timer(msg.hwnd, msg.wParam)) t->pending = false;
}

bool timer_proc_valid(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
  Timer* t = find_timer(hwnd, id);
  return t && t->proc == proc;
}

}  // namespace qmuser

using namespace qmuser;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (hwnd && !find(hwnd)) return 0;
  State& st = state();
  elapse = std::min<UINT>(std::max<UINT>(elapse, USER_TIMER_MINIMUM), USER_TIMER_MAXIMUM);
  Timer* t = find_timer(hwnd, id);
  if (!t && !hwnd) {
    // A thread timer gets a fresh id unless it names one that exists.
    while (find_timer(nullptr, st.next_thread_timer) || st.next_thread_timer == 0) ++st.next_thread_timer;
    id = st.next_thread_timer++;
  }
  if (!t) {
    if (st.timers.size() >= kMaxTimers) return 0;
    st.timers.push_back(Timer{hwnd, id, elapse, proc, 0, 0, false});
    t = &st.timers.back();
  }
  t->elapse = elapse;
  t->proc = proc;
  t->due = st.clock + elapse;
  t->order = ++st.timer_order;
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  Timer* t = find_timer(hwnd, id);
  if (!t) return FALSE;
  auto& ts = state().timers;
  ts.erase(ts.begin() + (t - ts.data()));
  drop_timer_messages(hwnd, id);
  return TRUE;
}

DWORD qm_user_clock() { return static_cast<DWORD>(state().clock); }

void qm_user_advance_clock(DWORD ms) {
  State& st = state();
  const uint64_t target = st.clock + ms;
  for (;;) {
    Timer* next = nullptr;
    for (Timer& t : st.timers)
      if (t.due <= target && (!next || t.due < next->due || (t.due == next->due && t.order < next->order)))
        next = &t;
    if (!next) break;
    st.clock = next->due;
    if (!next->pending) {
      POINT pt = st.cursor;
      next->pending = post(next->hwnd, WM_TIMER, next->id, reinterpret_cast<LPARAM>(next->proc),
                           static_cast<DWORD>(next->due), pt);
    }
    // Nothing is dispatched while the clock moves, so the periods left before
    // the target fold into the message just posted.
    uint64_t periods = (target - next->due) / next->elapse + 1;
    next->due += periods * next->elapse;
  }
  st.clock = target;
}

size_t qm_user_timer_count() { return state().timers.size(); }
