#include "common/core/TextDrawing.h"

void keyForValue(int &index, const QMap<int, int> &map)
{
    if (index <= 0)
        return;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.value() == index) {
            index = it.key();
            return;
        }
    }
    index = -1;
}

void cutAtEncodedNewline(QString &text)
{
    const int at = text.indexOf(QLatin1String("%0A"), 0, Qt::CaseInsensitive);
    if (at >= 0)
        text.truncate(at);
}
