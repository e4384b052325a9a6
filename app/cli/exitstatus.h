#pragma once
// Exit statuses of the command-line sender.

constexpr int ExitSent = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitOutputClosed = 3; // the reader of standard output went away
constexpr int ExitInterrupted = 130;
