// Word class numbers and the word flags of a vocabulary choice.
#pragma once
#include <cstdint>

enum TWordClass : uint8_t {
    wcProperNoun = 0,
    wcNoun = 1,
    wcVerb = 2,
    wcAdjective = 3,
    wcPlace = 4,
};
inline constexpr int kWordClassCount = 5;

enum TWordFlag : uint16_t {
    wfMale = 0x0001,        // proper nouns: male names are candidates
    wfFemale = 0x0002,      // proper nouns: female names (neither flag: all names)
    wfShortForm = 0x0004,   // proper noun's short form
    wfPlural = 0x0008,      // noun's plural
    wfPast = 0x0010,        // verb's past tense
    wfPresent = 0x0020,     // verb's present tense
    wfContinuous = 0x0040,  // verb's -ing form
    wfParticiple = 0x0080,  // verb's participle
    wfBigger = 0x0100,      // adjective's comparative
    wfBiggest = 0x0200,     // adjective's superlative
    wfAdverb = 0x0400,      // adjective's adverb (only where an adverb is allowed)
    wfAllowRepeat = 0x0800, // words already used in this story count as fresh
    wfSingleWord = 0x1000,  // only forms without a space are candidates
    wfCapitalize = 0x2000,  // upper-case the first letter of every word of the result
    wfArticle = 0x4000,     // put "a " or "an " before the result
    wfSameAsLast = 0x8000,  // take the word chosen last in this class again
};
