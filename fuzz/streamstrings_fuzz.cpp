// ReadString over arbitrary bytes, from a random-access buffer and from a
// sequential device: a record that is read must write back to the same bytes,
// a refused one must leave the stream where it was, and both devices must agree.

#include "fuzz/fuzzsupport.h"
#include "effects/util/streamstrings.h"

#include <QBuffer>

#include <cstdint>

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
