#include "effects/util/codepages.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

class Iconv {
public:
    explicit Iconv(const QByteArray& from) : m_cd(iconv_open("UTF-8", from.constData())) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Decodes the whole input; invalid or truncated sequences become U+FFFD and the
// conversion goes on after them. No value when the code page is unknown.
std::optional<QString> decode(unsigned int codePage, const QByteArray& in)
{
    Iconv cv(codePageCharset(codePage));
    if (!cv.valid())
        return std::nullopt;
    static const char replacement[] = "\xEF\xBF\xBD";
    QByteArray out(in.size() * 4 + 16, Qt::Uninitialized);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    size_t used = 0;
    auto convert = [&](char** from, size_t* fromLeft) {
        char* dst = out.data() + used;
        size_t dstLeft = size_t(out.size()) - used;
        const size_t rc = iconv(cv.handle(), from, fromLeft, &dst, &dstLeft);
        used = size_t(out.size()) - dstLeft;
        return rc != size_t(-1);
    };
    while (srcLeft > 0) {
        if (convert(&src, &srcLeft))
            continue;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: replace one byte and carry on after it.
        if (size_t(out.size()) - used < 3)
            out.resize(out.size() * 2);
        std::memcpy(out.data() + used, replacement, 3);
        used += 3;
        ++src;
        --srcLeft;
        iconv(cv.handle(), nullptr, nullptr, nullptr, nullptr); // reset the shift state
    }
    // Stateful encodings may still owe a closing sequence.
    while (!convert(nullptr, nullptr) && errno == E2BIG)
        out.resize(out.size() * 2);
    out.truncate(qsizetype(used));
    return QString::fromUtf8(out);
}

} // namespace

QByteArray codePageCharset(unsigned int CodePage)
{
    switch (CodePage) {
    case CP_ACP:
    case 3: // CP_THREAD_ACP
        return QByteArray(nl_langinfo(CODESET));
    case CP_OEMCP: return "CP437";
    case 2: return "MACINTOSH"; // CP_MACCP
    case CP_UTF7: return "UTF-7";
    case CP_UTF8: return "UTF-8";
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 50220: return "ISO-2022-JP";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    default: break;
    }
    if (CodePage >= 28591 && CodePage <= 28605)
        return "ISO-8859-" + QByteArray::number(CodePage - 28590);
    return "CP" + QByteArray::number(CodePage);
}

QString StringToWideString(unsigned int CodePage, const QByteArray& S)
{
    if (S.isEmpty())
        return QString();
    std::optional<QString> text = decode(CodePage, S);
    if (!text && CodePage != CP_ACP)
        text = decode(CP_ACP, S);
    if (!text)
        return QString(S.size(), QLatin1Char('?'));
    return *text;
}
