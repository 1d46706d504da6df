#include "localisation/ui/FormLanguageWarning.h"

#include "localisation/LanguageSignature.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString SettingsKey = QStringLiteral("Software\\Orvane\\Quillon\\3");
const QString DismissedValue = QStringLiteral("LngWarning");

const QString EnglishNotice = QStringLiteral(
    "Note: The current language file does not come from the author of this program or is NOT confirmed by him. "
    "It is not guaranteed that the translation is complete and correct. "
    "The official translations are the languages built into the program.");
const QString GermanNotice = QStringLiteral(
    "Hinweis: Die aktuelle Sprachdatei stammt nicht vom Autor dieses Programms oder wurde NICHT von ihm "
    "bestätigt. Es ist nicht garantiert, dass die Übersetzung vollständig und korrekt ist. "
    "Die offiziellen Übersetzungen sind die im Programm eingebauten Sprachen.");

QLabel* NoticeLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// The stored mark of a dismissed warning: the MD5 of the digest's text.
QString DismissalMark(const QString& digest)
{
    return MD5Print(MD5String(digest.toLatin1()));
}

bool IsDismissed(const QString& mark)
{
    TRegistry registry;
    if (!registry.OpenKey(SettingsKey, false))
        return false;
    return registry.ReadString(DismissedValue) == mark;
}

void StoreDismissal(const QString& mark)
{
    TRegistry registry;
    if (!registry.OpenKey(SettingsKey, true))
        return;
    registry.WriteString(DismissedValue, mark);
    registry.Flush();
}

}

TFormLanguageWarning::TFormLanguageWarning(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Notice / Hinweis"));

    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_dontShowAgain =
        new QCheckBox(QStringLiteral("Don't show this message again. / Diese Meldung nicht mehr anzeigen."), this);
    m_dontShowAgain->setObjectName(QStringLiteral("boxDontShowAgain"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ButtonOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* notices = new QVBoxLayout;
    notices->addWidget(NoticeLabel(EnglishNotice, this));
    notices->addWidget(line);
    notices->addWidget(NoticeLabel(GermanNotice, this));
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(notices, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_dontShowAgain);
    layout->addLayout(bottom);

    // 522 x 195 at the least; taller when the fonts need it.
    constexpr int Width = 522;
    setFixedSize(Width, qMax(195, layout->totalHeightForWidth(Width)));
}

bool TFormLanguageWarning::DontShowAgain() const
{
    return m_dontShowAgain->isChecked();
}

bool ShowLanguageWarning(const QString& digest, QWidget* owner)
{
    const QString mark = DismissalMark(digest);
    if (IsDismissed(mark))
        return false;
    TFormLanguageWarning warning(owner);
    if (CurrentPrompt()->RunModal(warning) == QDialog::Accepted && warning.DontShowAgain())
        StoreDismissal(mark);
    return true;
}
