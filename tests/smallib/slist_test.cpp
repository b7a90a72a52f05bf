// Tests of the framework's pointer list: growth, limit, errors and the moving operations.
#include "smallib/slist.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Distinct non-null item pointers.
int cells[64];
void* item(int i) { return &cells[i]; }

std::vector<void*> contents(const TSList& l) {
    std::vector<void*> v;
    for (int i = 0; i < l.Count(); ++i) v.push_back(l.Get(i));
    return v;
}

void expectError(const std::function<void()>& call, const std::u16string& message) {
    try {
        call();
        ADD_FAILURE() << "no EListError";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

const std::u16string outOfRange = u"List index out of range";
const std::u16string overflow = u"List overflow";

TEST(TSList, GrowthSteps) {
    TSList l;
    EXPECT_EQ(l.Capacity(), 0);
    EXPECT_EQ(l.List(), nullptr);
    std::vector<std::pair<int, int>> changes;  // (count after Add, new capacity)
    int last = 0;
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(l.Add(nullptr), i);
        if (l.Capacity() != last) changes.emplace_back(l.Count(), last = l.Capacity());
    }
    const std::vector<std::pair<int, int>> expected = {{1, 4}, {5, 8}, {9, 16}, {17, 32}, {33, 48},
                                                       {49, 64}, {65, 80}, {81, 96}, {97, 112}};
    EXPECT_EQ(changes, expected);
    EXPECT_EQ(&l.Expand(), &l);
    EXPECT_EQ(l.Capacity(), 112);  // not full: no growth
}

TEST(TSList, SizeLimit) {
    TSList l;
    for (int i = 0; i < 16368; ++i) l.Add(item(i % 64));
    EXPECT_EQ(l.Capacity(), 16368);
    expectError([&] { l.Add(nullptr); }, overflow);
    expectError([&] { l.Insert(0, nullptr); }, overflow);
    EXPECT_EQ(l.Count(), 16368);
    EXPECT_EQ(l.Get(16367), item(16367 % 64));

    l.SetCapacity(MaxListSize);
    for (int i = 16368; i < MaxListSize; ++i) l.Add(nullptr);
    expectError([&] { l.Add(nullptr); }, overflow);
    expectError([&] { l.Expand(); }, overflow);
    EXPECT_EQ(l.Count(), MaxListSize);
}

TEST(TSList, CapacityAndCountLimits) {
    TSList l;
    l.Add(item(0));
    l.Add(item(1));
    expectError([&] { l.SetCapacity(1); }, overflow);
    expectError([&] { l.SetCapacity(MaxListSize + 1); }, overflow);
    expectError([&] { l.SetCount(-1); }, overflow);
    expectError([&] { l.SetCount(MaxListSize + 1); }, overflow);
    EXPECT_EQ(contents(l), (std::vector<void*>{item(0), item(1)}));
    EXPECT_EQ(l.Capacity(), 4);
    l.SetCapacity(2);
    EXPECT_EQ(contents(l), (std::vector<void*>{item(0), item(1)}));
    l.SetCapacity(MaxListSize);
    EXPECT_EQ(l.Capacity(), MaxListSize);
    EXPECT_EQ(contents(l), (std::vector<void*>{item(0), item(1)}));
}

TEST(TSList, SetCountMakesNullEntriesThatPackRemoves) {
    TSList l;
    l.SetCount(10);
    EXPECT_EQ(l.Count(), 10);
    EXPECT_EQ(l.Capacity(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(l.Get(i), nullptr);
    l.Put(3, item(3));
    l.Put(7, item(7));
    l.Pack();
    EXPECT_EQ(contents(l), (std::vector<void*>{item(3), item(7)}));
    EXPECT_EQ(l.Capacity(), 10);

    l.SetCount(1);  // shrinking keeps the capacity
    EXPECT_EQ(l.Capacity(), 10);
    l.SetCount(3);  // growing again clears what was there
    EXPECT_EQ(contents(l), (std::vector<void*>{item(3), nullptr, nullptr}));
    l.Pack();
    EXPECT_EQ(l.Count(), 1);
}

TEST(TSList, IndexErrorsLeaveTheListUnchanged) {
    TSList empty;
    expectError([&] { empty.First(); }, outOfRange);
    expectError([&] { empty.Last(); }, outOfRange);

    TSList l;
    for (int i = 0; i < 3; ++i) l.Add(item(i));
    const std::vector<void*> before = contents(l);
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"Get(-1)", [&] { l.Get(-1); }},
        {"Get(Count)", [&] { l.Get(3); }},
        {"Put(Count)", [&] { l.Put(3, item(9)); }},
        {"Delete(Count)", [&] { l.Delete(3); }},
        {"Delete(-1)", [&] { l.Delete(-1); }},
        {"Insert(Count + 1)", [&] { l.Insert(4, item(9)); }},
        {"Insert(-1)", [&] { l.Insert(-1, item(9)); }},
        {"Exchange(0, Count)", [&] { l.Exchange(0, 3); }},
        {"Exchange(-1, 0)", [&] { l.Exchange(-1, 0); }},
        {"Move(0, Count)", [&] { l.Move(0, 3); }},
        {"Move(Count, 0)", [&] { l.Move(3, 0); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        expectError(call, outOfRange);
        EXPECT_EQ(contents(l), before);
        EXPECT_EQ(l.Capacity(), 4);
    }
}

TEST(TSList, OtherErrorCodes) {
    TSList l;
    expectError([&] { l.Error(1); }, outOfRange);
    expectError([&] { l.Error(2); }, overflow);
    expectError([&] { l.Error(0); }, u"TSList: Error");
    expectError([&] { l.Error(77); }, u"TSList: Error");
}

TEST(TSList, InsertDeleteRemove) {
    TSList l;
    l.Insert(0, item(1));
    l.Insert(1, item(3));  // at Count: appends
    l.Insert(0, item(0));
    l.Insert(2, item(2));
    EXPECT_EQ(contents(l), (std::vector<void*>{item(0), item(1), item(2), item(3)}));
    EXPECT_EQ(l.First(), item(0));
    EXPECT_EQ(l.Last(), item(3));

    l.Add(item(1));
    EXPECT_EQ(l.IndexOf(item(1)), 1);
    EXPECT_EQ(l.Remove(item(1)), 1);  // the first of two
    EXPECT_EQ(contents(l), (std::vector<void*>{item(0), item(2), item(3), item(1)}));
    EXPECT_EQ(l.Remove(item(9)), -1);
    EXPECT_EQ(l.Count(), 4);
    l.Delete(0);
    EXPECT_EQ(contents(l), (std::vector<void*>{item(2), item(3), item(1)}));
    EXPECT_EQ(l.Capacity(), 8);  // deleting never shrinks
    EXPECT_EQ(l.IndexOf(nullptr), -1);
}

TEST(TSList, MoveAndExchange) {
    struct Case {
        int cur, to;
        std::vector<int> order;
    };
    const Case cases[] = {
        {0, 4, {1, 2, 3, 4, 0}},
        {4, 0, {4, 0, 1, 2, 3}},
        {1, 3, {0, 2, 3, 1, 4}},
        {3, 1, {0, 3, 1, 2, 4}},
        {2, 2, {0, 1, 2, 3, 4}},
        {9, 9, {0, 1, 2, 3, 4}},  // equal indexes: nothing, not even a range check
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cur) + " -> " + std::to_string(c.to));
        TSList l;
        for (int i = 0; i < 5; ++i) l.Add(item(i));
        l.Move(c.cur, c.to);
        std::vector<void*> expected;
        for (const int i : c.order) expected.push_back(item(i));
        EXPECT_EQ(contents(l), expected);
    }
    TSList l;
    for (int i = 0; i < 3; ++i) l.Add(item(i));
    l.Exchange(0, 2);
    l.Exchange(1, 1);
    EXPECT_EQ(contents(l), (std::vector<void*>{item(2), item(1), item(0)}));
}

TEST(TSList, ClearReleasesTheStorage) {
    TSList l;
    for (int i = 0; i < 20; ++i) l.Add(item(i));
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Capacity(), 0);
    EXPECT_EQ(l.List(), nullptr);
    EXPECT_EQ(l.Add(item(0)), 0);
    EXPECT_EQ(l.Capacity(), 4);
}

