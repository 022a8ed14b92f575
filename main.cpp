#include "TRAppController.h"
#include "TRCommandLine.h"
#include "TRMainInterface.h"
#include "TRTranslations.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    int exitCode = 0;
    QString file;
    {
        // The command line is read before the window system is reached, in the desktop's language.
        const QCoreApplication reader(argc, argv);
        const TRTranslations translations;
        if (!TRCommandLine::read(argc, argv, &exitCode, &file))
            return exitCode;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamrix"));
    QApplication::setApplicationVersion(TRCommandLine::version());
    const TRTranslations translations;
    TRAppController controller;
    TRMainInterface interface(controller);
    interface.show();
    // A file opened from the file manager goes through the Import commands' own path, its questions and
    // alerts included, once the window is up.
    if (!file.isEmpty())
        QTimer::singleShot(0, &controller, [&controller, file] { controller.importFile(file); });
    return QApplication::exec();
}
