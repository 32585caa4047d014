// Go To (Ctrl+G, command 152): a small dialog that takes a section's number,
// 1 to the open book's pairs, in digits or in Hebrew numerals. A number
// outside the book is answered in the dialog, which stays open.
#pragma once

#include <windows.h>

const UINT kGoToCommand = 152;
// Resource numbers, also written in resources/lorvan.rc.
const WORD kGoToDialogId = 120;
const int kGoToEditId = 1201;
const int kGoToMessageId = 1202;
const int kGoToLabelId = 1203;

// Runs the dialog over `owner`: the number asked for, 1 to the book's pairs,
// or 0 after Cancel (or when the dialog cannot run).
int AskSectionNumber(HWND owner);

// Command 152: the section asked for becomes current, as a move that Back
// returns from. Asking for the current section changes nothing.
void GoToAskedSection(HWND window);

INT_PTR CALLBACK GoToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
