// The vocabulary store: class lists, the words file and the random choice.
#include "vocab/Vocab.h"

#include <algorithm>

#include "data/InitGame.h"
#include "image/LumException.h"
#include "image/Random.h"
#include "platform/FileStream.h"
#include "platform/MessageBox.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/WordStrings.h"

namespace {
const char* const kReadError = "Error reading vocabulary file - vocabulary may be incomplete.";
const char* const kWriteError = "Error writing vocabulary file - vocabulary may be incomplete.";

bool ValidClass(int wordClass) {
    return wordClass >= 0 && wordClass < kWordClassCount;
}

const std::string kEmpty;

// The form Flags ask for, without a copy; see TVocab::FormOf.
const std::string& FormRef(const TPartOfSpeech& word, uint16_t flags) {
    switch (word.WordClass()) {
    case wcProperNoun:
        if (flags & wfShortForm)
            return static_cast<const TProperNoun&>(word).GetShortForm();
        break;
    case wcNoun:
        if (flags & wfPlural)
            return static_cast<const TNoun&>(word).GetPlural();
        break;
    case wcVerb: {
        const auto& v = static_cast<const TVerb&>(word);
        if (flags & wfPast)
            return v.GetPastTense();
        if (flags & wfPresent)
            return v.GetPresentTense();
        if (flags & wfContinuous)
            return v.GetContinuous();
        if (flags & wfParticiple)
            return v.GetParticiple();
        break;
    }
    case wcAdjective: {
        const auto& a = static_cast<const TAdjective&>(word);
        if (flags & wfBigger)
            return a.GetBigger();
        if (flags & wfBiggest)
            return a.GetBiggest();
        if (flags & wfAdverb)
            return a.AdverbAllowed ? a.GetAdverb() : kEmpty;
        break;
    }
    default:
        break;
    }
    return word.Word();
}

// Upper-cases the first letter of every space-separated word.
void Capitalize(std::string& s) {
    bool start = true;
    for (char& ch : s) {
        if (ch == ' ') {
            start = true;
        } else if (start) {
            char up = UpCase(ch);
            if (up >= 'A' && up <= 'Z') {
                ch = up;
                start = false;
            }
        }
    }
}
} // namespace

TVocab::TVocab() : TVocab(InstallFolder + "words.dat", true) {}

TVocab::TVocab(std::string fileName, bool saveOnDestroy)
    : fileName_(std::move(fileName)), saveOnDestroy_(saveOnDestroy) {
    LoadWords();
}

TVocab::~TVocab() {
    if (saveOnDestroy_) {
        try {
            SaveWords();
        } catch (...) {
            // A destructor must not throw; SaveWords has shown its warning.
        }
    }
    FreeAllWords();
}

std::string TVocab::FormOf(const TPartOfSpeech& word, uint16_t flags) {
    return FormRef(word, flags);
}

const TWordList& TVocab::WordList(int wordClass) const {
    static const TWordList empty;
    return ValidClass(wordClass) ? lists_[static_cast<std::size_t>(wordClass)] : empty;
}

int32_t TVocab::LastChosen(int wordClass) const {
    return ValidClass(wordClass) ? lastChosen_[static_cast<std::size_t>(wordClass)] : 0;
}

void TVocab::ReplaceWordList(int wordClass, const std::vector<TWordEntry>& entries) {
    if (!ValidClass(wordClass))
        return;
    std::vector<TWordEntry> kept;
    kept.reserve(entries.size());
    for (const auto& e : entries) {
        if (e.Word && e.Word->WordClass() == wordClass)
            kept.push_back(e);
    }
    TWordList& list = lists_[static_cast<std::size_t>(wordClass)];
    list.Clear();
    list.AddAll(std::move(kept));
}

void TVocab::AddWord(std::shared_ptr<TPartOfSpeech> word) {
    if (!word)
        return;
    const std::string text = word->Word();
    lists_[word->WordClass()].Add(text, std::move(word));
}

void TVocab::FreeAllWords() {
    for (auto& list : lists_)
        list.Clear();
}

void TVocab::ClearUsed(int wordClass) {
    if (!ValidClass(wordClass))
        return;
    for (const auto& e : lists_[static_cast<std::size_t>(wordClass)])
        e.Word->Used = false;
}

