#pragma once
// Command-line options of the board simulator.

#include <cstdint>
#include <optional>
#include <string>

struct BoardSimOptions {
    std::string logPath;                  // --log FILE: one line per read
    std::string reply;                    // --reply TEXT: sent after each line feed
    std::string replyAfterLine;           // --reply-after-line TEXT: sent after each line or packet
    std::optional<uint64_t> stopReplyingAfter; // --stop-replying-after N: silent after N answers
    uint64_t flood = 0;                   // --flood N: N bytes after the first packet
    std::optional<uint64_t> hangupAfter;  // --hangup-after N: hang up after N bytes
    std::optional<int64_t> quitAfterIdleMs; // --quit-after-idle MS
    bool help = false;
    bool version = false;
};

// Parses argv (`--name value` or `--name=value`); on a mistake returns nothing and
// puts the reason, naming the option, in `error`.
std::optional<BoardSimOptions> ParseBoardSimOptions(int argc, char** argv, std::string& error);

// What --help prints: every option with its range and default.
std::string BoardSimHelp();
