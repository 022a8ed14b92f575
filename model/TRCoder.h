#pragma once

#include "TRKey.h"
#include "TRValue.h"

#include <QString>
#include <vector>

// The coder as the archived classes see it: each class codes its values in sequence, without keys, and
// the coder gives them their keys ("$0", "$1", ... in each object's record). One coder either writes or
// reads an archive.
class TRCoder
{
public:
    // What a node's value decodes to: a leaf value, or the children of a compound node.
    struct NodeContents
    {
        TRKey::NodeKind kind = TRKey::NodeKind::Leaf;
        TRValue leaf;
        std::vector<TRKeyPtr> nodes;
        std::vector<QString> keys; // dictionary nodes: the key each child is stored under
    };

    virtual ~TRCoder() = default;

    // ---- Writing: one call per value, in order.
    // A leaf value, a name or a text; none is written as nil.
    virtual void encodeValue(const TRValue &value) = 0;
    // A text: the same as encodeValue with a string value, without making one where the coder already
    // holds an equal text.
    virtual void encodeText(const QString &text) { encodeValue(TRValue::fromString(text)); }
    // A node, written through its encodeWithCoder.
    virtual void encodeKey(const TRKeyPtr &key) = 0;
    // A node's value: the leaf itself, or its child container as a mutable list or dictionary of nodes.
    virtual void encodeNodeValue(const TRKey &owner) = 0;

    // ---- Reading: the same calls in the same order. Once the coder has failed, every call answers
    // none, null or an empty leaf.
    virtual TRValue decodeValue() = 0;
    virtual TRKeyPtr decodeKey() = 0;
    virtual NodeContents decodeNodeValue() = 0;

    // A coder stops at its first error. The archived classes report values of the wrong kind here.
    virtual void fail(const QString &message) = 0;
    virtual bool failed() const = 0;

protected:
    TRCoder() = default;
    TRCoder(const TRCoder &) = default;
    TRCoder &operator=(const TRCoder &) = default;
};
