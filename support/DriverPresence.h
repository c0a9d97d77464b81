// Whether the spooler lists a printer driver or a print processor by exact name.
#pragma once

#include "support/SpoolerEnvironments.h"

namespace vkp {

// environment: nullptr for this program's own ("Windows NT x86"), or a name
// such as "Windows x64". A failed enumeration counts as not listed.
bool PrinterDriverListed(const char* name, const char* environment, unsigned level = 3);
bool PrintProcessorListed(const char* name, const char* environment);
bool PrintMonitorListed(const char* name);

// Whether the model's driver is registered: in this program's environment or,
// on 64-bit Windows, in x64, where the installation registers it. Traces
// "NAME PRINTER DRIVER EXISTS." or "NAME PRINTER DRIVER DOES NOT EXIST.".
bool ModelDriverListed(const char* name, bool is64Bit);

// The same for one environment: the one an installation registers in, where
// a driver of another architecture is of no use. Traces as above.
bool ModelDriverListedIn(const char* name, const char* environment);

// Whether a local printer of the driver sits on the port (exact names).
bool PrinterOfDriverOnPort(const char* driver, const char* port);

// The same as a three-way answer, for callers that must tell "not there"
// from "could not ask" (a stopped spooler).
enum class Listing { Listed, NotListed, Unknown };
Listing PrinterDriverListing(const char* name, const char* environment);
Listing PrintProcessorListing(const char* name, const char* environment);

}  // namespace vkp
