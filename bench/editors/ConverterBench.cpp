// Cost of the data sheet's editor: filling the three token fields, reading the bytes back, and the work one
// keystroke in the hexadecimal field causes (the two other fields rewritten).
#include "TRAsciiHexConverter.h"
#include "TRTokenField.h"

#include <QApplication>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

namespace {

QByteArray sampleBytes(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + 7) & 0xFF);
    return bytes;
}

struct Sheet
{
    Sheet()
    {
        for (TRTokenField *field : {&hex, &dec, &ascii})
            field->resize(600, 200);
    }
    TRTokenField hex;
    TRTokenField dec;
    TRTokenField ascii;
    TRAsciiHexConverter converter{&hex, &dec, &ascii};
};

void fill(benchmark::State &state)
{
    Sheet sheet;
    const QByteArray bytes = sampleBytes(state.range(0));
    for (auto _ : state)
        sheet.converter.setData(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void readBack(benchmark::State &state)
{
    Sheet sheet;
    sheet.converter.setData(sampleBytes(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet.converter.data());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void keystroke(benchmark::State &state)
{
    Sheet sheet;
    sheet.converter.setData(sampleBytes(state.range(0)));
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(&sheet.hex, &end);
    for (auto _ : state) {
        QKeyEvent type(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&sheet.hex, &type);
        QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&sheet.hex, &erase);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

BENCHMARK(fill)->Arg(1 << 10)->Arg(1 << 14)->Arg(1 << 16)->Unit(benchmark::kMillisecond);
BENCHMARK(readBack)->Arg(1 << 10)->Arg(1 << 14)->Arg(1 << 16)->Unit(benchmark::kMillisecond);
BENCHMARK(keystroke)->Arg(1 << 10)->Arg(1 << 14)->Arg(1 << 16)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
