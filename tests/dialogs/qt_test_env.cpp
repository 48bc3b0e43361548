// The dialogs' test program shares the Qt test program's application.
#include "qt/qt_test_env.cpp"
