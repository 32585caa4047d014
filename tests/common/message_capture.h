// Catches the plain message box of the window-free code for the length of a
// test, so that nothing blocks and the text can be checked.
#pragma once

#include <string>

#include "platform/services.h"

struct MessageCapture {
    int count = 0;
    std::string last;

    MessageCapture() { SetMessageSink(&MessageCapture::Receive, this); }
    ~MessageCapture() { SetMessageSink(nullptr, nullptr); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    static void Receive(const char* text, void* context) {
        MessageCapture* capture = static_cast<MessageCapture*>(context);
        capture->count++;
        capture->last = text;
    }
};
