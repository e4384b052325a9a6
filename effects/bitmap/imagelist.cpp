#include "effects/bitmap/imagelist.h"

#include "effects/bitmap/assignerror.h"

#include <stdexcept>
#include <string>

TluxImageItem::TluxImageItem(TluxImageCollection* Collection) : QObject(Collection)
{
    if (Collection)
        Collection->insertItem(this);
}

TluxImageItem::~TluxImageItem()
{
    OnChange(this);
    if (m_collection)
        m_collection->removeItem(this);
}

void TluxImageItem::Assign(const QObject* Source)
{
    const auto* item = qobject_cast<const TluxImageItem*>(Source);
    if (!item)
        raiseAssignError(Source, this);
    SetPicture(item->Picture);
}

QString TluxImageItem::GetDisplayName() const
{
    return QString::fromLatin1(metaObject()->className());
}

void TluxImageItem::SetPicture(const QImage& Value)
{
    Picture = Value;
    OnChange(this);
}

void TluxImageItem::OnChange(QObject* /*Sender*/) {}

int TluxImageItem::Index() const
{
    return m_collection ? int(m_collection->m_items.indexOf(const_cast<TluxImageItem*>(this))) : -1;
}

TluxImageCollection::TluxImageCollection(TluxImageList* Owner) : QObject(Owner), m_owner(Owner) {}

TluxImageCollection::~TluxImageCollection()
{
    // Items are freed before QObject would free them as children, so that each
    // leaves the list while the collection is still whole.
    Clear();
}

TluxImageItem* TluxImageCollection::Add()
{
    return new TluxImageItem(this);
}

TluxImageItem* TluxImageCollection::GetItem(int Index) const
{
    if (Index < 0 || Index >= m_items.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return m_items.at(Index);
}

void TluxImageCollection::SetItem(int Index, const TluxImageItem* Value)
{
    GetItem(Index)->Assign(Value);
}

void TluxImageCollection::Clear()
{
    while (!m_items.isEmpty())
        delete m_items.takeLast();
    Update(nullptr);
}

void TluxImageCollection::Delete(int Index)
{
    delete GetItem(Index);
}

void TluxImageCollection::Assign(const QObject* Source)
{
    const auto* source = qobject_cast<const TluxImageCollection*>(Source);
    if (!source)
        raiseAssignError(Source, this);
    if (source == this)
        return;
    Clear();
    for (const TluxImageItem* item : source->m_items)
        Add()->Assign(item);
}

void TluxImageCollection::Update(TluxImageItem* Item)
{
    emit updated(Item);
}

void TluxImageCollection::insertItem(TluxImageItem* item)
{
    item->m_collection = this;
    m_items.append(item);
    Update(nullptr);
}

void TluxImageCollection::removeItem(TluxImageItem* item)
{
    item->m_collection = nullptr;
    m_items.removeOne(item);
    Update(nullptr);
}

TluxImageList::TluxImageList(QObject* Owner) : QObject(Owner), Images(new TluxImageCollection(this)) {}

TluxImageList::~TluxImageList()
{
    delete Images;
    Images = nullptr;
}

void TluxImageList::SetImages(TluxImageCollection* Value)
{
    if (Value != Images)
        Images->Assign(Value);
}
