#pragma once

#include "TRArchiveContents.h"
#include "TRArchiveFormat.h"
#include "TRCoder.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

// Writes a keyed archive straight to the bytes of a binary property list, without first building the
// archive as property-list values. Walking the tree numbers the archive's objects (in the order and
// layout both platforms' keyed archivers write) into compact records; writing then sizes the file
// exactly and fills it in one pass, with minimal offset and reference widths. Equal texts and numbers are
// stored once, every object's UID is written once and shared by all its references, and there is one
// class record per class.
class TRBinaryArchiveWriter final : public TRCoder
{
public:
    static bool write(const TRArchiveContents &contents, QByteArray *bytes, QString *error);

    void encodeValue(const TRValue &value) override;
    void encodeText(const QString &text) override;
    void encodeKey(const TRKeyPtr &key) override;
    void encodeNodeValue(const TRKey &owner) override;

    TRValue decodeValue() override { return {}; }
    TRKeyPtr decodeKey() override { return nullptr; }
    NodeContents decodeNodeValue() override { return {}; }

    void fail(const QString &message) override;
    bool failed() const override { return !m_error.isEmpty(); }

private:
    TRBinaryArchiveWriter();

    enum class Type : quint8
    {
        Null,
        Text,
        Integer,
        Unsigned,
        Real,
        Boolean,
        Data,
        Key,
        Domain,
        List,
        Dictionary,
        Date,
        Class
    };
    using ClassId = TRArchiveFormat::WrittenClass;

    // One object of $objects. payload: a number's bits, an index into m_texts or m_data, the first of
    // the record's references in m_references, or a class record's ClassId.
    struct Object
    {
        quint64 payload = 0;
        quint32 count = 0; // values coded into a record, or a container's children
        quint32 classUid = 0;
        Type type = Type::Null;
    };

    // Where the parts of the file are, as property-list object indices.
    struct Layout;
    template<class Sink>
    void writeObjects(Sink &out, const Layout &layout) const;

    quint32 addObject(Type type, quint64 payload);
    quint32 uidOfValue(const TRValue &value);
    quint32 uidOfText(const QString &text);
    quint32 uidOfNumber(QHash<quint64, quint32> &numbers, Type type, quint64 bits);
    quint32 uidOfClass(ClassId id);
    quint32 uidOfKey(const TRKeyPtr &key);
    quint32 uidOfDomain(const TRDomainController &domain);
    quint32 uidOfDomainList(const std::vector<TRDomainControllerPtr> &domains);
    quint32 uidOfChildren(const TRKey &owner);
    void beginRecord();
    void endRecord(quint32 uid, ClassId id);
    bool writeBytes(quint32 rootUid, QByteArray *bytes);

    // The objects in UID order, in blocks that never move: growing never copies what is there.
    class ObjectTable
    {
    public:
        static constexpr int kBlockBits = 16;
        std::size_t size() const { return m_size; }
        Object &operator[](std::size_t uid) { return m_blocks[uid >> kBlockBits][uid & kBlockMask]; }
        const Object &operator[](std::size_t uid) const
        {
            return m_blocks[uid >> kBlockBits][uid & kBlockMask];
        }
        void push_back(const Object &object)
        {
            if ((m_size & kBlockMask) == 0)
                m_blocks.push_back(std::make_unique<Object[]>(std::size_t(1) << kBlockBits));
            m_blocks.back()[m_size & kBlockMask] = object;
            ++m_size;
        }

    private:
        static constexpr std::size_t kBlockMask = (std::size_t(1) << kBlockBits) - 1;
        std::vector<std::unique_ptr<Object[]>> m_blocks;
        std::size_t m_size = 0;
    };
    ObjectTable m_objects;
    // References of records, each record's contiguous; m_pending gathers those of records being coded.
    std::vector<quint32> m_references;
    std::vector<quint32> m_pending;
    std::vector<std::size_t> m_recordStarts;
    std::vector<QString> m_texts;
    std::vector<QByteArray> m_data;
    quint32 m_classUids[int(ClassId::Count)] = {};
    // Equal texts and numbers are written once. Booleans stay apart from integers, unsigned from signed
    // and -0.0 from 0.0.
    QHash<QString, quint32> m_textUids;
    QHash<quint64, quint32> m_integers;
    QHash<quint64, quint32> m_unsignedIntegers;
    QHash<quint64, quint32> m_reals;
    QHash<quint64, quint32> m_booleans;
    // Every key repeats its domain's name: the last text looked up answers without hashing.
    QString m_recentText;
    quint32 m_recentUid = 0;
    int m_depth = 0;
    QString m_error;
};
