#pragma once

#include <QString>

// The lookup the form compiler calls for the texts of Designer forms (it passes a disambiguation, which
// the one table does not use), so the forms' texts share trText's table and its extraction.
QString trFormText(const char *english, const char *disambiguation);
