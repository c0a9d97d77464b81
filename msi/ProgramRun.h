// Runs one of our programs to its end and reads its exit code.
#pragma once

#include <string>

namespace vkp {

// Starts the command line, whose first word is the program's full path in
// double quotes, hidden, waits for the program's end and gives its exit
// code. False (with the Windows error in `error`) when it could not start
// or its end could not be read.
bool RunProgramToEnd(const std::string& commandLine, unsigned long& exitCode, unsigned long& error);

}  // namespace vkp
