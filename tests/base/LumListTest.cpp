// The owning list, the dirty-rectangle merge rule and the rectangle type.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/LumList.h"
#include "image/DamageList.h"
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
// A node that records its id in Destroyed each time its destructor runs.
struct Tracked : TLumNode {
    Tracked(int id, std::vector<int>* destroyed) : id(id), destroyed(destroyed) {}
    ~Tracked() override { destroyed->push_back(id); }
    int id;
    std::vector<int>* destroyed;
};

// A list of nodes 0 .. N-1; Destroyed outlives the list.
struct TrackedList {
    explicit TrackedList(int n) {
        for (int i = 0; i < n; ++i) {
            nodes.push_back(new Tracked(i, &destroyed));
            list.AddLast(nodes.back());
        }
    }
    std::vector<int> destroyed;
    TLumList list;
    std::vector<Tracked*> nodes;
};

// The ids from head to tail, after checking that the Prev links walk the same
// nodes back and that Count agrees.
std::vector<int> Ids(const TLumList& list) {
    std::vector<int> forward, backward;
    for (TLumNode* p = list.First; p; p = p->Next)
        forward.push_back(static_cast<Tracked*>(p)->id);
    for (TLumNode* p = list.Last; p; p = p->Prev)
        backward.insert(backward.begin(), static_cast<Tracked*>(p)->id);
    EXPECT_EQ(forward, backward) << "Next and Prev links disagree";
    EXPECT_EQ(list.Count(), static_cast<int>(forward.size()));
    EXPECT_EQ(list.First == nullptr, list.Last == nullptr);
    return forward;
}
} // namespace

TEST(LumListDelete, FreesTheNodeOnceAndRelinksTheRest) {
    struct Case {
        int size;
        int doomed;
        std::vector<int> left;
    };
    const Case cases[] = {{3, 0, {1, 2}}, {3, 1, {0, 2}}, {3, 2, {0, 1}}, {1, 0, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE("node " + std::to_string(c.doomed) + " of " + std::to_string(c.size));
        std::vector<int> destroyed;
        {
            TrackedList t(c.size);
            t.list.Delete(t.nodes[static_cast<std::size_t>(c.doomed)]);
            EXPECT_EQ(t.destroyed, std::vector<int>{c.doomed});
            EXPECT_EQ(Ids(t.list), c.left);
            // Head and tail are still right: new nodes link to the survivors.
            t.list.AddFirst(new Tracked(10, &t.destroyed));
            t.list.AddLast(new Tracked(11, &t.destroyed));
            std::vector<int> grown{10};
            grown.insert(grown.end(), c.left.begin(), c.left.end());
            grown.push_back(11);
            EXPECT_EQ(Ids(t.list), grown);
            t.list.Clear();
            destroyed = t.destroyed;
        }
        // Every node was freed exactly once, the deleted one first.
        ASSERT_FALSE(destroyed.empty());
        EXPECT_EQ(destroyed.front(), c.doomed);
        std::sort(destroyed.begin(), destroyed.end());
        std::vector<int> all;
        for (int i = 0; i < c.size; ++i)
            all.push_back(i);
        all.push_back(10);
        all.push_back(11);
        EXPECT_EQ(destroyed, all);
    }
}

TEST(LumListDelete, DeletingEveryNodeEmptiesTheList) {
    TrackedList t(3);
    t.list.Delete(t.nodes[1]);
    t.list.Delete(t.nodes[2]);
    t.list.Delete(t.nodes[0]);
    EXPECT_EQ(t.list.First, nullptr);
    EXPECT_EQ(t.list.Last, nullptr);
    EXPECT_EQ(t.list.Count(), 0);
    EXPECT_EQ(t.destroyed, (std::vector<int>{1, 2, 0}));
}

TEST(LumListDelete, NullptrIsIgnored) {
    TrackedList t(2);
    t.list.Delete(nullptr);
    EXPECT_TRUE(t.destroyed.empty());
    EXPECT_EQ(Ids(t.list), (std::vector<int>{0, 1}));
    TLumList empty;
    empty.Delete(nullptr);
    EXPECT_EQ(empty.First, nullptr);
    EXPECT_EQ(empty.Last, nullptr);
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
