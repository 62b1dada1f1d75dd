// Recording and replaying large commands: 10,000 entities removed in one
// command, then undone and redone, and 10,000 entities changed (twice each)
// in one command, then undone and redone; each beside the bare list and copy
// work it implies, written by hand.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "tests/database/counted_object.h"

namespace {

constexpr int kCount = 10000;

// Times `work` on a fresh drawing of kCount entities (and a store bound to
// it); setting up and freeing are not timed.
template <class Work>
void run(benchmark::State& state, Work work) {
  for (auto _ : state) {
    state.PauseTiming();
    auto drawing = std::make_unique<MB_Drawing>();
    std::vector<Counted*> v;
    v.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
      v.push_back(new Counted(i));
      drawing->object_list().add_tail(v.back());
    }
    auto store = std::make_unique<MB_Undo_Redo>(drawing.get());
    std::vector<MB_Object*> held;
    held.reserve(2 * kCount);
    state.ResumeTiming();
    work(*drawing, *store, v, held);
    state.PauseTiming();
    store.reset();
    drawing.reset();
    for (MB_Object* o : held) delete o;
    state.ResumeTiming();
  }
}

void replay(MB_Undo_Redo& store) {
  As_Void_List touched, again;
  store.undo(touched);
  store.redo(again);
}

void BM_RemoveUndoRedo_Store(benchmark::State& state) {
  run(state, [](MB_Drawing& d, MB_Undo_Redo& store, std::vector<Counted*>& v, std::vector<MB_Object*>&) {
    store.rec_cmd_begin("erase");
    for (Counted* e : v) e->lose(d.object_list());
    store.rec_cmd_end();
    replay(store);
  });
}
BENCHMARK(BM_RemoveUndoRedo_Store)->Unit(benchmark::kMillisecond);

void BM_RemoveUndoRedo_Baseline(benchmark::State& state) {
  run(state, [](MB_Drawing& d, MB_Undo_Redo&, std::vector<Counted*>& v, std::vector<MB_Object*>& held) {
    for (Counted* e : v) {
      d.object_list().remove(e);
      held.push_back(e);
    }
    As_Void_List touched;
    for (MB_Object* o : held) {
      d.object_list().add_tail(o);
      touched.add(o);
    }
    for (MB_Object* o : held) d.object_list().remove(o);
  });
}
BENCHMARK(BM_RemoveUndoRedo_Baseline)->Unit(benchmark::kMillisecond);

void BM_ChangeUndoRedo_Store(benchmark::State& state) {
  run(state, [](MB_Drawing&, MB_Undo_Redo& store, std::vector<Counted*>& v, std::vector<MB_Object*>&) {
    store.rec_cmd_begin("move");
    for (Counted* e : v) {
      e->set(e->value() + 1);
      e->set(e->value() + 1);
    }
    store.rec_cmd_end();
    replay(store);
  });
}
BENCHMARK(BM_ChangeUndoRedo_Store)->Unit(benchmark::kMillisecond);

// A before and an after copy of each entity, the two changes, then both
// states copied back.
void BM_ChangeUndoRedo_Baseline(benchmark::State& state) {
  run(state, [](MB_Drawing&, MB_Undo_Redo&, std::vector<Counted*>& v, std::vector<MB_Object*>& held) {
    for (Counted* e : v) {
      MB_Object* c = nullptr;
      e->copy_to(c);
      held.push_back(c);
      e->set(e->value() + 1);
      e->set(e->value() + 1);
    }
    for (Counted* e : v) {
      MB_Object* c = nullptr;
      e->copy_to(c);
      held.push_back(c);
    }
    As_Void_List touched;
    for (size_t i = 0; i < held.size(); ++i) {
      MB_Object* t = v[i % v.size()];
      held[i]->copy_to(t);
      touched.add(t);
    }
  });
}
BENCHMARK(BM_ChangeUndoRedo_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
