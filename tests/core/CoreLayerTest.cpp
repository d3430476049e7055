#include <gtest/gtest.h>

// This program links the core and nothing of the windows. Qt's Gui and Widgets libraries
// define these macros in everything that links them, so they tell whether the core's link
// interface has gained either: the command line and the tests must run without a display.
TEST(CoreLayer, LinksNoWindowLibrary) {
#ifdef QT_GUI_LIB
    ADD_FAILURE() << "the core links Qt Gui";
#endif
#ifdef QT_WIDGETS_LIB
    ADD_FAILURE() << "the core links Qt Widgets";
#endif
}
