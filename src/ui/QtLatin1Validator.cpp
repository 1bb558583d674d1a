// Refuses text that a single-byte string cannot hold as typed, and names
// what it refused.
#include "ui/QtLatin1Validator.h"

#include <QStringList>

bool QtLatin1Validator::Storable(const QString& text) {
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u > 0xFF || u < 0x20 || (u >= 0x7F && u < 0xA0))
            return false;
    }
    return true;
}

QString QtLatin1Validator::Unstorable(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        QString one;
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            one = text.mid(i, 2);
            ++i;
        } else if (ch.unicode() > 0xFF && !ch.isSurrogate()) {
            one = ch;
        }
        if (!one.isEmpty() && !out.contains(one))
            out += one;
    }
    return out;
}

QString QtLatin1Validator::CannotWrite(const QString& letters) {
    QStringList each;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const qsizetype n = letters[i].isHighSurrogate() && i + 1 < letters.size() ? 2 : 1;
        each << letters.mid(i, n);
        i += n - 1;
    }
    if (each.isEmpty())
        return {};
    const QString last = each.takeLast();
    return "The book cannot write " + (each.isEmpty() ? last : each.join(", ") + " or " + last) +
           ".";
}

QValidator::State QtLatin1Validator::validate(QString& input, int&) const {
    if (Storable(input))
        return Acceptable;
    if (Refused) {
        if (const QString letters = Unstorable(input); !letters.isEmpty())
            Refused(letters);
    }
    return Invalid;
}
