#include "shell/about_box.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "ui/window_centring.h"
#include "ui/window_flags.h"

namespace {

QFont songFont(int pixelSize, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return l;
}

void makeLink(QLabel* l)
{
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    l->setPalette(palette);
    l->setCursor(Qt::PointingHandCursor);
}

} // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent, kFixedDialogFlags)
{
    setObjectName(QStringLiteral("FormAbout"));
    setFont(songFont(12));
    setFixedSize(319, 257);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = label(this, "Label1", QString(), {8, 16, 305, 25});
    Label1->setFont(songFont(20, true));
    Label2 = label(this, "Label2", QString(), {8, 48, 305, 17});
    // The program has no web home or support address of its own: the book that comes with it
    // answers instead, and the mail lines stay empty.
    Label3 = label(this, "Label3", QString(), {6, 67, 305, 17});
    Label4 = label(this, "Label4", QString(), {6, 85, 305, 17});
    Label5 = label(this, "Label5", QString(), {6, 108, 305, 17});
    Label6 = label(this, "Label6", QString(), {6, 128, 301, 39});
    makeLink(Label4);
    Label4->installEventFilter(this);
    LabelWake = label(this, "LabelWake", QString(), {6, 172, 305, 39});
    LabelWake->setWordWrap(true);

    ButtonOK = new QPushButton(this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry(128, 216, 75, 25);
    ButtonOK->setDefault(true);
    ButtonOK->setFocus();
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    retranslate();
    // Centred on the screen at every showing, whoever shows it.
    centreOnScreenWithFrame(*this);
}

void TFormAbout::showEvent(QShowEvent* event)
{
    LabelWake->setText(wakeStatus ? wakeStatus() : QString());
    QDialog::showEvent(event);
}

void TFormAbout::setWakeStatus(const QString& text)
{
    LabelWake->setText(text);
}

void TFormAbout::retranslate()
{
    setWindowTitle(tr("关于..."));
    Label1->setText(tr("Belvane 汉化版"));
    Label2->setText(tr("版本 %1").arg(QStringLiteral(BELVANE_VERSION)));
    Label3->setText(tr("帮助"));
    Label4->setText(tr("使用手册（本机）"));
    ButtonOK->setText(tr("确定"));
}

void TFormAbout::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Label4) {
            Label4Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormAbout::Label4Click()
{
    emit helpRequested();
}
