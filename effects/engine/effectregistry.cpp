#include "effects/engine/effectregistry.h"

#include "effects/masks/randomgen.h"

TluxProcList* ProcList = nullptr;
QStringList* EffectList = nullptr;

namespace {

// Case folding of ASCII letters only, as the registry compares names.
bool sameTextAscii(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t ca = a[i].unicode(), cb = b[i].unicode();
        if (ca >= u'a' && ca <= u'z')
            ca -= 32;
        if (cb >= u'a' && cb <= u'z')
            cb -= 32;
        if (ca != cb)
            return false;
    }
    return true;
}

// The registered name: everything after the first "-" and the blank that follows it.
QStringView bareName(const QString& fullName)
{
    const qsizetype dash = fullName.indexOf(u'-');
    if (dash < 0)
        return fullName;
    qsizetype start = dash + 1;
    if (start < fullName.size() && fullName[start] == u' ')
        ++start;
    return QStringView(fullName).mid(start);
}

} // namespace

QString kindPrefix(TluxProcKind kind)
{
    switch (kind) {
    case pkSlide:
        return QString::fromLatin1(luxSlidePrefix);
    case pkManual:
        return QString::fromLatin1(luxManualPrefix);
    case pkFade:
        break;
    }
    return QString::fromLatin1(luxFadePrefix);
}

TluxProcList::~TluxProcList()
{
    Clear();
}

TluxProcItem* TluxProcList::GetProcs(const QString& Name) const
{
    for (TluxProcItem* item : m_items)
        if (sameTextAscii(item->Name, Name))
            return item;
    for (TluxProcItem* item : m_items)
        if (sameTextAscii(bareName(item->Name), Name))
            return item;
    return nullptr;
}

void TluxProcList::Clear()
{
    qDeleteAll(m_items);
    m_items.clear();
}

void RegisterProc(const QString& Name, TluxProcKind Kind, TluxProc Proc)
{
    if (!ProcList)
        ProcList = new TluxProcList;
    for (int i = 0; i < ProcList->Count(); ++i) {
        const TluxProcItem* item = ProcList->Items(i);
        if (item->Proc == Proc || sameTextAscii(bareName(item->Name), Name))
            throw EProcItemError(QString::fromLatin1(SProcListAlreadyExists)
                                     .replace(QLatin1String("%s"), Name)
                                     .toStdString());
    }
    auto* item = new TluxProcItem;
    item->Kind = Kind;
    item->Proc = Proc;
    item->Name = kindPrefix(Kind) + Name;
    ProcList->Add(item);
}

QStringList* GetEffectList()
{
    if (!EffectList) {
        EffectList = new QStringList;
        EffectList->append(QString::fromLatin1(luxRandomEffectName));
        EffectList->append(QString::fromLatin1(luxBitmapEffectName));
        if (ProcList)
            for (int i = 0; i < ProcList->Count(); ++i)
                EffectList->append(ProcList->Items(i)->Name);
    }
    return EffectList;
}

QString commaText(const QStringList& list)
{
    QString out;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            out += u',';
        const QString& s = list[i];
        bool quote = false;
        for (QChar c : s)
            if (c.unicode() <= u' ' || c == u',' || c == u'"') {
                quote = true;
                break;
            }
        if (quote) {
            QString inner = s;
            inner.replace(QLatin1String("\""), QLatin1String("\"\""));
            out += u'"' + inner + u'"';
        } else {
            out += s;
        }
    }
    return out;
}

QString GetEffectListComma()
{
    return commaText(*GetEffectList());
}

TluxProcItem* RandomProcItem()
{
    if (!ProcList || ProcList->Count() == 0)
        return nullptr;
    const int i = int(Random(uint32_t(ProcList->Count())));
    return ProcList->GetProcs(ProcList->Items(i)->Name);
}

TluxProcItem* ResolveEffect(const QString& Name)
{
    if (Name == QLatin1String(luxRandomEffectName))
        return RandomProcItem();
    return ProcList ? ProcList->GetProcs(Name) : nullptr;
}

void ClearEffectRegistry()
{
    delete EffectList;
    EffectList = nullptr;
    delete ProcList;
    ProcList = nullptr;
}
