#include "TRBinaryPlistReader.h"

#include "TRLimits.h"
#include "TRMemory.h"

#include <QThread>
#include <algorithm>
#include <system_error>
#include <thread>

namespace {

// Containers of this many entries or more are read on two threads, and so is the top container of a
// file of this many objects or more.
constexpr quint64 kTwoThreadsFrom = quint64(1) << 15;

} // namespace

TRBinaryPlistReader::TRBinaryPlistReader(const QByteArray &bytes) : m_bytes(bytes), m_view(m_bytes)
{
}

bool TRBinaryPlistReader::read(TRValue *value, QString *error)
{
    m_scanOnly = false;
    return run(value, error);
}

bool TRBinaryPlistReader::scan(TRPlistShape *shape, QString *error)
{
    m_scanOnly = true;
    TRValue root;
    if (!run(&root, error))
        return false;
    *shape = TRPlistShape{root.kind(), 0, m_lastSize};
    TRBinaryPlistView::Object top;
    if (root.isNone() && m_view.object(m_view.top(), &top)) {
        shape->rootKind =
            top.type == TRBinaryPlistView::Dictionary ? TRValue::Kind::Dictionary : TRValue::Kind::Array;
        shape->rootCount = qsizetype(top.count);
    }
    return true;
}

bool TRBinaryPlistReader::run(TRValue *value, QString *error)
{
    *value = TRValue();
    const bool ok = [&] {
        if (!m_view.open())
            return false;
        m_marks.assign(m_view.objectCount(), 0);
        countUses(m_view.top());
        return readObject(m_view.top(), 0, value);
    }();
    m_marks = std::vector<quint8>();
    m_shared = QHash<quint64, Shared>();
    if (!ok) {
        *value = TRValue();
        if (error)
            *error = m_view.error();
    }
    return ok;
}

void TRBinaryPlistReader::countUses(quint64 top)
{
    // Same decoding as readObject(); an object this pass cannot decode fails there when it is reached.
    const quint64 count = m_view.objectCount();
    m_marks[top] = 1;
    for (quint64 index = 0; index < count; ++index) {
        TRBinaryPlistView::Object object;
        if (!m_view.looksLikeContainer(index) || !m_view.object(index, &object))
            continue;
        if (object.type != TRBinaryPlistView::Array && object.type != TRBinaryPlistView::Dictionary)
            continue;
        const quint64 references =
            object.type == TRBinaryPlistView::Dictionary ? 2 * object.count : object.count;
        for (quint64 i = 0; i < references; ++i) {
            quint64 used = 0;
            if (m_view.reference(object, i, &used) && uses(used) < 2)
                ++m_marks[used];
        }
    }
}

bool TRBinaryPlistReader::readObject(quint64 index, int depth, TRValue *value)
{
    const State current = state(index);
    if (current == State::Done) {
        // A shared object: its nesting counts again at every place it is used.
        const Shared &shared = *m_shared.constFind(index);
        if (depth + shared.height > kTRMaxNestingDepth)
            return m_view.fail(m_view.offsetOf(index), QT_TRANSLATE_NOOP("Tamrix", "nesting too deep"));
        *value = shared.value;
        m_lastHeight = shared.height;
        m_lastSize = shared.size;
        return true;
    }
    if (current == State::Reading)
        return m_view.fail(m_view.offsetOf(index), QT_TRANSLATE_NOOP("Tamrix", "reference cycle"));
    if (current == State::Consumed)
        return m_view.fail(m_view.offsetOf(index),
                           QT_TRANSLATE_NOOP("Tamrix", "object used more often than referenced"));
    TRBinaryPlistView::Object object;
    if (!m_view.object(index, &object))
        return false;
    const bool compound =
        object.type == TRBinaryPlistView::Array || object.type == TRBinaryPlistView::Dictionary;
    const bool shared = uses(index) > 1;
    if (!compound) {
        // A scan needs the value itself only at the root and where a shared one may be a key again.
        const bool check = m_scanOnly && depth > 0 && !shared;
        if (!(check ? m_view.checkLeaf(object) : m_view.leaf(object, value)))
            return false;
        m_lastSize = 1;
    } else {
        if (depth >= kTRMaxNestingDepth)
            return m_view.fail(object.offset, QT_TRANSLATE_NOOP("Tamrix", "nesting too deep"));
        setState(index, State::Reading);
        if (!readCompound(object, depth + 1, value))
            return false;
    }
    const int height = compound ? m_lastHeight + 1 : 0;
    if (shared) {
        // Only objects referenced from several places are kept for reuse.
        m_shared.insert(index, Shared{*value, m_lastSize, height, QString()});
        setState(index, State::Done);
    } else {
        setState(index, State::Consumed);
    }
    m_lastHeight = height;
    return true;
}

