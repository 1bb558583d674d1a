// The token words of the templates with their code letters, and the
// vocabulary choice each code letter makes when it is swapped.
#pragma once
#include <cstdint>
#include <string_view>

// The token words in the order they are replaced: every token comes before
// the shorter tokens it contains.
struct TTokenWord {
    std::string_view word;
    char code;
};
inline constexpr TTokenWord kTokenWords[] = {
    {"ANOUN", '1'},  {"NOUNS", '2'},  {"NOUN", 'N'},    {"ADVERB", 'D'}, {"AADJ", '3'},
    {"ADJ", 'A'},    {"VERB", 'V'},   {"PRESENT", 'W'}, {"PAST", 'X'},   {"ING", 'Y'},
    {"MHERO", 'H'},  {"FHERO", 'I'},  {"MHER", 'J'},    {"FHER", 'K'},   {"##", '#'},
    {"LIQUID", 'L'}, {"MCELEB", 'M'}, {"FCELEB", 'F'},  {"CELEB", 'C'},  {"ER", 'R'},
    {"EST", 'Z'},    {"PLACE", 'P'},  {"PART", 'T'},    {"MCEL", '4'},   {"FCEL", '5'},
    {"CEL", '6'},
};

// A vocabulary choice: the word class and the flags of a code letter.
struct TTokenChoice {
    int wordClass;
    uint16_t flags;
};

// The word class and flags of a code letter that chooses from the vocabulary
// (codes compared upper-cased by the caller); false for codes that choose no
// word ('#', 'L') and for unknown ones. MHERO, FHERO, MHER and FHER give the
// choice made when no name is typed.
bool TokenChoiceOf(char code, TTokenChoice& choice);
