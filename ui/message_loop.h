#pragma once
#include "form1.h"

// The program's message loop: runs until WM_QUIT and returns its exit code.
int RunMessageLoop(Form1& form);

// Runs the messages already waiting for this thread, then returns. False when
// the program is quitting: the WM_QUIT met here is put back for the main loop.
bool PumpPendingMessages(Form1& form);
