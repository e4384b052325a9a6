#pragma once
// The process-wide registry of effect procedures and the list of effect names shown to users.

#include "effects/engine/effecttypes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

// Text of the error raised for a duplicate registration; %s is the new name.
inline constexpr const char* SProcListAlreadyExists = "Effect procedute %s already exists in list";

class EProcItemError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

QString kindPrefix(TluxProcKind kind);

// One registered effect, owned by the list.
struct TluxProcItem {
    TluxProcKind Kind = pkFade;
    TluxProc Proc = nullptr;
    QString Name; // kind prefix followed by the registered name

    TluxFadeProc fadeProc() const { return reinterpret_cast<TluxFadeProc>(Proc); }
    TluxSlideProc slideProc() const { return reinterpret_cast<TluxSlideProc>(Proc); }
    TluxManualProc manualProc() const { return reinterpret_cast<TluxManualProc>(Proc); }
};

// Registered effects in registration order; owns its items.
class TluxProcList
{
public:
    TluxProcList() = default;
    ~TluxProcList();
    TluxProcList(const TluxProcList&) = delete;
    TluxProcList& operator=(const TluxProcList&) = delete;

    int Count() const { return int(m_items.size()); }
    TluxProcItem* Items(int index) const { return m_items.at(index); }
    void Add(TluxProcItem* item) { m_items.append(item); }

    // First the item whose full name equals Name ignoring ASCII case, else the first whose
    // name without its kind prefix does; null when neither matches.
    TluxProcItem* GetProcs(const QString& Name) const;

    // Frees every item and empties the list.
    void Clear();

private:
    QList<TluxProcItem*> m_items;
};

extern TluxProcList* ProcList;   // created by the first RegisterProc
extern QStringList* EffectList;  // built once by GetEffectList / GetEffectListComma

// Appends an effect under the kind's prefix. Throws EProcItemError when the procedure or the
// name (without prefix, ignoring case) is already registered; nothing is added then.
void RegisterProc(const QString& Name, TluxProcKind Kind, TluxProc Proc);

// The two pseudo names, then every registered full name in registration order.
QStringList* GetEffectList();
// The same list as comma text; entries with blanks, commas or quotes are quoted.
QString GetEffectListComma();

// Comma text of any list, quoting entries that contain blanks, control characters, commas or
// double quotes (inner quotes doubled).
QString commaText(const QStringList& list);

// A registered effect drawn with the shared random generator, every item with the same chance.
TluxProcItem* RandomProcItem();

// The effect an animation uses for an effect name: a random one for the random pseudo name
// (exact comparison), otherwise GetProcs; null for unknown names and the bitmap pseudo name.
TluxProcItem* ResolveEffect(const QString& Name);

// Frees the name list and every registered item.
void ClearEffectRegistry();
