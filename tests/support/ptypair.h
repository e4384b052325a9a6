#pragma once
// A pseudo-terminal pair for serial tests: the code under test opens `path`
// (the slave side) through QSerialPort; the test plays the board on the master.

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios raw {};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        path = QString::fromLocal8Bit(name);
    }
    ~PtyPair()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isOpen() const { return m_master >= 0; }
    // A descriptor on the slave side, held by the test (for tcgetattr, flock).
    int slave() const { return m_slave; }

    // The board hangs up, as when it is unplugged.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // Sends bytes to the tool, all of them.
    void write(const QByteArray& bytes)
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else {
                pollfd fd {m_master, POLLOUT, 0};
                ::poll(&fd, 1, 1000);
            }
        }
    }

    // Sends what the line takes now without waiting; the count sent.
    qsizetype writeSome(const QByteArray& bytes)
    {
        const ssize_t n = ::write(m_master, bytes.constData(), size_t(bytes.size()));
        return n > 0 ? n : 0;
    }

    // Reads until `count` bytes have arrived (or `timeoutMs` of silence).
    QByteArray read(qsizetype count, int timeoutMs = 5000)
    {
        QByteArray bytes;
        char buffer[4096];
        while (bytes.size() < count) {
            pollfd fd {m_master, POLLIN, 0};
            if (::poll(&fd, 1, timeoutMs) <= 0)
                break;
            const ssize_t n = ::read(m_master, buffer, size_t(std::min<qsizetype>(count - bytes.size(), sizeof buffer)));
            if (n <= 0)
                break;
            bytes.append(buffer, n);
        }
        return bytes;
    }

    // Whatever has arrived after `waitMs` of waiting for more.
    QByteArray readRest(int waitMs = 50) { return read(1 << 30, waitMs); }

    QString path;

private:
    int m_master = -1;
    int m_slave = -1;
};
