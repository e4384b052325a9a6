#pragma once
// The previewer's outputs, every write checked: standard output (a full disk or
// a reader that has gone away is reported, never ignored, never fatal) and the
// picture files (checked after their last byte is flushed, so a full disk shows).

#include <QString>

#include <cstddef>
#include <cstdio>

class QImage;

// Exit statuses of every command.
constexpr int ExitDone = 0;
constexpr int ExitFileError = 1;   // a picture or an output could not be read or written
constexpr int ExitUsage = 2;       // a mistake on the command line
constexpr int ExitOutputClosed = 3; // the reader of standard output went away

// A stdio stream that remembers why its first write failed; later writes are skipped.
class CheckedOutput {
public:
    explicit CheckedOutput(FILE* stream) : m_stream(stream) {}

    bool write(const void* data, size_t size);
    bool print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool failed() const { return m_error != 0; }

    // Flushes. When a write failed, says why on `err` and gives ExitOutputClosed
    // (the reader went away) or ExitFileError; otherwise ExitDone.
    int finish(FILE* err);

private:
    bool check(bool ok);

    FILE* m_stream;
    int m_error = 0;
};

// Writes `image` to `file` as PNG. Empty on success, otherwise the reason.
QString SavePng(const QImage& image, const QString& file);
