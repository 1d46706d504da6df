#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

// One page of the input panel: a title and the frames it shows.
class TEingabeSeite {
public:
    TEingabeSeite() = default;
    explicit TEingabeSeite(const QString& title) : Title(title) {}

    // Copies the source's frame IDs and title (by value).
    void Assign(const TEingabeSeite& source);

    // Four-character frame IDs in display order.
    QStringList FrameIDs;
    // "%" + language key for a built-in title, else the user's text.
    QString Title;
};

// The input-page layout: the ordered pages, page 0 being the first tab. The
// list owns its pages; a page stays at its address while it is in the list.
// Copies are deep.
class TEingabeSeiten {
public:
    TEingabeSeiten() = default;
    TEingabeSeiten(const TEingabeSeiten& other);
    TEingabeSeiten& operator=(const TEingabeSeiten& other);
    TEingabeSeiten(TEingabeSeiten&&) noexcept = default;
    TEingabeSeiten& operator=(TEingabeSeiten&&) noexcept = default;

    // Appends a page with no frames and the given title and returns it.
    TEingabeSeite& Add(const QString& title);
    // Inserts a page with no frames at index and returns it; throws
    // std::out_of_range outside 0..Count.
    TEingabeSeite& Insert(int index, const QString& title);
    // Removes the page at index; false for an index outside the list.
    bool Delete(int index);
    void Clear();
    // Replaces the pages by copies of the source's.
    void Assign(const TEingabeSeiten& source);

    int Count() const { return static_cast<int>(FPages.size()); }
    // The page at index; throws std::out_of_range outside 0..Count-1.
    TEingabeSeite& Items(int index);
    const TEingabeSeite& Items(int index) const;

private:
    size_t CheckedIndex(int index) const;

    std::vector<std::unique_ptr<TEingabeSeite>> FPages;
};

// Language keys (without "%") of the titles of the two default pages. A page
// whose shown title equals the current text of one of them is stored as
// "%" + key, so that it follows a change of language.
inline constexpr std::array<const char*, 2> InputPageTitleKeys = {"PageGeneralTitle", "PageAdditionalTitle"};
// Language keys of the two fixed pages at the end of the input area: the
// further-fields page and the file-information page.
inline constexpr std::array<const char*, 2> FixedPageTitleKeys = {"PageMoreFieldsTitle", "PageFileInfosTitle"};

// The title to store for a page whose tab shows this text: "%" + key when it
// is the current text of a default page's title key, else the text itself.
QString StoredInputPageTitle(const QString& shownTitle);

// The layout used when none is stored and after a reset in the page dialog.
// Built on first use; read-only (callers copy it).
const TEingabeSeiten& DefaultInputPages();
