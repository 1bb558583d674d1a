// The storybook's parts and widgets as the tests reach them: by their object
// names, as any tool outside the window would. A missing one fails the test
// at once.
#pragma once
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

#include "book/forms/CommandsPart.h"
#include "book/forms/CoverPart.h"
#include "book/forms/FocusFrame.h"
#include "book/forms/KeepsakesPart.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PageTurnPart.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/RecordVoicePart.h"
#include "book/forms/TwistsPart.h"

namespace fbwtest {

// The descendant of Root of type T named Name.
template <class T> T& Child(const QObject& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::logic_error(std::string("no ") + name);
    return *found;
}

inline TCoverPart& Cover(const QObject& book) {
    return Child<TCoverPart>(book, "CoverPart");
}
inline TLettersPart& Letters(const QObject& book) {
    return Child<TLettersPart>(book, "LettersPart");
}
inline TCommandsPart& Commands(const QObject& book) {
    return Child<TCommandsPart>(book, "CommandsPart");
}
inline TKeepsakesPart& Keepsakes(const QObject& book) {
    return Child<TKeepsakesPart>(book, "KeepsakesPart");
}
inline TReadToMePart& ReadToMe(const QObject& book) {
    return Child<TReadToMePart>(book, "ReadToMePart");
}
inline TRecordVoicePart& RecordVoice(const QObject& book) {
    return Child<TRecordVoicePart>(book, "RecordVoicePart");
}
inline TTwistsPart& Twists(const QObject& book) {
    return Child<TTwistsPart>(book, "TwistsPart");
}
inline TPageTurnPart& Turner(const QObject& book) {
    return Child<TPageTurnPart>(book, "PageTurnPart");
}
inline TFocusFrame& FocusFrameOf(const QObject& book) {
    return Child<TFocusFrame>(book, "FocusFrame");
}

} // namespace fbwtest
