#include "dialogs/FormID3v1ToID3v2.h"

#include "dialogs/DialogParts.h"

#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"
#include "tagengine/FrameCatalogue.h"
#include "tagengine/ID3v1Block.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

// Rows are this much taller than the list's own.
constexpr int ExtraRowHeight = 6;

struct TFieldRow {
    const char* FrameID;
    int Bit;
};

const TFieldRow Rows[] = {
    {"TIT2", ID3v1Field::Title}, {"TPE1", ID3v1Field::Artist}, {"TALB", ID3v1Field::Album},
    {"TRCK", ID3v1Field::Track}, {"TDRC", ID3v1Field::Year},   {"TCON", ID3v1Field::Genre},
    {"COMM", ID3v1Field::Comment},
};

class TTallRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, ExtraRowHeight);
    }
};

}

TFormID3v1ToID3v2::TFormID3v1ToID3v2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormID3v1ToID3v2"));
    setWindowTitle(QStringLiteral("%FromID3v1WindowTitle"));
    auto* info = new QLabel(QStringLiteral("%FromID3v1WindowInfo"), this);
    info->setTextFormat(Qt::PlainText);
    info->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox"));
    m_list->setItemDelegate(new TTallRows(m_list));
    m_emptyFields = new QCheckBox(QStringLiteral("%NoEmptyFields"), this);
    m_emptyFields->setObjectName(QStringLiteral("CBoxEmptyFields"));
    const DialogParts::TDialogButtons buttons = DialogParts::NewOkCancelRow(this, nullptr, "Button1", "Button2");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_emptyFields);
    layout->addLayout(buttons.Row);
    TranslateComponentTree(this);
    resize(400, 330);
}

bool TFormID3v1ToID3v2::Execute(const TID3v1Infos& record, quint8& mask, bool& overwriteWithEmpty)
{
    m_list->clear();
    for (const TFieldRow& row : Rows) {
        const QString id = QString::fromLatin1(row.FrameID);
        const QString value = ID3v1FieldText(record, row.Bit);
        auto* item = new QListWidgetItem(value.isEmpty() ? GetFrameName(id) : GetFrameName(id) + QStringLiteral(": ") + value,
                                         m_list);
        item->setData(Qt::UserRole, id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(mask & row.Bit ? Qt::Checked : Qt::Unchecked);
    }
    m_emptyFields->setChecked(!overwriteWithEmpty);
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted)
        return false;
    quint8 chosen = 0;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        for (const TFieldRow& row : Rows)
            if (item->data(Qt::UserRole).toString() == QLatin1String(row.FrameID))
                chosen |= quint8(row.Bit);
    }
    mask = chosen;
    overwriteWithEmpty = !m_emptyFields->isChecked();
    return true;
}
