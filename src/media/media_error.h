#pragma once

#include <cstdint>

#include <QString>

#include "platform/errors.h"

/// A media operation that failed: the media framework's text for the failure and a result code that
/// classifies it. The text shown reads "<framework text> ($<code in hex>)."
class EDirectShowException : public BelvaneError {
public:
    EDirectShowException(const QString& frameworkText, std::uint32_t resultCode)
        : BelvaneError(formatText(frameworkText, resultCode)), m_resultCode(resultCode)
    {
    }

    std::uint32_t resultCode() const { return m_resultCode; }

    static QString formatText(const QString& frameworkText, std::uint32_t resultCode)
    {
        return QStringLiteral("%1 ($%2).").arg(frameworkText, QString::number(resultCode, 16).toUpper());
    }

private:
    std::uint32_t m_resultCode;
};
