#pragma once
// Batches of records in flight on a pool of threads: handed over in input
// order, and taken back in the same order, so that rows are written as the
// records came. Each batch has a slot of its own, with a row maker of its
// own; a slot is filled again only once its rows are written. On a pool of
// no threads a batch's rows are made as it is handed over.
#include <cstddef>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "conversion.h"
#include "row_batch.h"
#include "row_maker.h"
#include "work/work_pool.h"

template <typename Rows>
class RowPipeline {
 public:
  struct Slot {
    explicit Slot(const ConversionRequest& request, TextEncoding encoding)
        : maker(request.items, request.joinSeparator, encoding, request.header, request.language) {}
    RowMaker maker;
    RowBatch<Rows> batch;
    std::future<void> done;
    std::size_t filledTaken = 0;  // of the maker's NewlyFilled(), already joined up
    std::size_t probesTaken = 0;  // of its NewlyFoundProbes()
  };

  RowPipeline(WorkPool& pool, const ConversionRequest& request, TextEncoding encoding, bool keepIds)
      : pool_(pool), keepIds_(keepIds) {
    const std::size_t slots = pool.Threads() == 0 ? 1 : 2 * static_cast<std::size_t>(pool.Threads()) + 1;
    for (std::size_t i = 0; i < slots; ++i) slots_.push_back(std::make_unique<Slot>(request, encoding));
  }
  // Waits for the batches still in flight: their rows are not written.
  ~RowPipeline() {
    for (std::size_t i = 0; i < inFlight_; ++i) {
      std::future<void>& done = slots_[(oldest_ + i) % slots_.size()]->done;
      if (done.valid()) done.wait();
    }
  }
  RowPipeline(const RowPipeline&) = delete;
  RowPipeline& operator=(const RowPipeline&) = delete;

  // Whether a slot is free to be filled; when none is, or the batches in
  // flight hold long records enough, the oldest batch's rows must be
  // written first.
  bool CanFill() const { return inFlight_ < slots_.size() && bytesInFlight_ < kMostBytesInFlight; }
  bool InFlight() const { return inFlight_ > 0; }
  // The batch to fill next (CanFill).
  RowBatch<Rows>& Filling() { return slots_[(oldest_ + inFlight_) % slots_.size()]->batch; }
  // Hands the batch being filled over, to have its rows made.
  void Hand() {
    Slot& slot = *slots_[(oldest_ + inFlight_) % slots_.size()];
    slot.done = pool_.Run([&slot, keepIds = keepIds_] { MakeRows(slot.maker, slot.batch, keepIds); });
    ++inFlight_;
    bytesInFlight_ += slot.batch.bytes.size();
  }
  // Waits for the oldest batch handed over (InFlight) to have its rows.
  Slot& Oldest() {
    Slot& slot = *slots_[oldest_];
    slot.done.get();
    return slot;
  }
  // The oldest batch's rows are written: its slot is free.
  void Taken() {
    bytesInFlight_ -= slots_[oldest_]->batch.bytes.size();
    oldest_ = (oldest_ + 1) % slots_.size();
    --inFlight_;
  }

 private:
  // Records of many megabytes each stay a few in memory at a time.
  static constexpr std::size_t kMostBytesInFlight = 32u << 20;

  WorkPool& pool_;
  bool keepIds_;
  std::vector<std::unique_ptr<Slot>> slots_;
  std::size_t oldest_ = 0;
  std::size_t inFlight_ = 0;
  std::size_t bytesInFlight_ = 0;
};
