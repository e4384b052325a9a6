#include "effects/paint/ansitext.h"

#include "effects/util/codepages.h"

#include <iconv.h>

namespace {

class Encoder {
public:
    explicit Encoder(const QByteArray& charset) : m_cd(iconv_open(charset.constData(), "UTF-8")) {}
    ~Encoder()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // One character; false when the character set has no form for it.
    bool append(const QByteArray& utf8, QByteArray& out)
    {
        char buffer[16];
        char* src = const_cast<char*>(utf8.constData());
        size_t srcLeft = size_t(utf8.size());
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1)) {
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
        out.append(buffer, qsizetype(sizeof buffer - dstLeft));
        return true;
    }

private:
    iconv_t m_cd;
};

} // namespace

QByteArray WideStringToAnsi(const QString& S)
{
    const QString composed = S.normalized(QString::NormalizationForm_C);
    Encoder encoder(codePageCharset(CP_ACP));
    if (!encoder.valid())
        return composed.toLatin1(); // no converter at all: Latin-1, '?' for the rest
    QByteArray out;
    out.reserve(composed.size());
    for (qsizetype i = 0; i < composed.size();) {
        const bool pair = composed.at(i).isHighSurrogate() && i + 1 < composed.size() && composed.at(i + 1).isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const QString ch = composed.mid(i, length);
        // A lone surrogate has no UTF-8 form; it is unmappable like any other.
        const bool lone = !pair && composed.at(i).isSurrogate();
        if (lone || !encoder.append(ch.toUtf8(), out))
            out.append('?');
        i += length;
    }
    return out;
}
