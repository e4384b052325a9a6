#pragma once
// What the transfer engine and the settings handlers share about the link and
// the packet in hand.

#include <cstdint>

struct TransferState {
    // Bits of LinkState.
    static constexpr uint8_t PortOpen = 1;
    static constexpr uint8_t Sending = 2;

    uint8_t LinkState = 0;
    // Bytes of the packet in hand; in block mode also the length of the next block.
    int ChunkLength = 0;

    bool sending() const { return LinkState & Sending; }
};
