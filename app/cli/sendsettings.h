#pragma once
// The settings a board is sent with, once Config.dat and the command line
// have been applied: what a dry run plans with and a report keeps.

#include "app/transfer/lineformat.h"
#include "app/transfer/transferplan.h"

#include <QByteArray>

#include <algorithm>
#include <optional>

struct SendSettings {
    std::optional<qint64> baud; // none: the baud text is not a number
    int gapMs = 0;
    std::optional<int> blockSize; // none: line mode
    LineFormat format;
    QByteArray waitFor; // empty: no waiting for answers
    int replyTimeoutMs = 0;

    PlanSettings plan() const
    {
        return {blockSize.has_value(), blockSize.value_or(0), gapMs, baud.value_or(0), format.bitsPerCharacter(),
                !waitFor.isEmpty()};
    }
};
