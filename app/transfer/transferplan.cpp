#include "app/transfer/transferplan.h"

#include "app/transfer/pacingvalues.h"
#include "app/transfer/sendfilereader.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>

namespace {

// The tick times of the plan, in milliseconds from Start.
class PlanClock {
public:
    explicit PlanClock(const PlanSettings& settings)
        : m_gap(std::max(settings.gapMs, 1)),
          m_msPerByte(settings.baud > 0 ? settings.bitsPerCharacter * 1000.0 / double(settings.baud) : 0),
          m_waits(settings.waitsForReply)
    {
    }

    // A packet of `bytes` goes at the next tick it may.
    void send(qint64 bytes)
    {
        const double wire = double(bytes) * m_msPerByte;
        m_wireMs += wire;
        m_endMs = m_nextMs + wire;
        if (m_waits) {
            m_nextMs += std::max(double(m_gap), wire);
            return;
        }
        // Ticks fall on the grid of Time Gaps; one that finds the line busy sends nothing.
        const double ticks = std::max(1.0, std::ceil(wire / m_gap - 1e-9));
        m_nextMs += ticks * m_gap;
    }

    double wireSeconds() const { return m_wireMs / 1000; }
    double wholeSeconds() const { return m_endMs / 1000; }

private:
    int m_gap;
    double m_msPerByte;
    bool m_waits;
    double m_nextMs = m_gap; // the first tick comes a Time Gap after Start
    double m_wireMs = 0;
    double m_endMs = 0;
};

} // namespace

TransferPlan PlanTransfer(const QByteArray& path, const PlanSettings& settings)
{
    TransferPlan plan;
    SendFileReader file;
    if (const TransferError failed = file.open(path)) {
        plan.error = failed;
        return plan;
    }
    if (file.size() == SendFileReader::UnknownSize) {
        plan.error = {TransferError::Operation::OpenFile, QFile::decodeName(path),
                      QStringLiteral("the packets of a stream are not known before it is sent"), ESPIPE};
        return plan;
    }
    PlanClock clock(settings);
    std::array<char, MaxDataSize> packet {};
    // As the engine's tick: a block while whole blocks are left, otherwise
    // the next line, whose length becomes the block length from then on.
    int chunkLength = settings.blockMode ? std::clamp(settings.dataSize, 0, MaxDataSize) : 0;
    for (bool more = true; more;) {
        SendFileReader::Read read {SendFileReader::Status::Data, chunkLength};
        if (settings.blockMode && chunkLength > 0)
            read = file.readBlock(packet.data(), chunkLength);
        if (!settings.blockMode || read.status == SendFileReader::Status::End)
            read = file.readLine(packet.data(), MaxDataSize);
        if (read.status == SendFileReader::Status::Failed || read.status == SendFileReader::Status::Waiting) {
            plan.error = file.failure();
            break;
        }
        more = read.status != SendFileReader::Status::End;
        chunkLength = read.length;
        if (chunkLength == 0)
            break;
        ++plan.packets;
        plan.bytes += chunkLength;
        clock.send(chunkLength);
    }
    plan.wireSeconds = clock.wireSeconds();
    plan.wholeSeconds = clock.wholeSeconds();
    return plan;
}
