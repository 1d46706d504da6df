#include "dialogs/FormReplaceInfos.h"

#include "dialogs/DialogParts.h"
#include "common/SettingsStore.h"
#include "common/ColumnCatalogue.h"
#include "common/CommaText.h"
#include "common/FieldLists.h"

#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int RecentCount = 5;
const QString FileNameField = QStringLiteral("*FIN");

// The texts of the last use, kept for the program's run.
QString& LastSearch()
{
    static QString text;
    return text;
}

QString& LastReplacement()
{
    static QString text;
    return text;
}

QString KeyPath()
{
    return TSettingsStore::KeyPath() + QStringLiteral("\\Replace");
}

QString FieldCaption(const QString& id)
{
    const TSpalte* column = FindColumn(id);
    return column ? ColumnCaption(*column) : QStringLiteral("? + ") + id;
}

QLabel* NewLabel(const char* caption, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QComboBox* NewRecentBox(const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxCount(RecentCount);
    // Completing must never change the case of what was typed: "Match case"
    // depends on it.
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    box->setMinimumContentsLength(30);
    return box;
}

// The edit text first when not empty, then the box's other texts, at most
// five, newest first.
QStringList RecentTexts(const QComboBox& box)
{
    QStringList texts;
    const QString typed = box.currentText();
    if (!typed.isEmpty())
        texts << typed;
    for (int i = 0; i < box.count() && texts.size() < RecentCount; ++i)
        if (box.itemText(i) != typed)
            texts << box.itemText(i);
    return texts;
}

bool IsTagField(const QString& id)
{
    return id != FileNameField;
}

}

TFormReplaceInfos::TFormReplaceInfos(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormReplaceInfos"));
    setWindowTitle(QStringLiteral("%ReplaceFramesTitle"));

    auto* info = NewLabel("%ReplaceFramesTitle2", this);
    info->setWordWrap(true);
    cbxSearch = NewRecentBox("cbxSearch", this);
    cbxReplace = NewRecentBox("cbxReplace", this);
    cbxCase = new QCheckBox(QStringLiteral("%ReplaceFramesSearchCase"), this);
    cbxCase->setObjectName(QStringLiteral("cbxCase"));

    clbFrames = new QListWidget(this);
    clbFrames->setObjectName(QStringLiteral("clbFrames"));
    for (const QString& id : ReplaceFields()) {
        auto* row = new QListWidgetItem(FieldCaption(id), clbFrames);
        row->setData(Qt::UserRole, id);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    butAll = new QPushButton(QStringLiteral("%ReplaceFramesFramesAll"), this);
    butAll->setObjectName(QStringLiteral("butAll"));
    butNothing = new QPushButton(QStringLiteral("%ReplaceFramesFramesNothing"), this);
    butNothing->setObjectName(QStringLiteral("butNothing"));
    const DialogParts::TDialogButtons buttons = DialogParts::NewOkCancelRow(this, nullptr, "butOK", "Button6");
    butOK = buttons.Ok;

    auto* texts = new QGridLayout;
    texts->addWidget(NewLabel("%ReplaceFramesSearchFor", this), 0, 0);
    texts->addWidget(cbxSearch, 0, 1);
    texts->addWidget(NewLabel("%ReplaceFramesReplaceWith", this), 1, 0);
    texts->addWidget(cbxReplace, 1, 1);
    texts->addWidget(cbxCase, 2, 1);
    texts->setColumnStretch(1, 1);

    auto* rowButtons = new QVBoxLayout;
    rowButtons->addWidget(butAll);
    rowButtons->addWidget(butNothing);
    rowButtons->addStretch(1);
    auto* fields = new QHBoxLayout;
    fields->addWidget(clbFrames, 1);
    fields->addLayout(rowButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addLayout(texts);
    layout->addWidget(NewLabel("%ReplaceFramesFrames", this));
    layout->addLayout(fields, 1);
    layout->addLayout(buttons.Row);

    connect(butAll, &QPushButton::clicked, this, [this] { CheckRows([](const QString&) { return true; }); });
    connect(butNothing, &QPushButton::clicked, this, [this] { CheckRows([](const QString&) { return false; }); });
    connect(cbxSearch, &QComboBox::editTextChanged, this, [this] { UpdateOkButton(); });
    connect(clbFrames, &QListWidget::itemChanged, this, [this] { UpdateOkButton(); });

    TranslateComponentTree(this);
    resize(460, 480);
    LoadSettings();
}

bool TFormReplaceInfos::Execute(QString& search, bool& ignoreCase, QStringList& fieldIds, QString& replacement)
{
    cbxSearch->setEditText(LastSearch());
    cbxReplace->setEditText(LastReplacement());
    UpdateOkButton();
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted || !butOK->isEnabled())
        return false;
    search = cbxSearch->currentText();
    replacement = cbxReplace->currentText();
    ignoreCase = !cbxCase->isChecked();
    LastSearch() = search;
    LastReplacement() = replacement;
    fieldIds = CheckedIds();
    SaveSettings();
    return true;
}

void TFormReplaceInfos::LoadSettings()
{
    TRegistry registry;
    QStringList stored;
    if (registry.OpenKey(KeyPath(), false)) {
        if (const auto texts = registry.ReadString(QStringLiteral("search")))
            cbxSearch->addItems(SplitCommaText(*texts).mid(0, RecentCount));
        if (const auto texts = registry.ReadString(QStringLiteral("replace")))
            cbxReplace->addItems(SplitCommaText(*texts).mid(0, RecentCount));
        if (const auto ignoreCase = registry.ReadBool(QStringLiteral("ignorecase")))
            cbxCase->setChecked(!*ignoreCase);
        if (const auto frames = registry.ReadString(QStringLiteral("frames")))
            stored = SplitCommaText(*frames);
    }
    CheckRows([&stored](const QString& id) { return stored.contains(id); });
    // Nothing known stored (or the first use): every tag field, but not the
    // file name, so that no file is renamed unasked.
    if (CheckedIds().isEmpty())
        CheckRows(IsTagField);
}

void TFormReplaceInfos::SaveSettings() const
{
    TRegistry registry;
    if (!registry.OpenKey(KeyPath(), true))
        return;
    registry.WriteString(QStringLiteral("search"), JoinCommaText(RecentTexts(*cbxSearch)));
    registry.WriteString(QStringLiteral("replace"), JoinCommaText(RecentTexts(*cbxReplace)));
    registry.WriteBool(QStringLiteral("ignorecase"), !cbxCase->isChecked());
    registry.WriteString(QStringLiteral("frames"), JoinCommaText(CheckedIds()));
    registry.Flush();
}

void TFormReplaceInfos::CheckRows(const std::function<bool(const QString&)>& checked)
{
    for (int row = 0; row < clbFrames->count(); ++row) {
        QListWidgetItem* item = clbFrames->item(row);
        item->setCheckState(checked(item->data(Qt::UserRole).toString()) ? Qt::Checked : Qt::Unchecked);
    }
}

QStringList TFormReplaceInfos::CheckedIds() const
{
    QStringList ids;
    for (int row = 0; row < clbFrames->count(); ++row)
        if (clbFrames->item(row)->checkState() == Qt::Checked)
            ids << clbFrames->item(row)->data(Qt::UserRole).toString();
    return ids;
}

void TFormReplaceInfos::UpdateOkButton()
{
    butOK->setEnabled(!cbxSearch->currentText().isEmpty() && !CheckedIds().isEmpty());
}
