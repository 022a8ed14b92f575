#pragma once

#include <QtGlobal>

// Limits shared by every reader of outside data and by the key tree built from what they read.

// Deepest nesting of arrays and dictionaries that a reader accepts. Every recursive algorithm over
// values and key trees is safe at this depth.
inline constexpr int kTRMaxNestingDepth = 512;

// Largest file a reader of outside data accepts (domain files and exchange files); a larger one is
// reported without being read.
inline constexpr qint64 kTRMaxFileSize = qint64(256) << 20;

// Most values a property list may hold once every shared value is counted at each place it is used. A
// binary property list can refer to one container from many places, so a file of a few hundred bytes can
// stand for 2^40 values; anything that expands a value (a key tree, XML, a comparison) would never end.
// About 4.2 million: twenty times the largest domains met in practice, and a key tree of at most about
// 700 MB (some 160 bytes a node).
inline constexpr quint64 kTRMaxExpandedValues = quint64(1) << 22;

// Dictionaries and dictionary keys with at most this many entries are searched linearly and carry no hash
// index: most are this small, and a short scan beats hashing.
inline constexpr int kTRLinearLimit = 8;
