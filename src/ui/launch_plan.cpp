#include "launch_plan.h"

#include "display_probes.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace telvo::platform {

namespace {

// Whether a platform's name begins with that of a kind ("xcb", "wayland"),
// in any case, as Qt takes it.
bool IsKind(std::string_view platform, std::string_view kind) {
    return platform.size() >= kind.size() &&
           std::equal(kind.begin(), kind.end(), platform.begin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// What a platform named by the user needs that Qt or the environment lacks, if anything.
std::string Lacks(const std::string &platform, const SessionEnvironment &environment,
                  const std::string &display, const PlatformCheck &qtLacks) {
    // A platform's options follow its name after colons: "xcb:nograb".
    if (qtLacks) {
        if (std::string lacks = qtLacks(platform.substr(0, platform.find(':'))); !lacks.empty()) {
            return lacks;
        }
    }
    if (IsKind(platform, "xcb") && display.empty()) {
        return "no X display: the platform \"xcb\" was chosen but DISPLAY is not set";
    }
    if (IsKind(platform, "wayland") && environment.waylandDisplay.empty()) {
        return "no Wayland display: the platform \"" + platform +
               "\" was chosen but WAYLAND_DISPLAY is not set";
    }
    return {};
}

} // namespace

LaunchPlan PlanLaunch(const SessionEnvironment &environment, bool waylandSession,
                      const PlatformCheck &qtLacks) {
    LaunchPlan plan;
    plan.display = environment.displayOption.empty() ? environment.display : environment.displayOption;
    const std::string &chosen =
        environment.platformOption.empty() ? environment.qtPlatform : environment.platformOption;
    if (!chosen.empty()) {
        // Qt tries each entry of a list in turn; those the environment cannot
        // serve fail there and Qt goes on.
        std::size_t from = 0;
        while (from <= chosen.size()) {
            const std::size_t end = std::min(chosen.find(';', from), chosen.size());
            const std::string platform = chosen.substr(from, end - from);
            from = end + 1;
            if (platform.empty()) {
                continue;
            }
            const std::string lacks = Lacks(platform, environment, plan.display, qtLacks);
            if (lacks.empty()) {
                plan.tries.push_back(platform);
            } else if (plan.error.empty()) {
                plan.error = lacks;
            }
        }
        if (!plan.tries.empty()) {
            plan.error.clear();
        }
        return plan;
    }
    if (waylandSession || (plan.display.empty() && !environment.waylandDisplay.empty())) {
        plan.platform = "wayland";
    } else if (!plan.display.empty()) {
        plan.platform = "xcb";
    } else {
        plan.error = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
        return plan;
    }
    plan.tries = {plan.platform};
    return plan;
}

bool IsWaylandSession(const SessionEnvironment &environment) {
    const bool chosen = !environment.platformOption.empty() || !environment.qtPlatform.empty();
    return !chosen && !environment.waylandDisplay.empty() &&
           CheckWaylandDisplay(environment.waylandDisplay, environment.runtimeDir).empty();
}

std::string CheckLaunch(const LaunchPlan &plan, const SessionEnvironment &environment, bool waylandSession,
                        HeldXConnection *keep) {
    std::string problem = plan.error;
    for (const std::string &platform : plan.tries) {
        std::string lacks;
        if (IsKind(platform, "xcb")) {
            lacks = CheckXDisplay(plan.display, keep);
        } else if (IsKind(platform, "wayland") && !waylandSession) {
            lacks = CheckWaylandDisplay(environment.waylandDisplay, environment.runtimeDir);
        }
        if (lacks.empty()) {
            return {}; // where Qt will run
        }
        if (problem.empty()) {
            problem = lacks;
        }
    }
    return problem;
}

} // namespace telvo::platform
