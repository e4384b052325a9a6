// Text output, measuring and fitting on a canvas.

#include "effects/paint/canvaspainting.h"

#include "effects/paint/ansitext.h"
#include "effects/util/codepages.h"
#include "effects/util/platformhelpers.h"

int DrawText(TCanvas* Canvas, const QString& S, TRect& R, unsigned int Flags)
{
    if (!Canvas || !Canvas->Handle())
        return 0;
    Canvas->RequiredState();
    HDC dc = Canvas->Handle();
    dc->setBkMode(TRANSPARENT);
    if (IsWinNT())
        return dc->drawText(S, R, Flags);
    // Without the wide calls the text goes through the locale's 8-bit character set.
    return dc->drawText(StringToWideString(CP_ACP, WideStringToAnsi(S)), R, Flags);
}

int DrawText(TCanvas* Canvas, const QString& S, int X, int Y)
{
    TRect r(X, Y, X + TextWidth(Canvas, S, 0), Y + TextHeight(Canvas, S));
    return DrawText(Canvas, S, r, 0);
}

int TextWidth(TCanvas* Canvas, const QString& S, int Flags)
{
    if (!Canvas || !Canvas->Handle())
        return 0;
    Canvas->RequiredState();
    HDC dc = Canvas->Handle();
    if (Flags == 0)
        return dc->textExtent(S).cx;
    // The narrow path: measure what the 8-bit form of S looks like when drawn back.
    // The buffer holds the whole converted text, so characters that take several
    // bytes in the locale's character set are not cut off.
    TRect r(0, 0, 0, 0);
    dc->drawText(StringToWideString(CP_ACP, WideStringToAnsi(S)), r, unsigned(Flags) | DT_CALCRECT);
    return r.Right;
}

int TextHeight(TCanvas* Canvas, const QString& S)
{
    if (!Canvas || !Canvas->Handle())
        return 0;
    Canvas->RequiredState();
    return Canvas->Handle()->textExtent(S).cy;
}

QString FormatStr(HDC DC, const QString& S, int MaxWidth)
{
    if (!DC)
        return S;
    if (DC->textExtent(S).cx <= MaxWidth)
        return S;
    static const QString dots = QStringLiteral("...");
    QString result;
    for (qsizetype i = 0; i < S.size();) {
        // A surrogate pair is one character: never leave half of it before the dots.
        const qsizetype length = (S.at(i).isHighSurrogate() && i + 1 < S.size() && S.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString longer = result + S.mid(i, length);
        if (DC->textExtent(longer + dots).cx > MaxWidth)
            break;
        result = longer;
        i += length;
    }
    return result + dots;
}
