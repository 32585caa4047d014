// Printing from the command line, without a window or any dialog:
//   Lorvan.exe /print FROM-TO [/commentary below|beside|none] [/printer NAME] [/output FILE]
// with the stored font and margins. It works beside a running reader and
// ends at once, with a line on standard error, when anything is wrong.
#pragma once

#include <windows.h>

// Exit codes.
const int kPrintExitDone = 0;
const int kPrintExitBadRequest = 2;    // the command line, or sections outside the book
const int kPrintExitNoPrinter = 3;     // no such printer, or none at all
const int kPrintExitFailed = 4;        // the layout or the job failed

// Whether the command line asks to print (it starts with /print).
bool IsPrintCommandLine(const wchar_t* commandLine);

// Prints as the command line says and returns the exit code. The font
// settings must be loaded (gApp.font).
int RunPrintCommand(const wchar_t* commandLine);

// A line on standard error, for the parent's console or terminal.
void WriteErrorLine(const wchar_t* text);
