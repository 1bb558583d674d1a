// An edit-box validator for text that must stay single-byte: it refuses any
// character outside Latin-1 and any control character, so that nothing the
// player types is changed on the way into a std::string.
#pragma once
#include <QValidator>

class QtLatin1Validator : public QValidator {
public:
    explicit QtLatin1Validator(QObject* parent = nullptr) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;
    // True when every character of Text can be kept as it is.
    static bool Storable(const QString& text);
};
