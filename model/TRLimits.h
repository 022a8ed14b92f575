#pragma once

// Limits shared by every reader of outside data and by the key tree built from what they read.

// Deepest nesting of arrays and dictionaries that a reader accepts. Every recursive algorithm over
// values and key trees is safe at this depth.
inline constexpr int kTRMaxNestingDepth = 512;