void TVocab::ClearAllUsed() {
    for (int c = 0; c < kWordClassCount; ++c)
        ClearUsed(c);
}

std::string TVocab::ChooseWord(int wordClass, uint16_t flags) {
    if (!ValidClass(wordClass))
        return {};
    const auto c = static_cast<std::size_t>(wordClass);
    const TWordList& list = lists_[c];
    TPartOfSpeech* chosen = nullptr;

    if ((flags & wfSameAsLast) && lastChosen_[c] < list.Count()) {
        chosen = &list.Word(lastChosen_[c]);
    } else {
        const bool single = flags & wfSingleWord;
        const bool repeat = flags & wfAllowRepeat;
        const bool anySex = !(flags & (wfMale | wfFemale));
        int candidates = 0;
        int fresh = 0;
        for (const auto& e : list) {
            TPartOfSpeech& w = *e.Word;
            w.Candidate = false;
            const std::string& form = FormRef(w, flags);
            if (form.empty())
                continue;
            if (single && form.find(' ') != std::string::npos)
                continue;
            if (wordClass == wcProperNoun && !anySex) {
                bool male = static_cast<const TProperNoun&>(w).Male;
                if (!(male ? (flags & wfMale) : (flags & wfFemale)))
                    continue;
            }
            w.Candidate = true;
            ++candidates;
            if (!w.Used || repeat)
                ++fresh;
        }
        if (candidates == 0)
            return {};
        if (fresh == 0) {
            ClearUsed(wordClass);
            fresh = candidates;
        }
        int r = Random(fresh);
        for (int i = 0; i < list.Count(); ++i) {
            TPartOfSpeech& w = list.Word(i);
            if (!w.Candidate || (w.Used && !repeat))
                continue;
            if (r-- == 0) {
                chosen = &w;
                lastChosen_[c] = i;
                break;
            }
        }
        if (!chosen)
            return {}; // cannot happen: r < fresh
    }

    std::string result = FormRef(*chosen, flags);
    chosen->Used = true;
    if (!result.empty()) {
        if (flags & wfArticle) {
            switch (UpCase(result[0])) {
            case 'A':
            case 'E':
            case 'I':
            case 'O':
            case 'U':
                result.insert(0, "an ");
                break;
            default:
                result.insert(0, "a ");
                break;
            }
        }
        if (flags & wfCapitalize)
            Capitalize(result);
    }
    return result;
}

bool TVocab::ReadWords(plat::Stream& stream) {
    for (int c = 0; c < kWordClassCount; ++c) {
        // Sorted in one go: a file in any order loads in O(n log n).
        std::vector<TWordEntry> read;
        bool ok = true;
        try {
            int count = ReadInt16LE(stream);
            for (int i = 0; i < count; ++i) {
                std::shared_ptr<TPartOfSpeech> word = TPartOfSpeech::CreateFromStream(c, stream);
                std::string text = word->Word();
                read.push_back({std::move(text), std::move(word)});
            }
        } catch (const LumException&) {
            ok = false;
        }
        lists_[static_cast<std::size_t>(c)].AddAll(std::move(read));
        if (!ok)
            return false;
    }
    return true;
}

bool TVocab::WriteWords(plat::Stream& stream) const {
    try {
        for (const auto& list : lists_) {
            const int count = std::min(list.Count(), kMaxWordsPerClass);
            WriteInt16LE(stream, static_cast<int16_t>(count));
            for (int i = 0; i < count; ++i)
                list.Word(i).SaveToStream(stream);
        }
    } catch (const LumException&) {
        return false;
    }
    return true;
}

bool TVocab::LoadWords() {
    auto stream = plat::FileStream::Open(fileName_);
    if (!stream)
        return true;
    if (ReadWords(*stream))
        return true;
    plat::ShowMessage(plat::MsgKind::Warning, kReadError, plat::MsgButtons::Ok);
    return false;
}

bool TVocab::SaveWords() {
    auto stream = plat::FileStream::CreateAtomic(fileName_);
    if (!stream)
        return false;
    if (WriteWords(*stream) && stream->Commit())
        return true;
    plat::ShowMessage(plat::MsgKind::Warning, kWriteError, plat::MsgButtons::Ok);
    return false;
}
