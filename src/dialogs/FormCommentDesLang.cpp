#include "dialogs/FormCommentDesLang.h"

#include "dialogs/DialogParts.h"

#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TFormCommentDesLang::TFormCommentDesLang(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormCommentDesLang"));
    setWindowTitle(QStringLiteral("%WindowTitleDescLang"));
    LabHinweis = new QLabel(this);
    LabHinweis->setObjectName(QStringLiteral("LabHinweis"));
    LabHinweis->setTextFormat(Qt::PlainText);
    LabHinweis->setWordWrap(true);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMaxVisibleItems(20);
    m_language = std::make_unique<TLanguageChoice>(ComboBox1);

    const DialogParts::TDialogButtons buttons = DialogParts::NewOkCancelRow(this, nullptr, "Button1", "Button2");

    auto* fields = new QFormLayout;
    auto* description = new QLabel(QStringLiteral("%NewFieldDescription"), this);
    auto* language = new QLabel(QStringLiteral("%NewFieldLanguage"), this);
    fields->addRow(description, Edit1);
    fields->addRow(language, ComboBox1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabHinweis);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addLayout(buttons.Row);
    TranslateComponentTree(this);
    resize(380, sizeHint().height());
}

TFormCommentDesLang::~TFormCommentDesLang() = default;

bool TFormCommentDesLang::Execute(const QString& hint, QString& description, QString& language)
{
    LabHinweis->setText(hint);
    Edit1->setText(description);
    m_language->Select(language);
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted)
        return false;
    description = Edit1->text();
    language = m_language->Code();
    return true;
}
