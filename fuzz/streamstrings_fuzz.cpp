// ReadString over arbitrary bytes, from a random-access buffer and from a
// sequential device: a record that is read must write back to the same bytes,
// a refused one must leave the stream where it was, and both devices must agree.

#include "fuzzsupport.h"
#include "streamstrings.h"

#include <QBuffer>

#include <cstdint>
#include <cstring>

namespace {

// A pipe-like device: no seeking, bytes handed out as they are asked for.
class SequentialBytes : public QIODevice {
public:
    explicit SequentialBytes(const QByteArray& bytes) : m_bytes(bytes) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_next + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, m_bytes.size() - m_next);
        if (n <= 0)
            return 0; // nothing more now, as a pipe whose writer is quiet
        std::memcpy(data, m_bytes.constData() + m_next, size_t(n));
        m_next += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_next = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzInitQt(false);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);
    SequentialBytes pipe(input);

    for (;;) {
        const qint64 before = buffer.pos();
        bool ok = true;
        const QByteArray s = ReadString(&buffer, &ok);
        bool pipeOk = true;
        const QByteArray fromPipe = ReadString(&pipe, &pipeOk);
        FUZZ_CHECK(ok == pipeOk);
        FUZZ_CHECK(s == fromPipe);
        if (!ok) {
            FUZZ_CHECK(s.isEmpty());
            FUZZ_CHECK(buffer.pos() == before);
            FUZZ_CHECK(pipe.bytesAvailable() == buffer.bytesAvailable());
            break;
        }
        FUZZ_CHECK(buffer.pos() == before + 4 + s.size());
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        FUZZ_CHECK(WriteString(&out, s));
        FUZZ_CHECK(out.data() == input.mid(before, 4 + s.size()));
    }
    return 0;
}
