# app: the top floor. The entry point (winmain) and the start-up and shutdown that compose every
# floor below (browser); nothing includes it.
list(APPEND SB_APP_SOURCES app/winmain.cpp app/browser.cpp)
