// Scanning a property list (readShape) answers what reading it does: every file of the corpus, whole
// and damaged, gets the same verdict, the same message and the shape of the value read.
#include "PlistTestSupport.h"
#include "TRLimits.h"
#include "plist/TRPropertyList.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace plisttest;

namespace {

QList<QString> corpusFiles()
{
    QList<QString> files;
    QDirIterator it(QStringLiteral(TAMRIX_SOURCE_DIR "/fuzz/plist/seeds"), QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(PlistShape, AgreesWithReadingOnTheCorpusWholeAndDamaged)
{
    const QList<QString> files = corpusFiles();
    ASSERT_GE(files.size(), 50);
    for (const QString &path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(path.toStdString());
        expectShapeAgrees(bytes);
        // Cut short, and one byte at a time changed at up to 64 places spread over the file: the damage
        // reaches headers, tags, lengths, references and the trailer, and the text form's brackets,
        // separators and quotes.
        for (const qsizetype cut : {bytes.size() / 4, bytes.size() / 2, bytes.size() - 1})
            expectShapeAgrees(bytes.left(cut));
        const qsizetype stride = std::max<qsizetype>(1, bytes.size() / 64);
        for (qsizetype at = 0; at < bytes.size(); at += stride) {
            for (const char replacement : {'\0', '\xff', '<', '"', '}', ';'}) {
                QByteArray damaged = bytes;
                damaged[at] = replacement;
                SCOPED_TRACE(at);
                expectShapeAgrees(damaged);
            }
        }
    }
}

TEST(PlistShape, CountsSharedValuesWhereTheyAreUsed)
{
    // Equal texts are written once: here one object is a key, a value and a key again one level down.
    const TRValue x = TRValue::fromString(QStringLiteral("x"));
    QByteArray keys;
    ASSERT_TRUE(TRPropertyList::writeBinary(
        dict({{QStringLiteral("x"), x}, {QStringLiteral("y"), dict({{QStringLiteral("x"), x}})}}), &keys));
    expectShapeAgrees(keys);

    // a(n) holds a(n-1) twice; 21 levels are just inside the expansion bound, 22 just beyond.
    for (const int levels : {0, 1, 21, 22, 40}) {
        TRValue shared = TRValue::fromArray({});
        for (int level = 1; level <= levels; ++level)
            shared = TRValue::fromArray({shared, shared});
        for (const TRValue &root :
             {shared, dict({{QStringLiteral("a"), shared}, {QStringLiteral("b"), shared}})}) {
            QByteArray bytes;
            ASSERT_TRUE(TRPropertyList::writeBinary(root, &bytes));
            SCOPED_TRACE(levels);
            expectShapeAgrees(bytes);
        }
    }
}

TEST(PlistShape, AgreesWithReadingOnTheTextForm)
{
    const QByteArray deep = QByteArray(kTRMaxNestingDepth, '(') + QByteArray(kTRMaxNestingDepth, ')');
    const QByteArray deeper = '(' + deep + ')';
    const QByteArray utf16("\xfe\xff\0{\0a\0=\0\"\0b\0\"\0;\0}", 18);
    for (const QByteArray &bytes :
         {QByteArray("\"a\" = 1; \"b\" = (x, <*I5>, <0aff>, <[AAE=]>, {c = <*BY>;});"), // a strings file
          QByteArray("{ a = 1; b = (1, 2); a = 2; }"), QByteArray("\"just a string\""),
          QByteArray("<*D2024-01-02 03:04:05 +0000>"), QByteArray("( )"), QByteArray("{ }"),
          QByteArray("x y"), QByteArray("/* open"), QByteArray("{ a = \"open; }"), QByteArray("( <*Ix> )"),
          QByteArray("( <abc> )"), QByteArray("{ a = ; }"), QByteArray("a = b; a = c;"), deep, deeper, utf16,
          utf16.left(17)}) {
        SCOPED_TRACE(bytes.toStdString());
        expectShapeAgrees(bytes);
    }
}
