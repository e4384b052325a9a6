#pragma once
// The "send" command: the file to one board, or to several at once, through
// the transfer engine, without windows.

#include "app/cli/cliarguments.h"
#include "app/cli/exitstatus.h"

// Runs the transfers inside the running QCoreApplication; returns the exit
// status (exitstatus.h).
int RunSendCommand(const CliArguments& arguments);
