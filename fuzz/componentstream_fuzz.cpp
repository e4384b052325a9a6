// The component-stream reader over arbitrary bytes: a refused stream creates
// nothing and says why; an accepted one writes back to a stream that reads
// again and writes the same text.

#include "effects/forms/componentclasses.h"
#include "effects/forms/componentstream.h"
#include "fuzz/fuzzsupport.h"

#include <QObject>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzInitQt(true);
    static const bool registered = [] {
        RegisterLuxComponentClasses();
        return true;
    }();
    (void)registered;

    QObject owner;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const ComponentStreamResult read = ReadComponentStream(input, &owner);
    if (!read.ok) {
        FUZZ_CHECK(!read.error.isEmpty());
        FUZZ_CHECK(read.components.isEmpty());
        FUZZ_CHECK(owner.children().isEmpty());
        return 0;
    }
    FUZZ_CHECK(read.components.size() == owner.children().size());
    const QByteArray written = WriteComponentStream(&owner);
    QObject again;
    const ComponentStreamResult reread = ReadComponentStream(written, &again);
    FUZZ_CHECK(reread.ok);
    FUZZ_CHECK(WriteComponentStream(&again) == written);
    return 0;
}
