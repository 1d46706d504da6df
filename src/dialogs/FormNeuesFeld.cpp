#include "dialogs/FormNeuesFeld.h"

#include "dialogs/DialogParts.h"

#include "controls/GroupBoxXP2.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

struct TFieldKind {
    const char* FrameID;
    const char* CaptionKey;
    bool HasDescription;
    bool HasLanguage;
};

const TFieldKind Kinds[] = {
    {"TXXX", "NewFieldTXXX", true, false},
    {"WXXX", "NewFieldWXXX", true, false},
    {"COMM", "NewFieldCOMM", true, true},
};

QLabel* NewLabel(const char* caption, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}

TFormNeuesFeld::TFormNeuesFeld(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormNeuesFeld"));
    setWindowTitle(QStringLiteral("%WindowNewFieldTitle"));
    BoxArt = new QComboBox(this);
    BoxArt->setObjectName(QStringLiteral("BoxArt"));
    for (const TFieldKind& kind : Kinds)
        BoxArt->addItem(Lang(QString::fromLatin1(kind.CaptionKey)), QString::fromLatin1(kind.FrameID));

    GroupBox = new TGroupBoxXP2(QStringLiteral("%NewFieldGroupBox"), this);
    GroupBox->setObjectName(QStringLiteral("GroupBox1"));
    EDes = new QLineEdit(GroupBox);
    EDes->setObjectName(QStringLiteral("EDes"));
    BoxLang = new QComboBox(GroupBox);
    BoxLang->setObjectName(QStringLiteral("BoxLang"));
    BoxLang->setMaxVisibleItems(20);
    m_language = std::make_unique<TLanguageChoice>(BoxLang);
    auto* properties = new QFormLayout(GroupBox);
    properties->addRow(NewLabel("%NewFieldDescription", GroupBox), EDes);
    properties->addRow(NewLabel("%NewFieldLanguage", GroupBox), BoxLang);

    const DialogParts::TDialogButtons buttons = DialogParts::NewOkCancelRow(this, nullptr, "Button1", "Button2");
    connect(BoxArt, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });

    auto* kind = new QHBoxLayout;
    kind->addWidget(NewLabel("%TypeOfField", this));
    kind->addWidget(BoxArt, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kind);
    layout->addWidget(GroupBox);
    layout->addStretch(1);
    layout->addLayout(buttons.Row);
    TranslateComponentTree(this);
    resize(380, sizeHint().height());
}

TFormNeuesFeld::~TFormNeuesFeld() = default;

bool TFormNeuesFeld::Execute(QString& frameId, QString& description, QString& language)
{
    BoxArt->setCurrentIndex(std::max(frameId.isEmpty() ? 0 : BoxArt->findData(frameId), 0));
    EDes->setText(description);
    m_language->Select(language);
    KindChanged();
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted || BoxArt->currentIndex() < 0)
        return false;
    frameId = BoxArt->currentData().toString();
    description = EDes->text();
    language = m_language->Code();
    return true;
}

void TFormNeuesFeld::KindChanged()
{
    const int row = BoxArt->currentIndex();
    const bool known = row >= 0 && row < int(std::size(Kinds));
    EDes->setEnabled(known && Kinds[row].HasDescription);
    BoxLang->setEnabled(known && Kinds[row].HasLanguage);
}
