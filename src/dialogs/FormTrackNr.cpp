#include "dialogs/FormTrackNr.h"

#include "dialogs/DialogParts.h"
#include "common/SettingsStore.h"

#include "controls/UpDownEdit.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int LargestNumber = 99999;
// The letters that store the rows of the two lists.
const QString NumberingLetters = QStringLiteral("FO");
const QString TotalLetters = QStringLiteral("NMF");

QString KeyPath()
{
    return TSettingsStore::KeyPath() + QStringLiteral("\\AutoTrack");
}

QComboBox* NewList(const char* name, std::initializer_list<const char*> keys, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (const char* key : keys)
        box->addItem(Lang(QString::fromLatin1(key)));
    box->setCurrentIndex(0);
    return box;
}

TUpDownEdit* NewNumberEdit(const char* name, QWidget* parent)
{
    auto* edit = new TUpDownEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetDigits(0);
    edit->SetIncrement(1);
    edit->SetRange(0, LargestNumber);
    edit->SetPosition(1);
    return edit;
}

// A stored letter chooses the row it stands for, any other letter no row; an
// empty text changes nothing.
void ChooseRow(QComboBox* box, const QString& letters, const std::optional<QString>& stored)
{
    if (stored && !stored->isEmpty())
        box->setCurrentIndex(static_cast<int>(letters.indexOf(stored->at(0))));
}

QString RowLetter(const QComboBox* box, const QString& letters)
{
    const int row = box->currentIndex();
    return row >= 0 && row < letters.size() ? QString(letters.at(row)) : QString();
}

}

TFormTrackNr::TFormTrackNr(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormTrackNr"));
    setWindowTitle(QStringLiteral("%WindowTrackNoTitle"));
    auto* info = new QLabel(QStringLiteral("%WindowTrackNoInfo"), this);
    info->setWordWrap(true);
    BoxNrTyp = NewList("BoxNrTyp", {"SetTrackNoInOrder", "SetTrackNoFromFileName"}, this);
    EStartValue = NewNumberEdit("EStartValue", this);
    auto* totalInfo = new QLabel(QStringLiteral("%MaxTrackInfo"), this);
    totalInfo->setWordWrap(true);
    BoxSumTyp = NewList("BoxSumTyp", {"SetNoMaxTrackFeld", "SetHighestMaxTrack", "SetFixedMaxTrack"}, this);
    ESumValue = NewNumberEdit("ESumValue", this);

    Button1 = new QPushButton(QStringLiteral("%Help"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    DialogParts::ConnectHelpButton(*Button1, "tracknumbers.htm");
    const DialogParts::TDialogButtons buttons = DialogParts::NewOkCancelRow(this, Button1, "Button2", "Button3");
    connect(BoxNrTyp, &QComboBox::currentIndexChanged, this, [this] { UpdateEdits(); });
    connect(BoxSumTyp, &QComboBox::currentIndexChanged, this, [this] { UpdateEdits(); });

    auto* choices = new QGridLayout;
    choices->addWidget(BoxNrTyp, 0, 0);
    choices->addWidget(EStartValue, 0, 1);
    choices->addWidget(totalInfo, 1, 0, 1, 2);
    choices->addWidget(BoxSumTyp, 2, 0);
    choices->addWidget(ESumValue, 2, 1);
    choices->setColumnStretch(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addLayout(choices);
    layout->addStretch(1);
    layout->addLayout(buttons.Row);

    TranslateComponentTree(this);
    LoadSettings();
    UpdateEdits();
    resize(440, sizeHint().height());
}

bool TFormTrackNr::Execute(TTrackNrEinstellungen& settings)
{
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted)
        return false;
    SaveSettings();
    settings.NumberingType = BoxNrTyp->currentIndex() == 1 ? 1 : 0;
    if (BoxSumTyp->currentIndex() >= 0)
        settings.TotalMode = static_cast<quint8>(BoxSumTyp->currentIndex());
    settings.StartValue = EStartValue->PositionInt();
    settings.FixedTotal = ESumValue->PositionInt();
    return true;
}

void TFormTrackNr::LoadSettings()
{
    TRegistry registry;
    if (!registry.OpenKey(KeyPath(), false))
        return;
    ChooseRow(BoxNrTyp, NumberingLetters, registry.ReadString(QStringLiteral("type")));
    // Out of range values from elsewhere are clamped by the edits.
    if (const auto start = registry.ReadInteger(QStringLiteral("start")))
        EStartValue->SetPosition(*start);
    if (const auto total = registry.ReadInteger(QStringLiteral("max")))
        ESumValue->SetPosition(*total);
    ChooseRow(BoxSumTyp, TotalLetters, registry.ReadString(QStringLiteral("setmax")));
}

void TFormTrackNr::SaveSettings() const
{
    TRegistry registry;
    if (!registry.OpenKey(KeyPath(), true))
        return;
    registry.WriteString(QStringLiteral("type"), RowLetter(BoxNrTyp, NumberingLetters));
    registry.WriteInteger(QStringLiteral("start"), EStartValue->PositionInt());
    registry.WriteInteger(QStringLiteral("max"), ESumValue->PositionInt());
    registry.WriteString(QStringLiteral("setmax"), RowLetter(BoxSumTyp, TotalLetters));
    registry.Flush();
}

void TFormTrackNr::UpdateEdits()
{
    EStartValue->setEnabled(BoxNrTyp->currentIndex() == 0);
    ESumValue->setEnabled(BoxSumTyp->currentIndex() == 2);
}
