#include "localisation/ui/FormLanguageSelector.h"

#include "localisation/ui/ComponentTranslation.h"
#include "localisation/ui/FrameLanguage.h"
#include "platform/Prompt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFormLanguageSelector::TFormLanguageSelector(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Sprache / Language"));
    setFixedSize(491, 311);

    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    auto* prompt = new QLabel(QStringLiteral("Select your Language. / Wählen Sie Ihre Sprache."), this);
    prompt->setTextFormat(Qt::PlainText);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addWidget(prompt, 1);

    m_frame = new TFrameLanguage(this);
    m_frame->setObjectName(QStringLiteral("FrameLanguage1"));

    auto* ok = new QPushButton(QStringLiteral("%OK"), this);
    ok->setObjectName(QStringLiteral("ButtonOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_frame, 1);
    layout->addLayout(bottom);

    TranslateComponentTree(this);
}

bool TFormLanguageSelector::Execute()
{
    if (m_frame->LanguagesCount() < 2)
        return true;
    return CurrentPrompt()->RunModal(*this) == QDialog::Accepted;
}

QString TFormLanguageSelector::GetLanguageResName() const
{
    return m_frame->LanguageResName();
}

QString TFormLanguageSelector::GetLanguageFileName() const
{
    return m_frame->LanguageFileName();
}
