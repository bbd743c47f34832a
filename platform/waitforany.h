#pragma once

#include <chrono>
#include <optional>
#include <span>

#include "platform/autoresetevent.h"

namespace plat {

// WaitForAny's result when the bound passed with no event signalled.
inline constexpr int kWaitTimeout = -1;

// Waits until one of `events` is signalled, consumes that one signal and returns the
// event's index. When several are signalled the lowest index wins. Without a bound it
// waits for good; with one it returns kWaitTimeout once the bound has passed (a bound of
// zero only looks). An empty list never becomes signalled and times out at once.
int WaitForAny(std::span<AutoResetEvent* const> events,
               std::optional<std::chrono::milliseconds> bound = std::nullopt);

}  // namespace plat
