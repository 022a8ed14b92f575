#pragma once

#include <QString>
#include <QStringList>

// The one lookup every user-visible text goes through: the English text is the key, and it comes back
// unchanged where no translation is installed.
QString trText(const char *english);

// Fills a looked-up pattern's printf-style slots ("%@", "%d", "%C") with the given texts, in order.
// A slot without an argument is left as it stands; "%%" gives "%".
QString trFormat(const QString &pattern, const QStringList &arguments);

// The translation context that stands for the application's default table.
inline constexpr const char *kTamrixTextContext = "Tamrix";
