// Fuzz target: the binary property-list reader on arbitrary bytes.
#include "plist/TRBinaryPlistReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TRValue value;
    QString error;
    if (!TRBinaryPlistReader(bytes).read(&value, &error) && error.isEmpty())
        __builtin_trap(); // a refusal must say why
    return 0;
}
