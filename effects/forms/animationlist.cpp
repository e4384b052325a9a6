#include "effects/forms/animationlist.h"

#include "effects/forms/luxanimation.h"

#include <stdexcept>
#include <string>

TluxAnimationList::TluxAnimationList(QObject* Owner) : QObject(Owner) {}

TluxAnimationList::~TluxAnimationList()
{
    while (!Items.isEmpty())
        delete Items.last(); // each animation takes itself out of the list
}

void TluxAnimationList::Insert(TluxAnimation* A)
{
    if (!A || A->m_parentList == this)
        return;
    if (A->m_parentList)
        A->m_parentList->Remove(A);
    A->m_parentList = this;
    Items.append(A);
}

void TluxAnimationList::Remove(TluxAnimation* A)
{
    if (!A || !Items.removeOne(A))
        return;
    A->m_parentList = nullptr;
}

TluxAnimation* TluxAnimationList::GetItem(int Index) const
{
    if (Index < 0 || Index >= Items.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return Items.at(Index);
}

void TluxAnimationList::GetChildren(const std::function<void(QObject*)>& Proc, QObject*) const
{
    for (TluxAnimation* item : Items)
        Proc(item);
}

// An animation's membership in a list: the list's side and the animation's side live together.
QObject* TluxAnimation::GetParentComponent() const
{
    return m_parentList;
}

void TluxAnimation::SetParentComponent(QObject* C)
{
    if (m_parentList)
        m_parentList->Remove(this);
    if (auto* list = qobject_cast<TluxAnimationList*>(C))
        list->Insert(this);
}
