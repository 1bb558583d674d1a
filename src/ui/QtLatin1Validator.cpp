// Refuses text that a single-byte string cannot hold as typed.
#include "ui/QtLatin1Validator.h"

bool QtLatin1Validator::Storable(const QString& text) {
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u > 0xFF || u < 0x20 || (u >= 0x7F && u < 0xA0))
            return false;
    }
    return true;
}

QValidator::State QtLatin1Validator::validate(QString& input, int&) const {
    return Storable(input) ? Acceptable : Invalid;
}
