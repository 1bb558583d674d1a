// What a view of the word-list editor's list hears about: the whole list
// loaded anew, one entry inserted or removed. Positions are those of the
// editor's list right after (inserted) or right before (removed) the change.
#pragma once

class TWordListObserver {
public:
    virtual ~TWordListObserver() = default;
    // Before the list is replaced, and after.
    virtual void ListResetting() = 0;
    virtual void ListReset() = 0;
    // Before entry Index is inserted, and after.
    virtual void EntryInserting(int index) = 0;
    virtual void EntryInserted(int index) = 0;
    // Before entry Index is removed, and after.
    virtual void EntryRemoving(int index) = 0;
    virtual void EntryRemoved(int index) = 0;
};
