// Brivel Jotterly: a small desktop notes keeper. Everything lives in the libraries.
#include "JotterlyApplication.h"

int main(int argc, char **argv)
{
    return RunJotterly(argc, argv);
}
