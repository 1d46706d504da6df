#pragma once

// A FIFO and a writer that stands by it, so that a test of code that must
// never wait on a FIFO cannot hang: when the code under test opens the FIFO
// for reading and waits for a writer, the writer comes, writes its bytes and
// closes, so that such code reads them (and the test sees that it read the
// FIFO) instead of waiting for good. Code that refuses the FIFO without
// waiting is not disturbed. Without any timing: the writer's open waits for a
// reader, and the destructor is the reader of last resort.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

class TFifoWriter {
public:
    // Makes a FIFO at path (which must not exist); false from Made() when it
    // could not be made.
    TFifoWriter(const QString& path, const QByteArray& bytes)
        : m_path(QFile::encodeName(path)), m_made(::mkfifo(m_path.constData(), 0600) == 0)
    {
        if (m_made)
            m_writer = std::thread([this, bytes] { Write(bytes); });
    }
    ~TFifoWriter()
    {
        if (!m_made)
            return;
        // A reader of our own lets the writer's open return when the code
        // under test never opened the FIFO for long enough.
        const int reader = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        m_writer.join();
        if (reader >= 0)
            ::close(reader);
        ::unlink(m_path.constData());
    }
    TFifoWriter(const TFifoWriter&) = delete;
    TFifoWriter& operator=(const TFifoWriter&) = delete;

    bool Made() const { return m_made; }

private:
    void Write(const QByteArray& bytes)
    {
        // A reader that closed at once makes the write fail with EPIPE
        // instead of ending the test process.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        const int fd = ::open(m_path.constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        // Small enough for the pipe's buffer: the write never waits.
        [[maybe_unused]] const ssize_t written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
        ::close(fd);
    }

    QByteArray m_path;
    bool m_made;
    std::thread m_writer;
};