bool TRBinaryPlistReader::readKey(quint64 index, int depth, QString *key, bool *isText)
{
    const State current = state(index);
    // A key read before: its text, without copying the value around it (a leaf, so no nesting to count).
    if (current == State::Done) {
        Shared &shared = *m_shared.find(index);
        if (shared.value.isString()) {
            if (shared.key.isNull())
                shared.key = shared.value.toString();
            *key = shared.key;
            *isText = true;
            return true;
        }
    }
    // A key used once is only ever a dictionary key: its characters are all that is kept.
    TRBinaryPlistView::Object object;
    if (current == State::Unread && uses(index) <= 1 && m_view.object(index, &object) &&
        (object.type == TRBinaryPlistView::Ascii || object.type == TRBinaryPlistView::Utf16)) {
        if (!m_view.text(object, key))
            return false;
        setState(index, State::Consumed);
        *isText = true;
        return true;
    }
    TRValue value;
    if (!readObject(index, depth, &value))
        return false;
    *isText = value.isString();
    *key = value.toString();
    return true;
}

bool TRBinaryPlistReader::scanKey(quint64 index, int depth, TRKeySet::Key *key, bool *isText)
{
    // The cases of readKey(), in its order; a text key is always a text object read before.
    TRBinaryPlistView::Object object;
    const auto inFile = [&](bool known) {
        if (!known)
            m_view.object(index, &object);
        *key = TRKeySet::Key{m_bytes.constData() + object.position, qsizetype(object.count),
                             object.type == TRBinaryPlistView::Ascii ? TRKeySet::Units::Latin1
                                                                     : TRKeySet::Units::Utf16BigEndian};
        *isText = true;
        return true;
    };
    const State current = state(index);
    if (current == State::Done && m_shared.constFind(index)->value.isString())
        return inFile(false);
    if (current == State::Unread && uses(index) <= 1 && m_view.object(index, &object) &&
        (object.type == TRBinaryPlistView::Ascii || object.type == TRBinaryPlistView::Utf16)) {
        if (!m_view.checkLeaf(object))
            return false;
        setState(index, State::Consumed);
        return inFile(true);
    }
    TRValue value;
    if (!readObject(index, depth, &value))
        return false;
    *isText = value.isString();
    return !*isText || inFile(false);
}

bool TRBinaryPlistReader::readCompound(const TRBinaryPlistView::Object &object, int depth, TRValue *value)
{
    // The top container of a large file is split too when its entries are few but large.
    const bool large = object.count >= kTwoThreadsFrom ||
                       (depth == 1 && object.count > 1 && m_view.objectCount() >= kTwoThreadsFrom);
    if (!m_scanOnly && large && QThread::idealThreadCount() > 1)
        return readLargeCompound(object, depth, value);
    int height = 0;
    // Counted as the expansion bound counts a value: stopping just above the bound.
    quint64 size = 1;
    const auto add = [&] { size = std::min(size + m_lastSize, kTRMaxExpandedValues + 1); };
    const auto finish = [&](TRValue made) {
        *value = std::move(made);
        m_lastHeight = height;
        m_lastSize = size;
        return true;
    };
    if (object.type == TRBinaryPlistView::Array) {
        TRArray elements;
        if (!m_scanOnly)
            elements.reserve(qsizetype(object.count));
        for (quint64 i = 0; i < object.count; ++i) {
            quint64 index = 0;
            TRValue element;
            if (!m_view.reference(object, i, &index) || !readObject(index, depth, &element))
                return false;
            height = std::max(height, m_lastHeight);
            add();
            if (!m_scanOnly)
                elements.append(std::move(element));
        }
        return finish(m_scanOnly ? TRValue() : TRValue::fromArray(std::move(elements)));
    }
    TRDictionary entries;
    if (m_scanOnly)
        m_keys.clear(depth, qsizetype(std::min(object.count, kTRMaxExpandedValues))); // more is refused
    else
        entries.reserve(qsizetype(object.count));
    const auto duplicate = [&](quint64 at) { return failDuplicate(object, at); };
    // A scan queues the keys of whole entries: a repeated one among them comes before a fault met later,
    // as reading meets it.
    const auto refuse = [&] {
        const qsizetype repeated = m_scanOnly ? m_keys.settle(depth) : -1;
        return repeated >= 0 ? duplicate(quint64(repeated)) : false;
    };
    for (quint64 i = 0; i < object.count; ++i) {
        quint64 keyIndex = 0;
        quint64 valueIndex = 0;
        QString key;
        TRKeySet::Key scanned;
        bool isText = false;
        TRValue entry;
        if (!m_view.reference(object, i, &keyIndex) ||
            !(m_scanOnly ? scanKey(keyIndex, depth, &scanned, &isText)
                         : readKey(keyIndex, depth, &key, &isText)))
            return refuse();
        if (!isText) {
            m_view.fail(m_view.referenceOffset(object, i),
                        QT_TRANSLATE_NOOP("Tamrix", "dictionary key is not a string"));
            return refuse();
        }
        // The key's slot loads while its value is read.
        const size_t hash = m_scanOnly ? 0 : entries.hashFor(key);
        if (!m_view.reference(object, i, &valueIndex, true) || !readObject(valueIndex, depth, &entry))
            return refuse();
        height = std::max(height, m_lastHeight);
        add();
        if (m_scanOnly) {
            const qsizetype repeated = m_keys.queue(depth, scanned);
            if (repeated >= 0)
                return duplicate(quint64(repeated));
        } else if (!entries.insert(key, hash, std::move(entry))) {
            return duplicate(i);
        }
    }
    const qsizetype repeated = m_scanOnly ? m_keys.settle(depth) : -1;
    if (repeated >= 0)
        return duplicate(quint64(repeated));
    return finish(m_scanOnly ? TRValue() : TRValue::fromDictionary(std::move(entries)));
}

