#include "qmtool.h"

int main(int argc, char** argv)
{
    return runQmtool(argc, argv);
}
