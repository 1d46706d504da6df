#include "dialogs/FormInfo.h"

#include "controls/ImageLists.h"
#include "platform/ProgramVersion.h"

#include "localisation/ui/ComponentTranslation.h"
#include "platform/Opener.h"
#include "platform/Prompt.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>
#include <QWindow>

namespace {

constexpr int PictureWidth = 372;
constexpr int PictureHeight = 259;

// A spot of the picture that reacts to a click and draws nothing.
class TClickSpot : public QWidget {
public:
    TClickSpot(QWidget* parent, std::function<void()> click) : QWidget(parent), m_click(std::move(click))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_click();
    }

private:
    std::function<void()> m_click;
};

}

TFormInfo::TFormInfo(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(QStringLiteral("%Info"));
    setFixedSize(PictureWidth, PictureHeight);

    const QString contact = QString::fromLatin1(ProgramContactAddress);
    const QString site = QString::fromLatin1(ProgramWebSite);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ImageLists::AboutBoxPicture(contact, site));
    Image1->setGeometry(0, 0, PictureWidth, PictureHeight);
    Image1->installEventFilter(this);

    labVersion = new QLabel(this);
    labVersion->setObjectName(QStringLiteral("labVersion"));
    labVersion->setTextFormat(Qt::PlainText);
    labVersion->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    labVersion->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = labVersion->font();
    font.setPointSize(11);
    labVersion->setFont(font);
    labVersion->setGeometry(26, 100, 320, 24);

    PaintBox1 = NewClickSpot("PaintBox1", QRect(PictureWidth - 20, 2, 18, 18), [this] { reject(); });
    PaintBox2 = NewClickSpot("PaintBox2", QRect(2, ImageLists::AboutEmailLineTop, 368, 22),
                             [contact] { OpenWithDesktop(QUrl(QStringLiteral("mailto:") + contact)); });
    PaintBox3 = NewClickSpot("PaintBox3", QRect(2, ImageLists::AboutWebSiteLineTop, 368, 25),
                             [site] { OpenWithDesktop(QUrl(site)); });
    PaintBox2->setToolTip(contact);
    PaintBox3->setToolTip(site);
    TranslateComponentTree(this);
}

QWidget* TFormInfo::NewClickSpot(const char* name, const QRect& area, std::function<void()> click)
{
    auto* spot = new TClickSpot(this, std::move(click));
    spot->setObjectName(QString::fromLatin1(name));
    spot->setGeometry(area);
    return spot;
}

void TFormInfo::Execute()
{
    labVersion->setText(QStringLiteral("Version: ") + QString::fromLatin1(ProgramVersion));
    CurrentPrompt()->RunModal(*this);
}

bool TFormInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Image1)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        // The window system moves the window where it can (it alone can
        // under Wayland); elsewhere the window follows the pointer.
        if (windowHandle() && windowHandle()->startSystemMove())
            return true;
        m_dragging = true;
        m_pressPoint = mouse->position().toPoint();
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            move(pos() + static_cast<QMouseEvent*>(event)->position().toPoint() - m_pressPoint);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormInfo::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
