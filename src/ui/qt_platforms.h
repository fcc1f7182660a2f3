#pragma once

#include "launch_plan.h"

#include <string>

namespace telvo::platform {

// Looks for Qt's platform plugins in Qt's own folder, in the folders that
// QT_PLUGIN_PATH names and beside the program, and in the folder that Qt's
// -platformpluginpath option or QT_QPA_PLATFORM_PLUGIN_PATH names. A plugin
// file named after the platform (libqxcb.so, libqwayland-egl.so for
// "wayland") is taken on trust; only where none is, the plugins' own names
// are read, and the refusal lists them.
PlatformCheck QtPlatformCheck(const std::string &pluginPathOption);

} // namespace telvo::platform
