// The pages of a QStackedWidget switched through transitions, with the
// library's component interface (the classic headers under include/lux).
//
//   page-transitions           a window with three pages and a Next button
//   page-transitions --check   switches through the pages once and exits (0 when
//                              each switch played and the last page shows)

#include "effects/bitmap/luxbitmap.h"
#include "effects/forms/luxanimation.h"

#include <lux/transitions.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// Covers the stack with a picture of its present page, turns to the next page
// underneath, and plays the transition from the one to the other.
void nextPage(QStackedWidget* stack, TluxAnimation& animation)
{
    animation.FreezeControlClient(stack, Rect(0, 0, stack->width(), stack->height()));
    stack->setCurrentIndex((stack->currentIndex() + 1) % stack->count());
    animation.Execute();  // returns once the transition has played
    animation.Restore();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool check = app.arguments().contains("--check");

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* stack = new QStackedWidget;
    const char* colours[] = {"#fce4b8", "#bde0c6", "#c4d3f2"};
    for (int i = 0; i < 3; ++i) {
        auto* page = new QLabel(QString("Page %1").arg(i + 1));
        page->setAlignment(Qt::AlignCenter);
        page->setStyleSheet(QString("background: %1; font-size: 28px").arg(colours[i]));
        stack->addWidget(page);
    }
    auto* next = new QPushButton("Next");
    layout->addWidget(stack);
    layout->addWidget(next);
    window.resize(360, 260);

    TluxAnimation animation;
    animation.Effect = "[ MANUAL ] - Push";
    animation.SetTime(500);
    int played = 0;
    animation.OnFinish = [&](QObject*) { ++played; };
    QObject::connect(next, &QPushButton::clicked, [&] { nextPage(stack, animation); });

    // The window itself comes in through a transition, too.
    lux::animateShow(&window, "Fade", std::chrono::milliseconds(300));
    if (!check)
        return app.exec();

    QTimer::singleShot(1500, &app, [&] {
        nextPage(stack, animation);
        nextPage(stack, animation);
        std::printf("switches played: %d, page %d showing\n", played, stack->currentIndex() + 1);
        app.exit(played == 2 && stack->currentIndex() == 2 ? 0 : 1);
    });
    return app.exec();
}
