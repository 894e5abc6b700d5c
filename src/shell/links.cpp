#include "shell/links.h"

#include <QDesktopServices>

QUrl homePageUrl()
{
    return QUrl(kHomePageAddress);
}

QUrl supportMailUrl()
{
    return QUrl(QStringLiteral("mailto:") + kSupportMailAddress);
}

void openHomePage()
{
    QDesktopServices::openUrl(homePageUrl());
}

void startSupportMail()
{
    QDesktopServices::openUrl(supportMailUrl());
}
