// The word records: byte layout, round trips and damaged streams.
#include <gtest/gtest.h>

#include "base/LumException.h"
#include "platform/MemoryStream.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/Place.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/WordStrings.h"

namespace {
std::string Str(const std::string& s) {
    std::string out;
    out += static_cast<char>(s.size() & 0xFF);
    out += static_cast<char>(s.size() >> 8);
    return out + s;
}

std::string Saved(const TPartOfSpeech& w) {
    plat::MemoryStream s;
    w.SaveToStream(s);
    return s.Data();
}

std::unique_ptr<TPartOfSpeech> Load(int cls, const std::string& bytes) {
    plat::MemoryStream s(bytes);
    return TPartOfSpeech::CreateFromStream(cls, s);
}
} // namespace

TEST(WordString, LittleEndianAndNonPositiveLengths) {
    std::string big(300, 'x');
    plat::MemoryStream s;
    WriteWordString(s, big);
    EXPECT_EQ(s.Data().substr(0, 2), std::string("\x2C\x01", 2)) << "300 little-endian";

    // A length of 0 or less gives "" and reads nothing more.
    plat::MemoryStream neg(std::string("\xFF\xFF", 2) + Str("next"));
    EXPECT_EQ(ReadWordString(neg), "");
    EXPECT_EQ(ReadWordString(neg), "next");
    plat::MemoryStream minLen(std::string("\x00\x80zz", 4));
    EXPECT_EQ(ReadWordString(minLen), "");
    EXPECT_EQ(minLen.Position(), 2);
}

TEST(WordString, TooLongTextKeepsTheFileReadable) {
    plat::MemoryStream s;
    WriteWordString(s, std::string(40000, 'a'));
    WriteWordString(s, "after");
    s.Seek(0);
    EXPECT_EQ(ReadWordString(s).size(), 32767u);
    EXPECT_EQ(ReadWordString(s), "after");
}

TEST(WordRecord, LayoutOfEachClass) {
    TProperNoun p;
    p.SetWord("Bob");
    p.Male = true;
    p.SetShortForm("Bobby");
    EXPECT_EQ(Saved(p), Str("Bob") + '\x01' + Str("Bobby"));

    TNoun n;
    n.SetWord("mouse");
    n.SetPlural("mice");
    EXPECT_EQ(Saved(n), Str("mouse") + Str("mice"));

    TVerb v;
    v.SetWord("run");
    v.SetPastTense("ran");
    v.SetParticiple("run");
    EXPECT_EQ(Saved(v), Str("run") + Str("ran") + Str("") + Str("") + Str("run"));

    TAdjective a;
    a.SetWord("good");
    a.SetBigger("better");
    a.SetAdverb("well");
    EXPECT_EQ(Saved(a), Str("good") + Str("better") + Str("") + '\x01' + Str("well"));
    a.AdverbAllowed = false;
    EXPECT_EQ(Saved(a), Str("good") + Str("better") + Str("") + '\x00')
        << "no adverb string without AdverbAllowed";

    TPlace pl;
    pl.SetWord("Paris");
    EXPECT_EQ(Saved(pl), Str("Paris"));
}

TEST(WordRecord, RoundTripKeepsEveryField) {
    TVerb v;
    v.SetWord("swim across");
    v.SetPastTense("swam across");
    v.SetPresentTense("swims across!");
    v.SetContinuous("swimming across");
    v.SetParticiple("swum across");
    auto back = Load(wcVerb, Saved(v));
    ASSERT_EQ(back->WordClass(), wcVerb);
    const auto& w = static_cast<const TVerb&>(*back);
    EXPECT_EQ(w.Word(), "swim across");
    EXPECT_EQ(w.PastTense(), "swam across");
    EXPECT_EQ(w.PresentTense(), "swims across!");
    EXPECT_EQ(w.Continuous(), "");
    EXPECT_EQ(w.GetContinuous(), "swimming across");
    EXPECT_EQ(w.Participle(), "swum across");
    EXPECT_FALSE(w.Used);
    EXPECT_EQ(Saved(w), Saved(v));
}

TEST(WordRecord, ReadingDefaultsAndFlags) {
    // Any non-zero byte is male.
    auto p = Load(wcProperNoun, Str("Al") + '\x7F' + Str(""));
    EXPECT_TRUE(static_cast<TProperNoun&>(*p).Male);
    EXPECT_EQ(static_cast<TProperNoun&>(*p).GetShortForm(), "Al");
    EXPECT_FALSE(TProperNoun().Male) << "names start female";
    EXPECT_TRUE(TAdjective().AdverbAllowed);

    // A zero AdverbAllowed byte: no adverb string, the next bytes belong to
    // the next word.
    plat::MemoryStream s(Str("red") + Str("") + Str("") + '\x00' + Str("blue") + Str("") + Str("") +
                         '\x02' + Str("bluely!"));
    auto red = TPartOfSpeech::CreateFromStream(wcAdjective, s);
    auto blue = TPartOfSpeech::CreateFromStream(wcAdjective, s);
    EXPECT_FALSE(static_cast<TAdjective&>(*red).AdverbAllowed);
    EXPECT_EQ(static_cast<TAdjective&>(*red).Adverb(), "");
    EXPECT_EQ(blue->Word(), "blue");
    EXPECT_EQ(static_cast<TAdjective&>(*blue).GetAdverb(), "bluely!");
}

TEST(WordRecord, FactoryAndDamagedRecords) {
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(TPartOfSpeech::Create(c)->WordClass(), c);
    EXPECT_EQ(TPartOfSpeech::Create(5), nullptr);
    EXPECT_EQ(TPartOfSpeech::Create(-1), nullptr);
    EXPECT_THROW(Load(9, Str("x")), LumException);

    plat::MemoryStream cut(std::string("\x05\x00"
                                       "abc",
                                       5));
    EXPECT_THROW(ReadWordString(cut), LumException);
    EXPECT_THROW(Load(wcProperNoun, Str("Al")), LumException) << "ends before the sex byte";
    EXPECT_THROW(Load(wcVerb, Str("go") + Str("went")), LumException);
    EXPECT_THROW(Load(wcAdjective, Str("red") + Str("") + Str("") + '\x01'), LumException);
}
