#pragma once

#include <string>

namespace telvo::platform {

// What the clock's own command line asks for. Qt's options pass through to
// Qt; anything else is refused.
struct CommandLine {
    bool help = false;      // --help, -h
    bool version = false;   // --version
    std::string platform;   // Qt's -platform option, which wins over QT_QPA_PLATFORM
    std::string display;    // Qt's -display option, which wins over DISPLAY
    std::string pluginPath; // Qt's -platformpluginpath option
    std::string error;      // what is wrong with the arguments, if anything
};

CommandLine ReadCommandLine(int argc, const char *const *argv);

} // namespace telvo::platform
