#include "frameinput/ID3v2FrameURL.h"

#include "frameinput/FrameInputSupport.h"
#include "platform/Opener.h"
#include "tagengine/FrameCodecs.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <limits>

TID3v2FrameURL::TID3v2FrameURL(QWidget* parent) : TID3v2FrameLine(parent) {}

const QStringList& TID3v2FrameURL::FrameTable()
{
    static const QStringList ids = {QStringLiteral("WCOM"), QStringLiteral("WCOP"), QStringLiteral("WOAF"),
                                    QStringLiteral("WOAR"), QStringLiteral("WOAS"), QStringLiteral("WPAY"),
                                    QStringLiteral("WPUB"), QStringLiteral("WXXX")};
    return ids;
}

QUrl TID3v2FrameURL::OpenableUrl(const QString& text)
{
    if (text.isEmpty())
        return {};
    // A scheme is letters, digits, "+", "-" and "." before a colon; with a
    // dot in it ("example.com:8080") it is a host name instead.
    static const QRegularExpression schemePattern(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch match = schemePattern.match(text);
    QString address = text;
    if (match.hasMatch() && !match.captured(1).contains(QLatin1Char('.'))) {
        static const QStringList allowed = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                            QStringLiteral("mailto")};
        if (!allowed.contains(match.captured(1).toLower()))
            return {};
    } else {
        address.prepend(QStringLiteral("http://"));
    }
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid())
        return {};
    if (url.scheme() != QLatin1String("mailto") && url.host().isEmpty())
        return {};
    if (url.scheme() == QLatin1String("mailto") && url.path().isEmpty())
        return {};
    return url;
}

void TID3v2FrameURL::CreateControls()
{
    TID3v2FrameLine::CreateControls();
    // An address of any length is shown whole, never cut.
    Edit()->setMaxLength(std::numeric_limits<int>::max());
    m_button = new QToolButton(this);
    m_button->setAutoRaise(true);
    m_button->setIcon(QIcon::fromTheme(QStringLiteral("internet-web-browser"),
                                       style()->standardIcon(QStyle::SP_DriveNetIcon)));
    m_button->setToolTip(QStringLiteral("Show Website"));
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, &TID3v2FrameURL::OpenURL);
    Forward(m_button, true, false);
}

int TID3v2FrameURL::TrailingWidth() const
{
    // A square button beside the edit, 4 pixels apart.
    return Edit() ? Edit()->sizeHint().height() + 4 : 0;
}

void TID3v2FrameURL::PlaceControls()
{
    TID3v2FrameLine::PlaceControls();
    if (!m_button)
        return;
    const int height = Edit()->height();
    m_button->setGeometry(Edit()->geometry().right() + 1 + 4, BorderWidth(), height, height);
}

QString TID3v2FrameURL::DecodeValue(const TID3Frame& frame, QString& description) const
{
    QString url;
    GetURLFrame(frame, description, url);
    return url;
}

void TID3v2FrameURL::EncodeValue(TID3Frame& frame, const QString& description, const QString& value) const
{
    SetURLFrame(frame, description, value);
}

void TID3v2FrameURL::OpenURL()
{
    const QUrl url = OpenableUrl(TrimInput(Edit()->text()));
    if (url.isValid())
        OpenWithDesktop(url);
    else
        InputBeep();
}

QString TID3v2FrameURL::ButtonHint() const
{
    return m_button ? m_button->toolTip() : QString();
}

void TID3v2FrameURL::SetButtonHint(const QString& hint)
{
    if (m_button)
        m_button->setToolTip(hint);
}
