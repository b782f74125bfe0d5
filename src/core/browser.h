#pragma once

// Start-up and shutdown of the browser core, both on the window thread.

constexpr int installDirectorySize = 256;

// Install directory, then query channel, then receiver thread, then the first Update.
void startBrowser();
// Releases the receiver thread's handle and closes the query channel.
void stopBrowser();
// Sets the install directory from the registry, or to the default with a message box.
void findInstallDir();
// The install directory: a terminated text of at most 255 characters, set once by findInstallDir.
const char* installDirectory();
