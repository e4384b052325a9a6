#include "effects/util/tokenizer.h"

namespace {

const TTokenSeparators& defaultSeparators()
{
    static const TTokenSeparators set = tokenSeparators(QByteArrayLiteral(" (),:;="));
    return set;
}

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

QByteArray trimmedBlanks(const QByteArray& s)
{
    qsizetype from = 0, to = s.size();
    while (from < to && isBlank(s[from]))
        ++from;
    while (to > from && isBlank(s[to - 1]))
        --to;
    return s.mid(from, to - from);
}

template<typename IsSeparator>
QByteArray takeToken(QByteArray& s, IsSeparator isSeparator)
{
    qsizetype end = 0;
    while (end < s.size() && !isSeparator(static_cast<unsigned char>(s[end])))
        ++end;
    QByteArray token = s.left(end);
    // The separator that ends the token goes with it.
    s.remove(0, end < s.size() ? end + 1 : end);
    s = trimmedBlanks(s);
    return trimmedBlanks(token);
}

bool toInt32(const QByteArray& token, int32_t& out)
{
    bool ok = false;
    const int v = token.toInt(&ok, 10);
    if (ok)
        out = v;
    return ok;
}

} // namespace

TTokenSeparators tokenSeparators(const QByteArray& chars)
{
    TTokenSeparators set;
    for (char c : chars)
        set.set(static_cast<unsigned char>(c));
    return set;
}

QByteArray GetToken(QByteArray& S)
{
    return GetToken(S, defaultSeparators());
}

QByteArray GetToken(QByteArray& S, const QByteArray& Separators)
{
    return takeToken(S, [&](unsigned char c) { return Separators.contains(char(c)); });
}

QByteArray GetToken(QByteArray& S, const TTokenSeparators& Separators)
{
    return takeToken(S, [&](unsigned char c) { return Separators.test(c); });
}

QByteArray RectToString(const TRect& R)
{
    return '(' + QByteArray::number(R.Left) + ',' + QByteArray::number(R.Top) + ',' + QByteArray::number(R.Right) + ','
        + QByteArray::number(R.Bottom) + ')';
}

TRect StringToRect(const QByteArray& S)
{
    QByteArray rest = S;
    int32_t v[4];
    for (int32_t& member : v) {
        if (!toInt32(GetToken(rest), member))
            return TRect();
    }
    return TRect(v[0], v[1], v[2], v[3]);
}
