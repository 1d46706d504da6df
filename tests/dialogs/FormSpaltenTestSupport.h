#pragma once

// The columns dialog as the user works it: choosing rows, clicking a chosen
// column, typing its width.

#include "common/ColumnCatalogue.h"
#include "controls/UpDownEdit.h"
#include "dialogs/FormSpalten.h"

#include <QTest>
#include <QTreeWidget>

inline quint16 DefaultWidth(const char* id)
{
    return static_cast<quint16>(FindColumn(QString::fromLatin1(id))->DefaultWidth);
}

inline void SelectChosen(TFormSpalten& form, int row)
{
    form.TreeView2->setCurrentItem(form.TreeView2->topLevelItem(row));
}

inline void SelectAvailable(TFormSpalten& form, const char* id)
{
    for (int i = 0; i < form.TreeView1->topLevelItemCount(); ++i)
        if (form.ColumnOf(form.TreeView1->topLevelItem(i))->ID == QLatin1String(id))
            form.TreeView1->setCurrentItem(form.TreeView1->topLevelItem(i));
}

// Clicks a chosen column as the user does.
inline void ClickChosen(TFormSpalten& form, int row)
{
    QTreeWidgetItem* item = form.TreeView2->topLevelItem(row);
    QTest::mouseClick(form.TreeView2->viewport(), Qt::LeftButton, {},
                      form.TreeView2->visualItemRect(item).center());
}

inline void TypeWidth(TFormSpalten& form, const char* width)
{
    form.EBreite->Edit()->selectAll();
    QTest::keyClicks(form.EBreite->Edit(), QString::fromLatin1(width));
}
