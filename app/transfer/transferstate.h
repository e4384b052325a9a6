#pragma once
// Where the link and the transfer stand. Each state says what a tick does:
//
//   Closed        no port: nothing                      left by an open port
//   Idle          port open: shows the board's bytes,   left by Start
//                 the controls as idle
//   OpeningFile   Start pressed, the send file still    left by the file opening
//                 opening on its thread: shows bytes      (or failing), Stop
//   Sending       hands the packet sender the next      left by the end of the file, Stop,
//                 packets                                 a failure
//   LastReply     the last packet is out; its answer    left by the answer, no answer, Stop
//                 ends the transfer
//   Draining      the file is read to its end; the      left by the sender writing the last
//                 packets in hand still go out, then      packet, Stop, a failure
//                 the end is told
//
// A failure of the port leads to Closed from every state.

#include <cstdint>

enum class TransferState : uint8_t {
    Closed,
    Idle,
    OpeningFile,
    Sending,
    LastReply,
    Draining,
};

constexpr bool IsPortOpen(TransferState state)
{
    return state != TransferState::Closed;
}

// A transfer runs: the boxes that shape it keep their values, Start is Stop.
constexpr bool IsSending(TransferState state)
{
    return state == TransferState::OpeningFile || state == TransferState::Sending
        || state == TransferState::LastReply || state == TransferState::Draining;
}
