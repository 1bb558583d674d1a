// Fuzz target: a words file read from arbitrary bytes. Reading never crashes
// and keeps the class lists sorted and merged; what was read writes out,
// reads back and writes out again to the same bytes; random choices over the
// words read stay within the lists.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Random.h"
#include "platform/MemoryStream.h"
#include "vocab/PartOfSpeech.h"
#include "vocab/Vocab.h"
#include "vocab/WordStrings.h"

namespace {
void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckLists(const TVocab& vocab) {
    for (int c = 0; c < kWordClassCount; ++c) {
        const TWordList& list = vocab.WordList(c);
        for (int i = 0; i < list.Count(); ++i) {
            Check(list[i].Word != nullptr && list[i].Word->WordClass() == c);
            const TPartOfSpeech& w = *list[i].Word;
            Check(SameTextIgnoringCase(list[i].Text, w.Word()));
            // The form mask that the random choice relies on matches the forms.
            for (int n = 0; n < TPartOfSpeech::kFormCount; ++n) {
                const std::string& form = w.Form(n);
                Check(((w.FormMask() >> (2 * n)) & 1) == !form.empty());
                Check(((w.FormMask() >> (2 * n + 1)) & 1) ==
                      (!form.empty() && form.find(' ') == std::string::npos));
            }
            if (i > 0)
                Check(CompareTextIgnoringCase(list[i - 1].Text, list[i].Text) < 0);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::MemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    TVocab vocab("", false);
    vocab.ReadWords(in);
    CheckLists(vocab);

    plat::MemoryStream first;
    Check(vocab.WriteWords(first));
    first.Seek(0);
    TVocab again("", false);
    Check(again.ReadWords(first));
    CheckLists(again);
    plat::MemoryStream second;
    Check(again.WriteWords(second));
    Check(second.Data() == first.Data());

    // A few choices with flags taken from the input's last bytes.
    SetRandSeed(static_cast<uint32_t>(size));
    for (size_t i = 0; i < 8 && i < size; ++i) {
        uint16_t flags = static_cast<uint16_t>(data[size - 1 - i] * 257u);
        int cls = data[size - 1 - i] % kWordClassCount;
        std::string word = vocab.ChooseWord(cls, flags);
        Check(vocab.LastChosen(cls) >= 0);
        Check(vocab.WordList(cls).Count() == 0 ||
              vocab.LastChosen(cls) < vocab.WordList(cls).Count());
        Check(word.size() <= 32767 + 3);
    }
    return 0;
}
