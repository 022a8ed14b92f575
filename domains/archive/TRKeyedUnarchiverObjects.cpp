// Access to the archive's $objects, from a parsed property list or straight from a binary list's bytes:
// records, their entries, references and reference lists. Every reference is range-checked here.
#include "TRArchiveFormat.h"
#include "TRKeyedUnarchiver.h"
#include "TRText.h"

bool TRKeyedUnarchiver::viewFailed()
{
    fail(m_view->error());
    return false;
}

bool TRKeyedUnarchiver::recordAt(quint64 uid, Record *record)
{
    if (!m_view) {
        record->values = &m_objects->at(qsizetype(uid)).toDictionary();
        return true;
    }
    // An object's class is learnt just before it is read: the same record is asked for twice in a row.
    if (uid == m_lastRecordUid) {
        record->object = m_lastRecord;
        return true;
    }
    quint64 index = 0;
    if (!m_view->reference(m_objectList, uid, &index) || !m_view->object(index, &record->object))
        return viewFailed();
    m_lastRecordUid = uid;
    m_lastRecord = record->object;
    return true;
}

bool TRKeyedUnarchiver::pushFrame(quint64 uid)
{
    Frame frame;
    if (!recordAt(uid, &frame.record))
        return false;
    if (m_view) {
        static const QString keys[kLookedUp] = {trCodedValueKey(0), trCodedValueKey(1), trCodedValueKey(2),
                                                trCodedValueKey(3)};
        quint64 values[kLookedUp] = {};
        bool found[kLookedUp] = {};
        if (!m_view->find(frame.record.object, keys, kLookedUp, values, found))
            return viewFailed();
        for (int i = 0; i < kLookedUp; ++i)
            frame.coded[i] = {nullptr, values[i], found[i]};
    }
    m_frames.push_back(frame);
    return true;
}

bool TRKeyedUnarchiver::entryOf(const Record &record, qsizetype likely, const QString &key, Entry *entry)
{
    *entry = Entry();
    if (m_view)
        return m_view->find(record.object, key, &entry->index, &entry->present) || viewFailed();
    // Looked for first where writers put it.
    const TRDictionary &values = *record.values;
    const qsizetype at =
        likely >= 0 && likely < values.size() && values.keyAt(likely) == key ? likely : values.indexOf(key);
    if (at >= 0 && !values.valueAt(at).isNone()) {
        entry->value = &values.valueAt(at);
        entry->present = true;
    }
    return true;
}

bool TRKeyedUnarchiver::valueOf(const Entry &entry, TRValue *value)
{
    if (!entry.present) {
        *value = TRValue();
        return true;
    }
    if (!m_view) {
        *value = *entry.value;
        return true;
    }
    TRBinaryPlistView::Object object;
    if (!m_view->object(entry.index, &object))
        return viewFailed();
    // Containers are never wanted as values: an empty one of the kind stands in for the shape checks.
    if (!m_view->leafOrEmpty(object, value))
        return viewFailed();
    return true;
}

bool TRKeyedUnarchiver::uidInRange(quint64 value, quint64 *uid)
{
    if (value >= m_objectCount) {
        fail(trFormat(trText("The archive refers to object %@, but it holds only %@ objects."),
                      {QString::number(value), QString::number(m_objectCount)}));
        return false;
    }
    *uid = value;
    return true;
}

bool TRKeyedUnarchiver::uidOf(const TRValue &reference, quint64 *uid)
{
    if (failed())
        return false;
    bool isReference = reference.isUid();
    quint64 value = reference.toUid();
    if (!isReference && m_xml && reference.isDictionary() && reference.toDictionary().size() == 1) {
        // An XML archive writes a reference as {CF$UID: n}.
        const TRValue number = reference.toDictionary().value(QStringLiteral("CF$UID"));
        isReference = number.isInteger() && !number.isUnsignedInteger() && number.toInteger() >= 0;
        value = quint64(number.toInteger());
    }
    if (!isReference) {
        fail(trFormat(trText("The archive holds %@ where a reference to an object belongs."),
                      {reference.description()}));
        return false;
    }
    return uidInRange(value, uid);
}

bool TRKeyedUnarchiver::uidOf(const Entry &reference, quint64 *uid)
{
    if (failed())
        return false;
    if (!m_view)
        return uidOf(*reference.value, uid);
    TRBinaryPlistView::Object object;
    if (!m_view->object(reference.index, &object))
        return viewFailed();
    if (object.type == TRBinaryPlistView::Uid)
        return uidInRange(m_view->uid(object), uid);
    TRValue value;
    return valueOf(reference, &value) && uidOf(value, uid);
}

bool TRKeyedUnarchiver::uidAt(const List &list, quint64 at, quint64 *uid)
{
    if (!m_view)
        return uidOf(list.values->at(qsizetype(at)), uid);
    Entry element;
    element.present = true;
    return (m_view->reference(list.object, at, &element.index) || viewFailed()) && uidOf(element, uid);
}

quint64 TRKeyedUnarchiver::nextUid()
{
    if (failed() || m_frames.empty())
        return 0;
    Frame &frame = m_frames.back();
    Entry reference;
    const bool found = m_view && frame.next < kLookedUp
                           ? (reference = frame.coded[frame.next], true)
                           : entryOf(frame.record, frame.next, trCodedValueKey(frame.next), &reference);
    ++frame.next;
    quint64 uid = 0;
    // A missing key is a none value, as a reference to object 0 is.
    if (!found || !reference.present || !uidOf(reference, &uid))
        return 0;
    return uid;
}

bool TRKeyedUnarchiver::referenceList(quint64 uid, const QString &key, List *list)
{
    Record record;
    Entry entry;
    if (!recordAt(uid, &record) || !entryOf(record, -1, key, &entry))
        return false;
    bool isList = false;
    if (entry.present && !m_view) {
        isList = entry.value->isArray();
        list->values = &entry.value->toArray();
        list->size = quint64(list->values->size());
    } else if (entry.present) {
        if (!m_view->object(entry.index, &list->object))
            return viewFailed();
        isList = list->object.type == TRBinaryPlistView::Array;
        list->size = list->object.count;
    }
    if (!isList) {
        failAt(uid, trFormat(trText("the record has no %@ list."), {key}));
        return false;
    }
    return true;
}
