// GetToken and StringToRect over arbitrary text. The first byte picks the
// separators: the default set, or the next few bytes as a list and as a set.
// Every call must shorten the rest, tokens carry no separator and no blank at
// either end, both custom forms agree, and a rectangle read from text reads
// the same again from its own "L,T,R,B" text.

#include "fuzz/fuzzsupport.h"
#include "effects/util/tokenizer.h"

#include <cstdint>

namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

bool trimmed(const QByteArray& s)
{
    return s.isEmpty() || (!isBlank(s.front()) && !isBlank(s.back()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const int separatorCount = data[0] % 8;

    if (separatorCount == 0) {
        const TTokenSeparators defaults = tokenSeparators(QByteArrayLiteral(" (),:;="));
        QByteArray rest = input;
        while (!rest.isEmpty()) {
            const qsizetype before = rest.size();
            const QByteArray token = GetToken(rest);
            FUZZ_CHECK(rest.size() < before);
            FUZZ_CHECK(trimmed(token) && trimmed(rest));
            for (char c : token)
                FUZZ_CHECK(!defaults.test(static_cast<unsigned char>(c)));
        }

        const TRect r = StringToRect(input);
        const QByteArray plain = QByteArray::number(r.Left) + ',' + QByteArray::number(r.Top) + ','
            + QByteArray::number(r.Right) + ',' + QByteArray::number(r.Bottom);
        const TRect again = StringToRect(plain);
        FUZZ_CHECK(again.Left == r.Left && again.Top == r.Top && again.Right == r.Right && again.Bottom == r.Bottom);
        const TRect fromWritten = StringToRect(RectToString(r));
        FUZZ_CHECK(fromWritten.Left == 0 && fromWritten.Top == 0 && fromWritten.Right == 0 && fromWritten.Bottom == 0);
        return 0;
    }

    const QByteArray separators = input.left(separatorCount);
    const TTokenSeparators set = tokenSeparators(separators);
    QByteArray byList = input.mid(separatorCount);
    QByteArray bySet = byList;
    while (!byList.isEmpty()) {
        const qsizetype before = byList.size();
        const QByteArray token = GetToken(byList, separators);
        FUZZ_CHECK(GetToken(bySet, set) == token);
        FUZZ_CHECK(bySet == byList);
        FUZZ_CHECK(byList.size() < before);
        FUZZ_CHECK(trimmed(token) && trimmed(byList));
        for (char c : token)
            FUZZ_CHECK(!separators.contains(c));
    }
    return 0;
}
