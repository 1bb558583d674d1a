// The vocabulary choice of each code letter.
#include "story/TokenTable.h"

#include "vocab/WordFlags.h"

bool TokenChoiceOf(char code, TTokenChoice& choice) {
    switch (code) {
    case '1':
        choice = {wcNoun, wfArticle};
        return true;
    case '2':
        choice = {wcNoun, wfPlural};
        return true;
    case 'N':
        choice = {wcNoun, 0};
        return true;
    case 'D':
        choice = {wcAdjective, wfAdverb};
        return true;
    case '3':
        choice = {wcAdjective, wfArticle};
        return true;
    case 'A':
        choice = {wcAdjective, 0};
        return true;
    case 'V':
        choice = {wcVerb, 0};
        return true;
    case 'W':
        choice = {wcVerb, wfPresent};
        return true;
    case 'X':
        choice = {wcVerb, wfPast};
        return true;
    case 'Y':
        choice = {wcVerb, wfContinuous};
        return true;
    case 'H':
        choice = {wcProperNoun, wfMale};
        return true;
    case 'I':
        choice = {wcProperNoun, wfFemale};
        return true;
    case 'J':
        choice = {wcProperNoun, wfMale | wfShortForm};
        return true;
    case 'K':
        choice = {wcProperNoun, wfFemale | wfShortForm};
        return true;
    case 'M':
        choice = {wcProperNoun, wfMale};
        return true;
    case 'F':
        choice = {wcProperNoun, wfFemale};
        return true;
    case 'C':
        choice = {wcProperNoun, 0};
        return true;
    case 'R':
        choice = {wcAdjective, wfBigger};
        return true;
    case 'Z':
        choice = {wcAdjective, wfBiggest};
        return true;
    case 'P':
        choice = {wcPlace, 0};
        return true;
    case 'T':
        choice = {wcVerb, wfParticiple};
        return true;
    case '4':
        choice = {wcProperNoun, wfMale | wfShortForm};
        return true;
    case '5':
        choice = {wcProperNoun, wfFemale | wfShortForm};
        return true;
    case '6':
        choice = {wcProperNoun, wfShortForm};
        return true;
    default:
        return false;
    }
}
