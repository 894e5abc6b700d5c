#pragma once

#include <stdexcept>

#include <QString>

/// An error that ends the current handler and is shown to the user with its text.
class BelvaneError : public std::runtime_error {
public:
    explicit BelvaneError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

/// A text that is not the number, date or time it should be.
class ConversionError : public BelvaneError {
public:
    using BelvaneError::BelvaneError;
};

/// A file that could not be opened, read or written.
class IoError : public BelvaneError {
public:
    using BelvaneError::BelvaneError;
};
