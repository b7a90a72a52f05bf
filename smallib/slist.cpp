// TSList: the framework's growable pointer list.
#include "smallib/slist.h"

#include <algorithm>
#include <utility>

TSList::~TSList() { Clear(); }

void TSList::Error(int code) const {
    switch (code) {
        case 1: throw EListError(u"List index out of range");
        case 2: throw EListError(u"List overflow");
        default: throw EListError(u"TSList: Error");
    }
}

void TSList::Grow() {
    const int delta = FCapacity > 8 ? 16 : FCapacity > 4 ? 8 : 4;
    SetCapacity(FCapacity + delta);
}

void TSList::FreeItem(void*) {}

int TSList::Add(void* Item) {
    if (FCount == FCapacity) Grow();
    FList[FCount] = Item;
    return FCount++;
}

void TSList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > FCount) Error(1);
    if (FCount == FCapacity) Grow();
    std::move_backward(FList.get() + Index, FList.get() + FCount, FList.get() + FCount + 1);
    FList[Index] = Item;
    ++FCount;
}

void TSList::Delete(int Index) {
    if (Index < 0 || Index >= FCount) Error(1);
    void* const item = FList[Index];
    std::move(FList.get() + Index + 1, FList.get() + FCount, FList.get() + Index);
    --FCount;
    // Unlinked before it is freed, so a destructor that looks at the list no longer finds it.
    if (FOwnsObjects && item) FreeItem(item);
}

int TSList::Remove(void* Item) {
    const int i = IndexOf(Item);
    if (i != -1) Delete(i);
    return i;
}

int TSList::IndexOf(const void* Item) const {
    for (int i = 0; i < FCount; ++i)
        if (FList[i] == Item) return i;
    return -1;
}

void* TSList::Get(int Index) const {
    if (Index < 0 || Index >= FCount) Error(1);
    return FList[Index];
}

void TSList::Put(int Index, void* Item) {
    if (Index < 0 || Index >= FCount) Error(1);
    void* const old = std::exchange(FList[Index], Item);
    if (FOwnsObjects && old) FreeItem(old);
}

void* TSList::First() const { return Get(0); }

void* TSList::Last() const { return Get(FCount - 1); }

void TSList::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index1 >= FCount || Index2 < 0 || Index2 >= FCount) Error(1);
    std::swap(FList[Index1], FList[Index2]);
}

void TSList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= FCount) Error(1);
    void* const item = Get(CurIndex);
    // Shift the pointers directly: removing through Delete would free the object of an
    // owning list.
    if (CurIndex < NewIndex)
        std::move(FList.get() + CurIndex + 1, FList.get() + NewIndex + 1, FList.get() + CurIndex);
    else
        std::move_backward(FList.get() + NewIndex, FList.get() + CurIndex, FList.get() + CurIndex + 1);
    FList[NewIndex] = item;
}

void TSList::Pack() {
    for (int i = FCount - 1; i >= 0; --i)
        if (!FList[i]) Delete(i);
}

TSList& TSList::Expand() {
    if (FCount == FCapacity) Grow();
    return *this;
}

void TSList::Clear() {
    if (FOwnsObjects)
        for (int i = FCount - 1; i >= 0; --i)
            if (FList[i]) FreeItem(FList[i]);
    SetCount(0);
    SetCapacity(0);
}

void TSList::SetCapacity(int Value) {
    if (Value < FCount || Value > MaxListSize) Error(2);
    if (Value == FCapacity) return;
    std::unique_ptr<void*[]> block;
    if (Value != 0) {
        block = std::make_unique_for_overwrite<void*[]>(static_cast<std::size_t>(Value));
        std::copy(FList.get(), FList.get() + FCount, block.get());
    }
    FList = std::move(block);
    FCapacity = Value;
}

void TSList::SetCount(int Value) {
    if (Value < 0 || Value > MaxListSize) Error(2);
    if (Value > FCapacity) SetCapacity(Value);
    if (Value > FCount) std::fill(FList.get() + FCount, FList.get() + Value, nullptr);
    FCount = Value;
}