// An owning list of ints that records what it frees.
class OwningList : public TSList {
public:
    OwningList() { FOwnsObjects = true; }
    ~OwningList() override { Clear(); }
    std::vector<void*> freed;

protected:
    void FreeItem(void* Item) override { freed.push_back(Item); }
};

TEST(TSList, OwningListFreesDroppedObjectsButNotMovedOnes) {
    OwningList l;
    for (int i = 0; i < 4; ++i) l.Add(item(i));
    l.Move(0, 3);
    l.Exchange(0, 1);
    EXPECT_TRUE(l.freed.empty());
    l.Put(0, item(9));  // replaces item(2)
    l.Delete(0);        // item(9)
    EXPECT_EQ(l.freed, (std::vector<void*>{item(2), item(9)}));
    l.SetCount(1);  // shrinking frees nothing
    EXPECT_EQ(l.freed.size(), 2u);
    l.SetCount(2);
    l.Put(1, item(5));
    l.Clear();  // from the last to the first
    EXPECT_EQ(l.freed, (std::vector<void*>{item(2), item(9), item(5), item(1)}));
}

TEST(TSList, TypedViewsForwardToTheList) {
    TSCtrlList controls;
    auto* c = reinterpret_cast<TSCtrl*>(item(1));
    controls.Add(nullptr);
    controls.Put(0, c);
    EXPECT_EQ(controls.Get(0), c);
    EXPECT_EQ(controls[0], c);
    expectError([&] { controls.Get(1); }, outOfRange);

    TSFormList forms;
    auto* f = reinterpret_cast<TSForm*>(item(2));
    forms.Add(f);
    EXPECT_EQ(forms.Items(0), f);
    EXPECT_EQ(forms.IndexOf(f), 0);
}

}  // namespace
