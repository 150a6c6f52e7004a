#include "fakes.h"

#include <QFileInfo>

QStringList RecordingSound::names() const
{
    QStringList out;
    for (const Call &c : calls)
        out.append(QFileInfo(c.path).fileName());
    return out;
}
