#pragma once

#include "TRValue.h"

#include <QString>
#include <memory>

class TRDomainEnvelope;
using TRDomainEnvelopePtr = std::shared_ptr<TRDomainEnvelope>;

// A domain's name and contents, carried by the undo manager between a domain command and its undo and
// redo. Never archived, never written to a file.
class TRDomainEnvelope final
{
public:
    // init: the empty name and empty contents.
    TRDomainEnvelope();
    // initWithDomainName: empty contents.
    explicit TRDomainEnvelope(const QString &name);
    // initWithDomainName:contents: the contents are shared, not copied.
    TRDomainEnvelope(const QString &name, const TRValue &contents);

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    // The domain's top-level dictionary.
    const TRValue &contents() const { return m_contents; }
    void setContents(const TRValue &contents) { m_contents = contents; }

private:
    QString m_name;
    TRValue m_contents;
};
