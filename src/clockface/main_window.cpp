#include "clockface/main_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "app/services.h"
#include "platform/clock.h"

TFormMain::TFormMain(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_services(services), m_time(new QLabel(this))
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Belvane"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_time);
    QFont big = m_time->font();
    big.setPointSize(32);
    m_time->setFont(big);
    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this, &TFormMain::Timer1Timer);
    m_timer.start();
    Timer1Timer();
}

void TFormMain::bringToFront()
{
    if (!isVisible() || isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}

void TFormMain::Timer1Timer()
{
    m_time->setText(m_services.clock.now().toString(QStringLiteral("HH:mm:ss")));
}
