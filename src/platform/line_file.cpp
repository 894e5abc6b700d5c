#include "platform/line_file.h"

#include <QCoreApplication>
#include <charconv>

#include <QFile>
#include <QSaveFile>

#include "platform/errors.h"
#include "platform/text_codec.h"

QByteArray LineReader::readLine()
{
    ++m_line;
    if (atEnd())
        return {};
    qsizetype end = m_bytes.indexOf('\n', m_pos);
    qsizetype next = end < 0 ? m_bytes.size() : end + 1;
    if (end < 0)
        end = m_bytes.size();
    else if (end > m_pos && m_bytes.at(end - 1) == '\r')
        --end;
    QByteArray line = m_bytes.mid(m_pos, end - m_pos);
    m_pos = next;
    return line;
}

int LineReader::readInt()
{
    return toInt(readLine());
}

QString LineReader::readText()
{
    return decodeText(readLine());
}

void LineWriter::line(const QByteArray& bytes)
{
    m_bytes += bytes;
    m_bytes += "\r\n";
}

void LineWriter::line(const QString& text)
{
    line(encodeText(text));
}

void LineWriter::number(int value)
{
    line(QByteArray::number(value));
}

int toInt(QByteArrayView text)
{
    // Optional sign, then decimal digits only: no blanks, no hex, nothing after the digits.
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.isEmpty())
        throw ConversionError(QCoreApplication::translate("LineFile", "这一行是空的，应是一个整数"));
    if (ec != std::errc() || ptr != last)
        throw ConversionError(
            QCoreApplication::translate("LineFile", "\"%1\"不是整数").arg(decodeText(text.toByteArray())));
    return value;
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw IoError(
            QCoreApplication::translate("LineFile", "无法打开文件\"%1\"：%2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw IoError(
            QCoreApplication::translate("LineFile", "无法读取文件\"%1\"：%2").arg(path, file.errorString()));
    return bytes;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    auto fail = [&](const QString& reason) {
        file.cancelWriting();
        throw IoError(QCoreApplication::translate("LineFile", "无法写入文件\"%1\"：%2").arg(path, reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    // QSaveFile reports a full disk only at flush, so flush before committing.
    if (file.write(bytes) != bytes.size() || !file.flush())
        fail(file.errorString());
    if (!file.commit())
        throw IoError(
            QCoreApplication::translate("LineFile", "无法写入文件\"%1\"：%2").arg(path, file.errorString()));
}

void copyFileReplacing(const QString& from, const QString& to)
{
    writeFileAtomically(to, readWholeFile(from));
}
