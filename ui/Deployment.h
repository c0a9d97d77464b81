// How a run was asked to behave by its deployment switches: whether anyone
// is there to answer a box, whether any window may appear, and what happens
// about a restart. Without switches everything is asked, as always.
#pragma once

#include "support/pure/CommandLine.h"

namespace vkp::ui {

enum class RestartChoice { Ask, Never, Force };

struct Deployment {
  bool quiet = false;    // no window and no message box at all
  bool passive = false;  // the progress window only, no question and no box
  RestartChoice restart = RestartChoice::Ask;
  bool Unattended() const { return quiet || passive; }
};

void SetDeployment(const Deployment& deployment);

// Reads the program's switches into `options` and sets the deployment and the
// second trace file from them. A bad command line is reported (a box listing
// the switches, or the trace when it asked for an unattended run) and false
// returned: the program then ends with kExitInvalidParameter, having changed
// nothing.
bool TakeDeploymentSwitches(const char* commandLine, ProgramKind kind, CommandLineOptions& options);
const Deployment& CurrentDeployment();

// The restart question both programs ask after a change that needs one,
// unless the switches answer it (/forcerestart yes, /norestart no; an
// unattended run no). True when Windows is to restart now.
bool AskRestart();

// A restart the program announces rather than asks for (after removing a
// different version): true unless the switches leave restarts to the caller
// (/norestart, or an unattended run without /forcerestart), which is traced.
bool MayRestartUnasked();

}  // namespace vkp::ui
