#pragma once

#include "TRBinaryPlistView.h"
#include "TRPlistShape.h"
#include "TRValue.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Reads a binary "bplist00" property list. Every object is read once: references to an object already
// read share its value, so shared references never expand the file. Object counts, offsets and lengths
// are checked against the file's size before anything is allocated; reference cycles and nesting deeper
// than kTRMaxNestingDepth are refused.
class TRBinaryPlistReader
{
public:
    explicit TRBinaryPlistReader(const QByteArray &bytes);

    // On failure *error names the byte offset of the fault.
    bool read(TRValue *value, QString *error);
    // Checks every object exactly as read() does, refusing the same files with the same messages, but
    // builds no containers, and leaves only where a shared one may serve again as a dictionary key.
    bool scan(TRPlistShape *shape, QString *error);

private:
    enum class State : quint8
    {
        Unread,
        Reading,
        Done,
        Consumed
    };

    bool run(TRValue *value, QString *error);
    // Counts how often each object is referenced (0, 1, or 2 for more), so only shared ones are kept.
    void countUses(quint64 top);
    bool readObject(quint64 index, int depth, TRValue *value);
    // A dictionary key's text; *isText answers whether the key is a text at all.
    bool readKey(quint64 index, int depth, QString *key, bool *isText);
    bool readCompound(const TRBinaryPlistView::Object &object, int depth, TRValue *value);

    QByteArray m_bytes;
    TRBinaryPlistView m_view;
    std::vector<TRValue> m_objects;
    std::vector<State> m_states;
    // Nesting levels inside each object read (0 for a leaf), and that of the object read last.
    std::vector<quint16> m_heights;
    std::vector<quint8> m_uses;
    int m_lastHeight = 0;
    // Scanning: the expanded size of each shared object read, and that of the object read last.
    bool m_scanOnly = false;
    std::vector<quint64> m_sizes;
    quint64 m_lastSize = 0;
};
