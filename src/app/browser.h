#pragma once

// Start-up and shutdown of the browser core, both on the window thread.

// Install directory, then query channel, then receiver thread, then the first Update.
void startBrowser();
// Releases the receiver thread's handle and closes the query channel.
void stopBrowser();
