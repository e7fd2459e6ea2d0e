// The open documents in the order of their tabs: entry i belongs to tab i.
#pragma once

#include "docs/THTMLInfo.h"

#include <memory>
#include <vector>

// Records are shared: a record taken out of the list stays valid for as long as
// CurrentDocument still designates it.
using DocumentRef = std::shared_ptr<THTMLInfo>;

class TDocumentList
{
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    // Fails with "List index out of bounds (%d)" outside 0 .. Count - 1.
    const DocumentRef &Items(int index) const;
    void Add(DocumentRef record);
    // Later entries move down by one.
    void Delete(int index);
    // The first entry whose FullPath equals path byte for byte, or -1.
    int IndexOfPath(const QString &path) const;

private:
    std::vector<DocumentRef> m_items;
};
