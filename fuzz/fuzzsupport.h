#pragma once
// Shared by the fuzz targets: a Qt application object without a display, and
// a check that aborts (so libFuzzer records a crash) when an invariant breaks.

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

// Creates the application object once; `gui` for targets that touch images.
inline void fuzzInitQt(bool gui)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    // Kept for the whole run: destroying it among the static destructors at
    // exit would pull Qt's globals away under it.
    static QCoreApplication* app = nullptr;
    if (app)
        return;
    if (gui) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = new QGuiApplication(argc, argv);
    } else {
        app = new QCoreApplication(argc, argv);
    }
}

#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)
