// Filled in together with the generators of this family.
#include <gtest/gtest.h>
