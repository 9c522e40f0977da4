#pragma once
#include <utility>

#include "run_error.hpp"

namespace belavo {

// The number and entry of the RunError that `action` raises; {0, None} if none.
template <class Action>
std::pair<int, Entry> errorOf(Action action) {
    try {
        action();
    } catch (const RunError& e) {
        return {static_cast<int>(e.number()), e.entry()};
    }
    return {0, Entry::None};
}

}  // namespace belavo
