// The definitions of the story being told, and the line caches into them.
#include "story/DefinitionTable.h"

#include <algorithm>

namespace {

bool HasBrace(std::string_view s) {
    return s.find('{') != std::string_view::npos || s.find('}') != std::string_view::npos;
}

} // namespace

void TDefinitionTable::Refresh(LineCache& cache) const {
    if (cache.generation != generation_) {
        cache.definitions.clear();
        cache.references.clear();
        cache.generation = generation_;
    }
}

TDefinitionTable::Definition*
TDefinitionTable::Entry(std::string_view name, std::vector<CachedName>* cache, std::size_t k) {
    if (cache && k < cache->size()) {
        const CachedName& c = (*cache)[k];
        if (c.name && *c.name == name)
            return c.definition;
    }
    auto it = entries_.find(name);
    if (it == entries_.end())
        return nullptr;
    if (cache) {
        if (cache->size() <= k)
            cache->resize(k + 1);
        (*cache)[k] = {&it->first, &it->second};
    }
    return &it->second;
}

void TDefinitionTable::Define(std::string_view name, const std::string& value,
                              const std::vector<TWordRun>& runs, std::vector<CachedName>* cache,
                              std::size_t k) {
    Definition* entry = Entry(name, cache, k);
    if (!entry) {
        entries_.emplace(std::string(name), Definition());
        entry = Entry(name, cache, k);
    }
    Definition& d = *entry; // entries stay in place while the map grows
    if (!d.defined)
        definedNow_.push_back(&d);
    d.value.assign(value);
    d.runs.assign(runs.begin(), runs.end());
    d.order = nextOrder_++;
    d.defined = true;
    d.hasBrace = HasBrace(std::string_view(value).substr(0, kValueLimit));
}

const TDefinitionTable::Definition*
TDefinitionTable::Reference(std::string_view name, std::vector<CachedName>* cache, std::size_t k) {
    if (name.find('=') != std::string_view::npos)
        return Lookup(name);
    const Definition* d = Entry(name, cache, k);
    return d && d->defined ? d : nullptr;
}

const TDefinitionTable::Definition* TDefinitionTable::Lookup(std::string_view name) const {
    // Defined names hold no "=", so an entry "defined=value" begins with
    // Name followed by "=" only when Name is the defined name, or when Name
    // is the defined name, "=" and a start of the value that "=" follows.
    const std::size_t eq = name.find('=');
    auto it = entries_.find(name.substr(0, eq));
    if (it == entries_.end() || !it->second.defined)
        return nullptr;
    if (eq != std::string_view::npos) {
        const std::string_view value = it->second.value;
        const std::string_view rest = name.substr(eq + 1);
        if (value.size() <= rest.size() || value.substr(0, rest.size()) != rest ||
            value[rest.size()] != '=')
            return nullptr;
    }
    return &it->second;
}

void TDefinitionTable::Clear() {
    // Names met by expanding lines on their own or by changing templates
    // could pile up; a story starts afresh when there are many.
    constexpr std::size_t kKeptNames = 4096;
    if (entries_.size() > kKeptNames) {
        entries_.clear();
        ++generation_;
    } else {
        // Values far longer than a tale's keep no memory between stories.
        constexpr std::size_t kKeptValue = 1024;
        for (Definition* d : definedNow_) {
            d->defined = false;
            if (d->value.capacity() > kKeptValue)
                std::string().swap(d->value);
        }
    }
    definedNow_.clear();
}

std::vector<std::pair<std::string_view, std::string_view>> TDefinitionTable::Ordered() const {
    std::vector<std::pair<const std::string*, const Definition*>> all;
    all.reserve(entries_.size());
    for (const auto& [name, d] : entries_)
        if (d.defined)
            all.emplace_back(&name, &d);
    std::sort(all.begin(), all.end(),
              [](const auto& a, const auto& b) { return a.second->order < b.second->order; });
    std::vector<std::pair<std::string_view, std::string_view>> out;
    out.reserve(all.size());
    for (const auto& [name, d] : all)
        out.emplace_back(*name, d->value);
    return out;
}

std::vector<std::string> TDefinitionTable::Entries() const {
    std::vector<std::string> out;
    for (const auto& [name, value] : Ordered()) {
        std::string entry(name);
        entry += '=';
        entry += value;
        out.push_back(std::move(entry));
    }
    return out;
}
