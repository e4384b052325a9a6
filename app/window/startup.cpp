#include "app/window/startup.h"

#include "app/splash/aboutbox.h"


ToolWindows CreateToolWindows(FormSetup setup)
{
    ToolWindows windows;
    windows.Form1 = std::make_unique<TForm1>(std::move(setup));
    windows.AboutBox = std::make_unique<TAboutBox>();
    windows.Form1->setAboutBox(windows.AboutBox.get());
    return windows;
}
