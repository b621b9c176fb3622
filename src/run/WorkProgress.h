#pragma once
// Shared between the window's thread and a worker thread doing the file work
// of a click: how far the work has come, and the user's wish to stop it.
// Plain C++.
#include <atomic>
#include <cstddef>

struct WorkProgress {
    std::atomic<size_t> done{ 0 };
    std::atomic<size_t> total{ 0 };  // 0 while not known
    std::atomic<bool> stop{ false };

    bool StopAsked() const { return stop.load(std::memory_order_relaxed); }
    void Step() { done.fetch_add(1, std::memory_order_relaxed); }
};
