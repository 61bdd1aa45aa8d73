// The translation unit that GoogleTest's precompiled header is built with.
#include <gtest/gtest.h>
