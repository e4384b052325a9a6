#include "effects/bitmap/assignerror.h"
#include "effects/bitmap/imagelist.h"

#include <QMetaProperty>
#include <QVariant>
#include <gtest/gtest.h>

#include <memory>

namespace {

QImage solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QStringList propertyNames(const QMetaObject* meta)
{
    QStringList names;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        names << QString::fromLatin1(meta->property(i).name());
    return names;
}

} // namespace

TEST(ImageList, ItemAssignCopiesThePictureAndNotTheTag)
{
    TluxImageList list;
    TluxImageItem* source = list.Images->Add();
    TluxImageItem* target = list.Images->Add();
    source->SetPicture(solid(3, 2, 0xFF112233));
    source->Tag = 7;
    target->Tag = 42;
    target->Assign(source);
    EXPECT_EQ(target->Picture, source->Picture);
    EXPECT_EQ(target->Tag, 42);
    // The copy is the target's own: changing the source later leaves it.
    source->Picture.setPixel(0, 0, 0xFF000000);
    EXPECT_EQ(target->Picture.pixel(0, 0), 0xFF112233u);

    list.Images->SetItem(1, list.Images->GetItem(0));
    EXPECT_EQ(target->Picture.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(target->Tag, 42);

    try {
        target->Assign(&list);
        ADD_FAILURE() << "an image list was assigned to an item";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TluxImageList to a TluxImageItem");
    }
    EXPECT_THROW(target->Assign(nullptr), EConvertError);
    EXPECT_EQ(target->Picture.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(target->GetDisplayName(), QStringLiteral("TluxImageItem"));
}

TEST(ImageList, PublishedPropertiesAndVersion)
{
    TluxImageList list;
    EXPECT_EQ(propertyNames(&TluxImageList::staticMetaObject), (QStringList{"Images", "Version"}));
    EXPECT_EQ(propertyNames(&TluxImageItem::staticMetaObject), (QStringList{"Picture", "Tag"}));
    const QMetaObject* meta = list.metaObject();
    EXPECT_TRUE(meta->property(meta->indexOfProperty("Images")).isStored());
    EXPECT_FALSE(meta->property(meta->indexOfProperty("Version")).isStored());

    EXPECT_TRUE(list.setProperty("Version", QStringLiteral("9.99")));
    EXPECT_EQ(list.property("Version").toString(), QStringLiteral("3.02"));
    EXPECT_EQ(list.property("Images").value<TluxImageCollection*>(), list.Images);

    TluxImageItem* item = list.Images->Add();
    EXPECT_TRUE(item->setProperty("Tag", -5));
    EXPECT_TRUE(item->setProperty("Picture", solid(1, 1, 0xFF0000FF)));
    EXPECT_EQ(item->Tag, -5);
    EXPECT_EQ(item->Picture.pixel(0, 0), 0xFF0000FFu);

    // What a reader of component streams needs: creation by class name and
    // adding items through the meta-object system.
    std::unique_ptr<QObject> created(TluxImageList::staticMetaObject.newInstance(Q_ARG(QObject*, nullptr)));
    auto* createdList = qobject_cast<TluxImageList*>(created.get());
    ASSERT_TRUE(createdList);
    TluxImageItem* added = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(createdList->Images, "Add", Q_RETURN_ARG(TluxImageItem*, added)));
    EXPECT_EQ(createdList->Images->Count(), 1);
    EXPECT_EQ(added->Collection(), createdList->Images);
}

TEST(ImageList, OwnershipAndOrder)
{
    auto list = std::make_unique<TluxImageList>();
    TluxImageCollection* images = list->Images;
    EXPECT_EQ(images->GetOwner(), list.get());
    int destroyed = 0;
    for (int i = 0; i < 4; ++i) {
        TluxImageItem* item = images->Add();
        item->Tag = i;
        QObject::connect(item, &QObject::destroyed, [&] { ++destroyed; });
    }
    EXPECT_EQ(images->GetItem(2)->Index(), 2);
    EXPECT_THROW(images->GetItem(4), std::out_of_range);
    EXPECT_THROW(images->GetItem(-1), std::out_of_range);

    // An item freed on its own leaves the collection; the others close up.
    delete images->GetItem(1);
    EXPECT_EQ(destroyed, 1);
    ASSERT_EQ(images->Count(), 3);
    EXPECT_EQ(images->GetItem(1)->Tag, 2);
    EXPECT_EQ(images->GetItem(1)->Index(), 1);
    images->Delete(0);
    EXPECT_EQ(images->GetItem(0)->Tag, 2);

    // Writing Images copies the other collection's pictures into the owned one.
    TluxImageList other;
    other.Images->Add()->SetPicture(solid(2, 2, 0xFFABCDEF));
    other.Images->GetItem(0)->Tag = 99;
    list->SetImages(other.Images);
    EXPECT_EQ(list->Images, images);
    ASSERT_EQ(images->Count(), 1);
    EXPECT_EQ(images->GetItem(0)->Picture, other.Images->GetItem(0)->Picture);
    EXPECT_EQ(images->GetItem(0)->Tag, 0);
    EXPECT_EQ(destroyed, 4);

    TluxImageItem* last = images->GetItem(0);
    bool lastDestroyed = false;
    QObject::connect(last, &QObject::destroyed, [&] { lastDestroyed = true; });
    list.reset();
    EXPECT_TRUE(lastDestroyed);
}
