#include "frameinput/ID3v2FrameURL.h"

#include "frameinput/FrameInputSupport.h"
#include "tagengine/FrameCodecs.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <limits>

TID3v2FrameURL::TID3v2FrameURL(QWidget* parent) : TID3v2Frame(parent), m_menuHook(new TInnerMenuHook(this)) {}

const QStringList& TID3v2FrameURL::FrameTable()
{
    static const QStringList ids = {QStringLiteral("WCOM"), QStringLiteral("WCOP"), QStringLiteral("WOAF"),
                                    QStringLiteral("WOAR"), QStringLiteral("WOAS"), QStringLiteral("WPAY"),
                                    QStringLiteral("WPUB"), QStringLiteral("WXXX")};
    return ids;
}

TID3v2FrameURL::TUrlOpener& TID3v2FrameURL::Opener()
{
    static TUrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

TID3v2FrameURL::TUrlOpener TID3v2FrameURL::SetUrlOpener(TUrlOpener opener)
{
    TUrlOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
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
    m_caption = CreateCaptionLabel();
    m_edit = new QLineEdit(this);
    // An address of any length is shown whole, never cut.
    m_edit->setMaxLength(std::numeric_limits<int>::max());
    m_button = new QToolButton(this);
    m_button->setAutoRaise(true);
    m_button->setIcon(QIcon::fromTheme(QStringLiteral("internet-web-browser"),
                                       style()->standardIcon(QStyle::SP_DriveNetIcon)));
    m_button->setToolTip(QStringLiteral("Show Website"));
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, &TID3v2FrameURL::OpenURL);
    // textEdited, not textChanged: loading a value must not count as an edit.
    connect(m_edit, &QLineEdit::textEdited, this, [this] {
        DataChanged();
        ApplyColours(m_edit);
    });
    m_menuHook->Attach(m_edit);
    Forward(m_caption, true, true);
    Forward(m_edit, true, true);
    Forward(m_button, true, false);
}

void TID3v2FrameURL::PlaceControls()
{
    if (!m_edit)
        return;
    const int bw = BorderWidth();
    PlaceCaption(m_caption, bw, EditLeft());
    const int height = m_edit->sizeHint().height();
    const int width = std::max(0, this->width() - 2 * bw - EditLeft() - height - 4);
    m_edit->setGeometry(EditLeft() + bw, bw, width, height);
    m_button->setGeometry(m_edit->geometry().right() + 1 + 4, bw, height, height);
}

void TID3v2FrameURL::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    QString url;
    m_description.clear();
    if (frame)
        GetURLFrame(*frame, m_description, url);
    UpdateCaption();
    {
        const QSignalBlocker block(m_edit);
        m_edit->setText(url);
    }
    ApplyColours(m_edit);
}

void TID3v2FrameURL::CompareFrame(const TID3Frame* frame)
{
    if (m_different)
        return;
    QString description;
    QString url;
    if (frame) {
        GetURLFrame(*frame, description, url);
        m_description = description;
        UpdateCaption();
    }
    if (url != m_edit->text())
        m_different = true;
    ApplyColours(m_edit);
}

TID3Frame* TID3v2FrameURL::GetFrame()
{
    const QString url = TrimInput(m_edit->text());
    if (url.isEmpty())
        return nullptr;
    TID3Frame* frame = TID3v2Frame::GetFrame();
    SetURLFrame(*frame, m_description, url);
    return frame;
}

void TID3v2FrameURL::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    UpdateCaption();
}

void TID3v2FrameURL::Clear()
{
    TID3v2Frame::Clear();
    m_description.clear();
    if (!m_edit)
        return;
    SetFrameID(FrameID());
    {
        const QSignalBlocker block(m_edit);
        m_edit->clear();
    }
    ApplyColours(m_edit);
}

void TID3v2FrameURL::SetDescription(const QString& text)
{
    m_description = text;
    UpdateCaption();
    DataChanged();
}

void TID3v2FrameURL::OpenURL()
{
    const QUrl url = OpenableUrl(TrimInput(m_edit->text()));
    if (!url.isValid() || !Opener() || !Opener()(url))
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

void TID3v2FrameURL::UpdateCaption()
{
    if (!m_caption)
        return;
    m_caption->setText(m_description.isEmpty() ? FrameCaption() : m_description + QLatin1Char(':'));
}
