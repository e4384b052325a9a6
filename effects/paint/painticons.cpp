// Small icons centred in a rectangle, drawn at their own size with their mask.

#include "effects/paint/canvaspainting.h"

#include "effects/util/rectutils.h"
#include "platform/screen.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

// Top-left corner of a small-icon square centred in R.
TPoint smallIconOrigin(const TRect& R)
{
    TRect box(0, 0, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    RectCenter(box, R);
    return box.TopLeft();
}

void drawPicture(HDC DC, const TRect& R, const QImage& picture)
{
    if (!DC || picture.isNull())
        return;
    const TPoint at = smallIconOrigin(R);
    // Drawn over what is there: the icon's transparent pixels leave it visible.
    DC->paint([&](QPainter& p) { p.drawImage(at.X, at.Y, picture); });
}

QImage iconPicture(const QIcon& icon)
{
    const QList<QSize> sizes = icon.availableSizes();
    const QSize own = sizes.isEmpty() ? QSize(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)) : sizes.first();
    return icon.pixmap(own).toImage();
}

} // namespace

void DrawIcon(HDC DC, const TRect& R, const QIcon* Icon)
{
    if (!DC || !Icon || Icon->isNull())
        return;
    drawPicture(DC, R, iconPicture(*Icon));
}

void DrawIcon(TCanvas* Canvas, const TRect& R, const QIcon* Icon)
{
    if (Canvas)
        DrawIcon(Canvas->Handle(), R, Icon);
}

void DrawIcon(HDC DC, const TRect& R, const QPixmap* Icon)
{
    if (!DC || !Icon || Icon->isNull())
        return;
    drawPicture(DC, R, Icon->toImage());
}

void DrawIcon(TCanvas* Canvas, const TRect& R, const QPixmap* Icon)
{
    if (Canvas)
        DrawIcon(Canvas->Handle(), R, Icon);
}
