#pragma once

#include <QString>
#include <QStringList>

// Ordered name/value pairs; names may repeat. Pair i is (Names(i),
// Values(i)). Stored as the comma text of name0, value0, name1, value1, ...
// The favourite folders are one: name = the menu caption, value = the folder.
class TNameValueCollection {
public:
    void Add(const QString& name, const QString& value);
    int Count() const { return static_cast<int>(m_names.size()); }
    const QString& Names(int index) const { return m_names.at(index); }
    const QString& Values(int index) const { return m_values.at(index); }
    void Rename(int index, const QString& name);
    void SetValue(int index, const QString& value);
    void Delete(int index);
    void Clear();

    QString GetCommaText() const;
    // Appends the pairs of the text (items 2k and 2k + 1); an odd last item
    // is ignored and the pairs already held stay.
    void SetCommaText(const QString& text);

    bool operator==(const TNameValueCollection& other) const = default;

private:
    QStringList m_names;
    QStringList m_values;
};
