// Placeholder so that the tool links until the archive commands land.
#include "Commands.h"

#include <cstdio>

int archiveCommand(const QStringList &)
{
    std::fputs("tamrix-tool: archive commands are not available yet\n", stderr);
    return 1;
}
