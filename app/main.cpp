#include "app/program.h"

int main(int argc, char** argv) {
    return zorvan::app::runProgram(argc, argv);
}
