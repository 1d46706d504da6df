#include "localisation/ui/FrameLanguage.h"

#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "localisation/ui/LanguageItemDelegate.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

QLabel* PlainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}

// The texts of one listed language: its own, and for keys it lacks those of
// the language in use.
class TLanguageTexts {
public:
    explicit TLanguageTexts(const TLanguageRes* language)
    {
        if (language)
            m_own.SetCurrentLangStrings(language->Strings);
    }

    QString GetLangString(const QString& key) const
    {
        const QString text = m_own.GetLangString(key);
        return text.isEmpty() ? Lang(key) : text;
    }

    // A text of the listed language that cannot be filled in gives way to
    // that of the language in use, then to the base language's.
    QString FormatLangString(const QString& key, const TLangArgs& args) const
    {
        return FillFirstFitting({GetLangString(key), Lang(key), LangStrings.GetBaseLangString(key)}, args);
    }

private:
    TMultiLanguage m_own;
};

TFrameLanguage::TFrameLanguage(QWidget* parent) : QWidget(parent)
{
    BuildControls();
    TranslateComponentTree(this);
    m_languages = FindLanguages();
    FillList();
    SelectLanguageEntry(QString(), false);
}

void TFrameLanguage::BuildControls()
{
    m_boxLanguages = new QListWidget(this);
    m_boxLanguages->setObjectName(QStringLiteral("BoxLanguages"));
    m_boxLanguages->setSelectionMode(QAbstractItemView::SingleSelection);
    m_boxLanguages->setUniformItemSizes(true);
    m_boxLanguages->setItemDelegate(new TLanguageItemDelegate(m_languages, m_boxLanguages));
    // The selection, not the current row: a mouse click moves the current row
    // before it selects the row.
    connect(m_boxLanguages, &QListWidget::itemSelectionChanged, this, [this] {
        m_userPicked = m_userPicked || !m_selecting;
        BoxLanguagesClick();
    });

    auto* info = new QWidget(this);
    info->setFixedHeight(147);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(12, 4, 12, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    const QStringList captions = {QStringLiteral("%LanguageState"), QStringLiteral("%LanguageName"),
                                  QStringLiteral("%LanguageAuthor"), QStringLiteral("%LanguageSource")};
    QLabel** values[] = {&m_langStatus, &m_langSprache, &m_langAutor, &m_langOrt};
    const char* const valueNames[] = {"LLangStatus", "LLangSprache", "LLangAutor", "LLangOrt"};
    QLabel** captionLabels[] = {&m_captionStatus, &m_captionName, &m_captionAuthor, &m_captionSource};
    for (int row = 0; row < captions.size(); ++row) {
        *captionLabels[row] = PlainLabel(captions.at(row), info);
        grid->addWidget(*captionLabels[row], row, 0);
        QLabel* value = PlainLabel(QString(), info);
        value->setObjectName(QLatin1String(valueNames[row]));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        *values[row] = value;
        grid->addWidget(value, row, 1);
    }
    grid->setColumnStretch(1, 1);

    m_restartNote = PlainLabel(QStringLiteral("%LanguageRestartInfo"), info);
    m_restartNote->setObjectName(QStringLiteral("LRestartInfo"));
    m_restartNote->setAlignment(Qt::AlignCenter);
    m_restartNote->setWordWrap(true);
    m_restartNote->setFixedHeight(51);
    m_restartNote->setVisible(false);

    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->setContentsMargins(0, 0, 0, 0);
    infoLayout->addLayout(grid);
    infoLayout->addStretch(1);
    infoLayout->addWidget(m_restartNote);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_boxLanguages, 1);
    layout->addWidget(info);
}

void TFrameLanguage::FillList()
{
    m_boxLanguages->clear();
    for (int i = 0; i < LanguagesCount(); ++i) {
        auto* item = new QListWidgetItem(m_languages[static_cast<size_t>(i)].Language, m_boxLanguages);
        item->setData(Qt::UserRole, i);
    }
    BoxLanguagesClick();
}

void TFrameLanguage::SelectLanguageEntry(const QString& name, bool byFile)
{
    const int best = BestLanguageRow(m_languages, name, byFile, WindowsLanguage(UserLocale()));
    m_selecting = true;
    if (best >= 0)
        m_boxLanguages->setCurrentRow(best);
    m_selecting = false;
    m_userPicked = false;
    m_rowInUse = best;
    BoxLanguagesClick();
}

void TFrameLanguage::SetRestartNoteOnChange(bool value)
{
    m_restartNoteOnChange = value;
    BoxLanguagesClick();
}

const TLanguageRes* TFrameLanguage::SelectedLanguage() const
{
    const QListWidgetItem* item = m_boxLanguages->currentItem();
    if (!item || !item->isSelected())
        return nullptr;
    const int row = item->data(Qt::UserRole).toInt();
    if (row < 0 || row >= LanguagesCount())
        return nullptr;
    return &m_languages[static_cast<size_t>(row)];
}

QString TFrameLanguage::LanguageFileName() const
{
    const TLanguageRes* language = SelectedLanguage();
    return language ? language->FileName : QString();
}

QString TFrameLanguage::LanguageResName() const
{
    const TLanguageRes* language = SelectedLanguage();
    return language ? language->ResName : QString();
}

void TFrameLanguage::BoxLanguagesClick()
{
    // The details speak the selected language, which the user may read
    // where the language in use is another.
    const TLanguageRes* language = SelectedLanguage();
    const TLanguageTexts texts(language);
    ShowCaptions(texts);
    m_restartNote->setVisible(m_restartNoteOnChange && language && m_boxLanguages->currentRow() != m_rowInUse);
    if (!language) {
        for (QLabel* label : {m_langStatus, m_langSprache, m_langAutor, m_langOrt})
            label->clear();
        return;
    }
    m_langStatus->setText(language->IsCurrentVersion()
                              ? texts.GetLangString(QStringLiteral("LanguageStateOK"))
                              : texts.FormatLangString(QStringLiteral("LanguageStateOld"), {language->QLNVersion}));
    m_langSprache->setText(language->Language + QStringLiteral(" (") + language->LanguageInt + QLatin1Char(')'));
    m_langAutor->setText(language->Author);
    m_langOrt->setText(language->IsBuiltIn() ? texts.GetLangString(QStringLiteral("LanguageSourceInternal"))
                                             : language->FileName);
}

void TFrameLanguage::ShowCaptions(const TLanguageTexts& texts)
{
    m_captionStatus->setText(texts.GetLangString(QStringLiteral("LanguageState")));
    m_captionName->setText(texts.GetLangString(QStringLiteral("LanguageName")));
    m_captionAuthor->setText(texts.GetLangString(QStringLiteral("LanguageAuthor")));
    m_captionSource->setText(texts.GetLangString(QStringLiteral("LanguageSource")));
    m_restartNote->setText(texts.GetLangString(QStringLiteral("LanguageRestartInfo")));
}
