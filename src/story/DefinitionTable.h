// The definitions of the story being told: each name's value with the runs
// of its characters that came from the vocabulary, and the order the
// definitions were made in. A name is defined once: a later definition
// replaces the earlier one and counts as the newest.
//
// Entries outlive their story (marked undefined) so that the next story
// reuses their memory, and each template line keeps a LineCache of the
// entries its names found, so that the next telling finds them without
// hashing. A hit is checked by comparing the names; a cache is emptied when
// the entries it points into were dropped (Refresh).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "story/WordRun.h"

class TDefinitionTable {
public:
    // The characters of a value that a reference takes.
    static constexpr std::size_t kValueLimit = 255;

    struct Definition {
        std::vector<TWordRun> runs; // of value
        std::string value;
        uint64_t order = 0;    // when it was made: later definitions have higher numbers
        bool defined = false;  // in the current story
        bool hasBrace = false; // the part a reference takes holds "{" or "}"
    };
    // The entry that the k-th name of a template line found last time.
    struct CachedName {
        const std::string* name = nullptr; // the entry's key
        Definition* definition = nullptr;
    };
    struct LineCache {
        uint64_t generation = 0;             // of the entries it points into
        std::vector<CachedName> definitions; // k-th definition of the line
        std::vector<CachedName> references;  // k-th reference replaced
    };

    // Empties Cache when the entries it points into were dropped since it
    // was filled.
    void Refresh(LineCache& cache) const;
    // Name := Value, whose characters Runs came from the vocabulary; slot K
    // of Cache (may be null) is tried first and refreshed.
    void Define(std::string_view name, const std::string& value, const std::vector<TWordRun>& runs,
                std::vector<CachedName>* cache, std::size_t k);
    // The definition that a reference to Name is replaced by; null when
    // none. A name holding "=" matches a definition "name=value" that begins
    // with it followed by "=" (and is not cached); any other name is looked
    // up through slot K of Cache (may be null).
    const Definition* Reference(std::string_view name, std::vector<CachedName>* cache,
                                std::size_t k);
    // A new story starts: no name is defined.
    void Clear();
    // The definitions of the current story, each "name=value", oldest first.
    std::vector<std::string> Entries() const;

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>()(s);
        }
    };

    // The entry of Name, defined or not; null when there is none. Cache slot
    // K is tried first and refreshed.
    Definition* Entry(std::string_view name, std::vector<CachedName>* cache, std::size_t k);
    const Definition* Lookup(std::string_view name) const;
    // The definitions by name in the order they were made.
    std::vector<std::pair<std::string_view, std::string_view>> Ordered() const;

    std::unordered_map<std::string, Definition, NameHash, std::equal_to<>> entries_;
    std::vector<Definition*> definedNow_; // the entries defined in the current story
    uint64_t generation_ = 1;             // counts the times every entry was dropped
    uint64_t nextOrder_ = 0;
};
