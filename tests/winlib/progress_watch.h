// What a progress bar showed while the program worked: each position the platform's bar
// came to, with the range it had then, as the bar itself reports them (the Win32 bar
// asked after each message it handled, the Qt bar at each change of its value). A move
// that ends where the bar already was shows nothing, on both drivers alike.
#pragma once

#include <functional>
#include <vector>

#include "winlib/control.h"

namespace winlib::testing {

struct ProgressShown {
    int min;
    int max;
    int position;
    bool operator==(const ProgressShown&) const = default;
};

std::vector<ProgressShown> watch_progress(const TProgress& bar, const std::function<void()>& work);

}  // namespace winlib::testing
