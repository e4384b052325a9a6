#pragma once
// TluxAnimationList: the non-visual component that holds a form's animations,
// so that its component stream stores them nested inside the list.

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class TluxAnimation;

class TluxAnimationList : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Version READ GetVersion WRITE SetVersion)

public:
    explicit TluxAnimationList(QObject* Owner = nullptr);
    // Destroys its animations, the last first.
    ~TluxAnimationList() override;

    // Appends A, which first leaves the list it was in (nothing when A is
    // null or already in this list).
    void Insert(TluxAnimation* A);
    // Takes A out of the list; A stays alive.
    void Remove(TluxAnimation* A);
    // Throws std::out_of_range ("List index out of bounds (i)") outside 0 <= Index < GetCount().
    TluxAnimation* GetItem(int Index) const;
    int GetCount() const { return int(Items.size()); }
    // The animations in order: a stream writes them inside the list.
    void GetChildren(const std::function<void(QObject*)>& Proc, QObject* Root) const;

    // "3.02" whatever is assigned.
    QString GetVersion() const { return QStringLiteral("3.02"); }
    void SetVersion(const QString&) {}

    const QList<TluxAnimation*>& items() const { return Items; }

private:
    QList<TluxAnimation*> Items;
};
