#include "localisation/ui/LanguageChoice.h"

#include "localisation/MultiLanguage.h"
#include "tagengine/FrameCatalogue.h"

#include <QComboBox>

#include <algorithm>

const QString TLanguageChoice::UnknownCode = QStringLiteral("XXX");

TLanguageChoice::TLanguageChoice(QComboBox* box) : m_box(box)
{
    m_box->clear();
    m_box->addItem(Lang("NewFieldUnKnownLanguage"));
    for (const TID3Language& language : ID3Languages)
        m_box->addItem(QString::fromUtf8(language.Name), QString::fromLatin1(language.Code));
    m_box->setCurrentIndex(0);
    QObject::connect(m_box, &QComboBox::activated, m_box, [this] { m_chosenByUser = true; });
}

void TLanguageChoice::Select(const QString& code)
{
    m_given = code;
    m_chosenByUser = false;
    const int row = code.isEmpty() ? 0 : m_box->findData(code.toLower());
    m_box->setCurrentIndex(std::max(row, 0));
}

QString TLanguageChoice::Code() const
{
    const int row = m_box->currentIndex();
    if (!m_chosenByUser && !m_given.isEmpty())
        return m_given;
    if (row <= 0)
        return UnknownCode;
    return m_box->itemData(row).toString();
}
