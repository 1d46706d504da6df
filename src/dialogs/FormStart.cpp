#include "dialogs/FormStart.h"

#include "controls/ImageLists.h"
#include "platform/ProgramVersion.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

TFormStart::TFormStart(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_image1(new QLabel(this))
{
    setObjectName(QStringLiteral("FormStart"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QPixmap picture = ImageLists::StartScreenPicture(QString::fromLatin1(ProgramVersion));
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(picture);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_image1);
    setFixedSize(picture.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), picture.size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Timer1.setSingleShot(true);
    Timer1.setInterval(ShowMs);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        Timer1.stop();
        close();
    });
}

void TFormStart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Timer1.start();
}
