// fbwtool words: the words file as editable text and back.
//
// Source format, one word a line, fields separated by tabs:
//   CLASS<TAB>WORD[<TAB>FIELD]...
// CLASS is name, noun, verb, adjective or place; the fields are male, female,
// short=X, plural=X, past=X, present=X, continuous=X, participle=X, bigger=X,
// biggest=X, adverb=X and noadverb, each for its own class. A line starting
// with # is a comment; blank lines are skipped. In WORD and the values, \t,
// \n, \r and \\ stand for a tab, a line feed, a carriage return and a
// backslash (any other backslash is itself), so that every word survives a
// dump and build.
#include <array>
#include <cstdio>
#include <string_view>

#include "Command.h"
#include "platform/FileStream.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/Vocab.h"

namespace {

const std::array<const char*, kWordClassCount> kClassNames = {"name", "noun", "verb", "adjective",
                                                              "place"};

std::string Escape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char ch : s) {
        switch (ch) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char next = s[i + 1];
            char plain = next == '\\'  ? '\\'
                         : next == 't' ? '\t'
                         : next == 'n' ? '\n'
                         : next == 'r' ? '\r'
                                       : 0;
            if (plain) {
                out += plain;
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// ---- dump ----

void Field(std::string& line, const char* name, const std::string& stored) {
    if (!stored.empty())
        line += std::string("\t") + name + "=" + Escape(stored);
}

std::string DumpLine(const TPartOfSpeech& word) {
    std::string line = std::string(kClassNames[word.WordClass()]) + "\t" + Escape(word.Word());
    switch (word.WordClass()) {
    case wcProperNoun: {
        const auto& n = static_cast<const TProperNoun&>(word);
        line += n.Male ? "\tmale" : "\tfemale";
        Field(line, "short", n.ShortForm());
        break;
    }
    case wcNoun:
        Field(line, "plural", static_cast<const TNoun&>(word).Plural());
        break;
    case wcVerb: {
        const auto& v = static_cast<const TVerb&>(word);
        Field(line, "past", v.PastTense());
        Field(line, "present", v.PresentTense());
        Field(line, "continuous", v.Continuous());
        Field(line, "participle", v.Participle());
        break;
    }
    case wcAdjective: {
        const auto& a = static_cast<const TAdjective&>(word);
        Field(line, "bigger", a.Bigger());
        Field(line, "biggest", a.Biggest());
        if (a.AdverbAllowed)
            Field(line, "adverb", a.Adverb());
        else
            line += "\tnoadverb";
        break;
    }
    default:
        break;
    }
    return line;
}

int Dump(const std::string& file) {
    auto stream = plat::FileStream::Open(file);
    if (!stream)
        return Fail("cannot open " + file);
    TVocab vocab("", false);
    bool complete = vocab.ReadWords(*stream);
    for (int c = 0; c < kWordClassCount; ++c) {
        for (const auto& e : vocab.WordList(c)) {
            std::string line = DumpLine(*e.Word) + "\n";
            std::fwrite(line.data(), 1, line.size(), stdout);
        }
    }
    if (FinishOutput() != 0)
        return 1;
    if (!complete)
        return Fail(file + ": Error reading vocabulary file - vocabulary may be incomplete.");
    return 0;
}

// ---- build ----

// Applies one field of a source line to Word; false with Error set when the
// field is unknown or belongs to another class.
bool ApplyField(TPartOfSpeech& word, std::string_view field, std::string& error) {
    auto eq = field.find('=');
    std::string key(field.substr(0, eq));
    bool hasValue = eq != std::string_view::npos;
    std::string value = hasValue ? Unescape(field.substr(eq + 1)) : std::string();
    int wants = -1; // the class the field belongs to
    bool ok = false;
    if (!hasValue && (key == "male" || key == "female")) {
        wants = wcProperNoun;
        if ((ok = word.WordClass() == wants))
            static_cast<TProperNoun&>(word).Male = key == "male";
    } else if (hasValue && key == "short") {
        wants = wcProperNoun;
        if ((ok = word.WordClass() == wants))
            static_cast<TProperNoun&>(word).SetShortForm(value);
    } else if (hasValue && key == "plural") {
        wants = wcNoun;
        if ((ok = word.WordClass() == wants))
            static_cast<TNoun&>(word).SetPlural(value);
    } else if (hasValue &&
               (key == "past" || key == "present" || key == "continuous" || key == "participle")) {
        wants = wcVerb;
        if ((ok = word.WordClass() == wants)) {
            auto& v = static_cast<TVerb&>(word);
            if (key == "past")
                v.SetPastTense(value);
            else if (key == "present")
                v.SetPresentTense(value);
            else if (key == "continuous")
                v.SetContinuous(value);
            else
                v.SetParticiple(value);
        }
    } else if ((hasValue && (key == "bigger" || key == "biggest" || key == "adverb")) ||
               (!hasValue && key == "noadverb")) {
        wants = wcAdjective;
        if ((ok = word.WordClass() == wants)) {
            auto& a = static_cast<TAdjective&>(word);
            if (key == "bigger")
                a.SetBigger(value);
            else if (key == "biggest")
                a.SetBiggest(value);
            else if (key == "adverb")
                a.SetAdverb(value);
            else
                a.AdverbAllowed = false;
        }
    }
    if (wants < 0)
        error = "unknown field \"" + std::string(field) + "\"";
    else if (!ok)
        error = "field \"" + key + "\" belongs to the class " + kClassNames[wants] + ", not " +
                kClassNames[word.WordClass()];
    return ok;
}

// The word of one source line; nullptr with Error set for a bad line.
std::shared_ptr<TPartOfSpeech> ParseLine(std::string_view line, std::string& error) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    int wordClass = -1;
    for (int c = 0; c < kWordClassCount; ++c)
        if (fields[0] == kClassNames[c])
            wordClass = c;
    if (wordClass < 0) {
        error = "unknown word class \"" + std::string(fields[0]) +
                "\" (name, noun, verb, adjective or place)";
        return nullptr;
    }
    if (fields.size() < 2) {
        error = "expected CLASS<TAB>WORD";
        return nullptr;
    }
    std::shared_ptr<TPartOfSpeech> word = TPartOfSpeech::Create(wordClass);
    word->SetWord(Unescape(fields[1]));
    for (std::size_t i = 2; i < fields.size(); ++i) {
        if (fields[i].empty())
            continue;
        if (!ApplyField(*word, fields[i], error))
            return nullptr;
    }
    return word;
}

int Build(const std::string& source, const std::string& out) {
    auto in = plat::FileStream::Open(source);
    if (!in)
        return Fail("cannot open " + source);
    std::string text(static_cast<std::size_t>(in->Size()), '\0');
    if (!in->ReadExact(text.data(), text.size()))
        return Fail("cannot read " + source);

    TVocab vocab("", false);
    int lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line.find_first_not_of(' ') == std::string_view::npos)
            continue;
        std::string error;
        auto word = ParseLine(line, error);
        if (!word)
            return Fail(source + " line " + std::to_string(lineNumber) + ": " + error);
        vocab.AddWord(std::move(word));
    }

    for (int c = 0; c < kWordClassCount; ++c) {
        if (vocab.WordList(c).Count() > TVocab::kMaxWordsPerClass)
            std::fprintf(stderr, "fbwtool: %d words of class %s; the file keeps the first %d\n",
                         vocab.WordList(c).Count(), kClassNames[c], TVocab::kMaxWordsPerClass);
    }
    std::string why;
    auto file = plat::FileStream::CreateAtomic(out, &why);
    if (!file)
        return Fail("cannot write " + out + ": " + why);
    if (!vocab.WriteWords(*file) || !file->Commit())
        return Fail("cannot write " + out + ": " + file->Failure());
    return 0;
}

int RunWords(const Args& args) {
    if (args.size() == 2 && args[0] == "dump")
        return Dump(args[1]);
    if (args.size() == 3 && args[0] == "build")
        return Build(args[1], args[2]);
    return Fail("usage: fbwtool words dump FILE | fbwtool words build SOURCE OUT");
}

RegisterCommand
    wordsCmd({"words",
              "  fbwtool words dump FILE\n"
              "      print a words file in the vocabulary source format\n"
              "  fbwtool words build SOURCE OUT\n"
              "      compile a vocabulary source into a words file; one word a line:\n"
              "      CLASS<TAB>WORD then tab-separated fields: male, female, short=X,\n"
              "      plural=X, past=X, present=X, continuous=X, participle=X, bigger=X,\n"
              "      biggest=X, adverb=X, noadverb; lines starting with # are comments",
              RunWords});

} // namespace
