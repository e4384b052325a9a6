#pragma once
// Shared by the fuzz targets: a Qt application object without a display, and
// a check that aborts (so libFuzzer records a crash) when an invariant breaks.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIODevice>

#include <algorithm>
#include <cstring>

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

// A pipe-like device: no seeking, bytes handed out as they are asked for.
class SequentialBytes : public QIODevice {
public:
    explicit SequentialBytes(const QByteArray& bytes) : m_bytes(bytes) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_next + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, m_bytes.size() - m_next);
        if (n <= 0)
            return 0; // nothing more now, as a pipe whose writer is quiet
        std::memcpy(data, m_bytes.constData() + m_next, size_t(n));
        m_next += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_next = 0;
};


#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)
