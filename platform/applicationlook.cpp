#include "platform/applicationlook.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

void ApplyToolLook()
{
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(style);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSize(8);
    QApplication::setFont(font);
}
