// Placeholder so that the tool links until the store's commands land.
#include "Commands.h"

#include <cstdio>

int storeCommand(const QStringList &)
{
    std::fputs("tamrix-tool: store commands are not available yet\n", stderr);
    return 1;
}
