#include "docs/DocumentList.h"

#include "util/HostError.h"

namespace {

[[noreturn]] void outOfBounds(int index)
{
    throw EHostError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

} // namespace

const DocumentRef &TDocumentList::Items(int index) const
{
    if (index < 0 || index >= Count())
        outOfBounds(index);
    return m_items[static_cast<size_t>(index)];
}

void TDocumentList::Add(DocumentRef record)
{
    m_items.push_back(std::move(record));
}

void TDocumentList::Delete(int index)
{
    if (index < 0 || index >= Count())
        outOfBounds(index);
    m_items.erase(m_items.begin() + index);
}

int TDocumentList::IndexOfPath(const QString &path) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<size_t>(i)]->FullPath == path)
            return i;
    return -1;
}
