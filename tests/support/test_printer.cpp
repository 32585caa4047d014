// Adding the printer of the printing tests.
#include "tests/support/test_printer.h"

#include <winspool.h>

#include <stdio.h>
#include <wchar.h>

namespace {

const wchar_t kDriverName[] = L"Lorvan Test PostScript";

// The generic PPD, written out where the driver can read it.
bool WriteGenericPpd(const wchar_t* path) {
    HMODULE spool = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!spool) return false;
    HRSRC found = FindResourceW(spool, L"PPDFILE", RT_RCDATA);
    if (!found) found = FindResourceW(spool, L"PPDFILE", L"PPDFILE");
    if (!found) found = FindResourceW(spool, MAKEINTRESOURCEW(1), L"PPDFILE");
    HGLOBAL loaded = found ? LoadResource(spool, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = found ? SizeofResource(spool, found) : 0;
    bool written = false;
    if (bytes && size) {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        written = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes, size, &done, nullptr) && done == size;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    FreeLibrary(spool);
    return written;
}

bool AddDriver(const wchar_t* ppdPath) {
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = (LPWSTR)kDriverName;
    driver.pEnvironment = nullptr;
    driver.pDriverPath = (LPWSTR)L"wineps.drv";
    driver.pConfigFile = (LPWSTR)L"wineps.drv";
    driver.pDataFile = (LPWSTR)ppdPath;
    return AddPrinterDriverExW(nullptr, 3, (BYTE*)&driver, APD_COPY_NEW_FILES) ||
           GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

bool AddFilePrinter(const wchar_t* name, const wchar_t* port) {
    PRINTER_INFO_2W info = {};
    info.pPrinterName = (LPWSTR)name;
    info.pPortName = (LPWSTR)port;
    info.pDriverName = (LPWSTR)kDriverName;
    info.pPrintProcessor = (LPWSTR)L"WinPrint";
    info.pDatatype = (LPWSTR)L"RAW";
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, (BYTE*)&info);
    if (printer) ClosePrinter(printer);
    return printer || GetLastError() == ERROR_PRINTER_ALREADY_EXISTS;
}

}  // namespace

bool AddTestPrinter(const wchar_t* name, const wchar_t* port) {
    // Straight into the drivers' folder, where the driver looks for it: Wine
    // does not copy a data file there from elsewhere.
    wchar_t ppd[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, (BYTE*)ppd, sizeof ppd - 64, &needed)) {
        fwprintf(stderr, L"test printer: no drivers' folder (%lu)\n", GetLastError());
        return false;
    }
    wcscat(ppd, L"\\3");
    CreateDirectoryW(ppd, nullptr);
    wcscat(ppd, L"\\lorvan_generic.ppd");
    if (!WriteGenericPpd(ppd)) {
        fwprintf(stderr, L"test printer: no generic PPD in winspool.drv\n");
        return false;
    }
    if (!AddDriver(ppd)) {
        fwprintf(stderr, L"test printer: AddPrinterDriverExW failed (%lu)\n", GetLastError());
        return false;
    }
    if (!AddFilePrinter(name, port)) {
        fwprintf(stderr, L"test printer: AddPrinterW failed (%lu)\n", GetLastError());
        return false;
    }
    if (!SetDefaultPrinterW(name)) {
        fwprintf(stderr, L"test printer: SetDefaultPrinterW failed (%lu)\n", GetLastError());
        return false;
    }
    return true;
}

