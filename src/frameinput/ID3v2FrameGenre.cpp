#include "frameinput/ID3v2FrameGenre.h"

#include "frameinput/CustomBuglessCombo.h"
#include "frameinput/FrameInputSupport.h"
#include "tagengine/FrameCodecs.h"

#include <QCompleter>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>
#include <numeric>

TID3v2FrameGenre::TID3v2FrameGenre(QWidget* parent) : TID3v2Frame(parent), m_menuHook(new TInnerMenuHook(this)) {}

TID3v2FrameGenre::~TID3v2FrameGenre()
{
    // While the widget is torn down the combo box loses the focus and may
    // still change its text; nothing of this input may hear that.
    if (!m_combo)
        return;
    m_combo->disconnect(this);
    if (QLineEdit* editor = m_combo->lineEdit())
        editor->disconnect(this);
}

void TID3v2FrameGenre::CreateControls()
{
    m_caption = CreateCaptionLabel();
    m_combo = new TBuglessComboBox(this);
    m_combo->setMaxVisibleItems(20);
    FillItems();
    connect(m_combo, &QComboBox::activated, this, &TID3v2FrameGenre::UserPicked);
    connect(m_combo, &TBuglessComboBox::droppedDown, this, &TID3v2FrameGenre::ListDroppedDown);
    connect(m_combo, &TBuglessComboBox::closedUp, this, &TID3v2FrameGenre::ListClosedUp);
    m_menuHook->Attach(m_combo);
    Forward(m_caption, true, true);
    Forward(m_combo, false, true);
    SetUseID3Version(UseID3Version());
}

void TID3v2FrameGenre::FillItems()
{
    QList<int> order(GenreCount);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [](int a, int b) {
        return QString::compare(GetGenreName(a), GetGenreName(b), Qt::CaseInsensitive) < 0;
    });
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    m_combo->Add(QString());
    for (int index : order)
        m_combo->Add(GetGenreName(index), index);
}

void TID3v2FrameGenre::ApplyReadOnly()
{
    // A combo box cannot be read-only: its list would still pick a genre.
    m_combo->setEnabled(!IsReadOnly());
    RefreshColours();
}

void TID3v2FrameGenre::PlaceControls()
{
    if (!m_combo)
        return;
    const int bw = BorderWidth();
    PlaceCaption(m_caption, bw, EditLeft());
    m_combo->setGeometry(EditLeft() + bw, bw, std::max(0, width() - 2 * bw - EditLeft()),
                         m_combo->sizeHint().height());
}

bool TID3v2FrameGenre::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_combo && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // The combo's own list taking the keyboard is no change of focus.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
            return false;
        const bool handled = TID3v2Frame::eventFilter(watched, event);
        RefreshColours();
        return handled;
    }
    return TID3v2Frame::eventFilter(watched, event);
}

int TID3v2FrameGenre::FindItem(const QString& name) const
{
    for (int i = 1; i < m_combo->count(); ++i)
        if (QString::compare(m_combo->itemText(i), name, Qt::CaseInsensitive) == 0)
            return i;
    return 0;
}

void TID3v2FrameGenre::ShowGenre(const QString& text)
{
    const QString name = DecodeGenre(text);
    m_loadedName = name;
    m_itemIndex = FindItem(name);
    m_text = m_listStyle ? QString() : name;
}

void TID3v2FrameGenre::RefreshColours()
{
    ApplyColours(m_combo);
    const QScopedValueRollback updating(m_updating, true);
    const QSignalBlocker block(m_combo);
    const bool blank = m_different && !m_focused;
    if (m_listStyle) {
        // The empty entry shows nothing in the different look.
        SetNoneText(blank ? QString() : NoneEntry());
        m_combo->setCurrentIndex(blank ? 0 : m_itemIndex);
        return;
    }
    // Only a text that differs is set again, so typing keeps its cursor.
    const QString shown = blank ? QString() : m_text;
    if (m_combo->currentText() == shown)
        return;
    if (!blank)
        m_combo->setCurrentIndex(m_itemIndex);
    m_combo->setEditText(shown);
}

void TID3v2FrameGenre::SetNoneText(const QString& text)
{
    if (m_combo->count() == 0 || m_combo->itemText(0) == text)
        return;
    const QScopedValueRollback updating(m_updating, true);
    const QSignalBlocker block(m_combo);
    QLineEdit* editor = m_combo->lineEdit();
    const QString typed = editor ? editor->text() : QString();
    const int cursor = editor ? editor->cursorPosition() : 0;
    m_combo->setItemText(0, text);
    if (editor && editor->text() != typed) {
        editor->setText(typed);
        editor->setCursorPosition(cursor);
    }
}

