#pragma once

#include "TRValue.h"

// What a scan of a property list tells without building its values: the root's kind, its number of
// elements or entries, and how many values the whole list holds once every shared value is counted at
// each place it is used (stopping just above kTRMaxExpandedValues).
struct TRPlistShape
{
    TRValue::Kind rootKind = TRValue::Kind::None;
    qsizetype rootCount = 0;
    quint64 expandedValues = 0;
};
