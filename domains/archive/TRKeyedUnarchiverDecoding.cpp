// Decoding the objects of $objects: each object's class, chosen by $classname alone; leaf values; keys,
// domains and the children of compound keys, each claimed so that it is used in one place only.
#include "TRArchiveFormat.h"
#include "TRKeyedUnarchiver.h"
#include "TRLimits.h"
#include "TRText.h"

using namespace TRArchiveFormat;

QString TRKeyedUnarchiver::className(Class cls)
{
    switch (cls) {
    case Class::Plain:
        return trText("a plain value");
    case Class::Key:
        return kKeyClass;
    case Class::Domain:
        return kDomainClass;
    case Class::Array:
        return kArrayClass;
    case Class::MutableArray:
        return kMutableArrayClass;
    case Class::Dictionary:
        return kDictionaryClass;
    case Class::MutableDictionary:
        return kMutableDictionaryClass;
    case Class::String:
        return kStringClass;
    case Class::Data:
        return kDataClass;
    case Class::Date:
        return kDateClass;
    }
    return QString();
}

bool TRKeyedUnarchiver::classOf(quint64 uid, Class *cls)
{
    if (failed())
        return false;
    qint8 &known = m_objectClasses[std::size_t(uid)];
    if (known >= 0) {
        *cls = Class(known);
        return true;
    }
    Record record;
    Entry classReference;
    if (uid != 0 &&
        (!recordAt(uid, &record) ||
         !entryOf(record, record.values ? record.values->size() - 1 : -1, kClassKey, &classReference)))
        return false;
    if (uid == 0 || !classReference.present) {
        *cls = Class::Plain;
        known = qint8(*cls);
        return true;
    }
    quint64 classUid = 0;
    if (!uidOf(classReference, &classUid))
        return false;
    const auto cached = m_classes.constFind(classUid);
    if (cached != m_classes.cend()) {
        *cls = *cached;
        known = qint8(*cls);
        return true;
    }
    // $classes and any $classhints are not consulted: the class is chosen by its name alone.
    Record classRecord;
    Entry nameEntry;
    TRValue name;
    if (!recordAt(classUid, &classRecord) || !entryOf(classRecord, 0, kClassNameKey, &nameEntry) ||
        !valueOf(nameEntry, &name))
        return false;
    if (!name.isString()) {
        failAt(uid, trText("its class record has no $classname."));
        return false;
    }
    static const QHash<QString, Class> allowed = {
        {kKeyClass, Class::Key},
        {kDomainClass, Class::Domain},
        {kArrayClass, Class::Array},
        {kMutableArrayClass, Class::MutableArray},
        {kDictionaryClass, Class::Dictionary},
        {kMutableDictionaryClass, Class::MutableDictionary},
        {kStringClass, Class::String},
        {kMutableStringClass, Class::String},
        {kDataClass, Class::Data},
        {kMutableDataClass, Class::Data},
        {kDateClass, Class::Date},
    };
    const auto found = allowed.constFind(name.toString());
    if (found == allowed.cend()) {
        failAt(uid, trFormat(trText("objects of class %@ are not accepted in an exchange file."),
                             {name.toString()}));
        return false;
    }
    m_classes.insert(classUid, *found);
    *cls = *found;
    known = qint8(*cls);
    return true;
}

bool TRKeyedUnarchiver::claim(quint64 uid)
{
    Mark &mark = m_marks[std::size_t(uid)];
    if (mark == Mark::Decoding) {
        failAt(uid, trText("the object contains itself."));
        return false;
    }
    if (mark != Mark::Unvisited) {
        failAt(uid, trText("a key, container or domain is used in more than one place."));
        return false;
    }
    mark = Mark::Decoding;
    return true;
}

TRValue TRKeyedUnarchiver::leafAt(quint64 uid)
{
    if (uid == 0 || failed())
        return {};
    if (m_marks[std::size_t(uid)] == Mark::Leaf)
        return m_leaves[std::size_t(uid)];
    Class cls = Class::Plain;
    if (!classOf(uid, &cls))
        return {};
    TRValue object;
    Record record;
    Entry entry;
    if (cls == Class::Plain && m_view) {
        if (!recordAt(uid, &record))
            return {};
        if (!m_view->leafOrEmpty(record.object, &object)) {
            viewFailed();
            return {};
        }
    } else if (cls == Class::Plain) {
        entry.present = true;
        entry.value = &m_objects->at(qsizetype(uid));
        if (!valueOf(entry, &object))
            return {};
    } else if (!recordAt(uid, &record)) {
        return {};
    }
    const auto recordValue = [&](const QString &key) {
        TRValue value;
        return entryOf(record, -1, key, &entry) && valueOf(entry, &value) ? value : TRValue();
    };
    TRValue leaf;
    switch (cls) {
    case Class::Plain:
        switch (object.kind()) {
        case TRValue::Kind::String:
        case TRValue::Kind::Integer:
        case TRValue::Kind::Real:
        case TRValue::Kind::Boolean:
        case TRValue::Kind::Date:
        case TRValue::Kind::Data:
            leaf = object;
            break;
        default:
            failAt(uid, trText("a value has the wrong shape."));
            return {};
        }
        break;
    case Class::String:
        leaf = recordValue(kStringKey);
        if (!leaf.isString()) {
            failAt(uid, trText("a string record has no NS.string text."));
            return {};
        }
        break;
    case Class::Data:
        leaf = recordValue(kDataKey);
        if (!leaf.isData()) {
            failAt(uid, trText("a data record has no NS.data bytes."));
            return {};
        }
        break;
    case Class::Date: {
        const TRValue time = recordValue(kTimeKey);
        if (!time.isReal() && !time.isInteger()) {
            failAt(uid, trText("a date record has no NS.time number."));
            return {};
        }
        leaf = TRValue::fromDate(time.toReal());
        break;
    }
    default:
        failAt(uid, trFormat(trText("found %@ where a value belongs."), {className(cls)}));
        return {};
    }
    // Both platforms read the string "$null" as none.
    if (failed())
        return {};
    if (leaf.isString() && leaf.toString() == kNull)
        leaf = TRValue();
    m_marks[std::size_t(uid)] = Mark::Leaf;
    m_leaves[std::size_t(uid)] = leaf;
    return leaf;
}

