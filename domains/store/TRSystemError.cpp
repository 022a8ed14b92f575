#include "TRSystemError.h"

#include <cstring>

QString trSystemError(int code)
{
    char buffer[256];
    return QString::fromLocal8Bit(::strerror_r(code, buffer, sizeof buffer));
}
