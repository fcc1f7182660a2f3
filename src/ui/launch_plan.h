#pragma once

// Which Qt platform the clock runs on, and whether it can start there at all.

#include "session_environment.h"

#include <functional>
#include <string>
#include <vector>

namespace telvo::platform {

class HeldXConnection;

struct LaunchPlan {
    std::string platform;           // what to set QT_QPA_PLATFORM to; empty to leave it
    std::vector<std::string> tries; // the platforms Qt may end up on, in the order it tries them
    std::string display;            // the X display Qt opens on xcb
    std::string error;              // why the clock cannot start; empty if it can
};

// In a Wayland session (a compositor answers at WAYLAND_DISPLAY and Qt has
// its Wayland plugin) the clock is a native Wayland client, also where
// XWayland offers an X display too; elsewhere it runs on X. A platform the
// user chose, by Qt's -platform option or QT_QPA_PLATFORM (lists such as
// "wayland;xcb" included), is left to Qt; only what it could not run at all
// is refused, and so is a platform that Qt has no plugin for, as `qtLacks`
// finds (an empty text where Qt has it): Qt would abort there.
using PlatformCheck = std::function<std::string(const std::string &name)>;
LaunchPlan PlanLaunch(const SessionEnvironment &environment, bool waylandSession,
                      const PlatformCheck &qtLacks = {});

// Whether a compositor answers at WAYLAND_DISPLAY and Qt can speak Wayland
// here, where the user chose no platform.
bool IsWaylandSession(const SessionEnvironment &environment);

// Whether Qt can start on one of the plan's platforms: an empty text when it
// can, else the first reason it cannot. A working X connection is kept in `keep`.
// `waylandSession` is what IsWaylandSession found, so the compositor is not asked twice.
std::string CheckLaunch(const LaunchPlan &plan, const SessionEnvironment &environment, bool waylandSession,
                        HeldXConnection *keep);

} // namespace telvo::platform
