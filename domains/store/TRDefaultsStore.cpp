// TRDefaultsStore: the folder, domain names, listing the store and reading domains.
#include "TRDefaultsStore.h"

#include "TRGnustepConfig.h"
#include "TRText.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <dirent.h>
#include <thread>

namespace {

const QString kExtension = QStringLiteral(".plist");
// Threads that read domain files at once while the store is listed.
constexpr int kMaxListingThreads = 4;

QString &standardFolderOverride()
{
    static QString folder;
    return folder;
}

// File-name bytes as text: UTF-8 where they are, "\\xNN" for each byte that is not.
QString readableBytes(const QByteArray &bytes)
{
    QString text;
    qsizetype i = 0;
    while (i < bytes.size()) {
        // The longest prefix that decodes cleanly goes in whole; then one byte is escaped.
        qsizetype length = 0;
        for (qsizetype n = std::min<qsizetype>(4, bytes.size() - i); n > 0; --n) {
            const QByteArray piece = bytes.mid(i, n);
            if (QString::fromUtf8(piece).toUtf8() == piece) {
                length = n;
                break;
            }
        }
        if (length > 0) {
            text += QString::fromUtf8(bytes.mid(i, length));
            i += length;
        } else {
            text += QStringLiteral("\\x%1").arg(uint(quint8(bytes.at(i))), 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return text;
}

// Code-point order (QString's own order compares UTF-16 units, which puts U+10000 and above before
// U+E000..U+FFFF).
bool codePointLess(const QString &a, const QString &b)
{
    const QList<uint> ua = a.toUcs4();
    const QList<uint> ub = b.toUcs4();
    return std::lexicographical_compare(ua.cbegin(), ua.cend(), ub.cbegin(), ub.cend());
}

} // namespace

TRDefaultsStore::TRDefaultsStore(const QString &folder) : m_folder(folder)
{
}

TRDefaultsStore &TRDefaultsStore::standard()
{
    static TRDefaultsStore store(standardFolderOverride().isEmpty() ? resolveFolder()
                                                                    : standardFolderOverride());
    return store;
}

void TRDefaultsStore::setStandardFolder(const QString &folder)
{
    standardFolderOverride() = folder;
    TRDefaultsStore &store = standard();
    store.m_folder = folder.isEmpty() ? resolveFolder() : folder;
    store.m_cache.clear();
    store.m_unreadable.clear();
}

QString TRDefaultsStore::resolveFolder()
{
    const QString forced = qEnvironmentVariable("TAMRIX_DEFAULTS_DIR");
    if (!forced.isEmpty())
        return QDir::cleanPath(QDir(forced).absolutePath());
    return TRGnustepConfig::userDefaultsFolder();
}

bool TRDefaultsStore::isValidDomainName(const QString &name, QString *error)
{
    QString message;
    if (name.isEmpty())
        message = trText("A domain name cannot be empty.");
    else if (name.contains(u'/') || name.contains(QChar(u'\0')))
        message = trFormat(trText("The domain name \"%@\" contains \"/\" or a NUL character."), {name});
    else if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        message = trFormat(trText("\"%@\" cannot be used as a domain name."), {name});
    else if (!name.isValidUtf16())
        message = trText("The domain name is not valid Unicode text.");
    else if (name.toUtf8().size() > kMaxNameBytes)
        message = trFormat(trText("The domain name \"%@\" is longer than %d bytes."),
                           {name, QString::number(kMaxNameBytes)});
    if (message.isEmpty())
        return true;
    if (error)
        *error = message;
    return false;
}

QString TRDefaultsStore::folder() const
{
    return m_folder;
}

QString TRDefaultsStore::filePathForName(const QString &name) const
{
    return m_folder + u'/' + name + kExtension;
}

QList<TRDefaultsStore::UnreadableFile> TRDefaultsStore::unreadableFiles() const
{
    return m_unreadable;
}

void TRDefaultsStore::noteUnreadable(const QString &path, const QString &reason, const QString &setAsideAs)
{
    for (UnreadableFile &known : m_unreadable) {
        if (known.fileName == path) {
            known.reason = reason;
            if (!setAsideAs.isEmpty())
                known.setAsideAs = setAsideAs;
            return;
        }
    }
    m_unreadable.append(UnreadableFile{path, reason, setAsideAs});
}

QStringList TRDefaultsStore::persistentDomainNames()
{
    m_unreadable.clear();
    QStringList names;
    const QByteArray suffix = QFile::encodeName(kExtension);
    DIR *dir = ::opendir(QFile::encodeName(m_folder).constData());
    if (!dir)
        return names;
    // The files are inspected on every core at once; what they tell is taken in the folder's order, so
    // the unreadable ones are reported as if they had been read one after the other.
    struct Entry
    {
        QString path;
        QString name; // empty for a file name that is not UTF-8 text
        Inspection inspection;
    };
    std::vector<Entry> entries;
    while (const dirent *found = ::readdir(dir)) {
        const QByteArray entry(found->d_name);
        if (!entry.endsWith(suffix))
            continue;
        const QString decoded = QFile::decodeName(entry);
        // A name that is not UTF-8 text cannot be named back to the file system: reported, with its bytes.
        if (QFile::encodeName(decoded) != entry) {
            entries.push_back(Entry{m_folder + u'/' + readableBytes(entry), QString(), {}});
            continue;
        }
        const QString name = decoded.chopped(kExtension.size());
        if (isValidDomainName(name))
            entries.push_back(Entry{m_folder + u'/' + decoded, name, {}});
    }
    ::closedir(dir);

    std::atomic<std::size_t> next{0};
    const auto inspectSome = [&] {
        for (std::size_t i = next++; i < entries.size(); i = next++) {
            if (!entries[i].name.isEmpty())
                entries[i].inspection = inspectDomainFile(entries[i].path, false);
        }
    };
    const int helpers = std::clamp(QThread::idealThreadCount(), 1, kMaxListingThreads) - 1;
    std::vector<std::thread> threads;
    for (int i = 0; i < helpers && std::size_t(i + 1) < entries.size(); ++i)
        threads.emplace_back(inspectSome);
    inspectSome();
    for (std::thread &thread : threads)
        thread.join();

    for (const Entry &entry : entries) {
        CachedFile file;
        if (entry.name.isEmpty())
            noteUnreadable(entry.path, trText("The file name is not valid UTF-8 text."));
        else if (settleInspection(entry.path, entry.inspection, &file) == Lookup::Readable)
            names.append(entry.name);
    }
    std::sort(names.begin(), names.end(), codePointLess);
    return names;
}

TRValue TRDefaultsStore::persistentDomainForName(const QString &name)
{
    return readPersistentDomain(name).dictionary;
}

TRDefaultsStore::DomainRead TRDefaultsStore::readPersistentDomain(const QString &name)
{
    DomainRead read;
    if (!isValidDomainName(name))
        return read;
    CachedFile file;
    const QString path = filePathForName(name);
    const Lookup lookup = readDomainFile(path, &file, true);
    if (lookup == Lookup::Absent)
        return read;
    // The version that was read, not whatever may stand there by now.
    if (lookup == Lookup::NotAFile) {
        read.identity = TRFileIdentity::ofPath(path);
    } else {
        read.identity.exists = true;
        read.identity.device = quint64(file.device);
        read.identity.inode = quint64(file.inode);
        read.identity.size = qint64(file.size);
        read.identity.mtimeSeconds = qint64(file.mtime.tv_sec);
        read.identity.mtimeNanoseconds = qint64(file.mtime.tv_nsec);
    }
    if (lookup != Lookup::Readable) {
        read.unreadable = true;
        read.reason = file.reason;
        return read;
    }
    // Handed over: the caller keeps the contents (a domain controller turns them into its key tree), so
    // the store keeps only what it needs to know about the file, not a second copy of every domain.
    m_cache[path].dictionary = TRValue();
    read.dictionary = file.dictionary;
    return read;
}

TRFileIdentity TRDefaultsStore::fileIdentity(const QString &name) const
{
    return TRFileIdentity::ofPath(filePathForName(name));
}

int TRDefaultsStore::persistentDomainKeyCount(const QString &name)
{
    if (!isValidDomainName(name))
        return 0;
    CachedFile file;
    return readDomainFile(filePathForName(name), &file, false) == Lookup::Readable ? file.keyCount : 0;
}
