#pragma once

#include <QStringList>
#include <cstdio>

// The exit status of a command-line mistake (as sysexits' EX_USAGE).
inline constexpr int kExitUsage = 64;

// The subcommands of tamrix-tool. Each takes the arguments after its own name, writes results to
// standard output and errors to standard error, and answers the process exit status: 0 on success, 1 on
// failure, kExitUsage for wrong arguments.
int plistCommand(const QStringList &arguments);
// Writes the text and a line break, as UTF-8.
void printLine(FILE *stream, const QString &text);
int storeCommand(const QStringList &arguments);
int archiveCommand(const QStringList &arguments);
int historyCommand(const QStringList &arguments);
int keyCommand(const QStringList &arguments);

class TRDefaultsStore;
// Gives the store the history, so that every write and removal keeps the versions it replaces and
// leaves; a history that cannot be written is told on standard error, and the command goes on.
void useHistory(TRDefaultsStore &store);
// store watch: runs until interrupted, printing the key-level changes of the domains (all when none given).
int watchStore(TRDefaultsStore &store, const QStringList &domains);