void TID3v2FrameGenre::ConnectEditor()
{
    QLineEdit* editor = m_combo->lineEdit();
    if (!editor)
        return;
    // A typed genre of any length is kept whole.
    editor->setMaxLength(std::numeric_limits<int>::max());
    // Case matters for typed genres: completion must not turn "rock" into
    // "Rock" when the box merely loses the focus.
    if (QCompleter* completer = m_combo->completer())
        completer->setCaseSensitivity(Qt::CaseSensitive);
    // Typing and inline completion both change the text; the input's own
    // changes are told apart by m_updating.
    connect(editor, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_updating)
            UserTyped(text);
    });
}

QStringList TID3v2FrameGenre::ShownValue() const
{
    return {m_text, QString::number(m_itemIndex)};
}

bool TID3v2FrameGenre::InnerUndoExhausted() const
{
    const QLineEdit* editor = m_listStyle ? nullptr : m_combo->lineEdit();
    return editor && !editor->isUndoAvailable();
}

void TID3v2FrameGenre::UserTyped(const QString& text)
{
    if (!m_combo->IsDroppedDown())
        SetNoneText(QString());
    m_text = text;
    m_itemIndex = FindItem(TrimInput(text));
    InnerControlEdited();
    RefreshColours();
}

void TID3v2FrameGenre::UserPicked(int index)
{
    m_itemIndex = std::max(0, index);
    if (m_listStyle) {
        m_text.clear();
    } else {
        // The empty entry means no genre, whatever it showed in the list.
        if (m_itemIndex == 0) {
            const QScopedValueRollback updating(m_updating, true);
            m_combo->setEditText(QString());
        }
        m_text = m_combo->currentText();
    }
    DataChanged();
    RefreshColours();
}

void TID3v2FrameGenre::ListDroppedDown()
{
    SetNoneText(NoneEntry());
}

void TID3v2FrameGenre::ListClosedUp()
{
    if (!m_listStyle)
        SetNoneText(QString());
}

void TID3v2FrameGenre::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    ShowGenre(FirstFrameString(frame));
    RefreshColours();
}

void TID3v2FrameGenre::CompareFrame(const TID3Frame* frame)
{
    if (m_different)
        return;
    const QString name = DecodeGenre(FirstFrameString(frame));
    if (m_listStyle) {
        // The genre texts are compared, ignoring case: two genres the list
        // lacks both show the empty entry, yet they differ.
        if (TrimInput(name).toUpper() != TrimInput(m_loadedName).toUpper())
            m_different = true;
    } else if (TrimInput(name) != TrimInput(m_text)) {
        m_different = true;
    }
    RefreshColours();
}

TID3Frame* TID3v2FrameGenre::GetFrame()
{
    QString name;
    if (m_listStyle)
        name = m_itemIndex >= 1 ? m_combo->itemText(m_itemIndex) : QString();
    else
        name = TrimInput(m_text);
    if (name.isEmpty() || name == NoneEntry())
        return nullptr;
    TID3Frame* frame = TID3v2Frame::GetFrame();
    SetTextFrame(*frame, QString(), QStringList{name});
    return frame;
}

void TID3v2FrameGenre::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    if (m_caption)
        m_caption->setText(FrameCaption());
}

void TID3v2FrameGenre::SetUseID3Version(TID3Versions version)
{
    TID3v2Frame::SetUseID3Version(version);
    if (!m_combo)
        return;
    const bool listStyle = version == ivID3v1;
    if (listStyle == m_listStyle && m_combo->isEditable() == !listStyle)
        return;
    m_listStyle = listStyle;
    {
        const QScopedValueRollback updating(m_updating, true);
        const QSignalBlocker block(m_combo);
        m_combo->setEditable(!listStyle);
        if (!listStyle) {
            m_combo->setInsertPolicy(QComboBox::NoInsert);
            ConnectEditor();
        }
    }
    if (listStyle)
        m_text.clear();
    RefreshColours();
}

void TID3v2FrameGenre::Clear()
{
    TID3v2Frame::Clear();
    if (!m_combo)
        return;
    SetFrameID(FrameID());
    ShowGenre(QString());
    RefreshColours();
}
