#pragma once

// The entry point of the module that holds the Qt Widgets message box. The
// scheduler loads it only when it has something to show, so a quiet day pays
// for no GUI library and opens no window-system connection.

extern "C" {

// Answers of velkorn_show_message; kNoDisplay when no window system could be
// reached (the caller then falls back to standard error).
enum { kGuiAnswerOk = 0, kGuiAnswerYes = 1, kGuiAnswerNo = 2, kGuiNoDisplay = -1 };

// Icon: 0 information, 1 exclamation, 2 critical. Buttons: 0 OK, 1 Yes/No.
// Texts are UTF-16, not NUL-terminated.
typedef int (*VelkornShowMessageFn)(const char16_t* title, int titleLength, const char16_t* text,
                                     int textLength, int icon, int buttons);

int velkorn_show_message(const char16_t* title, int titleLength, const char16_t* text,
                         int textLength, int icon, int buttons);

// Ends the GUI application, if one was started. Must be called before the
// program exits: Qt's own globals are gone by the time exit handlers run.
typedef void (*VelkornGuiShutdownFn)();
void velkorn_gui_shutdown();
}

#define VELKORN_GUI_MODULE_SYMBOL "velkorn_show_message"
#define VELKORN_GUI_SHUTDOWN_SYMBOL "velkorn_gui_shutdown"
