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

// Keeps the domain's version in the store as its newest in the history before a command replaces or
// removes it, the source saying why. A history that cannot be written is told on standard error and
// answers false; the command goes on.
bool keepReplacedVersion(const QString &domain, const QString &source);
