// An edit-box validator for text that must stay single-byte: it refuses any
// character outside Latin-1 and any control character, so that nothing the
// player types is changed on the way into a std::string. An edit it refuses
// is undone whole by the box; Refused, when set, is told which characters it
// could not take, so that the box can say so.
#pragma once
#include <QString>
#include <QValidator>
#include <functional>

class QtLatin1Validator : public QValidator {
public:
    explicit QtLatin1Validator(QObject* parent = nullptr) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;
    // True when every character of Text can be kept as it is.
    static bool Storable(const QString& text);
    // The characters of Text outside Latin-1 that a reader would see, each
    // once, in their order: whole characters (a surrogate pair is one; a
    // lone surrogate half and control characters are left out).
    static QString Unstorable(const QString& text);
    // The note that names Letters (as Unstorable gives them): "The book
    // cannot write A, B or C."; empty when Letters is.
    static QString CannotWrite(const QString& letters);

    // Called with Unstorable(input) whenever an input is refused (not when
    // that is empty: only control characters refused).
    std::function<void(const QString& letters)> Refused;
};
