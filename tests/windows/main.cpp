// The Windows tests: Quorvel.exe driven from outside under Wine (scripts/test runs them).
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "doctest.h"
