#pragma once
// Batches of work in flight on a pool, handed over in input order and taken
// back in the same order. Each batch has a slot of its own (a Slot holds at
// least `batch`, which has bytes, and `done`); a slot is filled again only
// once its batch is taken back. A few slots per thread keep the threads busy,
// and a bound on the bytes in flight keeps records of many megabytes each a
// few at a time in memory.
#include <cstddef>
#include <future>
#include <memory>
#include <utility>
#include <vector>

#include "work/work_pool.h"

template <typename Slot>
class SlotRing {
 public:
  // makeSlot() makes one slot; a pool of no threads needs only one.
  template <typename MakeSlot>
  SlotRing(WorkPool& pool, MakeSlot makeSlot) : pool_(pool) {
    const std::size_t slots = pool.Threads() == 0 ? 1 : 2 * static_cast<std::size_t>(pool.Threads()) + 1;
    for (std::size_t i = 0; i < slots; ++i) slots_.push_back(makeSlot());
  }
  // Waits for the batches still in flight, whose slots their jobs use.
  ~SlotRing() {
    for (std::size_t i = 0; i < inFlight_; ++i) {
      std::future<void>& done = At(i).done;
      if (done.valid()) done.wait();
    }
  }
  SlotRing(const SlotRing&) = delete;
  SlotRing& operator=(const SlotRing&) = delete;

  // Whether a slot is free to be filled; when not, the oldest batch must be
  // taken back first.
  bool CanFill() const { return inFlight_ < slots_.size() && bytesInFlight_ < kMostBytesInFlight; }
  bool InFlight() const { return inFlight_ > 0; }
  // The slot to fill next (CanFill).
  Slot& Filling() { return At(inFlight_); }
  // Hands the slot being filled over: job(slot) runs on the pool.
  template <typename Job>
  void Hand(Job job) {
    Slot& slot = At(inFlight_);
    slot.done = pool_.Run([&slot, job = std::move(job)] { job(slot); });
    ++inFlight_;
    bytesInFlight_ += slot.batch.bytes.size();
  }
  // Waits for the oldest slot handed over (InFlight); an exception of its
  // job is thrown here.
  Slot& Oldest() {
    Slot& slot = At(0);
    slot.done.get();
    return slot;
  }
  // The oldest slot's batch is taken back: the slot is free, and a long
  // record's room goes.
  void Taken() {
    Slot& slot = At(0);
    bytesInFlight_ -= slot.batch.bytes.size();
    slot.batch.ReleaseLongRoom();
    oldest_ = (oldest_ + 1) % slots_.size();
    --inFlight_;
  }

 private:
  static constexpr std::size_t kMostBytesInFlight = 16u << 20;

  Slot& At(std::size_t i) { return *slots_[(oldest_ + i) % slots_.size()]; }

  WorkPool& pool_;
  std::vector<std::unique_ptr<Slot>> slots_;
  std::size_t oldest_ = 0;
  std::size_t inFlight_ = 0;
  std::size_t bytesInFlight_ = 0;
};
