#pragma once

#include <atomic>
#include <cstdint>

#include "device/usbchannel.h"
#include "display/gridcell.h"

// Copies of board data into a grid cell's fields, which the paint reads concurrently.
namespace cellparameters {

// 32 little-endian words of a page or memory block.
inline void StoreWords(std::atomic<std::uint16_t> (&target)[GRID_CHANNELS], const CUSBChannel::Block& bytes) {
  for (std::size_t k = 0; k < GRID_CHANNELS; ++k) {
    target[k].store(static_cast<std::uint16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8)), std::memory_order_relaxed);
  }
}

// The first 32 bytes: one mask per channel.
inline void StoreMask(std::atomic<std::uint8_t> (&target)[GRID_CHANNELS], const CUSBChannel::Block& bytes) {
  for (std::size_t k = 0; k < GRID_CHANNELS; ++k) target[k].store(bytes[k], std::memory_order_relaxed);
}

}  // namespace cellparameters
