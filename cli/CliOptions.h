#pragma once

// The command line of orvane-cli in the usual GNU form: a command, its arguments, short and long
// options anywhere (also after the arguments), and "--" before arguments that begin with "-".

#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    std::string command; // find, rename, change, history, undo
    std::vector<std::string> args;
    bool recursive = false;
    bool regex = false;
    int max = 0;
    bool apply = false;
    bool stopOnError = false;
    bool json = false;
    std::optional<std::string> times[3]; // created, modified, accessed: "TT.MM.JJJJ hh:mm:ss"
    std::optional<std::string> attributes; // "+R-H"
    bool help = false;
    bool version = false;
};

// The options of argv (without the program name), or nothing with the German reason in error.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& argv, std::string& error);
