#include "frameinput/ID3v2FrameComment.h"

#include "frameinput/FrameInputSupport.h"
#include "tagengine/FrameCodecs.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {
constexpr int ID3v1CommentLength = 29;
constexpr int LabelGap = 3;

// Every line followed by CR LF, as the comparison of comments sees a text.
QString LinesWithBreaks(const QString& text)
{
    QString joined;
    for (const QString& line : SplitTextLines(text))
        joined += line + QLatin1String("\r\n");
    return joined;
}
}

TID3v2FrameComment::TID3v2FrameComment(QWidget* parent) : TID3v2Frame(parent), m_menuHook(new TInnerMenuHook(this)) {}

void TID3v2FrameComment::CreateControls()
{
    m_caption = CreateCaptionLabel();
    m_memo = new QPlainTextEdit(this);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setTabChangesFocus(true);
    m_descriptionLabel = new QLabel(this);
    m_descriptionLabel->setTextFormat(Qt::PlainText);
    m_languageLabel = new QLabel(this);
    m_languageLabel->setTextFormat(Qt::PlainText);
    m_languageLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    ConnectUserEdits(m_memo, this, [this] { MemoEdited(); });
    m_menuHook->Attach(m_memo);
    Forward(m_caption, true, true);
    Forward(m_memo, true, true);
    Forward(m_descriptionLabel, true, true);
    Forward(m_languageLabel, true, true);
    // Presses and context menus of the memo arrive at its viewport.
    m_memo->viewport()->installEventFilter(this);
}

void TID3v2FrameComment::ApplyReadOnly()
{
    m_memo->setReadOnly(IsReadOnly());
    ApplyColours(m_memo);
}

void TID3v2FrameComment::PlaceControls()
{
    if (!m_memo)
        return;
    const int bw = BorderWidth();
    PlaceCaption(m_caption, bw, EditLeft());
    const int labelHeight = std::max(m_descriptionLabel->sizeHint().height(), m_languageLabel->sizeHint().height());
    // The memo takes the height the labels leave, so that sizing the control
    // to its children keeps the height it was given.
    const int total = AutoSize() ? m_inputHeight : height();
    const int minimum = m_memo->fontMetrics().lineSpacing() + 2 * m_memo->frameWidth();
    const int memoHeight = std::max(minimum, total - 2 * bw - LabelGap - labelHeight);
    m_memo->setGeometry(EditLeft() + bw, bw, std::max(0, width() - 2 * bw - EditLeft()), memoHeight);
    const int labelTop = m_memo->geometry().bottom() + 1 + LabelGap;
    m_descriptionLabel->setGeometry(m_memo->x(), labelTop, m_descriptionLabel->sizeHint().width(), labelHeight);
    const int languageWidth = m_languageLabel->sizeHint().width();
    m_languageLabel->setGeometry(m_memo->geometry().right() + 1 - languageWidth, labelTop, languageWidth,
                                 labelHeight);
}

void TID3v2FrameComment::SetInputHeight(int height)
{
    m_inputHeight = height;
    Relayout();
}

bool TID3v2FrameComment::eventFilter(QObject* watched, QEvent* event)
{
    if (m_memo && watched == m_memo->viewport())
        return RedirectFromViewport(event);
    return TID3v2Frame::eventFilter(watched, event);
}

bool TID3v2FrameComment::RedirectFromViewport(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        emit innerMouseDown(this, m_memo);
    } else if (event->type() == QEvent::ContextMenu) {
        const QPoint global = static_cast<QContextMenuEvent*>(event)->globalPos();
        if (receivers(SIGNAL(innerContextPopup(TID3v2Frame*, QWidget*, QPoint))) > 0) {
            emit innerContextPopup(this, m_memo, global);
            return true;
        }
        if (QMenu* menu = GetPopUpMenuControls()) {
            menu->popup(global);
            return true;
        }
    }
    return false;
}

