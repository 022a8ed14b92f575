// Benchmarks of the property-list codec on a generated preferences-like value (nested dictionaries and
// arrays, every leaf kind, data blobs), and the generator of the files the peer programs load:
//   plist_bench generate DIR [KEYS]   writes DIR/prefs.xml and DIR/prefs.bplist
//   plist_bench [benchmark flags]     runs the benchmarks
#include "plist/TRPropertyList.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

// About 200,000 keys make about 25 MB of XML and 15 MB of binary.
TRValue generatePreferences(int keys)
{
    std::mt19937_64 random(20240102);
    const int perDomain = 100;
    const int domains = std::max(1, keys / perDomain);
    TRDictionary root;
    root.reserve(domains);
    for (int d = 0; d < domains; ++d) {
        TRDictionary domain;
        domain.reserve(perDomain);
        for (int k = 0; k < perDomain; ++k) {
            const QString key =
                QStringLiteral("Setting%1.%2").arg(k, 3, 10, QLatin1Char('0')).arg(random() % 100000);
            TRValue value;
            switch (k % 10) {
            case 0:
                value = TRValue::fromString(
                    QStringLiteral("value %1 of domain %2").arg(random() % 1000000).arg(d));
                break;
            case 1:
                value = TRValue::fromInteger(qint64(random() >> (random() % 60)));
                break;
            case 2:
                value = TRValue::fromReal(double(random() % 1000000) / 977.0);
                break;
            case 3:
                value = TRValue::fromBool(random() % 2 == 0);
                break;
            case 4:
                value = TRValue::fromDate(double(qint64(random() % 2000000000) - 1000000000));
                break;
            case 5: {
                QByteArray blob(qsizetype(60 + random() % 200), Qt::Uninitialized);
                for (char &byte : blob)
                    byte = char(random() & 0xff);
                value = TRValue::fromData(blob);
                break;
            }
            case 6: {
                TRArray list;
                for (int i = 0; i < 4; ++i)
                    list.append(TRValue::fromString(
                        QStringLiteral("/Users/someone/Documents/Recent %1.txt").arg(random() % 100000)));
                value = TRValue::fromArray(list);
                break;
            }
            case 7: {
                TRDictionary frame;
                frame.insert(QStringLiteral("x"), TRValue::fromInteger(qint64(random() % 4000)));
                frame.insert(QStringLiteral("y"), TRValue::fromInteger(qint64(random() % 3000)));
                frame.insert(QStringLiteral("visible"), TRValue::fromBool(true));
                value = TRValue::fromDictionary(frame);
                break;
            }
            case 8:
                value = TRValue::fromString(
                    QStringLiteral(
                        "A longer text \u00e9\u00e8 that a user typed into a preference field, number %1.")
                        .arg(random()));
                break;
            default:
                value = TRValue::fromInteger(-qint64(random() % 100000));
            }
            domain.insert(key, value);
        }
        root.insert(QStringLiteral("com.example.application%1").arg(d, 5, 10, QLatin1Char('0')),
                    TRValue::fromDictionary(domain));
    }
    return TRValue::fromDictionary(root);
}

const TRValue &preferences(int keys)
{
    static QHash<int, TRValue> made;
    auto found = made.find(keys);
    if (found == made.end())
        found = made.insert(keys, generatePreferences(keys));
    return *found;
}

QByteArray written(int keys, bool xml)
{
    static QHash<int, QByteArray> files[2];
    QHash<int, QByteArray> &cache = files[xml ? 1 : 0];
    auto found = cache.find(keys);
    if (found == cache.end()) {
        QByteArray bytes;
        xml ? TRPropertyList::writeXml(preferences(keys), &bytes)
            : TRPropertyList::writeBinary(preferences(keys), &bytes);
        found = cache.insert(keys, bytes);
    }
    return *found;
}

void writeXml(benchmark::State &state)
{
    const TRValue &value = preferences(int(state.range(0)));
    for (auto _ : state) {
        QByteArray bytes;
        TRPropertyList::writeXml(value, &bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void writeBinary(benchmark::State &state)
{
    const TRValue &value = preferences(int(state.range(0)));
    for (auto _ : state) {
        QByteArray bytes;
        TRPropertyList::writeBinary(value, &bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void readXml(benchmark::State &state)
{
    const QByteArray bytes = written(int(state.range(0)), true);
    for (auto _ : state) {
        TRValue value;
        TRPropertyList::read(bytes, &value);
        benchmark::DoNotOptimize(value.identity());
        // Parsing is timed, as in the peers; freeing the value is not.
        state.PauseTiming();
        value = TRValue();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void readBinary(benchmark::State &state)
{
    const QByteArray bytes = written(int(state.range(0)), false);
    for (auto _ : state) {
        TRValue value;
        TRPropertyList::read(bytes, &value);
        benchmark::DoNotOptimize(value.identity());
        // Parsing is timed, as in the peers; freeing the value is not.
        state.PauseTiming();
        value = TRValue();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

BENCHMARK(writeXml)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(writeBinary)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(readXml)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(readBinary)->Arg(200000)->Unit(benchmark::kMillisecond);

int generate(const char *directory, int keys)
{
    for (const bool xml : {true, false}) {
        QFile file(QString::fromLocal8Bit(directory) +
                   (xml ? QStringLiteral("/prefs.xml") : QStringLiteral("/prefs.bplist")));
        const QByteArray bytes = written(keys, xml);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        std::printf("%s: %lld bytes\n", qPrintable(file.fileName()), static_cast<long long>(bytes.size()));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "generate") == 0)
        return generate(argv[2], argc >= 4 ? std::atoi(argv[3]) : 200000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
