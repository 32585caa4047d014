// SetLesson: the one way a section becomes current.
#include <gtest/gtest.h>

#include "app/app_state.h"

TEST(SetLesson, FirstStartTakesSectionOneAndLaterStartsKeepTheStoredOne) {
    AppState saved = gApp;
    gApp.lesson = 0;
    gApp.lastPosition = 9;
    SetLesson(0);
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_EQ(gApp.lastPosition, 0);

    gApp.lesson = 41;  // stored "Lesson" and "LastPosition"
    gApp.lastPosition = 12;
    SetLesson(0);
    EXPECT_EQ(gApp.lesson, 41);
    EXPECT_EQ(gApp.lastPosition, 12);

    SetLesson(41);  // the current section: not even the position changes
    EXPECT_EQ(gApp.lastPosition, 12);
    SetLesson(43);
    EXPECT_EQ(gApp.lesson, 43);
    EXPECT_EQ(gApp.lastPosition, 0);
    gApp = saved;
}
