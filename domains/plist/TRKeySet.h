#pragma once

#include <QtGlobal>
#include <deque>
#include <vector>

// The keys of the dictionaries a scan has open, one set per nesting level, each key looked at where its
// characters lie in the file: checking a dictionary for a repeated key then makes no string and, once the
// sets have grown to the file's largest dictionary, allocates nothing. Two keys are equal when their
// UTF-16 code units are, as two QStrings are; UTF-8 keys are only ever compared with UTF-8 keys, byte for
// byte, which for valid UTF-8 is the same.
class TRKeySet
{
public:
    enum class Units : quint8
    {
        Latin1,
        Utf16BigEndian,
        Utf16,
        Utf8
    };

    // A key's characters: length counts code units (bytes for Latin-1 and UTF-8).
    struct Key
    {
        const void *data = nullptr;
        qsizetype length = 0;
        Units units = Units::Utf16;
    };

    // Starts a new dictionary at the nesting level, keeping the memory its set had.
    void clear(int level, qsizetype expected = 0);
    // Adds the key to the level's dictionary; answers false, adding nothing, when an equal key is there.
    // The characters must stay where they are until the level is cleared again, unless copy is set: then
    // the set keeps a copy (for a key a reader decoded into a buffer that it reuses).
    bool insert(int level, const Key &key, bool copy = false);
    // Adds keys a few at a time, for a large dictionary: its set lies beyond the caches, and keys that wait
    // for the set's memory together wait once. The key's characters must stay where they are. Answers the
    // position (counted from clear()) of the first key found repeated, or -1; settle() adds what is queued.
    qsizetype queue(int level, const Key &key);
    qsizetype settle(int level);

private:
    struct Entry
    {
        quintptr where; // the characters, or with copied set their offset in the level's copies
        // A file a reader accepts holds fewer than 2^27 keys, so a table has fewer than 2^29 places.
        quint32 slot : 29;
        quint32 units : 2;
        quint32 copied : 1;
        // Code units: a UTF-16 file decoded to UTF-8 may make a key longer than the file, never 2^32.
        quint32 length;
    };

    struct Prepared
    {
        Key key;
        quint32 hash = 0;
    };

    struct Level
    {
        // Each place holds a key's hash in the high half and its entry's index plus one in the low half;
        // zero is free. The capacity is a power of two, at least twice the number of keys.
        std::vector<quint64> table;
        std::vector<Entry> entries;
        std::vector<char16_t> copies;
        std::vector<Prepared> queued;
    };

    static bool insert(Level *level, const Prepared &key, bool copy);
    static quint32 hash(const Key &key);
    static bool equal(const Key &a, const Key &b);
    static Key keyOf(const Level &level, const Entry &entry);
    static void grow(Level *level, qsizetype keys);

    // A deque, so that a level stays where it is while deeper ones are added.
    std::deque<Level> m_levels;
};
