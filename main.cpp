#include "TRAppController.h"
#include "TRMainInterface.h"
#include "TRTranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamrix"));
    const TRTranslations translations;
    TRAppController controller;
    TRMainInterface interface(controller);
    interface.show();
    return QApplication::exec();
}
