#pragma once
// The "send" command: the file to one board, or to several at once, through
// the transfer engine, without windows.

#include "app/cli/cliarguments.h"

// Exit statuses of the command-line sender.
constexpr int ExitSent = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitOutputClosed = 3; // the reader of standard output went away
constexpr int ExitInterrupted = 130;

// Runs the transfers inside the running QCoreApplication; returns the exit status.
int RunSendCommand(const CliArguments& arguments);
