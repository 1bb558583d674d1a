// The vocabulary store: class lists, the words file and the random choice.
#include "vocab/Vocab.h"

#include <algorithm>

#include "base/LumException.h"
#include "base/Random.h"
#include "data/InitGame.h"
#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/MemoryStream.h"
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

// The number of the form (see TPartOfSpeech::Form) that Flags ask for from a
// word of the class; the first matching flag wins.
int FormNumber(int wordClass, uint16_t flags) {
    switch (wordClass) {
    case wcProperNoun:
        return (flags & wfShortForm) ? 1 : 0;
    case wcNoun:
        return (flags & wfPlural) ? 1 : 0;
    case wcVerb:
        return (flags & wfPast)         ? 1
               : (flags & wfPresent)    ? 2
               : (flags & wfContinuous) ? 3
               : (flags & wfParticiple) ? 4
                                        : 0;
    case wcAdjective:
        return (flags & wfBigger) ? 1 : (flags & wfBiggest) ? 2 : (flags & wfAdverb) ? 3 : 0;
    default:
        return 0;
    }
}

constexpr int kAdverbForm = 3;

bool AdverbRefused(const TPartOfSpeech& word, int form) {
    return form == kAdverbForm && word.WordClass() == wcAdjective &&
           !static_cast<const TAdjective&>(word).AdverbAllowed;
}

// The form Flags ask for, without a copy; see TVocab::FormOf.
const std::string& FormRef(const TPartOfSpeech& word, uint16_t flags) {
    int form = FormNumber(word.WordClass(), flags);
    return AdverbRefused(word, form) ? kEmpty : word.Form(form);
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
// Which words of a class a choice with Flags may take: the form asked for is
// not empty (and a single word when asked), and a name is of a sex asked for.
// The words keep the form facts in their form masks; the test is free of
// data-dependent branches.
struct CandidateTest {
    CandidateTest(int wordClass, uint16_t flags) {
        const int form = FormNumber(wordClass, flags);
        need = static_cast<uint16_t>(1u << (2 * form + ((flags & wfSingleWord) ? 1 : 0)));
        adverb = wordClass == wcAdjective && form == kAdverbForm;
        sexFilter = wordClass == wcProperNoun && (flags & (wfMale | wfFemale));
        maleOk = flags & wfMale;
        femaleOk = flags & wfFemale;
    }
    bool operator()(const TPartOfSpeech& w) const {
        bool ok = (w.FormMask() & need) != 0;
        if (adverb)
            ok = ok & static_cast<const TAdjective&>(w).AdverbAllowed;
        if (sexFilter)
            ok = ok & (static_cast<const TProperNoun&>(w).Male ? maleOk : femaleOk);
        return ok;
    }
    uint16_t need;
    bool adverb, sexFilter, maleOk, femaleOk;
};

// Form with the article and capitals that Flags ask for.
std::string Dressed(std::string result, uint16_t flags) {
    if (result.empty())
        return result;
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
    return result;
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
        const CandidateTest fits(wordClass, flags);
        const bool repeat = flags & wfAllowRepeat;
        // fresh_ gets every position written and only the fresh ones kept.
        int candidates = 0;
        int fresh = 0;
        fresh_.resize(static_cast<std::size_t>(list.Count()));
        for (int i = 0; i < list.Count(); ++i) {
            TPartOfSpeech& w = list.Word(i);
            const bool ok = fits(w);
            w.Candidate = ok;
            candidates += ok;
            fresh_[static_cast<std::size_t>(fresh)] = i;
            fresh += ok & (!w.Used | repeat);
        }
        if (candidates == 0)
            return {};
        if (fresh == 0) {
            // Every candidate has been used: the class starts afresh.
            ClearUsed(wordClass);
            for (int i = 0; i < list.Count(); ++i)
                if (list.Word(i).Candidate)
                    fresh_[static_cast<std::size_t>(fresh++)] = i;
        }
        // fresh_[0, fresh) holds the list positions of the fresh candidates
        // in list order: draw the number of one of them.
        const int r = Random(fresh);
        lastChosen_[c] = fresh_[static_cast<std::size_t>(r)];
        chosen = &list.Word(lastChosen_[c]);
    }

    std::string result = FormRef(*chosen, flags);
    chosen->Used = true;
    return Dressed(std::move(result), flags);
}

