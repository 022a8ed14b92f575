#include "TRAppController.h"
#include "TRMainInterface.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamrix"));
    TRAppController controller;
    TRMainInterface interface(controller);
    interface.show();
    return QApplication::exec();
}
