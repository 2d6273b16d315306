// main() of the test executables that register their classes with QUILL_TEST_CLASS.
#include "support/TestRegistry.h"

int main(int argc, char **argv)
{
    return TestSupport::runRegisteredTests(argc, argv);
}
