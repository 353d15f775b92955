// The actions a user takes on the pages, each as the state it starts from, the action itself
// (with any dialog it opens answered) and what it may change in the driver's state; shared by
// the fault loops and the resource counts.
#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <vector>

#include "view/VESK_CPLView.h"

namespace uitest {

struct PageAction {
    const char* page;  // the group it belongs to: a page, or "Events and About box"
    const char* name;
    // Brings the page into the state the action starts from; sends no requests of its own
    // beyond those of showing the page.
    std::function<void(CVESK_CPLView&)> prepare;
    std::function<void(CVESK_CPLView&)> act;
    // Removes from a dump of the driver's state what the action may change.
    std::function<void(nlohmann::json&)> mayChange = [](nlohmann::json&) {};
};

// Every action of every page, page by page.
const std::vector<PageAction>& PageActions();

}  // namespace uitest