QString TID3v2FrameComment::MemoText() const
{
    QStringList lines;
    for (QTextBlock block = m_memo->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    QString text = lines.join(QLatin1Char('\n'));
    // Shift+Return breaks a line inside a block.
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QString TID3v2FrameComment::DecodeShown(const TID3Frame* frame, QString* language, QString* description) const
{
    QString text;
    QString lang;
    QString desc;
    if (frame)
        GetCommentFrame(*frame, text, lang, desc);
    if (language)
        *language = lang;
    if (description)
        *description = desc;
    return Shown(text);
}

QString TID3v2FrameComment::Shown(const QString& text) const
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (m_maxLength >= 0 && shown.size() > m_maxLength)
        shown.truncate(m_maxLength);
    return shown;
}

void TID3v2FrameComment::Show(const QString& text, const QString& language, const QString& description)
{
    const QString shown = Shown(text);
    if (shown != MemoText()) {
        const QSignalBlocker block(m_memo);
        m_memo->setPlainText(shown);
    }
    m_description = description;
    m_language = language;
    ShowLabels();
}

void TID3v2FrameComment::ShowLabels()
{
    m_descriptionLabel->setText(m_descriptionText + QLatin1Char(' ') +
                                (m_description.isEmpty() ? m_descriptionTextNone : m_description));
    const QString name = GetLanguageName(m_language);
    m_languageLabel->setText(m_languageText + QLatin1Char(' ') + (name.isEmpty() ? m_languageTextNone : name));
    Relayout();
}

void TID3v2FrameComment::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    m_textDiffers = m_textTyped = false;
    QString language;
    QString description;
    const QString text = DecodeShown(frame, &language, &description);
    Show(text, language, description);
    ApplyColours(m_memo);
}

void TID3v2FrameComment::CompareFrame(const TID3Frame* frame)
{
    if (m_different)
        return;
    QString language;
    QString description;
    const QString text = DecodeShown(frame, &language, &description);
    if (frame) {
        // The labels show the description and language of the last file.
        m_description = description;
        m_language = language;
        ShowLabels();
    }
    const QString frameText = LinesWithBreaks(text);
    const QString memoText = MemoText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (frameText != memoText + QLatin1String("\r\n") && frameText != memoText)
        m_different = m_textDiffers = true;
    ApplyColours(m_memo);
}

TID3Frame* TID3v2FrameComment::GetFrame()
{
    return FrameOf(MemoText());
}

TID3Frame* TID3v2FrameComment::GetFrameFor(const TID3Frame* own)
{
    if (!KeepsEachFilesPart())
        return GetFrame();
    return FrameOf(DecodeShown(own, nullptr, nullptr));
}

TID3Frame* TID3v2FrameComment::FrameOf(const QString& text)
{
    if (text.isEmpty())
        return nullptr;
    TID3Frame* frame = TID3v2Frame::GetFrame();
    SetCommentFrame(*frame, text.split(QLatin1Char('\n')), m_description, m_language);
    return frame;
}

void TID3v2FrameComment::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    if (m_caption)
        m_caption->setText(FrameCaption());
}

void TID3v2FrameComment::SetUseID3Version(TID3Versions version)
{
    TID3v2Frame::SetUseID3Version(version);
    m_maxLength = version == ivID3v1 ? ID3v1CommentLength : -1;
}

void TID3v2FrameComment::Clear()
{
    TID3v2Frame::Clear();
    m_textDiffers = m_textTyped = false;
    if (!m_memo)
        return;
    SetFrameID(FrameID());
    Show(QString(), QString(), QString());
    ApplyColours(m_memo);
}

void TID3v2FrameComment::SetDescription(const QString& text)
{
    Show(MemoText(), m_language, text);
    DataChanged();
    ApplyColours(m_memo);
}

void TID3v2FrameComment::SetLanguage(const QString& code)
{
    Show(MemoText(), code, m_description);
    DataChanged();
    ApplyColours(m_memo);
}

QStringList TID3v2FrameComment::ShownValue() const
{
    return {MemoText(), m_description, m_language};
}

bool TID3v2FrameComment::InnerUndoExhausted() const
{
    return !m_memo->document()->isUndoAvailable();
}

void TID3v2FrameComment::MemoEdited()
{
    const int excess = m_maxLength < 0 ? 0 : int(MemoText().size()) - m_maxLength;
    if (excess > 0) {
        // Too long: what was just typed or pasted before the cursor goes.
        const QSignalBlocker block(m_memo);
        QTextCursor cursor = m_memo->textCursor();
        const int end = cursor.position();
        const int start = std::max(0, end - excess);
        cursor.setPosition(start);
        cursor.setPosition(start + excess, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        m_memo->setTextCursor(cursor);
    }
    m_textTyped = true;
    InnerControlEdited();
    ApplyColours(m_memo);
}

void TID3v2FrameComment::SetDescriptionText(const QString& text)
{
    m_descriptionText = text;
    if (m_memo)
        ShowLabels();
}

void TID3v2FrameComment::SetDescriptionTextNone(const QString& text)
{
    m_descriptionTextNone = text;
    if (m_memo)
        ShowLabels();
}

void TID3v2FrameComment::SetLanguageText(const QString& text)
{
    m_languageText = text;
    if (m_memo)
        ShowLabels();
}

void TID3v2FrameComment::SetLanguageTextNone(const QString& text)
{
    m_languageTextNone = text;
    if (m_memo)
        ShowLabels();
}
