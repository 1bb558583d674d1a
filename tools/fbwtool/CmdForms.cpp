// fbwtool forms: the automatic forms the word rules give a word.
#include <cstdio>

#include "Command.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"

namespace {

void Print(const char* form, const std::string& value) {
    std::printf("%s: %s\n", form, value.c_str());
}

int RunForms(const Args& args) {
    if (args.size() != 2)
        return Fail("usage: fbwtool forms name|noun|verb|adjective|place WORD");
    const std::string& cls = args[0];
    const std::string& word = args[1];
    if (cls == "name") {
        Print("short", TProperNoun::AutoShortForm(word));
    } else if (cls == "noun") {
        Print("plural", TNoun::AutoPlural(word));
    } else if (cls == "verb") {
        Print("past", TVerb::AutoPastTense(word));
        Print("present", TVerb::AutoPresentTense(word));
        Print("continuous", TVerb::AutoContinuous(word));
        Print("participle", TVerb::AutoPastTense(word));
    } else if (cls == "adjective") {
        Print("bigger", TAdjective::AutoBigger(word));
        Print("biggest", TAdjective::AutoBiggest(word));
        Print("adverb", TAdjective::AutoAdverb(word));
    } else if (cls != "place") {
        return Fail("unknown word class \"" + cls + "\" (name, noun, verb, adjective or place)");
    }
    return 0;
}

RegisterCommand formsCmd({"forms",
                          "  fbwtool forms name|noun|verb|adjective|place WORD\n"
                          "      print the automatic forms of a word, one \"form: value\" a line",
                          RunForms});

} // namespace
