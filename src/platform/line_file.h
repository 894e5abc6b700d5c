#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

/// Reads a line file by position. Lines end with CR LF or a bare LF and are returned whole, never
/// trimmed. Reading past the end gives empty lines, as the old readers did, so a short file fails
/// at its first number line rather than somewhere unexpected.
class LineReader {
public:
    explicit LineReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    QByteArray readLine();
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    /// Number of lines handed out so far, past the end included.
    int lineNumber() const { return m_line; }

    int readInt();
    bool readBool() { return isTrue(readLine()); }
    QString readText();

    static bool isTrue(const QByteArray& line) { return line == "TRUE"; }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
    int m_line = 0;
};

/// Collects the lines of a file, each ended with CR LF.
class LineWriter {
public:
    void line(const QByteArray& bytes);
    void line(const QString& text);
    void line(const char* ascii) { line(QByteArray(ascii)); }
    void number(int value);
    void boolean(bool value) { line(value ? "TRUE" : "FALSE"); }
    /// Text written without an end of line, for the last line of a file.
    void raw(const QByteArray& bytes) { m_bytes += bytes; }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

/// A decimal integer, as the files store them; a conversion error with the familiar text otherwise.
int toInt(QByteArrayView text);

/// The whole file; an I/O error naming the file when it cannot be read.
QByteArray readWholeFile(const QString& path);
/// Replaces the file atomically (temporary file in the same folder, then rename): a failed write
/// leaves the old file as it was and raises an I/O error naming the file and the reason.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
/// Whole-file copy replacing the target, also atomic.
void copyFileReplacing(const QString& from, const QString& to);
