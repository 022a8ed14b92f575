// Fuzz target: a domain file's way through the editor. Bytes are read as a property list, a key tree is
// built from it and turned back into its database representation, which the store writes and reads
// again. Whatever expands beyond the bound is refused before anything is built; the rest must build.
#include "TRKey.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"

#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    static TRDefaultsStore store(folder.path());
    const QString domain = QStringLiteral("fuzz");

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TRValue value;
    if (!TRPropertyList::read(bytes, &value))
        return 0;
    // Refused as the store refuses it; the store must then refuse to write it too.
    if (!TRPropertyList::fitsExpansionBound(value)) {
        if (value.isDictionary() && store.setPersistentDomain(value, domain))
            __builtin_trap();
        return 0;
    }
    const TRKeyPtr root = TRKey::create(TRValue(), value, nullptr, domain);
    if (!root)
        __builtin_trap();
    const TRValue represented = root->databaseRepresentation();
    if (!(represented == value))
        __builtin_trap();
    if (!value.isDictionary())
        return 0;

    // A new file is XML where XML can carry the values, binary otherwise; what comes back is what that
    // format keeps.
    TRValue expected = represented;
    QByteArray xml;
    if (TRPropertyList::canWriteXml(represented) &&
        (!TRPropertyList::writeXml(represented, &xml) || !TRPropertyList::read(xml, &expected)))
        __builtin_trap();
    QString error;
    if (!store.setPersistentDomain(represented, domain, &error))
        __builtin_trap();
    if (!(store.persistentDomainForName(domain) == expected))
        __builtin_trap();
    if (!store.removePersistentDomainForName(domain, &error))
        __builtin_trap();
    return 0;
}
