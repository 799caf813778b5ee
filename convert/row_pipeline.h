#pragma once
// A batch of records in flight on the pool, with the row maker that makes
// its rows: each slot of the ring has one of its own.
#include <cstddef>
#include <future>

#include "conversion.h"
#include "row_batch.h"
#include "row_maker.h"
#include "work/slot_ring.h"

template <typename Rows>
struct RowSlot {
  RowSlot(const ConversionRequest& request, TextEncoding encoding)
      : maker(request.items, request.joinSeparator, encoding, request.header, request.language) {}
  RowMaker maker;
  RowBatch<Rows> batch;
  std::future<void> done;
  std::size_t filledTaken = 0;  // of the maker's NewlyFilled(), already joined up
  std::size_t probesTaken = 0;  // of its NewlyFoundProbes()
};

template <typename Rows>
using RowRing = SlotRing<RowSlot<Rows>>;
