#pragma once

#include <QString>
#include <QUrl>

/// The maker's home page and support address; the about box and the alarm list lead here.
inline const QString kHomePageAddress = QStringLiteral("https://belvane.example.org/");
inline const QString kSupportMailAddress = QStringLiteral("support@belvane.example.org");

QUrl homePageUrl();
/// "mailto:" followed by the support address.
QUrl supportMailUrl();

/// Asks the desktop to open the home page in the browser. A desktop without one shows nothing.
void openHomePage();
/// Asks the desktop to start a new mail to the support address.
void startSupportMail();
