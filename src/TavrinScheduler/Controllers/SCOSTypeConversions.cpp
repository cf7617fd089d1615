#include "SCOSTypeConversions.h"

#include "FourCharCode.h"

uint32_t getOSType(const QString& text) {
    char bytes[4] = {0, 0, 0, 0};
    const QByteArray latin1 = text.left(4).toLatin1();
    for (qsizetype i = 0; i < latin1.size(); ++i) {
        bytes[i] = latin1[i];
    }
    return QorCodeFromBytes(bytes);
}

QString stringFromOSType(uint32_t code) {
    char chars[5];
    QorCodeToChars(code, chars);
    return QString::fromLatin1(chars); // up to the first zero byte
}

QString fourCharacterString(uint32_t code) {
    char chars[5];
    QorCodeToChars(code, chars);
    return QString::fromLatin1(chars, 4);
}
