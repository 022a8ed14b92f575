// tamrix-bench-select: the whole process around selecting one large domain in the main window.
//   tamrix-bench-select make DIR KEYS [nested]  writes DIR/org.example.flat.plist, binary: KEYS top-level
//                                               keys, two thirds strings and one third integers (nested:
//                                               the same leaves in dictionaries of 100 keys)
//   tamrix-bench-select DIR                     opens the main window over DIR, selects its first domain
//                                               and prints the time until the outline is painted
// Peak memory is the whole process's (/usr/bin/time).
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/resource.h>

namespace {

// The process's CPU time so far (user and system), in milliseconds.
long long cpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

TRValue leafFor(qint64 i)
{
    return i % 3 == 2
               ? TRValue::fromInteger(i * 7919 % 1000003)
               : TRValue::fromString(QStringLiteral("value %1 of the flat domain").arg(i * 31 % 999983));
}

int make(const QString &folder, int keys, bool nested)
{
    TRDictionary top;
    top.reserve(nested ? keys / 100 + 1 : keys);
    TRDictionary group;
    for (int i = 0; i < keys; ++i) {
        const QString key = QStringLiteral("Key%1 %2").arg(i % 97).arg(i);
        if (!nested) {
            top.insert(key, leafFor(i));
            continue;
        }
        group.insert(key, leafFor(i));
        if (group.size() == 100 || i == keys - 1) {
            top.insert(QStringLiteral("Group %1").arg(top.size()), TRValue::fromDictionary(std::move(group)));
            group = TRDictionary();
        }
    }
    QByteArray bytes;
    QFile file(folder + QStringLiteral("/org.example.flat.plist"));
    if (!TRPropertyList::writeBinary(TRValue::fromDictionary(std::move(top)), &bytes) ||
        !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    std::printf("%lld bytes\n", static_cast<long long>(bytes.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "make") == 0)
        return make(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]),
                    argc >= 5 && std::strcmp(argv[4], "nested") == 0);
    if (argc != 2) {
        std::fputs("usage: tamrix-bench-select make DIR KEYS [nested] | tamrix-bench-select DIR\n", stderr);
        return 1;
    }
    QApplication application(argc, argv);
    TRDefaultsStore::setStandardFolder(QString::fromLocal8Bit(argv[1]));
    TRAlert::setScripted(true);
    TRAppController controller;
    TRMainInterface interface(controller);
    interface.mainWindow()->resize(1000, 700);
    interface.mainWindow()->show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    const long long cpuBefore = cpuMilliseconds();
    QTableView *list = interface.mainWindow()->findChild<QTableView *>(QStringLiteral("domainListView"));
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // The domain is read when its keys are first asked for, and the outline lays out its rows when it is
    // first painted: both done here, apart, so that each one's share shows.
    const long long cpuSelected = cpuMilliseconds();
    QTreeView *outline = interface.mainWindow()->findChild<QTreeView *>(QStringLiteral("domainContentsView"));
    const int keys = outline->model()->rowCount();
    const long long cpuRead = cpuMilliseconds();
    outline->doItemsLayout();
    const long long cpuLaidOut = cpuMilliseconds();
    outline->viewport()->repaint();
    const long long cpuPainted = cpuMilliseconds();
    std::printf("selected and painted: %lld ms (CPU %lld ms; %lld ms before), %d top-level keys\n",
                static_cast<long long>(timer.elapsed()), cpuPainted - cpuBefore, cpuBefore, keys);
    std::printf(
        "CPU: selection %lld ms, reading the domain %lld ms, outline layout %lld ms, painting %lld ms\n",
        cpuSelected - cpuBefore, cpuRead - cpuSelected, cpuLaidOut - cpuRead, cpuPainted - cpuLaidOut);
    return 0;
}
