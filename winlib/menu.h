// Pop-up menus of the portable core: the items in order, each with its prompt; an item
// with an empty prompt is a separator.
#pragma once

#include <string>
#include <vector>

#include "runtime/value.h"

namespace winlib {

struct TMenuItem {
    std::string cPrompt;
};

class TMenu : public runtime::Object {
public:
    std::vector<TMenuItem> aItems;

    void Add(std::string prompt) { aItems.push_back({std::move(prompt)}); }
    void AddSeparator() { aItems.push_back({}); }
};

}  // namespace winlib
