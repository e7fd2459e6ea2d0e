#include "util/FmxUtils.h"

bool ExecuteFile(const QString &, const QString &, const QString &, int)
{
    return false;
}
