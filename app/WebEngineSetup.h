#pragma once

class QCoreApplication;

// Settings the web engine reads once, before the application object exists.  The engine
// always runs with its sandbox: whatever in the environment asks to turn it off is removed.
void PrepareWebEngine();

// The engine also takes the command-line arguments after "--webEngineArgs" as its own
// flags; the program takes none, so they are cut off.  Returns the count that remains.
int WithoutWebEngineArguments(int argc, char* argv[]);

// Whether this process may start the web engine at all.  The engine's sandbox refuses to run
// for a process that is or can become root, and pages never render outside it, so such a
// process shows no pages.
bool WebEngineMayRun();

// The pane's own texts (its menu, its error page) and Qt's dialogs in Chinese, like the rest
// of the window.  Must run after the application object exists and before the first page.
void UseChineseTranslations(QCoreApplication& application);
