#include "effects/forms/animationlist.h"
#include "effects/forms/componentclasses.h"
#include "effects/forms/componentregistry.h"
#include "effects/forms/componentstream.h"
#include "effects/bitmap/imagelist.h"
#include "effects/forms/luxanimation.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <gtest/gtest.h>


// Components with one property of each kind a stream holds.
class StreamProbe : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Flag MEMBER Flag)
    Q_PROPERTY(int Count MEMBER Count)
    Q_PROPERTY(qint64 Big MEMBER Big)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(QString Text MEMBER Text)
    Q_PROPERTY(QByteArray Data MEMBER Data)
    Q_PROPERTY(QImage Picture MEMBER Picture)
    Q_PROPERTY(Shade Tone MEMBER Tone)
    Q_PROPERTY(StreamProbe* Partner MEMBER Partner)
    Q_PROPERTY(int Hidden MEMBER Hidden STORED false)
    Q_PROPERTY(QString Version READ version WRITE setVersion)

public:
    enum Shade { shLight, shDark };
    Q_ENUM(Shade)

    explicit StreamProbe(QObject* owner = nullptr) : QObject(owner) {}

    // Count is left out of a stream while it has its default.
    bool isStored(const QString& property) const { return property != QLatin1String("Count") || Count != 5; }
    void Loaded()
    {
        ++loadedCalls;
        partnerWhenLoaded = Partner;
    }
    QString version() const { return QStringLiteral("3.02"); }
    void setVersion(const QString&) {}

    bool Flag = false;
    int Count = 5;
    qint64 Big = 0;
    double Ratio = 0;
    QString Text;
    QByteArray Data;
    QImage Picture;
    Shade Tone = shLight;
    StreamProbe* Partner = nullptr;
    int Hidden = 0;
    int loadedCalls = 0;
    StreamProbe* partnerWhenLoaded = nullptr;
};

namespace {

class ComponentStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterLuxComponentClasses();
        RegisterComponentClass<StreamProbe>();
    }

    static QImage picture(int w, int h, QRgb seed)
    {
        QImage image(w, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, seed ^ QRgb(x * 0x010203 + y * 0x070503));
        return image;
    }

    static QJsonObject componentJson(const QByteArray& stream, int index)
    {
        return QJsonDocument::fromJson(stream).object()[QLatin1String("components")].toArray()[index].toObject();
    }

    template <typename T>
    static QList<T*> componentsOf(QObject& owner)
    {
        return owner.findChildren<T*>(QString(), Qt::FindDirectChildrenOnly);
    }
};

