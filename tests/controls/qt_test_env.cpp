// The one QApplication of this test program, shared with the Qt port's tests.
#include "qt/qt_test_env.cpp"
