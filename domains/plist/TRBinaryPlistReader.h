#pragma once

#include "TRBinaryPlistView.h"
#include "TRKeySet.h"
#include "TRPlistShape.h"
#include "TRValue.h"

#include <QByteArray>
#include <QHash>
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
    // After a successful read: how many values the list holds once each shared one is counted at every
    // place it is used, stopping just above kTRMaxExpandedValues.
    quint64 expandedValues() const { return m_lastSize; }

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
    // The same while scanning: where the key's characters lie in the file, checked as readKey() checks them.
    bool scanKey(quint64 index, int depth, TRKeySet::Key *key, bool *isText);
    bool readCompound(const TRBinaryPlistView::Object &object, int depth, TRValue *value);
    // The same for a large container, its plain entries decoded on two threads first (see the .cpp).
    bool readLargeCompound(const TRBinaryPlistView::Object &object, int depth, TRValue *value);
    // What a range of prepared entries adds to its container's expanded size and nesting.
    struct Prepared
    {
        quint64 size = 0;
        int height = 0;
    };
    // Decodes the entries from..to of a dictionary (into entries) or array (into elements) whose key is a
    // text and whose value is plain (see preparePlain()); other entries stay empty. Only objects no other
    // entry can reach are looked at or marked, so two ranges may be prepared at once, each with its own view.
    Prepared prepare(TRBinaryPlistView view, const TRBinaryPlistView::Object &container, int depth,
                     quint64 from, quint64 to, TRDictionary::Entry *entries, TRValue *elements);
    // Reads a value all of whose objects are referenced from one place only and unread, marking them read;
    // answers false at the first object that is not so, or that reading would refuse (unmark() then undoes
    // the marks), leaving it to the ordered read to report.
    bool preparePlain(TRBinaryPlistView &view, quint64 index, int depth, TRValue *value, quint64 *size,
                      int *height);
    // A key's text, when the key object is a text used from that one place and not read yet; nothing marked.
    bool plainKey(TRBinaryPlistView &view, quint64 index, QString *key);
    void unmark(TRBinaryPlistView &view, quint64 index);
    // Records a repeated key at a dictionary's entry and answers false.
    bool failDuplicate(const TRBinaryPlistView::Object &dictionary, quint64 at);

    // Each object's use count (0, 1, or 2 for more) in the low bits, its state above.
    static constexpr quint8 kUseMask = 0x3;
    static constexpr int kStateShift = 2;
    State state(quint64 index) const { return State(m_marks[index] >> kStateShift); }
    quint8 uses(quint64 index) const { return m_marks[index] & kUseMask; }
    void setState(quint64 index, State state)
    {
        m_marks[index] = quint8(m_marks[index] & kUseMask) | quint8(quint8(state) << kStateShift);
    }

    // An object referenced from several places, read once: its value (none while scanning, a leaf
    // excepted), its nesting levels (0 for a leaf) and, scanning, its expanded size.
    struct Shared
    {
        TRValue value;
        quint64 size = 0;
        int height = 0;
        // A text's characters once it served as a key, so that every dictionary using it shares them.
        QString key;
    };

    QByteArray m_bytes;
    TRBinaryPlistView m_view;
    // One byte per object; the few shared objects are kept aside, so a file of unshared objects costs
    // no more than this while it is read.
    std::vector<quint8> m_marks;
    QHash<quint64, Shared> m_shared;
    // Nesting levels inside the object read last.
    int m_lastHeight = 0;
    // Scanning: the expanded size of the object read last.
    bool m_scanOnly = false;
    quint64 m_lastSize = 0;
    // Scanning: the keys of each open dictionary, for the duplicate check.
    TRKeySet m_keys;
};
