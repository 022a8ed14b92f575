// tamrix-bench-makestore DIR: writes the generated benchmark store into DIR.
#include "TRBenchStore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: tamrix-bench-makestore DIR\n", stderr);
        return 1;
    }
    benchstore::Summary summary;
    QString error;
    if (!benchstore::makeStore(args.at(1), &summary, &error)) {
        std::fprintf(stderr, "tamrix-bench-makestore: %s\n", error.toUtf8().constData());
        return 1;
    }
    std::printf("%d domains, %lld top-level keys, %lld bytes in %s\n", summary.domains,
                static_cast<long long>(summary.keys), static_cast<long long>(summary.bytes),
                args.at(1).toUtf8().constData());
    return 0;
}
