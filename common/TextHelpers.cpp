#include "common/TextHelpers.h"

QString elideText(const QString &text, int maxLength)
{
    if (text.length() <= maxLength)
        return text;
    if (maxLength <= 1)
        return text.left(qMax(0, maxLength));
    return text.left(maxLength - 1) + QChar(0x2026);
}
