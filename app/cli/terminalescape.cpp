#include "app/cli/terminalescape.h"

#include <utility>

namespace {

void appendHex(QByteArray& out, unsigned char byte)
{
    static const char digits[] = "0123456789ABCDEF";
    out += '<';
    out += digits[byte >> 4];
    out += digits[byte & 15];
    out += '>';
}

bool isControl(unsigned char byte)
{
    return (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7f;
}

// The length of the UTF-8 sequence that begins with `lead`; 0 when it begins none.
int sequenceLength(unsigned char lead)
{
    if (lead >= 0xc2 && lead <= 0xdf)
        return 2;
    if (lead >= 0xe0 && lead <= 0xef)
        return 3;
    if (lead >= 0xf0 && lead <= 0xf4)
        return 4;
    return 0;
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xc0) == 0x80;
}

} // namespace

QByteArray TerminalEscape::filter(const QByteArray& bytes)
{
    const QByteArray in = m_held + bytes;
    m_held.clear();
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size();) {
        const auto byte = static_cast<unsigned char>(in[i]);
        if (byte < 0x80) {
            if (isControl(byte))
                appendHex(out, byte);
            else
                out += char(byte);
            ++i;
            continue;
        }
        const int length = sequenceLength(byte);
        qsizetype whole = 1;
        while (length > 0 && whole < length && i + whole < in.size()
               && isContinuation(static_cast<unsigned char>(in[i + whole])))
            ++whole;
        if (length > 0 && whole < length && i + whole == in.size()) {
            m_held = in.mid(i); // the rest of the character comes with the next read
            break;
        }
        const bool c1 = byte == 0xc2 && whole == 2 && static_cast<unsigned char>(in[i + 1]) < 0xa0;
        if (length == 0 || whole < length || c1) {
            // Not a character, or a C1 control written in UTF-8: each byte shown as hex
            // where a terminal could take it for a control.
            for (qsizetype k = 0; k < (c1 ? 2 : 1); ++k) {
                const auto b = static_cast<unsigned char>(in[i + k]);
                if (b < 0xa0 || c1)
                    appendHex(out, b);
                else
                    out += char(b);
            }
            i += c1 ? 2 : 1;
            continue;
        }
        out += in.mid(i, length);
        i += length;
    }
    return out;
}

QByteArray TerminalEscape::flush()
{
    QByteArray out;
    for (const char c : std::exchange(m_held, {}))
        appendHex(out, static_cast<unsigned char>(c));
    return out;
}
