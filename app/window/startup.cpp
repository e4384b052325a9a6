#include "startup.h"

#include "aboutbox.h"

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

ToolWindows CreateToolWindows(FormSetup setup)
{
    ToolWindows windows;
    windows.Form1 = std::make_unique<TForm1>(std::move(setup));
    windows.AboutBox = std::make_unique<TAboutBox>();
    windows.Form1->setAboutBox(windows.AboutBox.get());
    return windows;
}
