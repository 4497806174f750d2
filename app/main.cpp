#include "app/Messages.h"
#include "app/Unit3.h"
#include "app/WebEngineSetup.h"
#include "fetcher/HttpPageFetcher.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    PrepareWebEngine();
    argc = WithoutWebEngineArguments(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    UseChineseTranslations(application);
    // The window hides in the tray while it polls; only closing it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    TfrmVantaro frmVantaro(DefaultWindowSetup(), std::make_unique<THttpPageFetcher>());
    frmVantaro.show();
    return QApplication::exec();
}