TEST_F(ComponentStream, RoundTripKeepsEveryKindOfValueAndResolvesReferencesBeforeLoaded)
{
    QObject owner;
    auto* a = new StreamProbe(&owner);
    a->setObjectName(QStringLiteral("probeA"));
    a->Flag = true;
    a->Count = -7;
    a->Big = 1LL << 40;
    a->Ratio = 0.375;
    a->Text = QStringLiteral("[ FADE ] - Fade \u00e9");
    a->Data = QByteArray("\0\x01\xff", 3);
    a->Picture = picture(13, 7, 0x80FF0000);
    a->Tone = StreamProbe::shDark;
    a->Hidden = 99;
    auto* b = new StreamProbe(&owner);
    b->setObjectName(QStringLiteral("probeB"));
    a->Partner = b;
    b->Partner = a; // a reference to a component read earlier and one read later

    const QByteArray stream = WriteComponentStream(&owner);
    const QJsonObject bJson = componentJson(stream, 1)[QLatin1String("properties")].toObject();
    EXPECT_FALSE(bJson.contains(QLatin1String("Count"))) << "a default the class leaves out";
    EXPECT_FALSE(bJson.contains(QLatin1String("Hidden"))) << "STORED false";
    EXPECT_TRUE(bJson.contains(QLatin1String("Picture")));
    EXPECT_TRUE(bJson[QLatin1String("Picture")].isNull());
    EXPECT_EQ(bJson[QLatin1String("Version")].toString(), QLatin1String("3.02"));
    EXPECT_EQ(componentJson(stream, 0)[QLatin1String("properties")].toObject()[QLatin1String("Tone")].toString(),
              QLatin1String("shDark"));

    QObject target;
    const ComponentStreamResult result = ReadComponentStream(stream, &target);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QList<StreamProbe*> read = componentsOf<StreamProbe>(target);
    ASSERT_EQ(read.size(), 2);
    StreamProbe* ra = read[0];
    StreamProbe* rb = read[1];
    EXPECT_EQ(ra->objectName(), QLatin1String("probeA"));
    EXPECT_TRUE(ra->Flag);
    EXPECT_EQ(ra->Count, -7);
    EXPECT_EQ(ra->Big, 1LL << 40);
    EXPECT_EQ(ra->Ratio, 0.375);
    EXPECT_EQ(ra->Text, a->Text);
    EXPECT_EQ(ra->Data, a->Data);
    EXPECT_EQ(ra->Picture.convertToFormat(QImage::Format_ARGB32), a->Picture);
    EXPECT_EQ(ra->Tone, StreamProbe::shDark);
    EXPECT_EQ(ra->Hidden, 0);
    EXPECT_EQ(rb->Count, 5);
    EXPECT_TRUE(rb->Picture.isNull());
    EXPECT_EQ(ra->Partner, rb);
    EXPECT_EQ(rb->Partner, ra);
    for (StreamProbe* p : read) {
        EXPECT_EQ(p->loadedCalls, 1);
        EXPECT_EQ(p->partnerWhenLoaded, p->Partner) << "Loaded runs after every reference is resolved";
    }
    // Written again, the read components give the same stream.
    EXPECT_EQ(WriteComponentStream(&target), stream);
}

TEST_F(ComponentStream, VersionIsAcceptedWithAnyValueAndIgnored)
{
    for (const char* version : {"\"9.99\"", "7", "null", "[1]"}) {
        QObject owner;
        const QByteArray stream = QByteArray(R"({"format":"lux-components","components":[
            {"class":"StreamProbe","properties":{"Version":)") + version + "}}]}";
        const ComponentStreamResult result = ReadComponentStream(stream, &owner);
        ASSERT_TRUE(result.ok) << version << ": " << result.error.toStdString();
        EXPECT_EQ(componentsOf<StreamProbe>(owner).at(0)->version(), QLatin1String("3.02"));
    }
}

TEST_F(ComponentStream, AnimationsAreWrittenInsideTheirListAndPutBackInOrder)
{
    QObject form;
    auto* list = new TluxAnimationList(&form);
    // Created in the reverse of their order in the list: the stream follows the list.
    auto* tuned = new TluxAnimation(&form);
    tuned->setObjectName(QStringLiteral("luxAnimation2"));
    tuned->SetTime(700);
    tuned->SetTileCount(3);
    auto* plain = new TluxAnimation(&form);
    plain->setObjectName(QStringLiteral("luxAnimation1"));
    list->Insert(plain);
    tuned->SetParentComponent(list);
    (new TluxAnimation(&form))->Effect = QStringLiteral("loose"); // in no list: written at the top level

    const QByteArray stream = WriteComponentStream(&form);
    const QJsonArray top = QJsonDocument::fromJson(stream).object()[QLatin1String("components")].toArray();
    ASSERT_EQ(top.size(), 2);
    const QJsonArray children = top[0].toObject()[QLatin1String("children")].toArray();
    ASSERT_EQ(children.size(), 2);
    EXPECT_EQ(children[0].toObject()[QLatin1String("properties")].toObject().keys(), QStringList{"Effect"})
        << "an animation with its defaults stores only its effect";

    QObject target;
    const ComponentStreamResult result = ReadComponentStream(stream, &target);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    auto* readList = target.findChild<TluxAnimationList*>();
    ASSERT_NE(readList, nullptr);
    ASSERT_EQ(readList->GetCount(), 2);
    EXPECT_EQ(readList->GetItem(0)->objectName(), QLatin1String("luxAnimation1"));
    const TluxAnimation* second = readList->GetItem(1);
    EXPECT_EQ(second->ParentList(), readList);
    EXPECT_EQ(second->Time, 700);
    EXPECT_EQ(second->TileCount, 3);
    EXPECT_EQ(componentsOf<TluxAnimation>(target).size(), 3);
}

