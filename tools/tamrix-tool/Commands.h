#pragma once

#include <QStringList>

// The subcommands of tamrix-tool. Each takes the arguments after its own name, writes results to
// standard output and errors to standard error, and answers the process exit status.
int plistCommand(const QStringList &arguments);
int storeCommand(const QStringList &arguments);
int archiveCommand(const QStringList &arguments);
