#pragma once

#include <QString>
#include <QtGlobal>

/// The message for a display that cannot be reached, in the interface's language: made while the
/// translations are installed, before the QApplication exists.
QString noDisplayMessage();

/// While it lives, Qt failing to reach any display server ends the program with a clear message on
/// the error output and exit status 1, where Qt itself would abort and leave a core dump: started from
/// a text console, or over ssh without X. Made just before the QApplication and dropped right after;
/// what Qt said meanwhile is passed on when all went well, and after the message when it did not.
class DisplayFailureGuard {
public:
    explicit DisplayFailureGuard(const QString& message);
    ~DisplayFailureGuard();
    DisplayFailureGuard(const DisplayFailureGuard&) = delete;
    DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;
};
