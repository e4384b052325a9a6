// A dialog shown and hidden through transitions, one call each.
//
//   dialog-transition [EFFECT]   a window with a button that opens the dialog
//   dialog-transition --check    shows the dialog, hides it, prints each step, exits
//                                (0 when both played, 1 otherwise): what CI runs

#include <lux/transitions.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <cstdio>

using namespace std::chrono_literals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString arg = app.arguments().value(1);
    const bool check = arg == "--check";
    const QString effect = check || arg.isEmpty() ? QStringLiteral("CircleFadeOut") : arg;

    QDialog dialog;
    dialog.setWindowTitle("A dialog");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QString("Shown through %1.").arg(effect)));
    auto* close = new QPushButton("Close");
    layout->addWidget(close);
    dialog.resize(320, 160);
    QObject::connect(close, &QPushButton::clicked, [&] { lux::animateHide(&dialog, "SlideDown", 400ms); });

    if (!check) {
        QPushButton open("Open the dialog");
        QObject::connect(&open, &QPushButton::clicked, [&] { lux::animateShow(&dialog, effect, 600ms); });
        open.resize(240, 80);
        open.show();
        return app.exec();
    }

    // The check: show, wait for the transition's end, hide, wait again.
    lux::Transition* transition = lux::Transition::of(&dialog);
    int step = 0;
    QObject::connect(transition, &lux::Transition::finished, [&] {
        if (++step == 1) {
            std::printf("shown: %s\n", dialog.isVisible() ? "visible" : "NOT visible");
            std::fprintf(stderr, "the dialog's frame lies at %d, %d\n", dialog.frameGeometry().x(), dialog.frameGeometry().y());
            if (!dialog.isVisible() || !lux::animateHide(&dialog, "SlideDown", 300ms))
                app.exit(1);
        } else {
            std::printf("hidden: %s\n", dialog.isVisible() ? "STILL visible" : "not visible");
            app.exit(dialog.isVisible() ? 1 : 0);
        }
        std::fflush(stdout);
    });
    QTimer::singleShot(20s, &app, [&] {
        std::printf("timed out at step %d\n", step);
        app.exit(1);
    });
    if (!lux::animateShow(&dialog, effect, 300ms))
        return 1;
    return app.exec();
}
