// Timers on the virtual clock.
#include "tests/platform_user/user_fixture.h"

namespace {

struct Fired {
  UINT_PTR id;
  DWORD time;
};

std::vector<Fired> timer_messages(const std::vector<MSG>& taken) {
  std::vector<Fired> r;
  for (const MSG& m : taken)
    if (m.message == WM_TIMER) r.push_back({m.wParam, m.time});
  return r;
}

bool operator==(const Fired& a, const Fired& b) { return a.id == b.id && a.time == b.time; }

}  // namespace

using Timers = UserTest;

TEST_F(Timers, FireInTheOrderTheyFallDue) {
  HWND w = make(nullptr, 0, 0, 10, 10, 0);
  EXPECT_EQ(SetTimer(w, 1, 300, nullptr), 1u);
  EXPECT_EQ(SetTimer(w, 2, 200, nullptr), 2u);
  qm_user_advance_clock(199);
  EXPECT_TRUE(pump().empty());
  qm_user_advance_clock(1);
  EXPECT_EQ(timer_messages(pump()), (std::vector<Fired>{{2, 200}}));
  qm_user_advance_clock(100);
  EXPECT_EQ(timer_messages(pump()), (std::vector<Fired>{{1, 300}}));
  // 300 -> 1000: timer 2 is due at 400 first, timer 1 at 600; the periods
  // that follow fold into the messages already waiting.
  qm_user_advance_clock(700);
  EXPECT_EQ(timer_messages(pump()), (std::vector<Fired>{{2, 400}, {1, 600}}));
  EXPECT_EQ(qm_user_clock(), 1000u);
  // Both fall due at 1200: the one set first comes first.
  qm_user_advance_clock(200);
  EXPECT_EQ(timer_messages(pump()), (std::vector<Fired>{{1, 1200}, {2, 1200}}));
  seen().clear();
  qm_user_advance_clock(300);
  pump();
  EXPECT_EQ(messages_of(w), (std::vector<UINT>{WM_TIMER, WM_TIMER}));
}

TEST_F(Timers, AWaitingTimerMessageIsNotRepeated) {
  HWND w = make(nullptr, 0, 0, 10, 10, 0);
  SetTimer(w, 867, 300, nullptr);
  qm_user_advance_clock(300);
  qm_user_advance_clock(300);
  qm_user_advance_clock(300);
  EXPECT_EQ(qm_user_queued_message_count(), 1u);
  pump();
  qm_user_advance_clock(300);
  EXPECT_EQ(timer_messages(pump()), (std::vector<Fired>{{867, 1200}}));
}

TEST_F(Timers, ProceduresResetsAndKilling) {
  static std::vector<Fired> calls;
  calls.clear();
  TIMERPROC on_timer = [](HWND, UINT msg, UINT_PTR id, DWORD time) {
    EXPECT_EQ(msg, static_cast<UINT>(WM_TIMER));
    calls.push_back({id, time});
  };
  UINT_PTR id = SetTimer(nullptr, 0, 50, on_timer);
  ASSERT_NE(id, 0u);
  EXPECT_NE(SetTimer(nullptr, 0, 50, on_timer), id);  // a second thread timer
  EXPECT_EQ(SetTimer(nullptr, id, 5, on_timer), id);  // resets the first: 5 ms is raised to 10
  qm_user_advance_clock(10);
  pump();
  EXPECT_EQ(calls, (std::vector<Fired>{{id, 10}}));

  // Killing a timer takes its waiting message with it.
  qm_user_advance_clock(10);
  EXPECT_EQ(qm_user_queued_message_count(), 1u);
  EXPECT_TRUE(KillTimer(nullptr, id));
  EXPECT_FALSE(KillTimer(nullptr, id));
  EXPECT_EQ(qm_user_queued_message_count(), 0u);
  qm_user_advance_clock(100);
  calls.clear();
  pump();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].id, id);

  // A forged WM_TIMER naming a procedure reaches nothing.
  MSG forged = {nullptr, WM_TIMER, 12345, reinterpret_cast<LPARAM>(on_timer), 0, {0, 0}};
  calls.clear();
  DispatchMessageA(&forged);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x77), 1, 10, nullptr), 0u);
}

TEST_F(Timers, DestroyingTheWindowKillsItsTimers) {
  HWND w = make(nullptr, 0, 0, 10, 10, 0);
  HWND c = make(w, 0, 0, 1, 1, 0);
  SetTimer(w, 1, 10, nullptr);
  SetTimer(c, 1, 10, nullptr);
  qm_user_advance_clock(10);
  EXPECT_EQ(qm_user_timer_count(), 2u);
  EXPECT_EQ(qm_user_queued_message_count(), 2u);
  DestroyWindow(w);
  EXPECT_EQ(qm_user_timer_count(), 0u);
  EXPECT_EQ(qm_user_queued_message_count(), 0u);
}
