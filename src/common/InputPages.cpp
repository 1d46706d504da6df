#include "common/InputPages.h"

#include "common/StoredNames.h"

#include <stdexcept>

void TEingabeSeite::Assign(const TEingabeSeite& source)
{
    FrameIDs = source.FrameIDs;
    Title = source.Title;
}

TEingabeSeiten::TEingabeSeiten(const TEingabeSeiten& other)
{
    Assign(other);
}

TEingabeSeiten& TEingabeSeiten::operator=(const TEingabeSeiten& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

TEingabeSeite& TEingabeSeiten::Add(const QString& title)
{
    return Insert(Count(), title);
}

TEingabeSeite& TEingabeSeiten::Insert(int index, const QString& title)
{
    if (index != Count())
        CheckedIndex(index);
    auto page = std::make_unique<TEingabeSeite>(title);
    TEingabeSeite& result = *page;
    FPages.insert(FPages.begin() + index, std::move(page));
    return result;
}

bool TEingabeSeiten::Delete(int index)
{
    if (index < 0 || index >= Count())
        return false;
    FPages.erase(FPages.begin() + index);
    return true;
}

void TEingabeSeiten::Clear()
{
    FPages.clear();
}

void TEingabeSeiten::Assign(const TEingabeSeiten& source)
{
    if (this == &source)
        return;
    std::vector<std::unique_ptr<TEingabeSeite>> copies;
    copies.reserve(source.FPages.size());
    for (const auto& page : source.FPages)
        copies.push_back(std::make_unique<TEingabeSeite>(*page));
    FPages = std::move(copies);
}

TEingabeSeite& TEingabeSeiten::Items(int index)
{
    return *FPages.at(CheckedIndex(index));
}

const TEingabeSeite& TEingabeSeiten::Items(int index) const
{
    return *FPages.at(CheckedIndex(index));
}

size_t TEingabeSeiten::CheckedIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("Input page index out of range.");
    return static_cast<size_t>(index);
}

QString StoredInputPageTitle(const QString& shownTitle)
{
    for (const char* key : InputPageTitleKeys) {
        const QString builtIn = BuiltInName(QString::fromLatin1(key));
        if (shownTitle == ShownName(builtIn))
            return builtIn;
    }
    return shownTitle;
}

const TEingabeSeiten& DefaultInputPages()
{
    static const TEingabeSeiten pages = [] {
        TEingabeSeiten layout;
        layout.Add(BuiltInName(QString::fromLatin1(InputPageTitleKeys[0]))).FrameIDs = {
            QStringLiteral("TPE1"), QStringLiteral("TIT2"), QStringLiteral("TALB"),
            QStringLiteral("TRCK"), QStringLiteral("TDRC"), QStringLiteral("TCON"),
        };
        layout.Add(BuiltInName(QString::fromLatin1(InputPageTitleKeys[1]))).FrameIDs = {
            QStringLiteral("TPE4"), QStringLiteral("TENC"), QStringLiteral("COMM"),
        };
        return layout;
    }();
    return pages;
}
