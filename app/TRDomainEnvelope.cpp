#include "TRDomainEnvelope.h"

TRDomainEnvelope::TRDomainEnvelope() : TRDomainEnvelope(QString())
{
}

TRDomainEnvelope::TRDomainEnvelope(const QString &name)
    : TRDomainEnvelope(name, TRValue::fromDictionary(TRDictionary()))
{
}

TRDomainEnvelope::TRDomainEnvelope(const QString &name, const TRValue &contents)
    : m_name(name), m_contents(contents)
{
}
