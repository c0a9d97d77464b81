// Whether the spooler lists a printer driver or a print processor by exact name.
#pragma once

namespace vkp {

// environment: nullptr for this program's own ("Windows NT x86"), or a name
// such as "Windows x64". A failed enumeration counts as not listed.
bool PrinterDriverListed(const char* name, const char* environment, unsigned level = 3);
bool PrintProcessorListed(const char* name, const char* environment);
bool PrintMonitorListed(const char* name);

// The same as a three-way answer, for callers that must tell "not there"
// from "could not ask" (a stopped spooler).
enum class Listing { Listed, NotListed, Unknown };
Listing PrinterDriverListing(const char* name, const char* environment);
Listing PrintProcessorListing(const char* name, const char* environment);

constexpr char kEnvironmentX64[] = "Windows x64";
constexpr char kEnvironmentX86[] = "Windows NT x86";

}  // namespace vkp
