#pragma once

// Settings the web engine reads once, before the application object exists.  Its sandbox
// refuses to run for root, so the program then starts the engine without it.
void PrepareWebEngine();
