// The fixture of the tests that open the reader's window over the built-in
// book: settings of their own, DejaVu Sans at 17 px, a chosen section and size.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "tests/win/reader_test_support.h"

class BookReaderTest : public ::testing::Test {
protected:
    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    HWND window = nullptr;

    void OpenReader(DWORD section, int widthPx, int heightPx) {
        ResetProgramState();
        PutString(kTestProgramKey, L"FontName", L"DejaVu Sans");
        PutDword(kTestProgramKey, L"FontSize", 17);
        PutDword(kTestProgramKey, L"Lesson", section);
        window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNA);
        ASSERT_NE(window, nullptr);
        SetWindowPos(window, nullptr, 0, 0, widthPx, heightPx, SWP_NOZORDER);
    }
    void TearDown() override {
        if (gApp.mainWindow) DestroyWindow(gApp.mainWindow);
        EndReader();
        TakeQuitMessage();
        ResetProgramState();
    }
};