TEST_F(ComponentStream, ImageListKeepsPicturesAndTagsInOrder)
{
    QObject owner;
    auto* list = new TluxImageList(&owner);
    list->setObjectName(QStringLiteral("luxImageList1"));
    const QList<QImage> pictures = {picture(5, 3, 0xFF102030), QImage(), picture(1, 1, 0x00FFFFFF), picture(64, 2, 0x7F00FF00)};
    const QList<int> tags = {0, -1, 2147483647, 42};
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        TluxImageItem* item = list->Images->Add();
        item->SetPicture(pictures[i]);
        item->Tag = tags[i];
    }
    const QByteArray stream = WriteComponentStream(&owner);
    EXPECT_FALSE(stream.contains("Version")) << "the image list never stores its version";

    QObject target;
    const ComponentStreamResult result = ReadComponentStream(stream, &target);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QList<TluxImageList*> lists = componentsOf<TluxImageList>(target);
    ASSERT_EQ(lists.size(), 1);
    ASSERT_EQ(lists[0]->Images->Count(), pictures.size());
    for (int i = 0; i < pictures.size(); ++i) {
        const TluxImageItem* item = lists[0]->Images->GetItem(i);
        EXPECT_EQ(item->Tag, tags[i]) << i;
        if (pictures[i].isNull())
            EXPECT_TRUE(item->Picture.isNull()) << i;
        else
            EXPECT_EQ(item->Picture.convertToFormat(QImage::Format_ARGB32), pictures[i]) << i;
    }
}

