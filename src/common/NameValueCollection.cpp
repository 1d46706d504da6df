#include "common/NameValueCollection.h"

#include "common/CommaText.h"

void TNameValueCollection::Add(const QString& name, const QString& value)
{
    m_names << name;
    m_values << value;
}

void TNameValueCollection::Rename(int index, const QString& name)
{
    m_names[index] = name;
}

void TNameValueCollection::SetValue(int index, const QString& value)
{
    m_values[index] = value;
}

void TNameValueCollection::Delete(int index)
{
    m_names.removeAt(index);
    m_values.removeAt(index);
}

void TNameValueCollection::Clear()
{
    m_names.clear();
    m_values.clear();
}

QString TNameValueCollection::GetCommaText() const
{
    QStringList items;
    items.reserve(m_names.size() * 2);
    for (qsizetype i = 0; i < m_names.size(); ++i)
        items << m_names.at(i) << m_values.at(i);
    return JoinCommaText(items);
}

void TNameValueCollection::SetCommaText(const QString& text)
{
    const QStringList items = SplitCommaText(text);
    for (qsizetype i = 0; i + 1 < items.size(); i += 2)
        Add(items.at(i), items.at(i + 1));
}