bool TRBinaryPlistReader::failDuplicate(const TRBinaryPlistView::Object &dictionary, quint64 at)
{
    return m_view.fail(m_view.referenceOffset(dictionary, at),
                       QT_TRANSLATE_NOOP("Tamrix", "duplicate dictionary key"));
}

bool TRBinaryPlistReader::plainKey(TRBinaryPlistView &view, quint64 index, QString *key)
{
    TRBinaryPlistView::Object object;
    return state(index) == State::Unread && uses(index) <= 1 && view.object(index, &object) &&
           (object.type == TRBinaryPlistView::Ascii || object.type == TRBinaryPlistView::Utf16) &&
           view.text(object, key);
}

bool TRBinaryPlistReader::preparePlain(TRBinaryPlistView &view, quint64 index, int depth, TRValue *value,
                                       quint64 *size, int *height)
{
    TRBinaryPlistView::Object object;
    if (state(index) != State::Unread || uses(index) > 1 || !view.object(index, &object))
        return false;
    const bool isArray = object.type == TRBinaryPlistView::Array;
    if (!isArray && object.type != TRBinaryPlistView::Dictionary) {
        if (!view.leaf(object, value))
            return false;
        setState(index, State::Consumed);
        *size = 1;
        *height = 0;
        return true;
    }
    if (depth >= kTRMaxNestingDepth)
        return false;
    setState(index, State::Consumed);
    quint64 total = 1;
    int deepest = 0;
    TRArray elements;
    TRDictionary entries;
    if (isArray)
        elements.reserve(qsizetype(object.count));
    else
        entries.reserve(qsizetype(object.count));
    for (quint64 i = 0; i < object.count; ++i) {
        QString key;
        quint64 keyIndex = 0;
        quint64 valueIndex = 0;
        TRValue element;
        quint64 elementSize = 0;
        int elementHeight = 0;
        if (!isArray) {
            if (!view.reference(object, i, &keyIndex) || !plainKey(view, keyIndex, &key))
                return false;
            setState(keyIndex, State::Consumed);
        }
        if (!view.reference(object, i, &valueIndex, !isArray) ||
            !preparePlain(view, valueIndex, depth + 1, &element, &elementSize, &elementHeight))
            return false;
        total = std::min(total + elementSize, kTRMaxExpandedValues + 1);
        deepest = std::max(deepest, elementHeight);
        if (isArray)
            elements.append(std::move(element));
        else if (!entries.insert(key, std::move(element)))
            return false;
    }
    *value = isArray ? TRValue::fromArray(std::move(elements)) : TRValue::fromDictionary(std::move(entries));
    *size = total;
    *height = deepest + 1;
    return true;
}

void TRBinaryPlistReader::unmark(TRBinaryPlistView &view, quint64 index)
{
    if (index >= m_marks.size() || uses(index) > 1 || state(index) != State::Consumed)
        return;
    setState(index, State::Unread);
    TRBinaryPlistView::Object object;
    if (!view.object(index, &object) ||
        (object.type != TRBinaryPlistView::Array && object.type != TRBinaryPlistView::Dictionary))
        return;
    const quint64 references = object.type == TRBinaryPlistView::Dictionary ? 2 * object.count : object.count;
    for (quint64 i = 0; i < references; ++i) {
        quint64 child = 0;
        if (view.reference(object, i, &child))
            unmark(view, child);
    }
}