// PNG data whose header claims the given size (with a correct checksum).
QByteArray pngClaiming(int w, int h)
{
    QImage one(1, 1, QImage::Format_ARGB32);
    one.fill(0);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    one.save(&buffer, "PNG");
    auto put32 = [&png](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = char(v >> (24 - 8 * i));
    };
    put32(16, quint32(w));
    put32(20, quint32(h));
    quint32 crc = 0xFFFFFFFF; // over the chunk type and data: bytes 12 .. 28
    for (int i = 12; i < 29; ++i) {
        crc ^= quint8(png[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    put32(29, ~crc);
    return png.toBase64();
}

TEST_F(ComponentStream, BadStreamsAreRefusedWithThePlaceAndCreateNothing)
{
    const QByteArray head = R"({"format":"lux-components","components":[)";
    auto probe = [&head](const QByteArray& properties) {
        return head + R"({"class":"StreamProbe","name":"p","properties":{)" + properties + "}}]}";
    };
    const QByteArray tooDeep = [&head] {
        QByteArray s = head;
        for (int i = 0; i < maxStreamNesting + 1; ++i)
            s += R"({"class":"TluxAnimation","children":[)";
        for (int i = 0; i < maxStreamNesting + 1; ++i)
            s += "]}";
        return s + "]}";
    }();
    const struct {
        QByteArray stream;
        const char* error;
    } cases[] = {
        {head + R"({"class":"StreamProbe")", "malformed JSON at offset"},
        {"[]", "not a JSON object"},
        {R"({"format":"other","components":[]})", "format: expected"},
        {head + R"({"class":"TNoSuchThing"}]})", "components[0].class: unknown class \"TNoSuchThing\""},
        {head + R"({"class":"StreamProbe","colour":1}]})", "components[0].colour: unknown entry"},
        {probe(R"("Count":"5")"), "components[0].properties.Count: expected a 32-bit integer, found a string"},
        {probe(R"("Count":2.5)"), "properties.Count: expected a 32-bit integer"},
        {probe(R"("Count":4294967296)"), "properties.Count: expected a 32-bit integer"},
        {probe(R"("Flag":1)"), "properties.Flag: expected a boolean"},
        {probe(R"("Tone":"shPurple")"), "properties.Tone: expected one of the Shade names"},
        {probe(R"("Nope":1)"), "properties.Nope: StreamProbe has no property of that name"},
        {probe(R"("objectName":"x")"), "properties.objectName: StreamProbe has no property"},
        {probe(R"("Data":"***")"), "properties.Data: not valid base64"},
        {probe(R"("Picture":"aGVsbG8=")"), "properties.Picture: not PNG data"},
        {probe(R"("Picture":")" + pngClaiming(20000, 20000) + "\""), "properties.Picture: picture of 20000 x 20000 pixels is too large"},
        {probe(R"("Partner":"nobody")"), "properties.Partner: no component named \"nobody\""},
        {head + R"({"class":"TluxAnimationList","name":"h"},{"class":"StreamProbe","properties":{"Partner":"h"}}]})",
         "components[1].properties.Partner: \"h\" is a TluxAnimationList, not a StreamProbe"},
        {head + R"({"class":"StreamProbe","name":"p"},{"class":"StreamProbe","name":"p"}]})",
         "components[1].name: a component named \"p\" is already in the stream"},
        {head + R"({"class":"StreamProbe","name":"two words"}]})", "components[0].name: expected a component name"},
        {head + R"({"class":"TluxAnimationList","children":[{"class":"StreamProbe"}]}]})",
         "components[0].children[0]: a StreamProbe cannot be placed inside a TluxAnimationList"},
        {tooDeep, "nested deeper than"},
    };
    for (const auto& c : cases) {
        QObject owner;
        const ComponentStreamResult result = ReadComponentStream(c.stream, &owner);
        EXPECT_FALSE(result.ok) << c.error;
        EXPECT_TRUE(result.error.contains(QLatin1String(c.error))) << "expected \"" << c.error << "\", got \""
                                                                   << result.error.toStdString() << "\"";
        EXPECT_TRUE(owner.children().isEmpty()) << c.error;
        EXPECT_TRUE(result.components.isEmpty()) << c.error;
    }

    // A name already taken among the owner's components is refused too.
    QObject owner;
    (new StreamProbe(&owner))->setObjectName(QStringLiteral("p"));
    const ComponentStreamResult taken = ReadComponentStream(probe(""), &owner);
    EXPECT_TRUE(taken.error.contains(QLatin1String("a component named \"p\" already exists"))) << taken.error.toStdString();
    EXPECT_EQ(owner.children().size(), 1);
}

TEST_F(ComponentStream, ReferencesReachComponentsTheOwnerAlreadyHas)
{
    QObject owner;
    auto* existing = new StreamProbe(&owner);
    existing->setObjectName(QStringLiteral("existing"));
    const QByteArray stream = R"({"format":"lux-components","components":[
        {"class":"StreamProbe","name":"fresh","properties":{"Partner":"existing"}}]})";
    const ComponentStreamResult result = ReadComponentStream(stream, &owner);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.components.size(), 1);
    EXPECT_EQ(qobject_cast<StreamProbe*>(result.components[0])->Partner, existing);
    EXPECT_EQ(existing->loadedCalls, 0) << "only components the stream created are told it was read";
}

// Streams the reader accepts write back to a text that reads again into the
// same components and writes the same text.
TEST_F(ComponentStream, AcceptedStreamsWriteBackStably)
{
    const QByteArray streams[] = {
        // An unnamed animation inside an unnamed list, and a form after it.
        R"({"format":"lux-components","components":[
            {"class":"TluxAnimationList","children":[{"class":"TluxAnimation","properties":{"Effect":""}}]},
            {"class":"TluxAnimationForm","properties":{}}]})",
    };
    for (const QByteArray& stream : streams) {
        QObject first;
        const ComponentStreamResult read = ReadComponentStream(stream, &first);
        ASSERT_TRUE(read.ok) << read.error.toStdString();
        const QByteArray written = WriteComponentStream(&first);
        QObject second;
        const ComponentStreamResult reread = ReadComponentStream(written, &second);
        ASSERT_TRUE(reread.ok) << reread.error.toStdString();
        EXPECT_EQ(WriteComponentStream(&second).toStdString(), written.toStdString());
    }
}

} // namespace

#include "componentstream_test.moc"
