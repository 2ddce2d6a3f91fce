// The probe's commands: each takes its arguments (UTF-8) and gives one line of JSON.
#pragma once

#include <string>
#include <vector>

namespace probe {

using Args = std::vector<std::string>;

// Runs one command; unknown commands and bad arguments give {"error": "..."}.
// Sets `quit` when the command was "quit".
std::string RunCommand(const Args& args, bool& quit);

// Splits a command line into words: blanks separate, "..." quotes with \" and \\ escapes.
Args SplitWords(const std::string& line);

}  // namespace probe
