#include "common/ColumnCatalogue.h"
#include "common/FieldLists.h"
#include "common/InputPages.h"
#include "common/ToolbarButtons.h"
#include "tagengine/FrameCatalogue.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

bool IsFileColumn(const QString& id)
{
    return id.startsWith(QLatin1Char('*'));
}

// Every ID names a catalogue column, and every frame ID a known frame.
void ExpectKnownColumns(const TStringArray& ids, const char* listName)
{
    for (const QString& id : ids) {
        EXPECT_NE(FindColumn(id), nullptr) << listName << ": " << id.toStdString();
        if (!IsFileColumn(id)) {
            EXPECT_NE(FindFrameName(id), nullptr) << listName << ": " << id.toStdString();
        }
    }
}

} // namespace

TEST(ColumnCatalogueTest, RowsAreUniqueKeyedAndKnown)
{
    QSet<QString> ids;
    for (const TSpalte& column : ColumnCatalogue) {
        const QString id = QString::fromLatin1(column.ID);
        EXPECT_FALSE(ids.contains(id)) << "duplicate column " << column.ID;
        ids.insert(id);
        if (!IsFileColumn(id)) {
            EXPECT_NE(FindFrameName(id), nullptr) << "unknown frame " << column.ID;
        }
    }
}

TEST(FieldListsTest, ListsHoldCatalogueIDsOnce)
{
    ExpectKnownColumns(DefaultColumns(), "DefaultColumns");
    ExpectKnownColumns(CaseConversionFrames(), "CaseConversionFrames");
    ExpectKnownColumns(SearchFields(), "SearchFields");
    ExpectKnownColumns(ReplaceFields(), "ReplaceFields");
    for (const TStringArray* list : {&DefaultColumns(), &SearchFields(), &ReplaceFields()})
        EXPECT_EQ(QSet<QString>(list->begin(), list->end()).size(), list->size());
    for (const QString& id : CaseConversionFrames())
        EXPECT_FALSE(IsFileColumn(id)) << id.toStdString();
}

TEST(ToolbarButtonsTest, RowsAreUniqueAndDefaultLayoutIsKnown)
{
    QSet<QString> codes;
    QSet<QString> actions;
    for (const TSymbolleistenButton& button : ToolbarButtons) {
        const QString code = QString::fromLatin1(button.Code);
        EXPECT_EQ(code.size(), 4) << button.Code;
        EXPECT_NE(code, QLatin1StringView(ToolbarSeparatorCode));
        EXPECT_FALSE(codes.contains(code)) << "duplicate code " << button.Code;
        EXPECT_FALSE(actions.contains(QString::fromLatin1(button.ActionName)))
            << "duplicate action " << button.ActionName;
        codes.insert(code);
        actions.insert(QString::fromLatin1(button.ActionName));
        // A drop-down arrow without a menu to drop down would be a dead button.
        if (button.Style == tbsDropDown) {
            EXPECT_STRNE(button.PopupName, "") << button.Code;
        }
    }

    for (const QString& code : DefaultToolbar()) {
        if (code != QLatin1StringView(ToolbarSeparatorCode)) {
            EXPECT_NE(FindToolbarButton(code), nullptr) << code.toStdString();
        }
    }
}

TEST(InputPagesTest, DefaultLayoutNamesKnownFramesUnderBuiltInTitles)
{
    const TEingabeSeiten& pages = DefaultInputPages();
    for (int i = 0; i < pages.Count(); ++i) {
        EXPECT_EQ(pages.Items(i).Title, QStringLiteral("%") + QLatin1StringView(InputPageTitleKeys[i]));
        for (const QString& id : pages.Items(i).FrameIDs)
            EXPECT_NE(FindFrameName(id), nullptr) << id.toStdString();
    }
}
