// Speed of the word-list editor window on the offscreen platform, each step
// followed by the event processing that lays out and paints the window:
// - a class switch that hands 10,000 words back to the store and loads
//   another 10,000 into the list, against filling the platform's sorted
//   list widget with 10,000 words;
// - one keystroke in the new-word box with 10,000 words in the class (the
//   word made from the previous text replaced, its list position found, the
//   editor shown), against the same keystroke in a class of 10 words and in
//   a plain edit box.
// The words are made at run time from a fixed seed.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>
#include <set>

#include "platform/qt/Latin1.h"
#include "vocab/Vocab.h"
#include "vocab/WordStrings.h"
#include "wordlist/forms/FormWords.h"

namespace {
constexpr int kBig = 10000;

std::vector<std::string> MakeWords(int n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::set<std::string> seen;
    std::vector<std::string> words;
    while (static_cast<int>(words.size()) < n) {
        std::string w(4 + rng() % 7, 'a');
        for (char& ch : w)
            ch = static_cast<char>('a' + rng() % 26);
        if (rng() % 5 == 0)
            w[0] = UpCase(w[0]);
        std::string key = w;
        for (char& ch : key)
            ch = LowCase(ch);
        if (seen.insert(key).second)
            words.push_back(w);
    }
    return words;
}

void AddWords(TVocab& vocab, int wordClass, const std::vector<std::string>& words) {
    std::vector<TWordEntry> entries;
    for (const auto& w : words) {
        std::shared_ptr<TPartOfSpeech> word = TPartOfSpeech::Create(wordClass);
        word->SetWord(w);
        entries.push_back({w, std::move(word)});
    }
    vocab.ReplaceWordList(wordClass, entries);
}

void Settle() {
    QApplication::processEvents();
}

// A shown editor over a vocabulary without a file: 10,000 nouns and
// 10,000 verbs, 10 adjectives.
struct Editor {
    TVocab vocab{"", false};
    TFormWords form{vocab};
    Editor() {
        AddWords(vocab, wcNoun, MakeWords(kBig, 1));
        AddWords(vocab, wcVerb, MakeWords(kBig, 2));
        AddWords(vocab, wcAdjective, MakeWords(10, 3));
        form.show();
        Settle();
    }
};

// Made at first use, gone before the application.
std::unique_ptr<Editor> theEditor;
Editor& TheEditor() {
    if (!theEditor)
        theEditor = std::make_unique<Editor>();
    return *theEditor;
}

void Key(QWidget& box, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&box, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&box, &release);
}

void BM_SwitchClass10k(benchmark::State& state) {
    Editor& e = TheEditor();
    int next = wcNoun;
    for (auto _ : state) {
        e.form.SelectWordClass(next);
        Settle();
        next = next == wcNoun ? wcVerb : wcNoun;
    }
    state.SetItemsProcessed(state.iterations() * kBig);
}
BENCHMARK(BM_SwitchClass10k)->Unit(benchmark::kMillisecond);

void BM_PeerSortedListWidget10k(benchmark::State& state) {
    QStringList texts;
    for (const auto& w : MakeWords(kBig, 1))
        texts << ToQString(w);
    QListWidget list;
    list.setSortingEnabled(true);
    list.resize(167, 266);
    list.show();
    for (auto _ : state) {
        list.clear();
        list.addItems(texts);
        Settle();
    }
    state.SetItemsProcessed(state.iterations() * kBig);
}
BENCHMARK(BM_PeerSortedListWidget10k)->Unit(benchmark::kMillisecond);

// One keystroke: alternately a letter and a backspace after a word of four
// letters, so each one replaces the word made from the previous text.
void Keystrokes(benchmark::State& state, int wordClass) {
    Editor& e = TheEditor();
    e.form.SelectWordClass(wordClass);
    QLineEdit* box = e.form.findChild<QLineEdit*>("txtWord");
    box->setFocus();
    for (QChar ch : QString("mmno"))
        Key(*box, Qt::Key_unknown, ch);
    bool letter = true;
    for (auto _ : state) {
        if (letter)
            Key(*box, Qt::Key_P, "p");
        else
            Key(*box, Qt::Key_Backspace, "");
        Settle();
        letter = !letter;
    }
    box->clear();
}

void BM_Keystroke10k(benchmark::State& state) {
    Keystrokes(state, wcNoun);
}
BENCHMARK(BM_Keystroke10k)->Unit(benchmark::kMicrosecond);

void BM_PeerKeystroke10Words(benchmark::State& state) {
    Keystrokes(state, wcAdjective);
}
BENCHMARK(BM_PeerKeystroke10Words)->Unit(benchmark::kMicrosecond);

void BM_PeerKeystrokePlainBox(benchmark::State& state) {
    QLineEdit box;
    box.show();
    box.setText("mmno");
    bool letter = true;
    for (auto _ : state) {
        if (letter)
            Key(box, Qt::Key_P, "p");
        else
            Key(box, Qt::Key_Backspace, "");
        Settle();
        letter = !letter;
    }
}
BENCHMARK(BM_PeerKeystrokePlainBox)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    theEditor.reset();
    benchmark::Shutdown();
    return 0;
}