TRKeyPtr TRKeyedUnarchiver::keyAt(quint64 uid)
{
    Class cls = Class::Plain;
    if (!classOf(uid, &cls))
        return nullptr;
    if (uid == 0 || cls != Class::Key) {
        failAt(uid, trFormat(trText("found %@ where a key belongs."),
                             {uid == 0 ? trText("nothing") : className(cls)}));
        return nullptr;
    }
    if (!claim(uid))
        return nullptr;
    if (!pushFrame(uid))
        return nullptr;
    TRKeyPtr key = TRKey::initWithCoder(*this);
    m_frames.pop_back();
    m_marks[std::size_t(uid)] = Mark::Taken;
    return failed() ? nullptr : key;
}

TRDomainControllerPtr TRKeyedUnarchiver::domainAt(quint64 uid)
{
    if (!claim(uid))
        return nullptr;
    if (!pushFrame(uid))
        return nullptr;
    TRDomainControllerPtr domain = TRDomainController::initWithCoder(*this);
    m_frames.pop_back();
    m_marks[std::size_t(uid)] = Mark::Taken;
    return failed() ? nullptr : domain;
}

bool TRKeyedUnarchiver::childrenAt(quint64 uid, Class cls, NodeContents *contents)
{
    if (!claim(uid))
        return false;
    if (++m_depth > kTRMaxNestingDepth) {
        failAt(uid, trFormat(trText("the keys are nested deeper than %@ levels."),
                             {QString::number(kTRMaxNestingDepth)}));
        return false;
    }
    const bool hasKeys = isDictionary(cls);
    List objects;
    List keys;
    if (!referenceList(uid, kListKey, &objects) || (hasKeys && !referenceList(uid, kKeysKey, &keys)))
        return false;
    if (hasKeys && keys.size != objects.size) {
        failAt(uid, trText("a dictionary has not as many keys as values."));
        return false;
    }
    contents->kind = hasKeys ? TRKey::NodeKind::Dictionary : TRKey::NodeKind::List;
    contents->nodes.reserve(std::size_t(objects.size));
    if (hasKeys)
        contents->keys.reserve(std::size_t(keys.size));
    for (quint64 i = 0; i < objects.size; ++i) {
        quint64 childUid = 0;
        if (hasKeys) {
            quint64 keyUid = 0;
            if (!uidAt(keys, i, &keyUid))
                return false;
            const TRValue key = leafAt(keyUid);
            if (failed())
                return false;
            if (!key.isString()) {
                // A "$null" key reads as no value on both platforms, so it cannot name an entry.
                failAt(keyUid, key.isNone() ? trText("a dictionary key is $null or missing.")
                                            : trText("a dictionary key is not a text."));
                return false;
            }
            contents->keys.push_back(key.toString());
        }
        if (!uidAt(objects, i, &childUid))
            return false;
        TRKeyPtr child = keyAt(childUid);
        if (!child)
            return false;
        contents->nodes.push_back(std::move(child));
    }
    --m_depth;
    m_marks[std::size_t(uid)] = Mark::Taken;
    return true;
}

TRValue TRKeyedUnarchiver::decodeValue()
{
    return leafAt(nextUid());
}

TRKeyPtr TRKeyedUnarchiver::decodeKey()
{
    const quint64 uid = nextUid();
    return failed() ? nullptr : keyAt(uid);
}

TRCoder::NodeContents TRKeyedUnarchiver::decodeNodeValue()
{
    NodeContents contents;
    const quint64 uid = nextUid();
    Class cls = Class::Plain;
    if (uid == 0 || !classOf(uid, &cls))
        return contents;
    if (isList(cls) || isDictionary(cls)) {
        if (!childrenAt(uid, cls, &contents))
            return {};
        return contents;
    }
    contents.leaf = leafAt(uid);
    return contents;
}
