#include "app/program.h"
#include "app/qt_translation.h"

int main(int argc, char** argv) {
    zorvan::app::ProgramHooks hooks;
    hooks.beforeSettings = [] { zorvan::app::installQtTranslation(); };
    return zorvan::app::runProgram(argc, argv, hooks);
}
