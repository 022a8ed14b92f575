#pragma once

#include <QString>
#include <QStringList>

// Key paths as Copy Key Path writes them and Go to Key and the command line read them: the names from
// the top level down (a list element by its position), joined by "/", a "/" or a backslash in a name
// escaped with a backslash: "Dict/a\/b/0".
QString trKeyPath(const QStringList &names);
// The names of a key path, unescaped; none for an empty path. An empty name between two slashes is a
// key named "", and a backslash at the very end escapes nothing and stays itself.
QStringList trNamesInKeyPath(const QString &path);
