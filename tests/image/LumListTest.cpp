// The owning list, the dirty-rectangle merge rule and the rectangle type.
#include <gtest/gtest.h>

#include "image/DamageList.h"
#include "image/LumList.h"
#include "image/RectFuncs.h"

namespace {
struct Counted : TLumNode {
    explicit Counted(int* alive) : alive(alive) { ++*alive; }
    ~Counted() override { --*alive; }
    int* alive;
};
} // namespace

TEST(LumList, AddRemoveAndPositions) {
    int alive = 0;
    TLumList list;
    auto* a = new Counted(&alive);
    auto* b = new Counted(&alive);
    auto* c = new Counted(&alive);
    list.AddLast(b);
    list.AddFirst(a);
    list.AddLast(c);
    list.AddLast(nullptr);
    list.AddFirst(nullptr);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(1), a);
    EXPECT_EQ(list.Items(3), c);
    EXPECT_EQ(list.Items(0), nullptr);
    EXPECT_EQ(list.Items(-3), nullptr);
    EXPECT_EQ(list.Items(4), nullptr);
    EXPECT_EQ(list.IndexOf(b), 2);
    EXPECT_EQ(list.Next(nullptr), a);
    EXPECT_EQ(list.Prev(nullptr), c);
    EXPECT_EQ(list.Next(c), nullptr);

    list.Remove(b);
    EXPECT_EQ(b->Next, nullptr);
    EXPECT_EQ(b->Prev, nullptr);
    EXPECT_FALSE(list.Contains(b));
    EXPECT_EQ(a->Next, c);
    EXPECT_EQ(c->Prev, a);
    delete b;
    list.Remove(nullptr);

    EXPECT_EQ(list.RemoveLast(), c);
    delete c;
    list.Remove(a);
    EXPECT_EQ(list.First, nullptr);
    EXPECT_EQ(list.Last, nullptr);
    EXPECT_EQ(list.RemoveFirst(), nullptr);
    EXPECT_EQ(list.RemoveLast(), nullptr);
    delete a;
    EXPECT_EQ(alive, 0);
}

TEST(LumList, DestroyingAndClearingFreeNodes) {
    int alive = 0;
    {
        TLumList list;
        for (int i = 0; i < 5; ++i)
            list.AddLast(new Counted(&alive));
        EXPECT_EQ(alive, 5);
        list.Clear();
        EXPECT_EQ(alive, 0);
        EXPECT_EQ(list.Count(), 0);
        list.AddLast(new Counted(&alive));
    }
    EXPECT_EQ(alive, 0);
}

TEST(LumList, WalkThatRemovesCurrentNode) {
    int alive = 0;
    TLumList list;
    for (int i = 0; i < 4; ++i)
        list.AddLast(new Counted(&alive));
    for (TLumNode* p = list.Next(nullptr); p;) {
        TLumNode* next = list.Next(p);
        list.Remove(p);
        delete p;
        p = next;
    }
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(list.First, nullptr);
}

namespace {
std::vector<TRect> Rects(const TDamageList& list) {
    std::vector<TRect> out;
    for (TLumNode* p = list.Next(nullptr); p; p = list.Next(p))
        out.push_back(static_cast<TDamageNode*>(p)->Rect);
    return out;
}
} // namespace

TEST(DamageList, MergeRule) {
    TDamageList d;
    d.AddDamageRect({0, 0, 10, 10});
    d.AddDamageRect({2, 2, 5, 5}); // inside: nothing added
    EXPECT_EQ(Rects(d), (std::vector<TRect>{{0, 0, 10, 10}}));
    d.AddDamageRect({8, 8, 20, 20}); // overlap: a second entry
    EXPECT_EQ(d.Count(), 2);
    d.AddDamageRect({-5, -5, 15, 15}); // holds the first entry: replaces it in place
    EXPECT_EQ(Rects(d), (std::vector<TRect>{{-5, -5, 15, 15}, {8, 8, 20, 20}}));
    d.AddDamageRect({30, 30, 30, 40}); // empty: its own entry
    EXPECT_EQ(d.Count(), 3);
    d.AddDamageRect({30, 30, 30, 40}); // empty never intersects anything
    EXPECT_EQ(d.Count(), 4);
    d.AddDamageRect({-5, -5, 15, 15}); // equal to an entry: nothing added
    EXPECT_EQ(d.Count(), 4);
    d.Clear();
    EXPECT_EQ(d.Count(), 0);
}

TEST(DamageList, RectangleThatCoversSeveralEntriesReplacesOnlyTheFirst) {
    TDamageList d;
    d.AddDamageRect({0, 0, 2, 2});
    d.AddDamageRect({10, 10, 12, 12});
    d.AddDamageRect({0, 0, 20, 20});
    EXPECT_EQ(Rects(d), (std::vector<TRect>{{0, 0, 20, 20}, {10, 10, 12, 12}}));
}

TEST(Rect, HalfOpenIntersection) {
    TRect r;
    EXPECT_TRUE(TRect::Intersect(r, {0, 0, 10, 10}, {5, 5, 15, 15}));
    EXPECT_EQ(r, (TRect{5, 5, 10, 10}));
    EXPECT_FALSE(TRect::Intersect(r, {0, 0, 10, 10}, {10, 0, 20, 10})) << "edges only touch";
    EXPECT_EQ(r, TRect{});
    EXPECT_FALSE(TRect::Intersect(r, {5, 5, 0, 0}, {0, 0, 10, 10})) << "inverted is empty";
    EXPECT_TRUE((TRect{0, 0, 1, 1}).Contains(0, 0));
    EXPECT_FALSE((TRect{0, 0, 1, 1}).Contains(1, 0));
    EXPECT_EQ((TRect{5, 6, 1, 2}).Normalized(), (TRect{1, 2, 5, 6}));
}

TEST(Rect, Functions) {
    TRect r{1, 2, 11, 22};
    EXPECT_EQ(RectWidth(r), 10);
    EXPECT_EQ(RectHeight(r), 20);
    EXPECT_EQ(OffsetTopLeft(r, {3, 4}), (TPoint{4, 6}));
    EXPECT_EQ(SubtractPoint({3, 4}, {1, 1}), (TPoint{2, 3}));
    EXPECT_EQ(OffsetRectBy(r, {1, -1}), (TRect{2, 1, 12, 21}));
    EXPECT_EQ(OffsetRectBack(r, {1, -1}), (TRect{0, 3, 10, 23}));
    EXPECT_EQ(MoveRectTo(r, {100, 200}), (TRect{100, 200, 110, 220}));
    EXPECT_EQ(Max(-3, 2), 2);
}
