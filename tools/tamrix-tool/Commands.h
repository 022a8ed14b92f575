#pragma once

#include <QStringList>

// The subcommands of tamrix-tool; each answers the process exit status.
int plistCommand(const QStringList &args);
int storeCommand(const QStringList &args);
int archiveCommand(const QStringList &args);
