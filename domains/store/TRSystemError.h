#pragma once

#include <QString>

// The system's text for an errno value. Safe on any thread (domain files are read on several at once), so
// not strerror(), whose buffer is shared.
QString trSystemError(int code);
