// The story generator: template loading and whole stories, told and told
// again.
#include "story/Generate.h"

#include <algorithm>
#include <exception>

#include "base/LumUtil.h"
#include "base/Random.h"
#include "data/InitGame.h"
#include "data/ObfText.h"
#include "story/CoverLine.h"
#include "story/TokenTable.h"
#include "vocab/Vocab.h"

namespace {

constexpr std::string_view kMarker = "\\n";

} // namespace

TStoryGenerator::Files TStoryGenerator::Files::Game() {
    Files f;
    f.dataFolder = DataFolder;
    f.wordsFile = InstallFolder + "words.dat";
    f.settingsFile = SettingsFileName;
    return f;
}

TStoryGenerator::TStoryGenerator() : TStoryGenerator(Files::Game()) {}

TStoryGenerator::TStoryGenerator(const Files& files)
    : files_(files), vocab_(std::make_unique<TVocab>(files_.wordsFile, files_.saveWords)),
      expander_(definitions_, *vocab_), replay_(*vocab_) {
    const TLineFilter acceptAll = [](std::string&) { return true; };
    for (int n = 1; n <= kTaleCount; ++n) {
        const std::string number = std::to_string(n);
        const std::string plain = files_.dataFolder + "ml" + number + ".dat";
        const std::string scrambled = files_.dataFolder + "sb" + number + ".dat";
        RefreshScrambledFile(plain, scrambled, acceptAll);
        std::vector<std::string> lines;
        try {
            TObfText text(scrambled);
            std::string line;
            do {
                text.ReadLine(line);
                lines.push_back(line);
            } while (!text.AtEnd());
        } catch (const std::exception&) {
            // A template that cannot be read keeps what was read.
        }
        SetTemplate(n, std::move(lines));
    }
    if (!files_.settingsFile.empty()) {
        ReadIniString("Story", "Hero", "", HeroName, files_.settingsFile);
        ReadIniString("Story", "Heroine", "", HeroineName, files_.settingsFile);
    }
}

TStoryGenerator::~TStoryGenerator() {
    if (files_.saveSettings && !files_.settingsFile.empty()) {
        WriteIniString("Story", "Hero", HeroName, files_.settingsFile);
        WriteIniString("Story", "Heroine", HeroineName, files_.settingsFile);
    }
    vocab_.reset();
}

void TStoryGenerator::SetTemplate(int taleNumber, std::vector<std::string> lines) {
    if (taleNumber < 1 || taleNumber > kTaleCount)
        return;
    Tale& tale = tales_[taleNumber - 1];
    tale.tokenized = lines;
    for (std::string& line : tale.tokenized)
        ReplaceTokenWords(line);
    tale.caches.assign(lines.size(), TDefinitionTable::LineCache());
    tale.lines = std::move(lines);
}

const std::vector<std::string>& TStoryGenerator::Template(int taleNumber) const {
    static const std::vector<std::string> none;
    if (taleNumber < 1 || taleNumber > kTaleCount)
        return none;
    return tales_[taleNumber - 1].lines;
}

bool TStoryGenerator::HasTales() const {
    return std::any_of(tales_.begin(), tales_.end(), [](const Tale& tale) {
        return std::any_of(tale.lines.begin(), tale.lines.end(),
                           [](const std::string& line) { return !line.empty(); });
    });
}

void TStoryGenerator::SetTwistLevel(int percent) {
    twistPercent_ = std::clamp(percent, 0, 100);
}

std::string TStoryGenerator::GetCoverLine(int taleNumber) const {
    const auto& lines = Template(taleNumber);
    if (lines.empty())
        return std::string();
    std::string cover = lines[0];
    while (cover.size() >= 2 && cover.compare(cover.size() - 2, 2, kMarker) == 0)
        cover.resize(cover.size() - 2);
    return cover;
}

std::string TStoryGenerator::GetTitle(int taleNumber) const {
    const std::string& title = expander_.Title();
    return TCoverLine::Parse(title.empty() ? GetCoverLine(taleNumber) : title).text;
}

void TStoryGenerator::Reseed() {
    if (fixedSeed_)
        SetRandSeed(*fixedSeed_);
    else
        Randomize();
}

const std::vector<std::string>& TStoryGenerator::GenerateStory(int taleNumber) {
    Reseed();
    replay_.Note(taleNumber, twistPercent_, expander_.LastTwistDecision(), HeroName, HeroineName);
    Tell(nullptr);
    return storyLines_;
}

void TStoryGenerator::Tell(const std::vector<TWordChoice>* words) {
    // The story is told from what it was first told from: the names and the
    // twist of that time, the same draws.
    struct Recording {
        TStoryExpander& expander;
        TStoryReplay& replay;
        ~Recording() {
            expander.SetRecorder(nullptr);
            replay.End();
        }
    } recording{expander_, replay_};
    const TStoryReplay::Told& told = replay_.Story();
    replay_.Begin(words);
    expander_.SetRecorder(&replay_);
    expander_.SetTeller(told.twistPercent, told.heroName, told.heroineName);
    expander_.SetLastTwistDecision(told.lastTwistDecision);
    expander_.BeginStory();

    int taleNumber = told.taleNumber;
    if (taleNumber < 1 || taleNumber > kTaleCount)
        taleNumber = Random(kTaleCount) + 1;
    definitions_.Clear();
    // The line strings of the last story are reused; line 0 is the title.
    std::size_t count = 1;
    if (storyLines_.empty())
        storyLines_.emplace_back();
    Tale& tale = tales_[taleNumber - 1];
    for (std::size_t i = 1; i < tale.tokenized.size(); ++i) {
        if (storyLines_.size() <= count)
            storyLines_.emplace_back();
        expander_.ExpandInto(tale.tokenized[i], storyLines_[count], &tale.caches[i], &lineRuns_);
        if (!storyLines_[count].empty())
            replay_.AddLine(static_cast<uint32_t>(count++), lineRuns_);
    }
    storyLines_.resize(count);
    storyLines_[0] = GetTitle(taleNumber);
    // The title loses its leading flags as the cover line does.
    if (!expander_.Title().empty())
        replay_.AddTitle(expander_.TitleRuns(), expander_.Title().size() - storyLines_[0].size());
    storyLines_[0] += kMarker;
    storyLines_[0] += kMarker;
}

bool TStoryGenerator::Retell(const std::vector<int32_t>& positions) {
    const std::optional<std::vector<TWordChoice>> words = replay_.WordsAt(positions);
    if (!words)
        return false;
    // Telling again reseeds; the draws go on afterwards as they would have.
    const uint32_t seed = RandSeed();
    Tell(&*words);
    SetRandSeed(seed);
    return true;
}

bool TStoryGenerator::SwapAgain(std::size_t choice) {
    const std::optional<std::vector<int32_t>> positions = replay_.SwappedPositions(choice);
    return positions && Retell(*positions);
}

void TStoryGenerator::ReplaceTokenWords(std::string& line) {
    for (const TTokenWord& token : kTokenWords) {
        // The text before a replaced "@c" holds no occurrence, and none can
        // start on the "@", so each search may go on after it.
        std::size_t pos = 0;
        while ((pos = line.find(token.word, pos)) != std::string::npos) {
            line[pos] = '@';
            line[pos + 1] = token.code;
            line.erase(pos + 2, token.word.size() - 2);
            ++pos;
        }
    }
}

std::string TStoryGenerator::ExpandLine(const std::string& line) {
    std::string s = line;
    ReplaceTokenWords(s);
    expander_.SetTeller(twistPercent_, HeroName, HeroineName);
    std::string out;
    expander_.ExpandInto(s, out);
    return out;
}
