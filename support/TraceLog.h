// The diagnostic trace: a plain-text file "<Windows drive>\Temp\<name>" that
// every step appends to. The file name is the program's (TraceLogFileName).
#pragma once

#include "platform/Compat.h"

namespace vkp {

// Provided by each program: "VKP-M200_Installer.txt" or "VKP-M200_UnInstaller.txt".
const char* TraceLogFileName();

// Composes the log path, creates the Temp folder and deletes the previous
// run's log. Returns the deletion's success flag. The folder is held open
// until the next call, so that it cannot be renamed or replaced meanwhile.
// A Temp folder that is a link (junction, symbolic link) or an ordinary
// user's is passed over for the Windows Temp folder, which the first entry
// says; when that fails too, the run has no trace.
int InitTraceLog();

// Appends one entry: time stamp, the formatted text (cut at 1013
// characters) and CR LF, written with a single WriteFile so that entries of
// two threads never mix inside a line. Silent on every failure. A log file
// that is a link, or has more than one name, ends tracing for the run.
void WriteTraceLog(const char* format, ...) VKP_PRINTF_LIKE(1, 2);

// A second file that gets every entry too (/log=PATH), from now on; the
// next InitTraceLog deletes what it held. nullptr or "" for none.
void SetSecondTraceLog(const char* path);

// The composed path; empty until InitTraceLog has run.
const char* TraceLogPath();

}  // namespace vkp
