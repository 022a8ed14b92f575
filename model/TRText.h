#pragma once

#include <QString>
#include <QStringList>

// The one lookup every user-visible text goes through: the English text is the key, and it comes back
// unchanged where no translation is installed.
QString trText(const char *english);

// The lookup the form compiler calls for the texts of Designer forms (it passes a disambiguation, which
// the one table does not use), so the forms' texts share the table and the extraction of trText.
QString trFormText(const char *english, const char *disambiguation);

// Fills a looked-up pattern's printf-style slots ("%@", "%d", "%C") with the given texts, in order.
// A numbered slot ("%2$@") takes that argument instead, so a translation can reorder them; unnumbered
// slots after it continue from the argument following it. A slot without an argument is left as it
// stands; "%%" gives "%".
QString trFormat(const QString &pattern, const QStringList &arguments);

// The translation context that stands for the application's default table.
inline constexpr const char *kTamrixTextContext = "Tamrix";