bool TVocab::Fits(int wordClass, int position, uint16_t flags) const {
    if (!ValidClass(wordClass) || position < 0 ||
        position >= lists_[static_cast<std::size_t>(wordClass)].Count())
        return false;
    return CandidateTest(wordClass,
                         flags)(lists_[static_cast<std::size_t>(wordClass)].Word(position));
}

std::string TVocab::WordAt(int wordClass, int position, uint16_t flags) const {
    if (!ValidClass(wordClass) || position < 0 ||
        position >= lists_[static_cast<std::size_t>(wordClass)].Count())
        return {};
    return Dressed(FormRef(lists_[static_cast<std::size_t>(wordClass)].Word(position), flags),
                   flags);
}

void TVocab::SetLastChosen(int wordClass, int32_t position) {
    if (ValidClass(wordClass))
        lastChosen_[static_cast<std::size_t>(wordClass)] = position;
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
    const bool empty = std::all_of(lists_.begin(), lists_.end(),
                                   [](const TWordList& list) { return list.Count() == 0; });
    fileKnown_ = false;
    fileBytes_.clear();
    fileWords_.clear();
    auto stream = plat::FileStream::Open(fileName_);
    if (!stream) {
        // A file that is there but cannot be opened (its permissions, say)
        // still holds the player's words: it is never written over.
        if (!plat::FileMissing(fileName_))
            keep_ = Keep::Never;
        return true;
    }
    if (ReadWords(*stream)) {
        // Only then are the words in memory the file's alone.
        if (empty) {
            plat::MemoryStream words;
            fileKnown_ = WriteWords(words) && plat::ReadWholeFile(fileName_, fileBytes_);
            fileWords_ = words.Data();
        }
        return true;
    }
    stream.reset();
    // The file is kept as it was before anything is written over it.
    keep_ = Keep::Pending;
    std::string text = kReadError;
    if (saveOnDestroy_ && KeepDamagedFile())
        text += "\n\nThe file as it was is kept as " + keptName_ + ".";
    plat::ShowMessage(plat::MsgKind::Warning, text, plat::MsgButtons::Ok);
    return false;
}

bool TVocab::KeepDamagedFile() {
    if (keep_ == Keep::Kept || keep_ == Keep::None)
        return true;
    if (keep_ == Keep::Never)
        return false;
    std::string bytes;
    if (!plat::ReadWholeFile(fileName_, bytes))
        return false;
    // Earlier copies stay: each damaged file gets a name of its own.
    for (int n = 1; n <= kMaxKeptCopies; ++n) {
        const std::string name = fileName_ + ".bak" + (n == 1 ? std::string() : std::to_string(n));
        if (!plat::FileMissing(name))
            continue;
        if (!plat::WriteFileAtomic(name, bytes))
            return false;
        keptName_ = name.substr(plat::ExtractFilePath(name).size());
        keep_ = Keep::Kept;
        return true;
    }
    return false;
}

bool TVocab::FileHolds(const std::string& words) const {
    std::string held;
    return plat::ReadWholeFile(fileName_, held) &&
           (held == words || (fileKnown_ && held == fileBytes_ && words == fileWords_));
}

bool TVocab::SaveWords() {
    plat::MemoryStream words;
    const bool whole = WriteWords(words);
    // A write that fails loses nothing where the file holds these words
    // already; otherwise the player is told, except where no words file has
    // ever been (nothing of the player's is lost then either).
    const auto failed = [&](bool tell) {
        if (whole && FileHolds(words.Data()))
            return true;
        if (tell)
            plat::ShowMessage(plat::MsgKind::Warning, kWriteError, plat::MsgButtons::Ok);
        return false;
    };
    const bool existed = !plat::FileMissing(fileName_);
    if (!KeepDamagedFile())
        return failed(true);
    auto stream = plat::FileStream::CreateAtomic(fileName_);
    if (!stream)
        return failed(existed);
    if (whole && stream->WriteExact(words.Data().data(), words.Data().size()) && stream->Commit())
        return true;
    stream.reset(); // its temporary file goes
    return failed(true);
}
