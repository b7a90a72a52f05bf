// TSList: the framework's growable pointer list, with the typed views for controls and forms.
#pragma once

#include <memory>

#include "common/exceptions.h"

// Raised by TSList for every range or size violation.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// The largest capacity and count of a TSList.
inline constexpr int MaxListSize = 16380;

using PPointerList = void**;

// A list of untyped, non-owning pointers in one contiguous block; nulls are allowed.
// Every failing call raises EListError before it changes anything.
class TSList {
public:
    TSList() = default;
    virtual ~TSList();
    TSList(const TSList&) = delete;
    TSList& operator=(const TSList&) = delete;

    // Raises EListError: 1 "List index out of range", 2 "List overflow", other "TSList: Error".
    [[noreturn]] virtual void Error(int code) const;
    // Enlarges the capacity by 4 (capacity <= 4), 8 (5..8) or 16 (above 8).
    virtual void Grow();
    virtual void Delete(int Index);

    int Add(void* Item);
    void Insert(int Index, void* Item);
    int Remove(void* Item);
    int IndexOf(const void* Item) const;
    void* Get(int Index) const;
    void Put(int Index, void* Item);
    void* First() const;
    void* Last() const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    // Deletes every null entry.
    void Pack();
    TSList& Expand();
    void Clear();

    void SetCapacity(int Value);
    void SetCount(int Value);

    void* Items(int Index) const { return Get(Index); }
    void* operator[](int Index) const { return Get(Index); }
    int Capacity() const noexcept { return FCapacity; }
    int Count() const noexcept { return FCount; }
    PPointerList List() const noexcept { return FList.get(); }

protected:
    // Called for the non-null objects an owning list drops. The untyped list cannot know how to free
    // them, so it does nothing; an owning descendant overrides it.
    virtual void FreeItem(void* Item);

    bool FOwnsObjects = false;

private:
    std::unique_ptr<void*[]> FList;
    int FCount = 0;
    int FCapacity = 0;
};

class TSCtrl;
class TSForm;

// The child controls of a container window.
class TSCtrlList : public TSList {
public:
    TSCtrl* Get(int Index) const { return static_cast<TSCtrl*>(TSList::Get(Index)); }
    void Put(int Index, TSCtrl* Item) { TSList::Put(Index, Item); }
    TSCtrl* Items(int Index) const { return Get(Index); }
    TSCtrl* operator[](int Index) const { return Get(Index); }
};

#ifdef _WIN32
struct HWND__;
typedef HWND__* HWND;
#endif

// All top-level windows of the application.
class TSFormList : public TSList {
public:
    TSForm* Get(int Index) const { return static_cast<TSForm*>(TSList::Get(Index)); }
    void Put(int Index, TSForm* Item) { TSList::Put(Index, Item); }
    TSForm* Items(int Index) const { return Get(Index); }
    TSForm* operator[](int Index) const { return Get(Index); }
#ifdef _WIN32
    // The first form whose window handle is h; null when none. Defined with the forms.
    TSForm* FindByHandle(HWND h) const;
#endif
};
