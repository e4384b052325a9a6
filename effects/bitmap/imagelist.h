#pragma once
// TluxImageList: a non-visual component that carries an ordered collection of
// pictures, each with an integer tag, so that a form's component stream can
// hold a set of images. The list owns its collection, the collection its
// items, each item its picture.

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

class TluxImageCollection;
class TluxImageList;

class TluxImageItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QImage Picture READ GetPicture WRITE SetPicture)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    // Joins Collection (when given) as its last item.
    explicit TluxImageItem(TluxImageCollection* Collection = nullptr);
    // Leaves its collection.
    ~TluxImageItem() override;

    QImage Picture;
    int Tag = 0;

    // From another item: its picture; the tag stays. Anything else raises
    // EConvertError and leaves the item unchanged.
    void Assign(const QObject* Source);
    // The class name, as collection editors show an item.
    QString GetDisplayName() const;
    // Copies Value into the item's picture.
    void SetPicture(const QImage& Value);
    const QImage& GetPicture() const { return Picture; }
    // Picture change notification; the item keeps nothing to update.
    void OnChange(QObject* Sender);

    TluxImageCollection* Collection() const { return m_collection; }
    // Position in the collection, -1 when in none.
    int Index() const;

private:
    friend class TluxImageCollection;
    TluxImageCollection* m_collection = nullptr;
};

class TluxImageCollection : public QObject {
    Q_OBJECT
    Q_CLASSINFO("ItemClass", "TluxImageItem")

public:
    explicit TluxImageCollection(TluxImageList* Owner);
    // Frees every item.
    ~TluxImageCollection() override;

    // A new item at the end.
    Q_INVOKABLE TluxImageItem* Add();
    Q_INVOKABLE int Count() const { return int(m_items.size()); }
    // Throw std::out_of_range ("List index out of bounds (i)") outside 0 <= Index < Count.
    Q_INVOKABLE TluxImageItem* GetItem(int Index) const;
    // Assigns Value into the existing item at Index.
    void SetItem(int Index, const TluxImageItem* Value);
    // Frees every item.
    Q_INVOKABLE void Clear();
    // Frees the item at Index.
    void Delete(int Index);
    // From another image collection: as many items, each assigned from the
    // source item (pictures, not tags). Anything else raises EConvertError.
    void Assign(const QObject* Source);

    // The list that owns the collection, which names it in editors and streams.
    TluxImageList* GetOwner() const { return m_owner; }
    // Announces a change of Item, or of the collection as a whole when null.
    void Update(TluxImageItem* Item);

    const QList<TluxImageItem*>& items() const { return m_items; }

signals:
    void updated(TluxImageItem* Item);

private:
    friend class TluxImageItem;
    void insertItem(TluxImageItem* item);
    void removeItem(TluxImageItem* item);

    TluxImageList* m_owner;
    QList<TluxImageItem*> m_items;
};

class TluxImageList : public QObject {
    Q_OBJECT
    Q_PROPERTY(TluxImageCollection* Images READ GetImages WRITE SetImages)
    Q_PROPERTY(QString Version READ GetVersion WRITE SetVersion STORED false)

public:
    Q_INVOKABLE explicit TluxImageList(QObject* Owner = nullptr);
    ~TluxImageList() override;

    // Owned; created with the list and freed with it.
    TluxImageCollection* Images;

    TluxImageCollection* GetImages() const { return Images; }
    // Copies Value's items into the owned collection (it does not take Value).
    void SetImages(TluxImageCollection* Value);
    // "3.02" whatever was written.
    QString GetVersion() const { return QStringLiteral("3.02"); }
    void SetVersion(const QString&) {}
    // Hook for changes of the images; the list keeps nothing to update.
    void Change() {}
};
