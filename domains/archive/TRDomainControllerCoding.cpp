// Archiving of domain controllers: the domain's name and its root key, coded in sequence.
#include "TRCoder.h"
#include "TRDomainController.h"
#include "TRText.h"

void TRDomainController::encodeWithCoder(TRCoder &coder) const
{
    coder.encodeText(m_name);
    coder.encodeKey(rootKey());
}

TRDomainControllerPtr TRDomainController::initWithCoder(TRCoder &coder)
{
    const TRValue name = coder.decodeValue();
    if (!coder.failed() && !name.isString())
        coder.fail(trText("A domain's name is not a text."));
    if (coder.failed())
        return nullptr;
    const TRKeyPtr rootKey = coder.decodeKey();
    if (coder.failed())
        return nullptr;
    // The root of a domain is its top-level dictionary; anything else could not be saved as a domain.
    if (!rootKey || !rootKey->isDictionary()) {
        coder.fail(
            trFormat(trText("The root key of the domain %@ does not hold a dictionary."), {name.toString()}));
        return nullptr;
    }
    auto domain = std::make_shared<TRDomainController>(name.toString(), rootKey);
    domain->setModified(true);
    return domain;
}
