#include "CMyDalvexApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CMyDalvexApp theApp;
    theApp.InitInstance();
    return 0;
}
