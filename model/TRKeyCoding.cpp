// Archiving of key nodes: the node's domain, name and value, coded in sequence.
#include "TRCoder.h"
#include "TRKey.h"
#include "TRText.h"

#include <utility>

void TRKey::encodeWithCoder(TRCoder &coder) const
{
    coder.encodeText(m_domain);
    coder.encodeValue(m_name);
    coder.encodeNodeValue(*this);
}

TRKeyPtr TRKey::initWithCoder(TRCoder &coder)
{
    const TRValue domain = coder.decodeValue();
    const TRValue name = coder.decodeValue();
    if (coder.failed())
        return nullptr;
    if (!domain.isString()) {
        coder.fail(trText("A key's domain is not a text."));
        return nullptr;
    }
    if (!name.isNone() && !name.isString() && !name.isNumber()) {
        coder.fail(trText("A key's name is neither a number nor a text."));
        return nullptr;
    }
    TRCoder::NodeContents contents = coder.decodeNodeValue();
    if (coder.failed())
        return nullptr;

    TRKeyPtr node;
    switch (contents.kind) {
    case NodeKind::Leaf:
        if (isObjectCompound(contents.leaf)) {
            coder.fail(trText("A key's value is a container that does not hold keys."));
            return nullptr;
        }
        node = create(name, contents.leaf, nullptr, domain.toString());
        break;
    case NodeKind::List:
        node = createList(name, domain.toString(), std::move(contents.nodes));
        break;
    case NodeKind::Dictionary: {
        std::vector<std::pair<QString, TRKeyPtr>> children;
        children.reserve(contents.nodes.size());
        for (std::size_t i = 0; i < contents.nodes.size(); ++i)
            children.emplace_back(std::move(contents.keys[i]), std::move(contents.nodes[i]));
        const std::size_t written = children.size();
        node = createDictionary(name, domain.toString(), std::move(children));
        if (std::size_t(node->count()) != written) {
            coder.fail(trText("A dictionary holds the same key twice."));
            return nullptr;
        }
        break;
    }
    }
    // The parent link is not archived: the new node adopts its direct children here, so that by the
    // time the root is complete every link of the tree is rebuilt.
    node->performForAll([](TRKey &child, const TRKeyPtr &parent) { child.setParent(parent); }, node);
    return node;
}
