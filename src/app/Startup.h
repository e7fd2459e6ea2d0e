// The program entry's steps, shared by the editor and its benchmarks.
#pragma once

class QApplication;

// Before the application object exists: signals, engine flags and URL schemes.
void PrepareProcess();
// The application's title and help file.
void InitializeApplication();
// Runs the editor with the process's command line; returns the exit code.
int RunEditor(int argc, char **argv);
