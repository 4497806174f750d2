#include "app/Messages.h"
#include "app/Unit3.h"
#include "app/WebEngineSetup.h"
#include "fetcher/HttpPageFetcher.h"

#include <QApplication>
#include <cstring>
#include <iostream>

namespace {

const char Usage[] = "usage: tallowfinch [--help | --version]\n"
                     "Opens the job watch's window; see tallowfinch(1).\n";

// Answered on the terminal, without starting the window; -1 when the window is wanted.
int AnswerOnTerminal(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "tallowfinch " QUORVEL_VERSION "\n";
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << Usage;
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (int status = AnswerOnTerminal(argc, argv); status >= 0)
        return status;
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
