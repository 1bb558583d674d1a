// The word-list editor's rules without a window: the list of one word class,
// the word being typed, the selection and what the editor shows of it.
#pragma once
#include "wordlist/WordListEditor.h"
#include "wordlist/WordListObserver.h"