TRBinaryPlistReader::Prepared TRBinaryPlistReader::prepare(TRBinaryPlistView view,
                                                           const TRBinaryPlistView::Object &container,
                                                           int depth, quint64 from, quint64 to,
                                                           TRDictionary::Entry *entries, TRValue *elements)
{
    Prepared prepared;
    for (quint64 i = from; i < to; ++i) {
        quint64 keyIndex = 0;
        quint64 valueIndex = 0;
        QString key;
        if ((entries && !view.reference(container, i, &keyIndex)) ||
            !view.reference(container, i, &valueIndex, entries != nullptr))
            continue;
        TRValue made;
        quint64 size = 0;
        int height = 0;
        try {
            if ((entries && !plainKey(view, keyIndex, &key)) ||
                !preparePlain(view, valueIndex, depth, &made, &size, &height)) {
                unmark(view, valueIndex);
                continue;
            }
        } catch (...) {
            // Out of memory: what is left is read in order by the caller, where the failure then shows.
            unmark(view, valueIndex);
            break;
        }
        prepared.size = std::min(prepared.size + size, kTRMaxExpandedValues + 1);
        prepared.height = std::max(prepared.height, height);
        if (entries) {
            setState(keyIndex, State::Consumed);
            entries[i] = TRDictionary::Entry(std::move(key), std::move(made));
        } else {
            elements[i] = std::move(made);
        }
    }
    return prepared;
}

// A large container's plain entries (a text key, and a value whose objects are each referenced from one
// place and read without a fault: a leaf, or a container of such entries) are decoded by two threads, a
// half each; then the rest are read in order, exactly as readCompound() reads them, and a
// dictionary's keys are checked for repeats in order. The faults reported are those of an ordered read:
// an entry left to the ordered pass fails as it would have, unless a key before it repeats an earlier
// one, which then comes first.
bool TRBinaryPlistReader::readLargeCompound(const TRBinaryPlistView::Object &object, int depth,
                                            TRValue *value)
{
    const bool isDictionary = object.type == TRBinaryPlistView::Dictionary;
    QList<TRDictionary::Entry> entries;
    TRArray elements;
    // The lists ask for large pages before they are first written.
    if (isDictionary) {
        entries.reserve(qsizetype(object.count));
        trAdviseLargePages(entries.data(), std::size_t(object.count) * sizeof(TRDictionary::Entry));
        entries.resize(qsizetype(object.count));
    } else {
        elements.reserve(qsizetype(object.count));
        trAdviseLargePages(elements.data(), std::size_t(object.count) * sizeof(TRValue));
        elements.resize(qsizetype(object.count));
    }
    TRDictionary::Entry *entryData = isDictionary ? entries.data() : nullptr;
    TRValue *elementData = isDictionary ? nullptr : elements.data();
    const quint64 half = object.count / 2;
    Prepared first;
    Prepared second;
    std::thread thread;
    try {
        thread = std::thread(
            [&] { second = prepare(m_view, object, depth, half, object.count, entryData, elementData); });
    } catch (const std::system_error &) {
        // No thread to be had: this one prepares both halves.
    }
    first = prepare(m_view, object, depth, 0, half, entryData, elementData);
    if (thread.joinable())
        thread.join();
    else
        second = prepare(m_view, object, depth, half, object.count, entryData, elementData);

    int height = std::max(first.height, second.height);
    quint64 size = std::min(1 + first.size + second.size, kTRMaxExpandedValues + 1);
    const auto refuse = [&](quint64 at) {
        if (isDictionary) {
            entries.resize(qsizetype(at));
            const qsizetype repeated = TRDictionary().adopt(std::move(entries));
            if (repeated >= 0)
                return failDuplicate(object, quint64(repeated));
        }
        return false;
    };
    for (quint64 i = 0; i < object.count; ++i) {
        TRValue &made = isDictionary ? entryData[i].second : elementData[i];
        if (!made.isNone())
            continue;
        if (isDictionary) {
            quint64 keyIndex = 0;
            bool isText = false;
            if (!m_view.reference(object, i, &keyIndex) ||
                !readKey(keyIndex, depth, &entryData[i].first, &isText))
                return refuse(i);
            if (!isText) {
                m_view.fail(m_view.referenceOffset(object, i),
                            QT_TRANSLATE_NOOP("Tamrix", "dictionary key is not a string"));
                return refuse(i);
            }
        }
        quint64 valueIndex = 0;
        if (!m_view.reference(object, i, &valueIndex, isDictionary) || !readObject(valueIndex, depth, &made))
            return refuse(i);
        height = std::max(height, m_lastHeight);
        size = std::min(size + m_lastSize, kTRMaxExpandedValues + 1);
    }
    if (isDictionary) {
        TRDictionary dictionary;
        const qsizetype repeated = dictionary.adopt(std::move(entries));
        if (repeated >= 0)
            return failDuplicate(object, quint64(repeated));
        *value = TRValue::fromDictionary(std::move(dictionary));
    } else {
        *value = TRValue::fromArray(std::move(elements));
    }
    m_lastHeight = height;
    m_lastSize = size;
    return true;
}
