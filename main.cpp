#include "TRAppController.h"
#include "TRCommandLine.h"
#include "TRMainInterface.h"
#include "TRTranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    int exitCode = 0;
    {
        // The command line is read before the window system is reached, in the desktop's language.
        const QCoreApplication reader(argc, argv);
        const TRTranslations translations;
        if (!TRCommandLine::read(argc, argv, &exitCode))
            return exitCode;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamrix"));
    QApplication::setApplicationVersion(TRCommandLine::version());
    const TRTranslations translations;
    TRAppController controller;
    TRMainInterface interface(controller);
    interface.show();
    return QApplication::exec();
}
